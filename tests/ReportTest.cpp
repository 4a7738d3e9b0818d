#include "engine/Report.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "CastTimeCases.h"
#include "TestRequest.h"
#include "base/DayCount.h"
#include "engine/AnalysisRun.h"

namespace orvenna {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

Analysis run(CastRequest request) {
    Analysis analysis;
    EXPECT_TRUE(runAnalysis(request, analysis));
    return analysis;
}

TEST(ReportTest, CastTimeTextDropsTrailingZeroParts) {
    for (const auto& [time, text] : castTimeCases()) EXPECT_EQ(castTimeText(time), text) << time;
}

TEST(ReportTest, InterpretationOfANumberCast) {
    // "111" on a 甲子 day: 乾为天 with line 1 moving, changing into 天风姤.
    const Analysis a = run(numberRequest(L"111", 7, at(2022, 11, 7, 12)));
    const std::vector<std::wstring> expected = {
        L"卦解:",
        L"            在2022年11月7日12时日主:甲子,时辰:庚午,属午的卦主测得:",
        L"           (乾宫第1卦)乾为天变卦为:(乾宫第2卦)天风姤",
        L"----------以下各种名词为周易专业术语，请以代名词去理解，切勿以字面意义理解而迷信-----------",
        L"",
        L"卦基数:",
        L"日主:甲->3,子->1",
        L"卦主:午->2",
        L"时辰:庚->4,午->2",
        L"",
        L"爻基数:",
        L"玄武,父母,五行属土持世,壬->1,戌->5;不动而变>父母,五行属土,壬->1,戌->5",
        // The response line's changed values come from the changed response line (line 4).
        L"勾陈,父母,五行属土应爻,甲->3,辰->5;不动而变>官鬼,五行属火,壬->1,午->2",
        L"",
        L"初爻:青龙,子孙,五行属水,甲->3,子->1;发动而变>父母,五行属土,辛->9,丑->0化世",
        L"二爻:朱雀,妻财,五行属木,甲->3,寅->3;不动而变>子孙,五行属水,辛->9,亥->6",
        L"四爻:腾蛇,官鬼,五行属火,壬->1,午->2;不动而变>官鬼,五行属火,壬->1,午->2化应",
        L"五爻:白虎,兄弟,五行属金,壬->1,申->4;不动而变>兄弟,五行属金,壬->1,申->4",
    };
    EXPECT_EQ(interpretationLines(a.record), expected);
    EXPECT_EQ(primaryTitleText(a.primary), L"本卦: 乾宫 (1) 乾为天 ");
    EXPECT_EQ(changedTitleText(a.changed), L"变卦 乾宫 (2) 天风姤 ");
}

TEST(ReportTest, ManualCastWithoutMovingLines) {
    const Analysis a = run(lineRequest(L"101", L"000", {0, 0, 0, 0, 0, 0}, 1, at(2024, 3, 31, 12)));
    EXPECT_EQ(a.record.primaryName, L"火地晋游魂");
    EXPECT_EQ(a.record.changedName, L"火地晋游魂");
    for (const std::wstring& line : interpretationLines(a.record)) {
        EXPECT_THAT(line, Not(HasSubstr(L"发动而变>"))) << line;
    }
    const auto grid = chartGrid(a.record, a.primary, a.changed);
    for (const GridRow& row : grid) {
        EXPECT_EQ(row[6], L"");
        // Primary and changed columns agree: relation, stem-branch, element, line, world mark.
        EXPECT_EQ(row[1], row[7]);
        EXPECT_EQ(row[2], row[8]);
        EXPECT_EQ(row[3], row[9]);
        EXPECT_EQ(row[4], row[10]);
        EXPECT_EQ(row[5], row[11]);
    }
    // A wandering soul changing into itself: its world and response lines are written as
    // such, so no other line carries a suffix.
    for (const std::wstring& line : interpretationLines(a.record)) {
        EXPECT_THAT(line, Not(HasSubstr(L"化世"))) << line;
        EXPECT_THAT(line, Not(HasSubstr(L"化应"))) << line;
    }
}

TEST(ReportTest, GridShowsLineSixOnTopWithMoveMarks) {
    // Line 1 阳动, line 6 阴动.
    const Analysis a = run(lineRequest(L"000", L"100", {1, 0, 0, 0, 0, -1}, 3, at(2024, 3, 31, 12)));
    const auto grid = chartGrid(a.record, a.primary, a.changed);
    EXPECT_EQ(grid[5][6], L"○");  // line 1, bottom row
    EXPECT_EQ(grid[0][6], L"×");  // line 6, top row
    EXPECT_EQ(grid[5][4], L"1");
    EXPECT_EQ(grid[5][10], L"0");  // the moving line changed
    EXPECT_EQ(grid[0][0], a.primary.spirits[5]);
    int worlds = 0;
    for (const GridRow& row : grid) worlds += row[5] == L"世";
    EXPECT_EQ(worlds, 1);
    EXPECT_EQ(chartHeaders()[0], L"六神");
    EXPECT_EQ(chartHeaders()[11], L"世应");
}

TEST(AnalysisRunTest, HeaderByMethod) {
    CastRequest request = numberRequest(L"1234", 7, at(2024, 3, 31, 12));
    EXPECT_EQ(run(request).header, L"以数字1234起卦,卦主生肖:午,日主:甲午,时辰:庚午");
    request.method = TimeCasting;
    request.zodiac = 1;
    request.numberText = L"1711857600000";
    EXPECT_EQ(run(request).header, L"以超时空毫秒起卦,卦主生肖:子,日主:甲午,时辰:庚午");
}

TEST(AnalysisRunTest, MoveMarksAndIndexes) {
    // "1234": 火山旅 with line 4 (yang) moving. "12": 乾 over 兑 with line 3 (yin) moving.
    Analysis a = run(numberRequest(L"1234", 7, at(2024, 3, 31, 12)));
    EXPECT_EQ(std::vector<int>(a.record.moveMarks.begin(), a.record.moveMarks.end()),
              (std::vector<int>{0, 0, 0, 1, 0, 0}));
    a = run(numberRequest(L"12", 7, at(2024, 3, 31, 12)));
    EXPECT_EQ(std::vector<int>(a.record.moveMarks.begin(), a.record.moveMarks.end()),
              (std::vector<int>{0, 0, -1, 0, 0, 0}));

    // Any flag but 1 marks a yin move.
    a = run(lineRequest(L"111", L"111", {0, 0, 0, 0, 0, 2}, 5, at(2024, 3, 31, 12)));
    EXPECT_EQ(a.record.worldIndex, 5);
    EXPECT_EQ(a.record.responseIndex, 2);
    EXPECT_EQ(a.record.moveMarks[5], -1);
}

TEST(AnalysisRunTest, ASecondRunStartsFromAnEmptyRecord) {
    Analysis a;
    ASSERT_TRUE(runAnalysis(numberRequest(L"1234", 7, at(2024, 3, 31, 12)), a));
    a.record.baseNumbers = deriveBaseNumbers(a.record);
    ASSERT_TRUE(runAnalysis(numberRequest(L"38", 2, at(2024, 4, 1, 9)), a));
    EXPECT_EQ(a.record.lineSpirits.size(), 6u);
    EXPECT_EQ(a.record.changedElements.size(), 6u);
    EXPECT_EQ(a.record.moveMarks.size(), 6u);
    EXPECT_EQ(a.record.baseNumbers, BaseNumbers{});

    CastRequest none = numberRequest(L"1", 1, at(2024, 4, 1, 9));
    none.method = 0;
    EXPECT_FALSE(runAnalysis(none, a));
    EXPECT_TRUE(a.record.lineSpirits.empty());
    EXPECT_TRUE(a.primary.stemBranches.empty());
}

TEST(AnalysisRunTest, ResetLeavesNothingOfTheEarlierCast) {
    // Every field a run sets must be emptied again by the reset that starts the next run.
    // A number and a draw time besides the lines, so that those fields are filled too.
    CastRequest manual = lineRequest(L"011", L"101", {1, 0, -1, 0, 1, 0}, 5, at(2024, 3, 31, 12));
    manual.drawTimeChoice = 2;
    manual.numberText = L"77";
    Analysis a = run(manual);
    a.record.baseNumbers = deriveBaseNumbers(a.record);
    resetRecord(a.record);
    EXPECT_EQ(a.record, AnalysisRecord{});
    resetHexagram(a.primary);
    EXPECT_EQ(a.primary, Hexagram{});
}

}  // namespace
}  // namespace orvenna
