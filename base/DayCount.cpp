#include "DayCount.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace orvenna {

namespace {

std::int64_t floorDiv(std::int64_t a, std::int64_t b) {
    const std::int64_t q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

bool isLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
    static constexpr int Days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeap(year) ? 29 : Days[month - 1];
}

// Days since 1970-01-01 of a proleptic Gregorian date (the era-based civil calendar method).
std::int64_t daysSinceEpoch(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = floorDiv(y, 400);
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void civilFromDays(std::int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const std::int64_t era = floorDiv(z, 146097);
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = static_cast<int>(y + (month <= 2));
}

int readNumber(std::string_view text, std::size_t pos, std::size_t digits, bool& ok) {
    int value = 0;
    for (std::size_t i = pos; i < pos + digits; ++i) {
        if (i >= text.size() || text[i] < '0' || text[i] > '9') {
            ok = false;
            return 0;
        }
        value = value * 10 + (text[i] - '0');
    }
    return value;
}

}  // namespace

bool isValidDateTime(const DateTimeFields& f) {
    return f.year >= 1 && f.year <= 9999 && f.month >= 1 && f.month <= 12 && f.day >= 1 &&
           f.day <= daysInMonth(f.year, f.month) && f.hour >= 0 && f.hour <= 23 && f.minute >= 0 && f.minute <= 59 &&
           f.second >= 0 && f.second <= 59 && f.millisecond >= 0 && f.millisecond <= 999;
}

std::int64_t daysFromCivil(int year, int month, int day) {
    return daysSinceEpoch(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) + UnixEpochDay;
}

double dayCountFromFields(const DateTimeFields& f) {
    const std::int64_t msOfDay =
        ((static_cast<std::int64_t>(f.hour) * 60 + f.minute) * 60 + f.second) * 1000 + f.millisecond;
    return static_cast<double>(daysFromCivil(f.year, f.month, f.day)) +
           static_cast<double>(msOfDay) / static_cast<double>(MillisPerDay);
}

std::int64_t millisFromDayCount(double dayCount) {
    // A day count read back from a saved row may be anything: one far past every calendar
    // date (a quarter of a million years either way) is held there, and one that is not a
    // number reads as day 0, so that the sums on the milliseconds never overflow.
    constexpr double LimitDays = 1e8;
    if (std::isnan(dayCount)) return 0;
    return std::llround(std::clamp(dayCount, -LimitDays, LimitDays) * static_cast<double>(MillisPerDay));
}

DateTimeFields fieldsFromDayCount(double dayCount) {
    const std::int64_t ms = millisFromDayCount(dayCount);
    const std::int64_t days = floorDiv(ms, MillisPerDay);
    std::int64_t msOfDay = ms - days * MillisPerDay;
    DateTimeFields f;
    civilFromDays(days - UnixEpochDay, f.year, f.month, f.day);
    f.hour = static_cast<int>(msOfDay / 3'600'000);
    msOfDay %= 3'600'000;
    f.minute = static_cast<int>(msOfDay / 60'000);
    msOfDay %= 60'000;
    f.second = static_cast<int>(msOfDay / 1000);
    f.millisecond = static_cast<int>(msOfDay % 1000);
    // Day 0, 1899-12-30, was a Saturday.
    f.weekday = static_cast<int>((days % 7 + 7 + 6) % 7) + 1;
    return f;
}

std::optional<DateTimeFields> parseDateTime(std::string_view text) {
    if (text.size() != 19 && text.size() != 16) return std::nullopt;
    bool ok = text[4] == '-' && text[7] == '-' && text[10] == ' ' && text[13] == ':';
    if (text.size() == 19) ok = ok && text[16] == ':';
    DateTimeFields f;
    f.year = readNumber(text, 0, 4, ok);
    f.month = readNumber(text, 5, 2, ok);
    f.day = readNumber(text, 8, 2, ok);
    f.hour = readNumber(text, 11, 2, ok);
    f.minute = readNumber(text, 14, 2, ok);
    f.second = text.size() == 19 ? readNumber(text, 17, 2, ok) : 0;
    if (!ok || !isValidDateTime(f)) return std::nullopt;
    return fieldsFromDayCount(dayCountFromFields(f));
}

std::optional<std::int64_t> parseDate(std::wstring_view text) {
    int parts[3] = {0, 0, 0};
    std::size_t digits[3] = {0, 0, 0};
    std::size_t part = 0;
    wchar_t separator = 0;
    for (const wchar_t c : text) {
        if (c >= L'0' && c <= L'9') {
            parts[part] = parts[part] * 10 + (c - L'0');
            if (++digits[part] > (part == 0 ? 4u : 2u)) return std::nullopt;
        } else if ((c == L'-' || c == L'/' || c == L'.') && part < 2 && (separator == 0 || c == separator)) {
            separator = c;
            ++part;
        } else {
            return std::nullopt;
        }
    }
    if (part != 2 || digits[0] != 4 || digits[1] == 0 || digits[2] == 0) return std::nullopt;
    if (!isValidDateTime({parts[0], parts[1], parts[2], 0, 0, 0, 0, 0})) return std::nullopt;
    return daysFromCivil(parts[0], parts[1], parts[2]);
}

std::wstring dateTimeText(double dayCount) {
    const DateTimeFields f = fieldsFromDayCount(dayCount);
    wchar_t text[32];
    swprintf(text, 32, L"%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour, f.minute, f.second);
    return text;
}

std::wstring dateText(double dayCount) {
    return dateTimeText(dayCount).substr(0, 10);
}

}  // namespace orvenna
