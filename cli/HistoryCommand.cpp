#include "HistoryCommand.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>

#include "CastCommand.h"
#include "CastInput.h"
#include "CastJson.h"
#include "Cli.h"
#include "DrawCommand.h"
#include "Options.h"
#include "base/DayCount.h"
#include "base/Text.h"
#include "engine/Calendar.h"
#include "engine/ChanceTest.h"
#include "records/CastHistory.h"
#include "records/EasyDb.h"
#include "records/StoredReview.h"
#include "system/ProgramDirectory.h"
#include "ui/words/ChartText.h"

namespace orvenna::cli {

namespace {

// A stored text as one field of one line: a tab or a line break in it would forge another
// column or another row, and a direction control would show the line in another order.
// Backslash escapes \t \n \r \\, and \uXXXX for any other control character, line
// separator or direction control.
std::wstring listedText(std::wstring_view text) {
    std::wstring out;
    for (const wchar_t c : text) {
        switch (c) {
            case L'\t':
                out += L"\\t";
                break;
            case L'\n':
                out += L"\\n";
                break;
            case L'\r':
                out += L"\\r";
                break;
            case L'\\':
                out += L"\\\\";
                break;
            default:
                if (isLineBreaking(c) || isDirectionControl(c)) {
                    static constexpr wchar_t Hex[] = L"0123456789abcdef";
                    out += L"\\u";
                    for (int shift = 12; shift >= 0; shift -= 4) out += Hex[(c >> shift) & 0xF];
                } else {
                    out += c;
                }
        }
    }
    return out;
}

class PrintedList : public HistoryList {
public:
    explicit PrintedList(std::ostream& out) : out_(out) {}
    void clearItems() override {}
    void appendItem(std::wstring_view title, std::int64_t id) override {
        out_ << id << '\t' << toUtf8(listedText(title)) << '\n';
        ++printed_;
    }
    std::size_t printed() const { return printed_; }

private:
    std::ostream& out_;
    std::size_t printed_ = 0;
};

// An empty list is no failure, but it is said, on the error stream, so the list stays empty.
int noRecords(std::ostream& err) {
    err << "orvenna-cli: no saved results\n";
    return ExitOk;
}

Json::Value recordJson(const YsModel& m) {
    Json::Value out(Json::objectValue);
    out["_id"] = Json::Int64{m._id};
    out["ysname"] = toUtf8(m.ysname);
    out["ysindex"] = m.ysindex;
    out["ysnumber"] = toUtf8(m.ysnumber);
    out["ysday"] = m.ysday;
    out["gzsxid"] = m.gzsxid;
    out["upstr"] = toUtf8(m.upstr);
    out["downstr"] = toUtf8(m.downstr);
    out["dong"] = toUtf8(m.movingFlagsText());
    out["rot"] = m.rot;
    out["uinfo"] = toUtf8(m.uinfo);
    return out;
}

// Any row id SQLite can hand out: 1 up to the largest 64-bit integer, digits only.
std::optional<std::int64_t> rowId(const std::string& text) {
    if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
    std::int64_t id = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), id);
    if (error != std::errc() || end != text.data() + text.size() || id < 1) return std::nullopt;
    return id;
}

// The row the store could not give: gone, or (in brackets) the store's own reason.
int noSuchResult(std::int64_t id, const Error& error, std::ostream& err) {
    err << "orvenna-cli: no saved result with id " << id;
    if (error.code != NoSuchRow) err << " (" << error.message << ")";
    err << '\n';
    return ExitFailed;
}

int listRecords(CastHistory& history, const std::filesystem::path& file, std::ostream& out, std::ostream& err) {
    PrintedList list(out);
    if (const Status listed = history.list(list); !listed) {
        err << "orvenna-cli: cannot read " << file.string() << ": " << listed.error().message << '\n';
        return ExitFailed;
    }
    return list.printed() == 0 ? noRecords(err) : ExitOk;
}

const char* matchName(DrawMatch match) {
    switch (match) {
        case DrawMatch::Matched:
            return "matched";
        case DrawMatch::Pending:
            return "pending";
        case DrawMatch::NoDraw:
            return "no-draw";
        case DrawMatch::NotCast:
            break;
    }
    return "not-cast";
}

// The chance figures are given to two decimals: an expectation of 0.1 x 6 is 0.6.
constexpr int FigureDecimals = 2;

Json::Value reviewedJson(const ReviewedCast& cast) {
    Json::Value item(Json::objectValue);
    item["id"] = Json::Int64{cast.id};
    item["title"] = toUtf8(cast.title);
    item["drawDate"] = toUtf8(dateText(static_cast<double>(cast.drawDay)));
    item["status"] = matchName(cast.match);
    if (cast.match != DrawMatch::Matched) return item;
    item["draw"] = drawJson(cast.draw);
    Json::Value score(Json::objectValue);
    Json::Value positions(Json::arrayValue);
    for (const bool hit : cast.score.positionHit) positions.append(hit);
    score["positions"] = positions;
    score["positionHits"] = cast.score.positionHits;
    score["blue"] = cast.score.blueHit;
    score["likely"] = cast.score.likelyHits;
    Json::Value chance(Json::objectValue);
    chance["positionHits"] = (cast.score.expectedPositionHits);
    chance["blue"] = (cast.score.expectedBlue);
    chance["likely"] = (cast.score.expectedLikelyHits);
    score["chance"] = chance;
    item["score"] = score;
    return item;
}

void listReviewed(const CastReview& review, std::ostream& out) {
    Json::Value list(Json::arrayValue);
    for (const ReviewedCast& cast : review.casts) list.append(reviewedJson(cast));
    out << compactJson(list, FigureDecimals) << '\n';
}

// A p-value in JSON: four significant digits (0.4213, 0.003125, 1.2e-05); null without a test.
std::string pValueJson(const std::optional<TotalsTest>& test, double TotalsTest::*p) {
    if (!test || !std::isfinite((*test).*p)) return "null";
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", (*test).*p);
    return text;
}

// ", p = 0.42" after a total's line: two significant digits; nothing without a test.
std::string pValueLine(const std::optional<TotalsTest>& test, double TotalsTest::*p) {
    if (!test) return {};
    char text[40];
    std::snprintf(text, sizeof text, ", p = %.2g", (*test).*p);
    return text;
}

// The scores added up over every matched cast, each beside what chance gives and the p-value
// of its two-sided test against chance.
void printStats(const CastReview& review, bool json, std::ostream& out) {
    const int pending = review.totals.pending, noDraw = review.totals.noDraw;
    const ScoreTotals& t = review.totals.scores;
    const std::optional<TotalsTest> test = chanceTest(t);
    if (json) {
        Json::Value stats(Json::objectValue);
        stats["matched"] = t.casts;
        stats["pending"] = pending;
        stats["noDraw"] = noDraw;
        stats["positionHits"] = t.positionHits;
        stats["blueHits"] = t.blueHits;
        stats["likelyHits"] = t.likelyHits;
        Json::Value chance(Json::objectValue);
        chance["positionHits"] = (t.expectedPositionHits);
        chance["blueHits"] = (t.expectedBlueHits);
        chance["likelyHits"] = (t.expectedLikelyHits);
        stats["chance"] = chance;
        // The chance figures keep their two decimals; a p-value of 0.003 needs more, so its
        // object is written apart and joined as the object's last member.
        std::string text = compactJson(stats, FigureDecimals);
        text.insert(text.size() - 1, ",\"pValue\":{\"positionHits\":" + pValueJson(test, &TotalsTest::positionP) +
                                         ",\"blueHits\":" + pValueJson(test, &TotalsTest::blueP) +
                                         ",\"likelyHits\":" + pValueJson(test, &TotalsTest::likelyP) + "}");
        out << text << '\n';
        return;
    }
    char line[160];
    std::snprintf(line, sizeof line, "matched casts: %d (pending %d, no draw stored %d)\n", t.casts, pending, noDraw);
    out << line;
    std::snprintf(line, sizeof line, "position hits: %d of %d (chance %.2f)", t.positionHits, 6 * t.casts,
                  t.expectedPositionHits);
    out << line << pValueLine(test, &TotalsTest::positionP) << '\n';
    std::snprintf(line, sizeof line, "blue hits: %d of %d (chance %.2f)", t.blueHits, t.casts, t.expectedBlueHits);
    out << line << pValueLine(test, &TotalsTest::blueP) << '\n';
    std::snprintf(line, sizeof line, "drawn digits among the likely ones: %d of %d (chance %.2f)", t.likelyHits,
                  6 * t.casts, t.expectedLikelyHits);
    out << line << pValueLine(test, &TotalsTest::likelyP) << '\n';
}

// `history list --json` and `history stats`: every saved cast against its draw. Where nothing
// was ever saved, the review is empty, and looking makes no store.
int reviewCommand(const std::string& verb, bool json, bool stored, const CastClock& now, std::ostream& out,
                  std::ostream& err) {
    CastReview review;
    if (stored) {
        EasyDb store(programDirectory());
        Result<CastReview> reviewed = reviewCasts(store, now);
        if (!reviewed) {
            err << "orvenna-cli: cannot read " << store.path().string() << ": " << reviewed.error().message << '\n';
            return ExitFailed;
        }
        review = std::move(reviewed).value();
    }
    if (verb == "list")
        listReviewed(review, out);
    else
        printStats(review, json, out);
    return ExitOk;
}

int showRecord(const YsModel& model, bool json, std::ostream& out) {
    if (json) {
        out << compactJson(recordJson(model)) << '\n';
        return ExitOk;
    }
    const Json::Value fields = recordJson(model);
    for (const std::string& name : fields.getMemberNames()) {
        if (fields[name].isString())
            out << name << '\t' << toUtf8(listedText(fromUtf8(fields[name].asString()))) << '\n';
        else
            out << name << '\t' << fields[name].toStyledString();
    }
    return ExitOk;
}

int deleteRecord(CastHistory& history, std::int64_t id, std::ostream& err) {
    if (const Result<YsModel> loaded = history.load(id); !loaded) return noSuchResult(id, loaded.error(), err);
    if (const Status removed = history.remove(id); !removed) {
        err << "orvenna-cli: delete failed: " << removed.error().message << '\n';
        return ExitFailed;
    }
    return ExitOk;
}

// Why a replay was refused, after "cannot be replayed: ".
std::string refusalText(const Replay& replay) {
    switch (replay.refusal) {
        case ReplayRefusal::UnknownMethod:
            return "unknown casting method " + std::to_string(replay.record.ysindex);
        case ReplayRefusal::UnknownZodiac:
            return "unknown zodiac " + std::to_string(replay.record.gzsxid);
        case ReplayRefusal::IncompleteInput:
            return toUtf8(replay.check.message);
        case ReplayRefusal::Unreadable:
        case ReplayRefusal::None:
            break;
    }
    return {};
}

enum class Output { Plain, Json, Chart };

// What the window refuses to replay is refused here too.
int replayRecord(CastHistory& history, std::int64_t id, const CastClock& at, Output output, std::ostream& out,
                 std::ostream& err) {
    CastResult result;
    const Replay replay = history.replay(id, at, result);
    if (replay.refusal == ReplayRefusal::Unreadable) return noSuchResult(id, replay.error, err);
    if (!replay) {
        err << "orvenna-cli: saved result " << id << " cannot be replayed: " << refusalText(replay) << '\n';
        return ExitFailed;
    }
    if (output == Output::Json)
        out << castJson(result) << '\n';
    else if (output == Output::Chart)
        out << toUtf8(chartText(result.analysis));
    else
        out << castText(result);
    return ExitOk;
}

}  // namespace

int historyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const CastClock& clock) {
    const std::string verb = args.size() > 1 ? args[1] : "";
    if (verb != "list" && verb != "show" && verb != "replay" && verb != "delete" && verb != "stats") {
        err << "orvenna-cli: history: expected list, show ID, replay ID, delete ID or stats\n";
        return ExitUsage;
    }
    std::optional<std::int64_t> id;
    std::size_t first = 2;
    if (verb != "list" && verb != "stats") {
        if (args.size() < 3 || !(id = rowId(args[2]))) {
            err << "orvenna-cli: history " << verb << ": ID must be a row id, 1 to 9223372036854775807\n";
            return ExitUsage;
        }
        first = 3;
    }
    const bool charted = verb == "replay" || verb == "show";
    Options options(charted ? std::set<std::string>{"--time"} : std::set<std::string>{},
                    verb == "delete" ? std::set<std::string>{}
                    : charted        ? std::set<std::string>{"--json", "--text"}
                                     : std::set<std::string>{"--json"});
    if (const std::string error = options.parse(args, first); !error.empty()) {
        err << "orvenna-cli: " << error << '\n';
        return ExitUsage;
    }
    if (options.flag("--json") && options.flag("--text")) {
        err << "orvenna-cli: --text: not with --json (one output at a time)\n";
        return ExitUsage;
    }
    // show prints the saved row; with --text it shows the chart, which is cast again as
    // replay casts it.
    if (verb == "show" && options.value("--time") && !options.flag("--text")) {
        err << "orvenna-cli: --time: only with --text\n";
        return ExitUsage;
    }
    const Output output = options.flag("--json")   ? Output::Json
                          : options.flag("--text") ? Output::Chart
                                                   : Output::Plain;
    CastClock at = clock;
    if (const auto time = options.value("--time")) {
        std::string error;
        const auto local = timeArgument(*time, error);
        if (!local) {
            err << "orvenna-cli: --time: " << error << '\n';
            return ExitUsage;
        }
        at.localNow = *local;
        at.unixNowMillis = unixMillis(at.localNow, clock.biasMinutes);
    }

    const std::filesystem::path directory = programDirectory();
    std::error_code ignored;
    if (!std::filesystem::exists(EasyDb::databasePath(directory), ignored)) {
        // Nothing was ever saved here; looking makes no store, and neither does a delete.
        if (verb == "stats" || (verb == "list" && options.flag("--json")))
            return reviewCommand(verb, options.flag("--json"), false, at, out, err);
        if (verb == "list") return noRecords(err);
        err << "orvenna-cli: no saved result with id " << *id << " (nothing is saved yet)\n";
        return ExitFailed;
    }
    if (verb == "stats" || (verb == "list" && options.flag("--json")))
        return reviewCommand(verb, options.flag("--json"), true, at, out, err);
    EasyDb store(directory);
    CastHistory history(store);
    if (verb == "list") return listRecords(history, store.path(), out, err);
    if (verb == "replay" || (verb == "show" && output == Output::Chart))
        return replayRecord(history, *id, at, output, out, err);
    if (verb == "delete") return deleteRecord(history, *id, err);
    const Result<YsModel> loaded = history.load(*id);
    if (!loaded) return noSuchResult(*id, loaded.error(), err);
    return showRecord(*loaded, options.flag("--json"), out);
}

}  // namespace orvenna::cli
