#include "DrawCsv.h"

#include <algorithm>
#include <map>

#include "base/DayCount.h"
#include "base/Text.h"

namespace orvenna {

namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\r';
}

std::wstring trimmed(std::wstring_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return std::wstring(text);
}

std::string quoted(std::wstring_view text) {
    std::string out(1, '"');
    out += toUtf8(text);
    out += '"';
    return out;
}

bool hasDigit(std::wstring_view text) {
    return std::any_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

}  // namespace

std::vector<CsvRecord> csvRecords(std::wstring_view text) {
    std::vector<CsvRecord> records;
    int line = 1;
    std::size_t at = 0;
    while (at < text.size()) {
        CsvRecord record;
        record.line = line;
        for (bool more = true; more;) {
            // One field: blanks, then either a quoted part or plain text up to the comma.
            std::wstring field;
            while (at < text.size() && isBlank(text[at])) ++at;
            if (at < text.size() && text[at] == L'"') {
                ++at;
                for (;;) {
                    if (at == text.size()) {
                        record.unclosedQuote = true;
                        break;
                    }
                    const wchar_t c = text[at++];
                    if (c == L'"') {
                        if (at < text.size() && text[at] == L'"') {
                            field += L'"';
                            ++at;
                            continue;
                        }
                        break;
                    }
                    if (c == L'\n') ++line;
                    field += c;
                }
            }
            // Plain text, or what follows a closing quote, up to the comma or the line's end.
            while (at < text.size() && text[at] != L',' && text[at] != L'\n') field += text[at++];
            record.fields.push_back(trimmed(field));
            more = at < text.size() && text[at] == L',';
            if (more) ++at;
        }
        if (at < text.size() && text[at] == L'\n') ++at, ++line;
        if (record.fields.size() == 1 && record.fields[0].empty() && !record.unclosedQuote) continue;
        records.push_back(std::move(record));
    }
    return records;
}

DrawCsv parseDrawCsv(std::string_view utf8) {
    if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
    DrawCsv csv;
    std::map<std::wstring, std::pair<std::size_t, int>> seen;  // period -> row, line
    bool first = true;
    for (const CsvRecord& record : csvRecords(fromUtf8(utf8))) {
        const std::vector<std::wstring>& f = record.fields;
        const bool header = first && !hasDigit(f[0]);
        first = false;
        if (header) continue;
        auto problem = [&](DrawCsvFault fault, std::string message) -> DrawCsvProblem& {
            DrawCsvProblem& made = csv.problems.emplace_back();
            made.line = record.line;
            made.message = std::move(message);
            made.fault = fault;
            return made;
        };
        if (record.unclosedQuote) {
            problem(DrawCsvFault::UnclosedQuote, "a quoted field is not closed");
            continue;
        }
        if (f.size() != 3 && f.size() != 9) {
            problem(DrawCsvFault::FieldCount,
                    "expected period, date and numbers (3 or 9 fields), found " + std::to_string(f.size()) + " fields")
                .fields = static_cast<int>(f.size());
            continue;
        }
        Draw draw;
        if (!isPeriod(f[0])) {
            problem(DrawCsvFault::Period, "the period " + quoted(f[0]) + " is not a number of at most 12 digits")
                .field = f[0];
            continue;
        }
        draw.period = f[0];
        const std::optional<std::int64_t> day = parseDate(f[1]);
        if (!day) {
            problem(DrawCsvFault::Date, "the date " + quoted(f[1]) + " is not a real date (YYYY-MM-DD)").field = f[1];
            continue;
        }
        draw.day = *day;
        bool numbersRead = true;
        if (f.size() == 3) {
            numbersRead = readNumbersText(f[2], draw);
        } else {
            for (std::size_t i = 0; i < 6 && numbersRead; ++i) {
                numbersRead = f[2 + i].size() == 1 && f[2 + i][0] >= L'0' && f[2 + i][0] <= L'9';
                if (numbersRead) draw.front[i] = f[2 + i][0] - L'0';
            }
            numbersRead = numbersRead && readBlue(f[8], draw.blue);
        }
        if (!numbersRead) {
            problem(DrawCsvFault::Numbers, "the numbers are not six digits 0-9 and a blue number 0-14");
            continue;
        }
        const auto [found, inserted] = seen.try_emplace(draw.period, csv.rows.size(), record.line);
        if (!inserted) {
            if (!(csv.rows[found->second.first] == draw)) {
                DrawCsvProblem& again =
                    problem(DrawCsvFault::PeriodAgain, "period " + toUtf8(draw.period) + " is on line " +
                                                           std::to_string(found->second.second) + " with another draw");
                again.field = draw.period;
                again.firstLine = found->second.second;
            }
            continue;
        }
        csv.rows.push_back(std::move(draw));
        csv.lines.push_back(record.line);
    }
    return csv;
}

}  // namespace orvenna
