#include <gtest/gtest.h>

#include <cmath>

#include "TestRequest.h"
#include "base/DayCount.h"
#include "base/Text.h"
#include "engine/Calendar.h"
#include "engine/DrawScore.h"

namespace orvenna {
namespace {

std::int64_t day(int year, int month, int dayOfMonth) {
    return daysFromCivil(year, month, dayOfMonth);
}

Draw drawn(std::array<int, 6> front, int blue) {
    return {0, L"1", front, blue};
}

TEST(DrawScoreTest, ACastBelongsToTheFirstDrawAtOrAfterIt) {
    struct Case {
        const char* what;
        double castTime;
        std::int64_t drawDay;
    } const cases[] = {
        {"Tuesday before the draw", at(2026, 12, 8, 20, 0), day(2026, 12, 8)},
        {"Tuesday at 21:25 exactly", at(2026, 12, 8, 21, 25), day(2026, 12, 8)},
        {"Tuesday a second after", at(2026, 12, 8, 21, 25, 1), day(2026, 12, 11)},
        {"Wednesday (no draw)", at(2026, 12, 9, 9, 0), day(2026, 12, 11)},
        {"Friday at midnight", at(2026, 12, 11, 0, 0), day(2026, 12, 11)},
        {"Saturday", at(2026, 12, 12, 12, 0), day(2026, 12, 13)},
        {"Sunday late", at(2026, 12, 13, 23, 0), day(2026, 12, 15)},
        {"across a year", at(2026, 12, 31, 22, 0), day(2027, 1, 1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(drawDayOf(c.castTime), c.drawDay);
        EXPECT_GE(drawTimeOn(drawDayOf(c.castTime)), c.castTime);
    }
}

// Every minute of two weeks (and the second either side of each draw) belongs to the first of
// these draws at or after it, Tuesday, Friday and Sunday at 21:25.
TEST(DrawScoreTest, EveryMinuteOfTwoWeeksBelongsToTheNextDraw) {
    const std::int64_t draws[] = {day(2026, 12, 8),  day(2026, 12, 11), day(2026, 12, 13), day(2026, 12, 15),
                                  day(2026, 12, 18), day(2026, 12, 20), day(2026, 12, 22)};
    const double first = at(2026, 12, 7, 0, 0);
    int checked = 0;
    for (int minute = 0; minute < 14 * 24 * 60; ++minute) {
        const double castTime = first + minute / 1440.0;
        std::size_t next = 0;
        while (static_cast<double>(draws[next]) + (21 * 60 + 25) / 1440.0 < castTime - 0.5 / 86'400'000) ++next;
        ASSERT_EQ(drawDayOf(castTime), draws[next]) << dateTimeText(castTime).c_str() << " minute " << minute;
        ++checked;
    }
    EXPECT_EQ(checked, 20160);
    for (const std::int64_t drawDay : draws) {
        const double drawTime = drawTimeOn(drawDay);
        EXPECT_EQ(drawDayOf(drawTime - 1.0 / 86400), drawDay);
        EXPECT_GT(drawDayOf(drawTime + 1.0 / 86400), drawDay);
    }
}

// A cast after its day's draw but within the hour casting still counts as that draw's is
// marked, to the millisecond either side of 21:25 and 22:00, on draw days only.
TEST(DrawScoreTest, ACastAfterItsDaysDrawIsMarked) {
    const double millisecond = 1.0 / 86'400'000;
    struct Case {
        const char* what;
        double castTime;
        bool afterDraw;
    } const cases[] = {
        {"Tuesday 21:24:59.999", at(2026, 12, 8, 21, 25) - millisecond, false},
        {"Tuesday 21:25 exactly, the draw's own", at(2026, 12, 8, 21, 25), false},
        {"Tuesday 21:25:00.001", at(2026, 12, 8, 21, 25) + millisecond, true},
        {"Tuesday 21:40", at(2026, 12, 8, 21, 40), true},
        {"Tuesday 21:59:59.999", at(2026, 12, 8, 22, 0) - millisecond, true},
        {"Tuesday 22:00", at(2026, 12, 8, 22, 0), false},
        {"Friday 21:30", at(2026, 12, 11, 21, 30), true},
        {"Sunday 21:26", at(2026, 12, 13, 21, 26), true},
        {"Wednesday 21:30 (no draw)", at(2026, 12, 9, 21, 30), false},
        {"Saturday 21:59 (no draw)", at(2026, 12, 12, 21, 59), false},
        {"Monday 21:25:00.001 (no draw)", at(2026, 12, 14, 21, 25) + millisecond, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(castAfterDraw(c.castTime), c.afterDraw);
    }
    // Marked is exactly where casting's next draw and the cast's own draw part: every minute
    // of two weeks, and the milliseconds either side of each boundary.
    std::vector<double> times;
    for (int minute = 0; minute < 14 * 24 * 60; ++minute) times.push_back(at(2026, 12, 7) + minute / 1440.0);
    for (int d = 7; d < 21; ++d)
        for (const double boundary : {at(2026, 12, d, 21, 25), at(2026, 12, d, 22, 0)})
            for (const double t : {boundary - millisecond, boundary, boundary + millisecond}) times.push_back(t);
    for (const double t : times) {
        const bool parted = drawDayOf(t) != static_cast<std::int64_t>(std::floor(nextDrawTime(t)));
        ASSERT_EQ(castAfterDraw(t), parted) << toUtf8(dateTimeText(t));
    }
}

TEST(DrawScoreTest, HitsAreCountedBesideWhatChanceGives) {
    const std::wstring even = L"0,2,4,6,8";
    struct Case {
        const char* what;
        Suggestion suggestion;
        Draw draw;
        std::array<bool, 6> positionHit;
        bool blueHit;
        int likelyHits;
        double expectedPositions, expectedBlue, expectedLikely;
    } const cases[] = {
        {"five of ten everywhere",
         {even, even, even, even, even, even, L"1,5,12", L"1,3,5"},
         drawn({0, 1, 2, 3, 4, 5}, 12),
         {true, false, true, false, true, false},
         true,
         3,
         3.0,
         3.0 / 15,
         1.8},
        {"lists of every size",
         {L"1", L"1,2", L"", L"0,1,2,3,4,5,6,7,8,9", L"9", L"5,5"},
         drawn({1, 2, 3, 4, 9, 5}, 0),
         {true, true, false, true, true, true},
         false,
         0,
         1.5,
         0,
         0},
        {"a drawn digit counts each time it is drawn",
         {L"9", L"9", L"9", L"9", L"9", L"9", L"0", L"9"},
         drawn({9, 9, 9, 9, 9, 9}, 14),
         {true, true, true, true, true, true},
         false,
         6,
         0.6,
         1.0 / 15,
         0.6},
        {"entries that are no number in range are no candidates",
         {L"x", L"10", L"", L"", L"", L"", L"15,14,x,3", L""},
         drawn({0, 0, 0, 0, 0, 0}, 14),
         {false, false, false, false, false, false},
         true,
         0,
         0,
         2.0 / 15,
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CastScore score = scoreCast(c.suggestion, c.draw);
        EXPECT_EQ(score.positionHit, c.positionHit);
        EXPECT_EQ(score.positionHits, std::count(c.positionHit.begin(), c.positionHit.end(), true));
        EXPECT_EQ(score.blueHit, c.blueHit);
        EXPECT_EQ(score.likelyHits, c.likelyHits);
        EXPECT_DOUBLE_EQ(score.expectedPositionHits, c.expectedPositions);
        EXPECT_DOUBLE_EQ(score.expectedBlue, c.expectedBlue);
        EXPECT_DOUBLE_EQ(score.expectedLikelyHits, c.expectedLikely);
    }
}

TEST(DrawScoreTest, TotalsAddUpEveryFigure) {
    const std::wstring even = L"0,2,4,6,8";
    ScoreTotals totals;
    totals.add(scoreCast({even, even, even, even, even, even, L"1,5,12", L"1,3,5"}, drawn({0, 1, 2, 3, 4, 5}, 12)));
    totals.add(scoreCast({even, even, even, even, even, even, L"0", L""}, drawn({1, 1, 1, 1, 1, 1}, 3)));
    EXPECT_EQ(totals.casts, 2);
    EXPECT_EQ(totals.positionHits, 3);
    EXPECT_EQ(totals.blueHits, 1);
    EXPECT_EQ(totals.likelyHits, 3);
    EXPECT_DOUBLE_EQ(totals.expectedPositionHits, 6.0);
    EXPECT_DOUBLE_EQ(totals.expectedBlueHits, 4.0 / 15);
    EXPECT_DOUBLE_EQ(totals.expectedLikelyHits, 1.8);
    // The trials by their number of candidates: twelve positions of five, blue lists of three
    // and one, six drawn digits against three likely ones and six against none.
    EXPECT_EQ(totals.positionTrials, (std::array<int, 11>{0, 0, 0, 0, 0, 12, 0, 0, 0, 0, 0}));
    EXPECT_EQ(totals.blueTrials, (std::array<int, 16>{0, 1, 0, 1}));
    EXPECT_EQ(totals.likelyTrials, (std::array<int, 11>{6, 0, 0, 6}));
}

}  // namespace
}  // namespace orvenna
