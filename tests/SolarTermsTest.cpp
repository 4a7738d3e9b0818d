#include "engine/SolarTerms.h"

#include <gtest/gtest.h>

#include <cmath>

#include "base/DayCount.h"

namespace orvenna {
namespace {

constexpr double Second = 1.0 / 86400;

double at(const char* text) {
    const auto fields = parseDateTime(text);
    EXPECT_TRUE(fields.has_value()) << text;
    return fields ? dayCountFromFields(*fields) : 0;
}

// Published moments in China Standard Time, to the minute (the almanacs round); 2000's 小寒
// fell at 01:01 UTC, 09:01 in Beijing.
TEST(SolarTermsTest, MomentsMatchPublishedOnes) {
    struct Case {
        int year;
        double degrees;
        const char* published;
    };
    const Case cases[] = {
        {2024, 315, "2024-02-04 16:27:00"},  // 立春
        {2025, 315, "2025-02-03 22:10:00"}, {2026, 315, "2026-02-04 04:02:00"},
        {2024, 270, "2024-12-21 17:21:00"},  // 冬至, a check of the longitude itself
        {2000, 285, "2000-01-06 09:01:00"},  // 小寒
        {2000, 0, "2000-03-20 15:35:00"},   {2000, 90, "2000-06-21 09:48:00"},
        {2000, 270, "2000-12-21 21:37:00"}, {1950, 0, "1950-03-21 12:35:00"},
        {2050, 0, "2050-03-20 18:20:00"},
    };
    for (const Case& c : cases) {
        const double moment = solarTermMoment(c.year, c.degrees);
        EXPECT_NEAR(moment, at(c.published), 60 * Second) << c.year << " " << c.degrees << ": " << dateTimeText(moment);
    }
}

// TT - UT runs on without a jump where the leap-second table takes over from the fit.
TEST(SolarTermsTest, DeltaTIsContinuousAndOfTheRightSize) {
    const double jd1972 = 2441317.5;  // 1972-01-01
    EXPECT_NEAR(deltaTSeconds(jd1972 - 1), deltaTSeconds(jd1972 + 1), 0.5);
    EXPECT_NEAR(deltaTSeconds(2451545.0), 64.184, 0.01);  // 2000: 32 leap seconds
    EXPECT_NEAR(deltaTSeconds(2460400.5), 69.184, 0.01);  // 2024
    EXPECT_NEAR(deltaTSeconds(2415020.5), -2.7, 1.0);     // 1900
}

// Every 节 from 1900 to 2100: thirty seconds before it the old month, thirty seconds after it
// the next one, and the month is the same all the way to the next 节; the year turns at 立春.
TEST(SolarTermsTest, EachTermChangesTheMonthOnceAndOnlyThere) {
    int expectedBranch = 0;  // the 子 month runs into 1900
    for (int year = 1900; year <= 2100; ++year) {
        const YearTerms& terms = yearTerms(year);
        for (std::size_t k = 0; k < terms.size(); ++k) {
            const double term = terms[k];
            const YearMonthPillars before = yearMonthPillars(term - 30 * Second);
            const YearMonthPillars after = yearMonthPillars(term + 30 * Second);
            const int branch = static_cast<int>(k + 1) % 12;
            ASSERT_EQ(before.monthBranchIndex, expectedBranch) << dateTimeText(term);
            ASSERT_EQ(after.monthBranchIndex, branch) << dateTimeText(term);
            // The year turns at 立春 alone.
            ASSERT_EQ((after.yearBranchIndex - before.yearBranchIndex + 12) % 12, k == 1 ? 1 : 0) << dateTimeText(term);
            // Sampled every five days up to the next term: no other change.
            const double next = k + 1 < terms.size() ? terms[k + 1] : yearTerms(year + 1)[0];
            for (double t = term + 30 * Second; t < next - 30 * Second; t += 5) {
                ASSERT_EQ(yearMonthPillars(t).monthBranchIndex, branch) << dateTimeText(t);
            }
            expectedBranch = branch;
        }
    }
}

TEST(SolarTermsTest, YearAndMonthPillars) {
    struct Case {
        const char* time;
        const wchar_t* year;
        const wchar_t* month;
    };
    const Case cases[] = {
        {"2024-03-31 12:00:00", L"甲辰", L"丁卯"},
        {"2024-02-04 16:26:30", L"癸卯", L"乙丑"},  // 立春 2024 fell at 16:27:08
        {"2024-02-04 16:28:00", L"甲辰", L"丙寅"},
        {"2024-01-03 12:00:00", L"癸卯", L"甲子"},  // before 小寒: the 子 month of 2023
        {"2023-12-31 23:59:59", L"癸卯", L"甲子"},
        {"2024-12-31 12:00:00", L"甲辰", L"丙子"},
        {"2000-06-01 00:00:00", L"庚辰", L"辛巳"},
        {"1984-03-01 12:00:00", L"甲子", L"丙寅"},
        {"1900-07-01 12:00:00", L"庚子", L"壬午"},
        {"2100-09-01 12:00:00", L"庚申", L"甲申"},
    };
    for (const Case& c : cases) {
        const YearMonthPillars p = yearMonthPillars(at(c.time));
        EXPECT_EQ(p.year, c.year) << c.time;
        EXPECT_EQ(p.month, c.month) << c.time;
    }
}

TEST(SolarTermsTest, AnyCastTimeGetsPillars) {
    for (const double t : {-1e9, -700000.0, 0.0, 1e6, 1e9, std::nan(""), static_cast<double>(INFINITY)}) {
        const YearMonthPillars p = yearMonthPillars(t);
        EXPECT_EQ(p.year.size(), 2u) << t;
        EXPECT_EQ(p.month.size(), 2u) << t;
    }
}

TEST(SolarTermsTest, StemBranchNamesOfTheCycle) {
    EXPECT_EQ(sexagenaryName(0), L"甲子");
    EXPECT_EQ(sexagenaryName(59), L"癸亥");
    EXPECT_EQ(sexagenaryName(60), L"");
    EXPECT_EQ(stemBranchName(8, 10), L"壬戌");
    EXPECT_EQ(stemBranchName(0, 10), L"甲戌");
    EXPECT_EQ(stemBranchName(0, 1), L"");  // no 甲丑 in the cycle
    for (int p = 0; p < 60; ++p) EXPECT_EQ(stemBranchName(p % 10, p % 12), sexagenaryName(p));
}

}  // namespace
}  // namespace orvenna
