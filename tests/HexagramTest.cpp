#include "engine/Hexagram.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "engine/Tables.h"

namespace orvenna {
namespace {

using ::testing::ElementsAreArray;
using Texts = std::vector<std::wstring>;

Hexagram chart(int upper, int lower, std::wstring_view day = L"甲子") {
    Hexagram h;
    h.upperTrigram = upper;
    h.lowerTrigram = lower;
    buildChart(h, day);
    return h;
}

TEST(HexagramTest, LuHexagramInThePalaceOfGen) {
    const Hexagram h = chart(1, 2);
    EXPECT_EQ(h.upperCode, L"111");
    EXPECT_EQ(h.lowerCode, L"110");
    EXPECT_EQ(h.worldLine, 5);
    EXPECT_EQ(h.responseLine, 2);
    EXPECT_EQ(h.palace, 7);
    EXPECT_EQ(h.palaceRank, 6);
    EXPECT_EQ(hexagramNumber(h), 54);
    EXPECT_EQ(hexagramName(hexagramNumber(h)), L"天泽履");
    EXPECT_THAT(h.lineMarks, ElementsAreArray(Texts{L"1", L"1", L"0", L"1", L"1", L"1"}));
    EXPECT_THAT(h.stemBranches, ElementsAreArray(Texts{L"丁巳", L"丁卯", L"丁丑", L"壬午", L"壬申", L"壬戌"}));
    EXPECT_THAT(h.elementNames, ElementsAreArray(Texts{L"火", L"木", L"土", L"火", L"金", L"土"}));
    EXPECT_THAT(h.elementNumbers, ElementsAreArray(std::vector<int>{4, 2, 5, 4, 1, 5}));
    EXPECT_THAT(h.relations, ElementsAreArray(Texts{L"父母", L"官鬼", L"兄弟", L"父母", L"子孙", L"兄弟"}));
    EXPECT_EQ(h.upperName, L"乾");
    EXPECT_EQ(h.lowerName, L"兑");
}

TEST(HexagramTest, PureQianHexagram) {
    const Hexagram h = chart(1, 1);
    EXPECT_EQ(h.worldLine, 6);
    EXPECT_EQ(h.responseLine, 3);
    EXPECT_EQ(h.palace, 1);
    EXPECT_EQ(h.palaceRank, 1);
    EXPECT_EQ(h.soulType, 0);
    EXPECT_EQ(hexagramTitle(h), L"乾宫 (1) 乾为天 ");
    EXPECT_THAT(h.stemBranches, ElementsAreArray(Texts{L"甲子", L"甲寅", L"甲辰", L"壬午", L"壬申", L"壬戌"}));
    EXPECT_THAT(h.elementNames, ElementsAreArray(Texts{L"水", L"木", L"土", L"火", L"金", L"土"}));
    EXPECT_THAT(h.relations, ElementsAreArray(Texts{L"子孙", L"妻财", L"父母", L"官鬼", L"兄弟", L"父母"}));
}

TEST(HexagramTest, WanderingAndReturningSouls) {
    const Hexagram jin = chart(3, 8);  // 离 over 坤
    EXPECT_EQ(jin.worldLine, 4);
    EXPECT_EQ(jin.responseLine, 1);
    EXPECT_EQ(jin.soulType, 1);
    EXPECT_EQ(jin.palace, 1);
    EXPECT_EQ(jin.palaceRank, 7);
    EXPECT_EQ(hexagramTitle(jin), L"乾宫 (7) 火地晋 游魂");

    const Hexagram dayou = chart(3, 1);  // 离 over 乾
    EXPECT_EQ(dayou.worldLine, 3);
    EXPECT_EQ(dayou.responseLine, 6);
    EXPECT_EQ(dayou.soulType, 2);
    EXPECT_EQ(dayou.palace, 1);  // from the lower code
    EXPECT_EQ(dayou.palaceRank, 8);
    EXPECT_EQ(hexagramName(hexagramNumber(dayou)), L"火天大有");

    const Hexagram guan = chart(5, 8);  // 巽 over 坤: palace from the inverted lower code
    EXPECT_EQ(guan.worldLine, 4);
    EXPECT_EQ(guan.responseLine, 1);
    EXPECT_EQ(guan.soulType, 0);
    EXPECT_EQ(guan.palace, 1);
    EXPECT_EQ(guan.palaceRank, 5);
    EXPECT_EQ(hexagramName(hexagramNumber(guan)), L"风地观");
}

TEST(HexagramTest, AllSixtyFourPairsNameEachHexagramOnce) {
    std::set<int> numbers;
    for (int upper = 1; upper <= 8; ++upper) {
        for (int lower = 1; lower <= 8; ++lower) {
            const Hexagram h = chart(upper, lower);
            const int number = hexagramNumber(h);
            ASSERT_GE(number, 1);
            ASSERT_LE(number, 64);
            numbers.insert(number);
            const std::wstring name(hexagramName(number));
            // Names read upper trigram image first; the pure hexagrams read "X为Y".
            if (upper == lower) {
                EXPECT_EQ(h.palaceRank, 1);
                EXPECT_EQ(h.palace, upper);
            }
            EXPECT_EQ(h.lineMarks.size(), 6u);
            EXPECT_EQ(h.relations.size(), 6u);
            EXPECT_EQ(h.spirits.size(), 6u);
            // The world and response lines are always three apart.
            EXPECT_EQ((h.worldLine + 2) % 6 + 1, h.responseLine) << name;
        }
    }
    EXPECT_EQ(numbers.size(), 64u);
}

TEST(HexagramTest, NajiaOfEveryTrigram) {
    const std::vector<Texts> expected = {
        {L"甲子", L"甲寅", L"甲辰", L"壬午", L"壬申", L"壬戌"}, {L"丁巳", L"丁卯", L"丁丑", L"丁亥", L"丁酉", L"丁未"},
        {L"己卯", L"己丑", L"己亥", L"己酉", L"己未", L"己巳"}, {L"庚子", L"庚寅", L"庚辰", L"庚午", L"庚申", L"庚戌"},
        {L"辛丑", L"辛亥", L"辛酉", L"辛未", L"辛巳", L"辛卯"}, {L"戊寅", L"戊辰", L"戊午", L"戊申", L"戊戌", L"戊子"},
        {L"丙辰", L"丙午", L"丙申", L"丙戌", L"丙子", L"丙寅"}, {L"乙未", L"乙巳", L"乙卯", L"癸丑", L"癸亥", L"癸酉"},
    };
    for (int t = 1; t <= 8; ++t) {
        EXPECT_THAT(chart(t, t).stemBranches, ElementsAreArray(expected[static_cast<std::size_t>(t - 1)])) << t;
    }
}

TEST(HexagramTest, SpiritsFollowTheDayStem) {
    const Texts jia = {L"青龙", L"朱雀", L"勾陈", L"腾蛇", L"白虎", L"玄武"};
    EXPECT_THAT(chart(1, 1, L"甲子").spirits, ElementsAreArray(jia));
    EXPECT_THAT(chart(1, 1, L"乙丑").spirits, ElementsAreArray(jia));
    EXPECT_THAT(chart(1, 1, L"己巳").spirits,
                ElementsAreArray(Texts{L"腾蛇", L"白虎", L"玄武", L"青龙", L"朱雀", L"勾陈"}));
    EXPECT_EQ(chart(1, 1, L"戊辰").spirits[0], L"勾陈");
    EXPECT_EQ(chart(1, 1, L"辛未").spirits[0], L"白虎");
    EXPECT_EQ(chart(1, 1, L"癸亥").spirits[0], L"玄武");
}

TEST(HexagramTest, ChangedHexagramHasNoSpiritsNorMovingLine) {
    Hexagram changed;
    changed.movingFlags = {1, 0, 0, 0, 0, 0};
    changed.movingLine = 0;
    buildChanged(changed, L"111", L"011");
    EXPECT_TRUE(changed.spirits.empty());
    EXPECT_TRUE(changed.movingFlags.empty());
    EXPECT_EQ(changed.movingLine, 0);
    EXPECT_EQ(hexagramName(hexagramNumber(changed)), L"天风姤");
    EXPECT_EQ(changed.worldLine, 1);
    EXPECT_EQ(changed.responseLine, 4);
    EXPECT_THAT(changed.stemBranches, ElementsAreArray(Texts{L"辛丑", L"辛亥", L"辛酉", L"壬午", L"壬申", L"壬戌"}));
    // Relations come from the changed hexagram's own palace (乾, metal).
    EXPECT_EQ(changed.relations[0], L"父母");

    // Building again on the same record leaves six entries, not twelve.
    buildChanged(changed, L"000", L"000");
    EXPECT_EQ(changed.stemBranches.size(), 6u);
    EXPECT_EQ(hexagramName(hexagramNumber(changed)), L"坤为地");
}

TEST(HexagramTest, DegradedInputBuildsNothingOrNoPalace) {
    Hexagram empty;
    buildChart(empty, L"甲子");
    EXPECT_TRUE(empty.lineMarks.empty());
    EXPECT_TRUE(empty.stemBranches.empty());
    EXPECT_EQ(empty.palace, 0);

    Hexagram odd;
    buildChanged(odd, L"12", L"abc");  // codes that name no trigram read as 坤
    EXPECT_EQ(odd.upperTrigram, 8);
    EXPECT_EQ(odd.lowerTrigram, 8);
    EXPECT_EQ(odd.stemBranches.size(), 6u);
}

TEST(HexagramTest, RelationOfEveryElementPair) {
    // Rows: palace element 金 木 水 火 土; columns: line element in the same order.
    const int expected[5][5] = {
        {0, 2, 4, 3, 1},  // 金: 木 is wealth, 水 offspring, 火 officer, 土 parent
        {3, 0, 1, 4, 2},  // 木
        {1, 4, 0, 2, 3},  // 水
        {2, 1, 3, 0, 4},  // 火
        {4, 3, 2, 1, 0},  // 土
    };
    for (int a = 1; a <= 5; ++a) {
        for (int b = 1; b <= 5; ++b) EXPECT_EQ(relationOf(a, b), expected[a - 1][b - 1]) << a << "," << b;
    }
}

}  // namespace
}  // namespace orvenna
