// Dates and times as fractional day counts since 1899-12-30, local wall-clock time.
//
// Pure calendar arithmetic (proleptic Gregorian calendar, no time zones). Converting a
// day count back to fields rounds to the millisecond, so a value that went through a
// double (a saved record, a JSON number) still shows the second it was made for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace orvenna {

struct DateTimeFields {
    int year = 1899;
    int month = 12;
    int day = 30;
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
    int weekday = 7;  // 1 = Sunday ... 7 = Saturday; filled by fieldsFromDayCount.
};

inline constexpr std::int64_t MillisPerDay = 86'400'000;
// Day count of 1970-01-01.
inline constexpr int UnixEpochDay = 25569;

// True when the fields name a real date and time of day (leap years included).
bool isValidDateTime(const DateTimeFields& fields);

// Days since 1899-12-30 of a calendar date, without the time of day.
std::int64_t daysFromCivil(int year, int month, int day);

double dayCountFromFields(const DateTimeFields& fields);
DateTimeFields fieldsFromDayCount(double dayCount);

// The day count rounded to whole milliseconds since 1899-12-30 00:00. Day counts beyond
// +-1e8 days count as +-1e8 days, and one that is not a number as 0.
std::int64_t millisFromDayCount(double dayCount);

// "YYYY-MM-DD HH:MM:SS" (seconds may be left out); nothing for a text that is not a real
// date and time.
std::optional<DateTimeFields> parseDateTime(std::string_view text);

// The day of a date as people write one: a four-digit year, then the month and the day of one
// or two digits each, with "-", "/" or "." between (the same twice): "2025-12-02", "2025/12/5",
// "2025.12.07". Nothing for a text that is not a real date.
std::optional<std::int64_t> parseDate(std::wstring_view text);

// "YYYY-MM-DD HH:MM:SS" of a day count, the form parseDateTime reads.
std::wstring dateTimeText(double dayCount);
// Its date alone, "YYYY-MM-DD" (ISO).
std::wstring dateText(double dayCount);

}  // namespace orvenna
