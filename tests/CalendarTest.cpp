#include "engine/Calendar.h"

#include <gtest/gtest.h>

#include "base/DayCount.h"
#include "engine/Tables.h"

namespace orvenna {
namespace {

double at(const char* text) {
    const auto fields = parseDateTime(text);
    EXPECT_TRUE(fields.has_value()) << text;
    return fields ? dayCountFromFields(*fields) : 0;
}

TEST(CalendarTest, DayPillarOfKnownDays) {
    EXPECT_EQ(dayPillar(at("2024-03-31 12:00:00")), L"甲午");
    EXPECT_EQ(dayPillar(at("2025-01-01 09:30:00")), L"庚午");
    EXPECT_EQ(dayPillar(at("2022-11-07 12:00:00")), L"甲子");
}

TEST(CalendarTest, NewDayStartsHalfASecondAfterMidnight) {
    EXPECT_EQ(dayPillar(at("2022-11-08 00:00:00")), L"甲子");
    EXPECT_EQ(dayPillar(at("2022-11-08 00:00:00") + 499.0 / MillisPerDay), L"甲子");
    EXPECT_EQ(dayPillar(at("2022-11-08 00:00:00") + 500.0 / MillisPerDay), L"乙丑");
    EXPECT_EQ(dayPillar(at("2022-11-08 00:00:01")), L"乙丑");
}

TEST(CalendarTest, BeforeTheReferenceDayTheCycleRunsBackward) {
    EXPECT_EQ(dayPillar(at("2022-11-07 00:00:00")), L"癸亥");  // an exact midnight is the day before
    EXPECT_EQ(dayPillar(at("2022-11-06 12:00:00")), L"癸亥");
    EXPECT_EQ(dayPillar(at("2022-11-05 12:00:00")), L"壬戌");
    EXPECT_EQ(dayPillar(at("2020-01-01 12:00:00")), L"癸卯");
    EXPECT_EQ(dayPillar(at("1900-01-01 12:00:00")).size(), 2u);
    EXPECT_EQ(dayPillar(-1000.25).size(), 2u);
}

TEST(CalendarTest, SixtyDaysCloseTheCycle) {
    const double start = at("2024-03-31 12:00:00");
    for (int d = 0; d < 120; ++d) {
        EXPECT_EQ(dayPillar(start + d), dayPillar(start + d + 60)) << d;
    }
    EXPECT_NE(dayPillar(start), dayPillar(start + 30));
}

TEST(CalendarTest, HourNumberBoundaries) {
    EXPECT_EQ(hourNumber(at("2024-03-31 00:00:00")), 0);
    EXPECT_EQ(hourNumber(at("2024-03-31 00:59:59")), 0);
    EXPECT_EQ(hourNumber(at("2024-03-31 01:00:00")), 1);
    EXPECT_EQ(hourNumber(at("2024-03-31 02:59:59")), 1);
    EXPECT_EQ(hourNumber(at("2024-03-31 05:30:00")), 3);
    EXPECT_EQ(hourNumber(at("2024-03-31 12:00:00")), 6);
    EXPECT_EQ(hourNumber(at("2024-03-31 22:59:59")), 11);
    EXPECT_EQ(hourNumber(at("2024-03-31 23:00:00")), 12);
    // 10:00 is not representable exactly as a fraction of a day.
    EXPECT_EQ(hourNumber(at("2024-03-31 10:00:00")), 5);
}

TEST(CalendarTest, HourPillar) {
    EXPECT_EQ(hourPillar(L"甲午", 6), L"庚午");
    EXPECT_EQ(hourPillar(L"庚午", 5), L"辛巳");
    EXPECT_EQ(hourPillar(L"甲辰", 12), L"甲子");
    // The 子 hour starts at 甲 on 甲/己 days, 丙 on 乙/庚, 戊 on 丙/辛, 庚 on 丁/壬, 壬 on 戊/癸.
    const std::wstring firstHourStems = L"甲丙戊庚壬甲丙戊庚壬";
    for (int k = 1; k <= 10; ++k) {
        const std::wstring day = std::wstring(stemName(k)) + L"子";
        EXPECT_EQ(hourPillar(day, 0)[0], firstHourStems[static_cast<std::size_t>(k - 1)]) << k;
        EXPECT_EQ(hourPillar(day, 0), hourPillar(day, 12));
    }
    // A day pillar that names no stem still gives a two-character hour pillar.
    EXPECT_EQ(hourPillar(L"", 3).size(), 2u);
    EXPECT_EQ(hourPillar(L"xx", 11).size(), 2u);
}

TEST(CalendarTest, UnixMillisUsesTheStandardBias) {
    EXPECT_EQ(unixMillis(at("1970-01-01 08:00:00"), -480), 0);
    EXPECT_EQ(unixMillis(at("2024-03-31 12:00:00"), -480), 1711857600000);
    EXPECT_EQ(unixMillis(at("2024-03-31 12:00:00"), 0), 1711886400000);
}

TEST(CalendarTest, NextDrawTime) {
    const auto draw = [](const char* now) { return fieldsFromDayCount(nextDrawTime(at(now))); };
    // 2024-04-02 is a Tuesday.
    auto d = draw("2024-04-02 22:00:17");
    EXPECT_EQ(d.weekday, 6);  // Friday
    EXPECT_EQ(d.day, 5);
    EXPECT_EQ(d.hour, 21);
    EXPECT_EQ(d.minute, 25);
    EXPECT_EQ(d.second, 17);
    EXPECT_EQ(draw("2024-04-02 21:59:00").day, 2);    // a draw day keeps its draw until 21:59
    EXPECT_EQ(draw("2024-03-31 08:00:00").day, 31);   // Sunday
    EXPECT_EQ(draw("2024-03-31 23:00:00").day, 2);    // Sunday late -> Tuesday
    EXPECT_EQ(draw("2024-04-01 10:00:00").day, 2);    // Monday
    EXPECT_EQ(draw("2024-04-03 10:00:00").day, 5);    // Wednesday
    EXPECT_EQ(draw("2024-04-04 10:00:00").day, 5);    // Thursday
    EXPECT_EQ(draw("2024-04-05 22:30:00").day, 7);    // Friday late -> Sunday
    EXPECT_EQ(draw("2024-04-06 10:00:00").day, 7);    // Saturday
    EXPECT_EQ(draw("2024-12-31 23:00:00").month, 1);  // Tuesday late -> Friday in the next year
}

TEST(DayCountTest, FieldsRoundTripAndValidation) {
    EXPECT_EQ(daysFromCivil(1899, 12, 30), 0);
    EXPECT_EQ(daysFromCivil(1970, 1, 1), UnixEpochDay);
    EXPECT_EQ(daysFromCivil(2022, 11, 7), 44872);
    const auto f = fieldsFromDayCount(at("2024-02-29 23:59:59"));
    EXPECT_EQ(f.year, 2024);
    EXPECT_EQ(f.month, 2);
    EXPECT_EQ(f.day, 29);
    EXPECT_EQ(f.hour, 23);
    EXPECT_EQ(f.minute, 59);
    EXPECT_EQ(f.second, 59);
    EXPECT_EQ(f.weekday, 5);  // Thursday
    EXPECT_EQ(fieldsFromDayCount(at("2024-03-31 12:00:00")).weekday, 1);

    EXPECT_FALSE(parseDateTime("2024-02-30 10:00:00"));
    EXPECT_FALSE(parseDateTime("2023-02-29 10:00:00"));
    EXPECT_FALSE(parseDateTime("2024-13-01 10:00:00"));
    EXPECT_FALSE(parseDateTime("2024-01-01 24:00:00"));
    EXPECT_FALSE(parseDateTime("2024-01-01 10:60:00"));
    EXPECT_FALSE(parseDateTime("2024-1-01 10:00:00"));
    EXPECT_FALSE(parseDateTime("2024-01-01T10:00:00"));
    EXPECT_FALSE(parseDateTime(""));
    EXPECT_TRUE(parseDateTime("2024-02-29 10:00"));
    EXPECT_TRUE(parseDateTime("1900-02-28 00:00:00"));
}

// Every day from 1900 to 2100 reads back from its date text to the same day, and its
// date-and-time text to the same second; the days follow each other in the calendar without a
// gap (a day more each time, the weekday turning with it).
TEST(DayCountTest, EveryDayFrom1900To2100ReadsBackFromItsText) {
    const std::int64_t first = daysFromCivil(1900, 1, 1), last = daysFromCivil(2100, 12, 31);
    DateTimeFields before = fieldsFromDayCount(static_cast<double>(first - 1));
    for (std::int64_t day = first; day <= last; ++day) {
        const std::wstring date = dateText(static_cast<double>(day));
        ASSERT_EQ(parseDate(date), day) << std::string(date.begin(), date.end());
        const double noonish = static_cast<double>(day) + (13 * 3600 + 14 * 60 + 15) / 86400.0;
        const std::wstring dateTime = dateTimeText(noonish);
        const auto fields = parseDateTime(std::string(dateTime.begin(), dateTime.end()));
        ASSERT_TRUE(fields) << std::string(dateTime.begin(), dateTime.end());
        ASSERT_EQ(millisFromDayCount(dayCountFromFields(*fields)), millisFromDayCount(noonish));
        const DateTimeFields f = fieldsFromDayCount(static_cast<double>(day));
        const bool nextDay = f.year == before.year && f.month == before.month && f.day == before.day + 1;
        const bool nextMonth =
            f.day == 1 && (f.month == before.month + 1 || (f.month == 1 && f.year == before.year + 1));
        ASSERT_TRUE(nextDay || nextMonth) << std::string(date.begin(), date.end());
        ASSERT_EQ(f.weekday, before.weekday % 7 + 1);
        before = f;
    }
}

TEST(DayCountTest, ADateIsReadAsPeopleWriteIt) {
    struct Case {
        const wchar_t* text;
        std::optional<std::int64_t> day;
    } const cases[] = {
        {L"2025-12-02", daysFromCivil(2025, 12, 2)},
        {L"2025/12/5", daysFromCivil(2025, 12, 5)},
        {L"2025.1.07", daysFromCivil(2025, 1, 7)},
        {L"2024-02-29", daysFromCivil(2024, 2, 29)},
        {L"2025-02-29", std::nullopt},  // no leap year
        {L"2025-2", std::nullopt},
        {L"25-02-03", std::nullopt},
        {L"2025-02/03", std::nullopt},  // two separators
        {L"2025-002-03", std::nullopt},
        {L"2025-02-03 ", std::nullopt},
        {L"", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(parseDate(c.text), c.day) << testing::PrintToString(std::wstring(c.text));
}

}  // namespace
}  // namespace orvenna
