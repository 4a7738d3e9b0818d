#include "DrawCsv.h"

#include <algorithm>
#include <cwchar>
#include <map>

#include "base/DayCount.h"
#include "base/Text.h"

namespace orvenna {

namespace {

constexpr std::size_t LongestPeriod = 12;

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool allDigits(std::wstring_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

std::wstring_view trimmed(std::wstring_view text) {
    while (!text.empty() && (text.front() == L' ' || text.front() == L'\t' || text.front() == L'"'))
        text.remove_prefix(1);
    while (!text.empty() &&
           (text.back() == L' ' || text.back() == L'\t' || text.back() == L'"' || text.back() == L'\r'))
        text.remove_suffix(1);
    return text;
}

std::vector<std::wstring_view> fields(std::wstring_view line) {
    std::vector<std::wstring_view> out;
    for (std::size_t start = 0;;) {
        const std::size_t comma = line.find(L',', start);
        out.push_back(trimmed(line.substr(start, comma == std::wstring_view::npos ? comma : comma - start)));
        if (comma == std::wstring_view::npos) return out;
        start = comma + 1;
    }
}

// A blue number: one or two digits, 0-14.
bool readBlue(std::wstring_view text, int& blue) {
    if (text.empty() || text.size() > 2 || !allDigits(text)) return false;
    blue = text.size() == 1 ? text[0] - L'0' : (text[0] - L'0') * 10 + (text[1] - L'0');
    return blue < BlueNumbers;
}

// The numbers as one text: six digits, then the blue number after "+" or directly.
bool readNumberText(std::wstring_view text, DrawNumbers& numbers) {
    std::wstring compact;
    for (const wchar_t c : text)
        if (c != L' ') compact += c;
    if (compact.size() < 7 || !allDigits(std::wstring_view(compact).substr(0, 6))) return false;
    for (std::size_t i = 0; i < 6; ++i) numbers.front[i] = compact[i] - L'0';
    std::wstring_view rest = std::wstring_view(compact).substr(6);
    if (rest.front() == L'+') rest.remove_prefix(1);
    return readBlue(rest, numbers.blue);
}

std::string quoted(std::wstring_view text) {
    return "\"" + toUtf8(text) + "\"";
}

}  // namespace

std::wstring isoDate(std::wstring_view text) {
    int parts[3] = {0, 0, 0};
    std::size_t digits[3] = {0, 0, 0};
    int part = 0;
    wchar_t separator = 0;
    for (const wchar_t c : text) {
        if (isDigit(c)) {
            parts[part] = parts[part] * 10 + (c - L'0');
            if (++digits[part] > (part == 0 ? 4u : 2u)) return {};
        } else if ((c == L'-' || c == L'/' || c == L'.') && part < 2 && (separator == 0 || c == separator)) {
            separator = c;
            ++part;
        } else {
            return {};
        }
    }
    if (part != 2 || digits[0] != 4 || digits[1] == 0 || digits[2] == 0) return {};
    if (!isValidDateTime({parts[0], parts[1], parts[2], 0, 0, 0, 0, 0})) return {};
    wchar_t out[11];
    swprintf(out, 11, L"%04d-%02d-%02d", parts[0], parts[1], parts[2]);
    return out;
}

std::optional<DrawRow> drawRowOf(std::wstring_view period, std::wstring_view date, std::wstring_view numbers) {
    DrawRow row;
    if (!allDigits(period) || period.size() > LongestPeriod) return std::nullopt;
    row.period = period;
    row.date = isoDate(date);
    if (row.date.empty() || !readNumberText(numbers, row.numbers)) return std::nullopt;
    return row;
}

DrawCsv parseDrawCsv(std::string_view utf8) {
    if (utf8.starts_with("\xEF\xBB\xBF")) utf8.remove_prefix(3);
    const std::wstring text = fromUtf8(utf8);
    DrawCsv csv;
    std::map<std::wstring, std::pair<std::size_t, int>> seen;  // period -> row, line
    bool firstLine = true;
    int lineNumber = 0;
    for (std::size_t start = 0; start <= text.size(); ++lineNumber) {
        std::size_t end = text.find(L'\n', start);
        if (end == std::wstring::npos) end = text.size();
        const std::wstring_view line = trimmed(std::wstring_view(text).substr(start, end - start));
        start = end + 1;
        const int number = lineNumber + 1;
        if (line.empty()) continue;
        const std::vector<std::wstring_view> f = fields(line);
        const bool header = firstLine && std::none_of(f[0].begin(), f[0].end(), isDigit);
        firstLine = false;
        if (header) continue;
        auto problem = [&](std::string message) { csv.problems.push_back({number, std::move(message)}); };
        if (f.size() != 3 && f.size() != 9) {
            problem("expected period, date and numbers (3 or 9 fields), found " + std::to_string(f.size()) + " fields");
            continue;
        }
        DrawRow row;
        if (!allDigits(f[0]) || f[0].size() > LongestPeriod) {
            problem("the period " + quoted(f[0]) + " is not a number of at most 12 digits");
            continue;
        }
        row.period = f[0];
        row.date = isoDate(f[1]);
        if (row.date.empty()) {
            problem("the date " + quoted(f[1]) + " is not a real date (YYYY-MM-DD)");
            continue;
        }
        bool numbersRead = true;
        if (f.size() == 3) {
            numbersRead = readNumberText(f[2], row.numbers);
        } else {
            for (std::size_t i = 0; i < 6 && numbersRead; ++i) {
                numbersRead = f[2 + i].size() == 1 && isDigit(f[2 + i][0]);
                if (numbersRead) row.numbers.front[i] = f[2 + i][0] - L'0';
            }
            numbersRead = numbersRead && readBlue(f[8], row.numbers.blue);
        }
        if (!numbersRead) {
            problem("the numbers are not six digits 0-9 and a blue number 0-14");
            continue;
        }
        const auto [at, inserted] = seen.try_emplace(row.period, csv.rows.size(), number);
        if (!inserted) {
            if (!(csv.rows[at->second.first] == row))
                problem("period " + toUtf8(row.period) + " is on line " + std::to_string(at->second.second) +
                        " with another draw");
            continue;
        }
        csv.rows.push_back(std::move(row));
        csv.lines.push_back(number);
    }
    return csv;
}

}  // namespace orvenna
