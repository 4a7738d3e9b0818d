#include "Draw.h"

#include <algorithm>

#include "base/DayCount.h"

namespace orvenna {

namespace {

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool allDigits(std::wstring_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), isDigit);
}

// The text without the blanks (and, where asked, the commas) between its digits.
std::wstring compact(std::wstring_view text, bool dropCommas) {
    std::wstring out;
    for (const wchar_t c : text)
        if (c != L' ' && !(dropCommas && c == L',')) out += c;
    return out;
}

bool readFront(std::wstring_view text, Draw& draw) {
    if (text.size() != 6 || !allDigits(text)) return false;
    for (std::size_t i = 0; i < 6; ++i) draw.front[i] = text[i] - L'0';
    return true;
}

}  // namespace

std::wstring drawNumbersText(const Draw& draw) {
    std::wstring text;
    for (const int digit : draw.front) text += static_cast<wchar_t>(L'0' + digit);
    return text + L"+" + std::to_wstring(draw.blue);
}

std::int64_t digitsValue(std::wstring_view digits) {
    std::int64_t value = 0;
    for (const wchar_t c : digits) value = value * 10 + (c - L'0');
    return value;
}

bool isPeriod(std::wstring_view text) {
    return allDigits(text) && text.size() <= LongestPeriod;
}

bool readBlue(std::wstring_view text, int& blue) {
    if (text.empty() || text.size() > 2 || !allDigits(text)) return false;
    blue = text.size() == 1 ? text[0] - L'0' : (text[0] - L'0') * 10 + (text[1] - L'0');
    return blue < BlueNumbers;
}

bool readNumbersText(std::wstring_view text, Draw& draw) {
    const std::wstring digits = compact(text, true);
    if (digits.size() < 7 || !readFront(std::wstring_view(digits).substr(0, 6), draw)) return false;
    std::wstring_view rest = std::wstring_view(digits).substr(6);
    if (rest.front() == L'+') rest.remove_prefix(1);
    return readBlue(rest, draw.blue);
}

std::optional<Draw> drawOf(std::wstring_view period, std::wstring_view date, std::wstring_view front,
                           std::wstring_view blue) {
    Draw draw;
    if (!isPeriod(period)) return std::nullopt;
    draw.period = period;
    const std::optional<std::int64_t> day = parseDate(date);
    if (!day || !readFront(compact(front, false), draw) || !readBlue(compact(blue, false), draw.blue))
        return std::nullopt;
    draw.day = *day;
    return draw;
}

}  // namespace orvenna
