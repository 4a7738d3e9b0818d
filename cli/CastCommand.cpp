#include "CastCommand.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>

#include "CastBatch.h"
#include "CastJson.h"
#include "Cli.h"
#include "InputFile.h"
#include "Options.h"
#include "base/Text.h"
#include "codec/QrSymbol.h"
#include "engine/AnalysisRun.h"
#include "engine/Report.h"
#include "engine/ResultText.h"
#include "records/EasyDb.h"
#include "system/Console.h"
#include "system/ProgramDirectory.h"
#include "ui/words/ChartText.h"
#include "ui/words/StoreReason.h"

namespace orvenna::cli {

namespace {

std::string utf8(std::wstring_view text) {
    return toUtf8(text);
}

// The line picture as text: a solid bar for yang, a broken bar for yin.
std::wstring_view linePicture(std::wstring_view mark) {
    if (mark == L"1") return L"▅▅▅▅▅";
    if (mark == L"0") return L"▅▅ ▅▅";
    return L"";
}

// Pads a cell to `width` display columns, counting a CJK character as two.
std::wstring padded(std::wstring_view cell, std::size_t width) {
    std::size_t columns = 0;
    for (const wchar_t c : cell) columns += (c >= 0x2E80 && c < 0xA000) || (c >= 0xFF00 && c <= 0xFF60) ? 2 : 1;
    std::wstring out(cell);
    if (columns < width) out.append(width - columns, L' ');
    return out;
}

}  // namespace

std::string castText(const CastResult& result) {
    const Analysis& analysis = result.analysis;
    std::wstring text = analysis.header + L"\n\n";
    text += primaryTitleText(analysis.primary) + L"    " + changedTitleText(analysis.changed) + L"\n";
    static constexpr std::size_t Widths[12] = {6, 6, 6, 6, 7, 6, 6, 6, 6, 6, 7, 6};
    const auto headers = chartHeaders();
    for (std::size_t c = 0; c < headers.size(); ++c) text += padded(headers[c], Widths[c]);
    text += L'\n';
    for (const GridRow& row : chartGrid(analysis.record, analysis.primary, analysis.changed)) {
        std::wstring line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            line += padded(c == 4 || c == 10 ? linePicture(row[c]) : std::wstring_view(row[c]), Widths[c]);
        }
        while (!line.empty() && line.back() == L' ') line.pop_back();
        text += line + L'\n';
    }
    text += std::wstring(ChartCaption) + L"\n";
    for (const std::wstring& line : result.report) text += line + L'\n';
    text += L'\n';
    // The result text keeps its CR LF line ends in the window; a terminal wants LF.
    for (const wchar_t c : result.resultText) {
        if (c != L'\r') text += c;
    }
    return utf8(text);
}

namespace {

int batch(const std::string& source, unsigned jobs, std::istream& in, std::ostream& out, std::ostream& err,
          const CastClock& clock) {
    std::ifstream file;
    std::istream* lines = &in;
    if (source != "-") {
        if (const Status opened = openInputFile(source, file); !opened) {
            err << "orvenna-cli: --batch: " << opened.error().message << '\n';
            return ExitFailed;
        }
        lines = &file;
    }
    const BatchOutcome outcome = castBatch(*lines, out, clock, jobs);
    // getline() ends a read that breaks off (a directory given as the file) as if the input
    // had ended; only the stream's bad state tells the two apart.
    if (outcome.readFailed) {
        err << "orvenna-cli: --batch: cannot read " << (source == "-" ? "standard input" : source) << '\n';
        return ExitFailed;
    }
    if (!outputWritten(out, err)) return ExitFailed;
    return outcome.anyLineFailed ? ExitFailed : ExitOk;
}

// At most this many casting threads: more than any machine this runs on has cores, few
// enough that a typing slip (--jobs 1000) does not start a thousand.
constexpr int MaxJobs = 256;

// Each batch line carries its own request, and a batch only prints: an option for a single
// cast would be ignored, so it is refused. (--json is what a batch prints anyway.)
constexpr const char* NotWithBatch[] = {"--method", "--input", "--zodiac", "--time", "--draw-time",
                                        "--save",   "--note",  "--qr",     "--text", "--png"};

// The picture the result panel shows for the result text, drawn for a box of this side.
constexpr int QrBoxSide = 280;

std::string writeQrPicture(const std::string& file, const CastResult& result) {
    std::error_code ignored;
    if (std::filesystem::is_directory(utf8Path(file), ignored)) return file + " is a directory, not a file";
    const auto symbol = encodeQr(toUtf8(result.resultText));
    if (!symbol) return "the result text does not fit a QR symbol";
    const QrPicture picture = drawQr(*symbol, QrBoxSide);
    if (!writePng(utf8Path(file), picture.side, picture.side, picture.rgb)) return "cannot write " + file;
    return {};
}

// The chart's picture is drawn by the window's wxWidgets, on every platform with the same
// code; the command line links no window code, and wxGTK lays text out only on a display.
constexpr const char* NoChartPicture =
    "the chart picture is drawn by the window program (wxWidgets, which on Linux needs a display); "
    "orvenna-cli draws none: save it from 排盘详情 with 保存图片…";

}  // namespace

int castCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
                const CastClock& clock) {
    Options options(
        {"--method", "--input", "--zodiac", "--time", "--batch", "--jobs", "--save", "--note", "--qr", "--png"},
        {"--json", "--draw-time", "--text"});
    if (const std::string error = options.parse(args, 1); !error.empty()) {
        err << "orvenna-cli: " << error << '\n';
        return ExitUsage;
    }
    if (const auto source = options.value("--batch")) {
        for (const char* option : NotWithBatch) {
            if (options.value(option) || options.flag(option)) {
                err << "orvenna-cli: " << option << ": not with --batch (each line is a request of its own)\n";
                return ExitUsage;
            }
        }
        unsigned jobs = defaultBatchJobs();
        if (const auto text = options.value("--jobs")) {
            const auto value = plainNumber(*text, 3);
            if (!value || *value < 1 || *value > MaxJobs) {
                err << "orvenna-cli: --jobs: must be a whole number of threads, 1 to " << MaxJobs << ": " << *text
                    << '\n';
                return ExitUsage;
            }
            jobs = static_cast<unsigned>(*value);
        }
        return batch(*source, jobs, in, out, err, clock);
    }
    if (options.value("--jobs")) {
        err << "orvenna-cli: --jobs: only with --batch\n";
        return ExitUsage;
    }
    if (options.flag("--json") && options.flag("--text")) {
        err << "orvenna-cli: --text: not with --json (one output at a time)\n";
        return ExitUsage;
    }
    if (options.value("--png")) {
        // Said before anything is cast or saved, so that nothing is done halfway.
        err << "orvenna-cli: --png: " << NoChartPicture << '\n';
        return ExitFailed;
    }

    CastInput input;
    input.method = options.value("--method");
    input.input = options.value("--input");
    input.zodiac = options.value("--zodiac");
    input.time = options.value("--time");
    input.drawTime = options.flag("--draw-time");
    const CastInputResult made = makeRequest(input, clock);
    if (!made.ok()) {
        // The field is named as the option that gave it; "request" is no option of its own.
        err << "orvenna-cli: " << (made.field == "request" ? "" : "--") << made.field << ": " << made.error << '\n';
        return ExitUsage;
    }
    const auto title = options.value("--save");
    if (title && trimControl(fromUtf8(*title)).empty()) {
        err << "orvenna-cli: --save: the title is empty\n";
        return ExitUsage;
    }
    if (!title && options.value("--note")) {
        err << "orvenna-cli: --note: only with --save\n";
        return ExitUsage;
    }
    CastResult result;
    castAnalysis(made.request, result);
    if (const auto qrFile = options.value("--qr")) {
        if (const std::string error = writeQrPicture(*qrFile, result); !error.empty()) {
            err << "orvenna-cli: --qr: " << error << '\n';
            return ExitFailed;
        }
    }
    if (title) {
        YsModel model = YsModel::fromAnalysis(result.analysis.record, fromUtf8(*title),
                                              fromUtf8(options.value("--note").value_or("")));
        EasyDb store(programDirectory());
        if (const Status saved = store.save(model); !saved) {
            err << "orvenna-cli: " << toUtf8(SaveFailedText) << ": " << saved.error().message << " ("
                << store.path().string() << ")\n";
            return ExitFailed;
        }
        if (options.flag("--json")) {
            out << castJson(result, fromUtf8(*title), model._id) << '\n';
        } else if (options.flag("--text")) {
            out << model._id << '\n' << toUtf8(chartText(result.analysis));
        } else {
            out << model._id << '\n';
        }
        // The row is there whatever becomes of the output; its id must not be lost with it.
        if (!outputWritten(out, err, "the result was saved with id " + std::to_string(model._id))) return ExitFailed;
        return ExitOk;
    }
    if (options.flag("--json")) {
        out << castJson(result) << '\n';
    } else if (options.flag("--text")) {
        out << toUtf8(chartText(result.analysis));
    } else {
        out << castText(result);
    }
    return ExitOk;
}

}  // namespace orvenna::cli
