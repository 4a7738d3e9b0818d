#include "engine/ChartMarks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "base/DayCount.h"
#include "engine/Calendar.h"
#include "engine/Casting.h"
#include "engine/SolarTerms.h"
#include "engine/Tables.h"

namespace orvenna {
namespace {

// A manual cast of two trigram numbers with the given lines (1..6) moving, and its changed chart.
struct Chart {
    Hexagram primary;
    Hexagram changed;
    std::vector<int> moves = std::vector<int>(6, 0);

    ChartMarks marks(std::wstring_view day, std::wstring_view month = L"甲子") const {
        return chartMarks(primary, changed, moves, FourPillars{L"甲子", month, day, L"甲子"});
    }
};

Chart chart(int upper, int lower, std::initializer_list<int> moving = {}) {
    Chart c;
    const std::wstring upperCode(trigramCode(upper));
    const std::wstring lowerCode(trigramCode(lower));
    const std::wstring marks = lowerCode + upperCode;
    for (const int line : moving) c.moves[static_cast<std::size_t>(line - 1)] = marks[line - 1] == L'1' ? 1 : -1;
    castFromLines(c.primary, upperCode, lowerCode, L"甲子", c.moves);
    buildChanged(c.changed, applyMovingFlags(upperCode, c.moves, LineHalf::Upper),
                 applyMovingFlags(lowerCode, c.moves, LineHalf::Lower));
    return c;
}

Chart chartNamed(std::wstring_view name, std::initializer_list<int> moving = {}) {
    for (int upper = 1; upper <= 8; ++upper) {
        for (int lower = 1; lower <= 8; ++lower) {
            Chart c = chart(upper, lower, moving);
            if (hexagramName(hexagramNumber(c.primary)) == name) return c;
        }
    }
    ADD_FAILURE() << "no hexagram named so";
    return {};
}

std::vector<int> bodyLines(const ChartMarks& m) {
    std::vector<int> lines;
    for (std::size_t i = 0; i < 6; ++i) {
        if (m.bodyLines[i]) lines.push_back(static_cast<int>(i) + 1);
    }
    return lines;
}

std::wstring shenshaOf(const LineMarks& line) {
    std::wstring names;
    forEachShensha(line.shensha, [&](std::wstring_view name) { names += std::wstring(name) + L" "; });
    return names;
}

TEST(ChartMarksTest, VoidBranchesOfTheDaysDecade) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"甲子", L"戌亥"}, {L"壬戌", L"子丑"}, {L"甲午", L"辰巳"}, {L"癸亥", L"子丑"}, {L"乙丑", L"戌亥"},
        {L"甲寅", L"子丑"}, {L"癸酉", L"戌亥"}, {L"甲戌", L"申酉"}, {L"甲辰", L"寅卯"}, {L"己亥", L"辰巳"},
    };
    const Chart c = chartNamed(L"乾为天");
    for (const auto& [day, empty] : cases) EXPECT_EQ(c.marks(day).voidBranches, empty) << day;
    // 乾为天 on a 甲辰 day: its 寅 (line 2) is void, nothing else.
    const ChartMarks m = c.marks(L"甲辰");
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(m.lines[i].isVoid, i == 1) << i;
}

TEST(ChartMarksTest, HexagramBody) {
    struct Case {
        const wchar_t* name;
        const wchar_t* branch;
        std::vector<int> lines;
    };
    const Case cases[] = {
        {L"乾为天", L"巳", {}},  {L"天地否", L"申", {5}}, {L"泽火革", L"卯", {1}},
        {L"天风姤", L"午", {4}}, {L"坤为地", L"亥", {5}},  // yin world line 6: 午 advanced by five
    };
    for (const Case& c : cases) {
        const ChartMarks m = chartNamed(c.name).marks(L"甲子");
        EXPECT_EQ(m.bodyBranch, c.branch) << c.name;
        EXPECT_EQ(bodyLines(m), c.lines) << c.name;
    }
}

TEST(ChartMarksTest, HiddenSpiritsOfClassicalExamples) {
    struct Hidden {
        int line;
        const wchar_t* relation;
        const wchar_t* stemBranch;
        const wchar_t* fly;
    };
    struct Case {
        const wchar_t* name;
        std::vector<Hidden> hidden;
    };
    const Case cases[] = {
        // 姤's 辛亥 水 (飞) over 甲寅 木: water feeds wood.
        {L"天风姤", {{2, L"妻财", L"甲寅", L"飞生伏"}}},
        // 遁's 丙辰 土 over 甲子 水, its 丙午 火 over 甲寅 木.
        {L"天山遁", {{1, L"子孙", L"甲子", L"飞克伏"}, {2, L"妻财", L"甲寅", L"伏生飞"}}},
        {L"火山旅", {{1, L"父母", L"己卯", L"伏克飞"}, {3, L"官鬼", L"己亥", L"飞生伏"}}},
        {L"乾为天", {}},
    };
    for (const Case& c : cases) {
        const ChartMarks m = chartNamed(c.name).marks(L"甲子");
        std::vector<int> lines;
        for (std::size_t i = 0; i < 6; ++i) {
            if (m.lines[i].hidden) lines.push_back(static_cast<int>(i) + 1);
        }
        std::vector<int> expected;
        for (const Hidden& h : c.hidden) {
            expected.push_back(h.line);
            const auto& hidden = m.lines[static_cast<std::size_t>(h.line - 1)].hidden;
            ASSERT_TRUE(hidden.has_value()) << c.name << " " << h.line;
            EXPECT_EQ(hidden->relation, h.relation) << c.name;
            EXPECT_EQ(hidden->stemBranch, h.stemBranch) << c.name;
            EXPECT_EQ(hidden->fly, h.fly) << c.name;
        }
        EXPECT_EQ(lines, expected) << c.name;
    }
}

// Every relation a hexagram lacks hides under exactly one of its lines, with an element of its own.
TEST(ChartMarksTest, EveryMissingRelationHidesOnceInAllSixtyFourHexagrams) {
    int pure = 0;
    for (int upper = 1; upper <= 8; ++upper) {
        for (int lower = 1; lower <= 8; ++lower) {
            const Chart c = chart(upper, lower);
            const ChartMarks m = c.marks(L"甲子");
            const std::wstring name(hexagramName(hexagramNumber(c.primary)));
            std::set<std::wstring> present(c.primary.relations.begin(), c.primary.relations.end());
            std::multiset<std::wstring> hidden;
            for (std::size_t i = 0; i < 6; ++i) {
                const auto& h = m.lines[i].hidden;
                if (!h) continue;
                hidden.emplace(h->relation);
                EXPECT_NE(h->element, c.primary.elementNames[i]) << name;
                EXPECT_THAT(h->fly, testing::AnyOf(L"飞生伏", L"飞克伏", L"伏生飞", L"伏克飞")) << name;
            }
            for (std::size_t r = 0; r < 5; ++r) {
                const std::wstring relation(RelationNames.substr(r * 2, 2));
                EXPECT_EQ(hidden.count(relation), present.count(relation) ? 0u : 1u) << name << " " << relation;
            }
            if (c.primary.palaceRank == 1) {
                ++pure;
                EXPECT_TRUE(hidden.empty()) << name;
            }
        }
    }
    EXPECT_EQ(pure, 8);
}

TEST(ChartMarksTest, SixClashAndSixCombineHexagrams) {
    std::set<std::wstring> clash;
    std::set<std::wstring> combine;
    for (int upper = 1; upper <= 8; ++upper) {
        for (int lower = 1; lower <= 8; ++lower) {
            const Chart c = chart(upper, lower);
            const std::wstring name(hexagramName(hexagramNumber(c.primary)));
            const ChartMarks m = c.marks(L"甲子");
            if (m.primaryShape == L"六冲") clash.insert(name);
            if (m.primaryShape == L"六合") combine.insert(name);
        }
    }
    EXPECT_EQ(clash, (std::set<std::wstring>{L"乾为天", L"兑为泽", L"离为火", L"震为雷", L"巽为风", L"坎为水",
                                             L"艮为山", L"坤为地", L"天雷无妄", L"雷天大壮"}));
    EXPECT_EQ(combine, (std::set<std::wstring>{L"天地否", L"地天泰", L"雷地豫", L"地雷复", L"水泽节", L"泽水困",
                                               L"火山旅", L"山火贲"}));
    // The changed hexagram has its own: 天地否 moving on line 1 becomes 天雷无妄.
    const ChartMarks m = chartNamed(L"天地否", {1}).marks(L"甲子");
    EXPECT_EQ(m.primaryShape, L"六合");
    EXPECT_EQ(m.changedShape, L"六冲");
}

// 乾为天 (子 寅 辰 午 申 戌: 水 木 土 火 金 土) by the month's element.
TEST(ChartMarksTest, MonthStrengthBreakAndDayClash) {
    struct Case {
        const wchar_t* month;
        const wchar_t* day;
        std::vector<std::wstring> strength;
        int monthBreakLine;
        std::vector<std::wstring> dayClash;
    };
    const Case cases[] = {
        {L"丙寅", L"甲午", {L"休", L"旺", L"死", L"相", L"囚", L"死"}, 5, {L"日破", L"", L"", L"", L"", L""}},
        {L"戊辰", L"庚申", {L"死", L"囚", L"旺", L"休", L"相", L"旺"}, 6, {L"", L"日破", L"", L"", L"", L""}},
        {L"甲申", L"丙寅", {L"相", L"死", L"休", L"囚", L"旺", L"休"}, 2, {L"", L"", L"", L"", L"暗动", L""}},
        {L"丙子", L"戊戌", {L"旺", L"相", L"囚", L"死", L"休", L"囚"}, 4, {L"", L"", L"日破", L"", L"", L""}},
        {L"丁巳", L"壬子", {L"囚", L"休", L"相", L"旺", L"死", L"相"}, 0, {L"", L"", L"", L"暗动", L"", L""}},
    };
    const Chart still = chartNamed(L"乾为天");
    for (const Case& c : cases) {
        const ChartMarks m = still.marks(c.day, c.month);
        for (std::size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(m.lines[i].strength, c.strength[i]) << c.month << " line " << i + 1;
            EXPECT_EQ(m.lines[i].monthBreak, static_cast<int>(i) + 1 == c.monthBreakLine) << c.month << " " << i + 1;
            EXPECT_EQ(m.lines[i].dayClash, c.dayClash[i]) << c.day << " line " << i + 1;
        }
    }
    // A moving line is never 暗动 or 日破.
    EXPECT_EQ(chartNamed(L"乾为天", {1}).marks(L"甲午", L"丙寅").lines[0].dayClash, L"");
}

TEST(ChartMarksTest, WhatEachMovingLineChangesInto) {
    struct Case {
        int upper, lower, line;
        const wchar_t* relation;
        const wchar_t* advance;
        bool grave, cut;
    };
    const Case cases[] = {
        {1, 4, 2, L"比和", L"进神", false, false},  // 寅 -> 卯
        {1, 2, 2, L"比和", L"退神", false, false},  // 卯 -> 寅
        {1, 2, 3, L"比和", L"进神", true, false},   // 丑 -> 辰, the grave of 土
        {1, 1, 3, L"比和", L"退神", false, false},  // 辰 -> 丑
        {1, 1, 6, L"比和", L"退神", false, false},  // 戌 -> 未
        {1, 1, 1, L"回头克", L"", false, false},    // 子 -> 丑
        {8, 1, 6, L"克出", L"", false, true},       // 酉 -> 寅, the cut of 金
        {3, 1, 6, L"泄", L"", true, false},         // 巳 -> 戌, the grave of 火
        {4, 1, 6, L"回头生", L"", false, true},     // 戌 -> 巳, 土 sharing 水's cut
        {1, 2, 1, L"回头生", L"", false, false},    // 巳 -> 寅
        {1, 5, 3, L"回头克", L"", false, false},    // 酉 -> 午
        {6, 1, 5, L"克出", L"", false, false},      // 戌 -> 亥
        {4, 1, 5, L"比和", L"进神", false, false},  // 申 -> 酉
    };
    for (const Case& c : cases) {
        const ChartMarks m = chart(c.upper, c.lower, {c.line}).marks(L"甲子");
        const std::string where =
            std::to_string(c.upper) + "/" + std::to_string(c.lower) + " line " + std::to_string(c.line);
        for (std::size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(m.lines[i].change.has_value(), static_cast<int>(i) + 1 == c.line) << where;
        }
        const auto& change = m.lines[static_cast<std::size_t>(c.line - 1)].change;
        ASSERT_TRUE(change.has_value()) << where;
        EXPECT_EQ(change->relation, c.relation) << where;
        EXPECT_EQ(change->advance, c.advance) << where;
        EXPECT_EQ(change->grave, c.grave) << where;
        EXPECT_EQ(change->cut, c.cut) << where;
    }
    // The changed branch's void and month break: 乾为天 line 1, 子 -> 丑.
    const Chart c = chart(1, 1, {1});
    EXPECT_TRUE(c.marks(L"甲寅").lines[0].change->isVoid);  // 甲寅's decade lacks 子丑
    EXPECT_FALSE(c.marks(L"甲子").lines[0].change->isVoid);
    EXPECT_TRUE(c.marks(L"甲子", L"乙未").lines[0].change->monthBreak);
    EXPECT_FALSE(c.marks(L"甲子", L"甲午").lines[0].change->monthBreak);
}

TEST(ChartMarksTest, DaySpirits) {
    struct Case {
        const wchar_t* day;
        std::vector<std::wstring> branches;  // in the order of ShenshaNames
    };
    const Case cases[] = {
        {L"甲子", {L"丑未", L"寅", L"巳", L"寅", L"酉", L"子", L"辰", L"戌", L"巳", L"午"}},
        {L"辛卯", {L"午寅", L"酉", L"子", L"巳", L"子", L"卯", L"未", L"丑", L"申", L"酉"}},
        {L"丁酉", {L"亥酉", L"午", L"酉", L"亥", L"午", L"酉", L"丑", L"未", L"寅", L"卯"}},
        {L"壬寅", {L"卯巳", L"亥", L"寅", L"申", L"卯", L"午", L"戌", L"辰", L"亥", L"子"}},
        {L"庚辰", {L"丑未", L"申", L"亥", L"寅", L"酉", L"子", L"辰", L"戌", L"巳", L"午"}},
        {L"己未", {L"子申", L"午", L"酉", L"巳", L"子", L"卯", L"未", L"丑", L"申", L"酉"}},
    };
    const Chart c = chartNamed(L"乾为天");
    for (const Case& k : cases) {
        const ChartMarks m = c.marks(k.day);
        for (std::size_t n = 0; n < 10; ++n) EXPECT_EQ(m.shensha[n], k.branches[n]) << k.day << " " << n;
    }
    // Each line lists the spirits its branch carries, in their order: 乾为天 on a 甲子 day.
    const ChartMarks m = c.marks(L"甲子");
    const std::vector<std::wstring> perLine = {L"将星 ", L"禄神 驿马 ", L"华盖 ", L"灾煞 ", L"", L"谋星 "};
    for (std::size_t i = 0; i < 6; ++i) EXPECT_EQ(shenshaOf(m.lines[i]), perLine[i]) << i;
}

// The day and hour pillars are the chart's own, minute by minute across days and a late 子 hour.
TEST(ChartMarksTest, DayAndHourPillarsAreTheChartsOwn) {
    const double start = dayCountFromFields(*parseDateTime("2024-02-03 00:00:00"));
    for (double t = start; t < start + 3; t += 7.0 / 1440) {
        const FourPillars p = fourPillars(t);
        const std::wstring day = dayPillar(t);
        EXPECT_EQ(p.day, day) << dateTimeText(t);
        EXPECT_EQ(p.hour, hourPillar(day, hourNumber(t))) << dateTimeText(t);
        EXPECT_EQ(p.year, yearMonthPillars(t).year);
        EXPECT_EQ(p.month, yearMonthPillars(t).month);
    }
}

TEST(ChartMarksTest, AChartNeverBuiltGivesEmptyMarks) {
    const ChartMarks m = chartMarks(Hexagram{}, Hexagram{}, {}, FourPillars{});
    EXPECT_EQ(m.voidBranches, L"");
    EXPECT_EQ(m.bodyBranch, L"");
    EXPECT_EQ(m.primaryShape, L"");
    for (const LineMarks& line : m.lines) {
        EXPECT_EQ(line.strength, L"");
        EXPECT_FALSE(line.hidden.has_value());
        EXPECT_FALSE(line.change.has_value());
        EXPECT_EQ(line.shensha, 0);
    }
}

}  // namespace
}  // namespace orvenna
