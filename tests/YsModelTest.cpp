#include "records/YsModel.h"

#include <gtest/gtest.h>

#include <cmath>

#include "CastTimeCases.h"
#include "TestRequest.h"
#include "base/DayCount.h"
#include "engine/AnalysisRun.h"
#include "engine/CastDispatch.h"

namespace orvenna {
namespace {

// The title carries the report's text of the cast time in parentheses, empty ones included.
TEST(YsModelTest, SavedTitleCarriesTheCastTime) {
    for (const auto& [time, text] : castTimeCases())
        EXPECT_EQ(savedTitle(L"测试", time), L"测试(" + std::wstring(text) + L")") << time;
}

TEST(YsModelTest, MovingFlagsText) {
    YsModel m;
    m.setMovingFlagsText(L"-1,0,0,0,0,1");
    EXPECT_EQ(m.dong, (std::vector<int>{-1, 0, 0, 0, 0, 1}));
    EXPECT_EQ(m.movingFlagsText(), L"-1,0,0,0,0,1");
    m.setMovingFlagsText(L"a,,-1, 2 ,");
    EXPECT_EQ(m.dong, (std::vector<int>{0, -1, 2}));
    m.setMovingFlagsText(L"");
    EXPECT_TRUE(m.dong.empty());
    EXPECT_EQ(m.movingFlagsText(), L"");
    m.setMovingFlagsText(L"99999999999999999999");
    EXPECT_EQ(m.dong, (std::vector<int>{1'000'000}));
}

TEST(YsModelTest, FromAnalysisReadsTheMoveMarks) {
    const CastRequest request = numberRequest(L"12", 4, at(2024, 3, 31, 21, 25, 30));  // line 3 (yin) moving
    Analysis analysis;
    ASSERT_TRUE(runAnalysis(request, analysis));
    const YsModel m = YsModel::fromAnalysis(analysis.record, L"标题", L"备注");
    EXPECT_EQ(m._id, 0);
    EXPECT_EQ(m.ysname, L"标题(2024年3月31日21时25分30秒)");
    EXPECT_EQ(m.ysindex, 1);
    EXPECT_EQ(m.ysnumber, L"12");
    EXPECT_EQ(m.gzsxid, 4);
    EXPECT_EQ(m.dong, (std::vector<int>{0, 0, -1, 0, 0, 0}));
    EXPECT_EQ(m.uinfo, L"备注");

    // A record without marks is saved as six still lines.
    AnalysisRecord empty;
    EXPECT_EQ(YsModel::fromAnalysis(empty, L"t", L"").dong, std::vector<int>(6, 0));
}

TEST(YsModelTest, ReplayKeepsManualAndTimeCastingsButRecastsNumbersNow) {
    const CastClock later{at(2025, 1, 1, 9, 30), 1735695000000, -480};
    for (const int method : {LineCasting, TimeCasting, NumberCasting}) {
        // The clock gives a number or time casting its time, and the time casting its number.
        CastRequest request = method == LineCasting ? lineRequest(L"010", L"100", {1, 0, 0, 0, -1, 0}, 9, 0)
                                                    : numberRequest(method == NumberCasting ? L"4711" : L"", 9, 0);
        request.method = method;
        request.drawTimeChoice = method == TimeCasting ? DrawTime : 0;
        completeCastTime(request, CastClock{at(2024, 4, 2, 22, 0, 17), 1712066417123, -480});
        Analysis first;
        ASSERT_TRUE(runAnalysis(request, first));
        YsModel saved = YsModel::fromAnalysis(first.record, L"t", L"");
        saved._id = 7;

        CastRequest replay = replayRequest(saved);
        EXPECT_EQ(replay.replayId, 7);
        completeCastTime(replay, later);
        Analysis again;
        ASSERT_TRUE(runAnalysis(replay, again));
        if (method == NumberCasting) {
            EXPECT_EQ(again.record.dayPillar, L"庚午") << "a replayed number casting takes the replay's day";
            EXPECT_EQ(again.record.numberText, L"4711");
        } else {
            EXPECT_EQ(again.record, first.record) << method;
            EXPECT_EQ(again.header, first.header);
        }
    }
}

// A row written by another program or a hand edit can hold any day: the replay still makes
// a whole chart, with the pillars of the nearest day the calendar reckons with. (Fuzz inputs
// moving_flags/far-day and minus-infinite-day.)
TEST(YsModelTest, ReplayOfARowWhoseDayIsFarOutsideTheCalendar) {
    YsModel row;
    row._id = 3;
    row.ysindex = LineCasting;
    row.gzsxid = 3;
    row.upstr = L"111";
    row.downstr = L"111";
    row.setMovingFlagsText(L"0,0,0,0,0,1");
    const auto pillarsAt = [&](double day) {
        row.ysday = day;
        Analysis analysis;
        EXPECT_TRUE(runAnalysis(replayRequest(row), analysis)) << day;
        EXPECT_EQ(analysis.record.dayPillar.size(), 2u) << day;
        EXPECT_EQ(analysis.record.hourPillar.size(), 2u) << day;
        EXPECT_EQ(analysis.changed.lineMarks.size(), 6u) << day;
        return analysis.record.dayPillar + analysis.record.hourPillar;
    };
    EXPECT_EQ(pillarsAt(1e300), pillarsAt(HUGE_VAL));
    EXPECT_EQ(pillarsAt(1e300), pillarsAt(1e8));
    EXPECT_EQ(pillarsAt(-1e300), pillarsAt(-HUGE_VAL));
    EXPECT_EQ(pillarsAt(std::nan("")), pillarsAt(0));
}

}  // namespace
}  // namespace orvenna
