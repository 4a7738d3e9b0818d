#include "engine/Suggestion.h"

#include <gtest/gtest.h>

#include "TestRequest.h"
#include "base/DayCount.h"
#include "engine/AnalysisRun.h"

namespace orvenna {
namespace {

// Zodiac 午 on a 甲子 day; 乾为天 with line 1 moving changes into 天风姤.
Analysis workedExample(int method) {
    const double noon = dayCountFromFields({2022, 11, 7, 12, 0, 0, 0, 0});
    const CastRequest request = method == NumberCasting ? numberRequest(L"111", 7, noon)
                                                        : lineRequest(L"111", L"111", {1, 0, 0, 0, 0, 0}, 7, noon);
    Analysis analysis;
    EXPECT_TRUE(runAnalysis(request, analysis));
    analysis.record.baseNumbers = deriveBaseNumbers(analysis.record);
    return analysis;
}

TEST(SuggestionTest, WorkedExampleFromARealCast) {
    for (const int method : {NumberCasting, LineCasting}) {
        const Analysis analysis = workedExample(method);
        const BaseNumbers& b = analysis.record.baseNumbers;
        EXPECT_EQ(analysis.record.primaryName, L"乾为天");
        EXPECT_EQ(analysis.record.changedName, L"天风姤");
        EXPECT_EQ(digitPool(b), L"2315490678");
        EXPECT_EQ(b.worldIndex, 5);
        EXPECT_EQ(b.responseIndex, 2);
        // The response digits come from the changed hexagram at the primary response line.
        EXPECT_EQ(b.responseStemDigit, 9);
        EXPECT_EQ(b.responseBranchDigit, 9);
        EXPECT_EQ(keyLine(b.spirits, b.worldIndex, b.responseIndex), 0);
        const Suggestion s = buildSuggestion(b);
        EXPECT_EQ(s, (Suggestion{L"0,6,7,8,9", L"0,2,6,7,8", L"2,3,6,7,8", L"1,2,3,7,8", L"1,2,3,5,8", L"1,2,3,4,5",
                                 L"0,1,2,5,9,12", L"0,2,3,4,7,8"}))
            << method;
    }
}

// Base numbers whose eight blue source digits are exactly `blue` (repeated), with the key
// line on line 1 carrying `spirit` over `relation`.
BaseNumbers blueCase(std::array<int, 4> blue, const wchar_t* spirit, const wchar_t* relation) {
    BaseNumbers b;
    b.worldIndex = 5;
    b.responseIndex = 2;
    b.worldStemDigit = b.changedWorldStemDigit = blue[0];
    b.worldBranchDigit = b.changedWorldBranchDigit = blue[1];
    b.responseStemDigit = b.changedResponseStemDigit = blue[2];
    b.responseBranchDigit = b.changedResponseBranchDigit = blue[3];
    b.spirits = {spirit, L"朱雀", L"勾陈", L"腾蛇", L"白虎", L"玄武"};
    b.relations = {relation, L"兄弟", L"兄弟", L"兄弟", L"兄弟", L"兄弟"};
    return b;
}

TEST(SuggestionTest, BlueListSkipsACandidateThatOccursInsideAnother) {
    // 8 / 0.1 = 80 adds 13 and 11; 2 / 0.1 = 20 adds 10, 6 and 4, but not 3 (inside 13).
    EXPECT_EQ(buildSuggestion(blueCase({2, 5, 7, 8}, L"青龙", L"子孙"))[6], L"2,4,5,6,7,8,10,11,13");
}

TEST(SuggestionTest, BlueListWithBothWeights) {
    // 0.2 (青龙 on 妻财): 9 gives 45 and adds 11, 9, 7, 6 where absent; 2 gives 10, nothing.
    EXPECT_EQ(buildSuggestion(blueCase({2, 3, 4, 9}, L"青龙", L"妻财"))[6], L"2,3,4,6,7,9,11");
    // 0.1: 9 gives 90 (adds 12 only), and the lowest non-zero digit 1 gives 10, nothing.
    EXPECT_EQ(buildSuggestion(blueCase({0, 1, 5, 9}, L"青龙", L"子孙"))[6], L"0,1,5,9,12");
    // A key-line spirit without a weight adds nothing.
    EXPECT_EQ(buildSuggestion(blueCase({2, 5, 7, 8}, L"青龙", L"未知"))[6], L"2,5,7,8");
    EXPECT_DOUBLE_EQ(spiritWeight(L"腾蛇", L"官鬼"), 0.2);
    EXPECT_DOUBLE_EQ(spiritWeight(L"白虎", L"妻财"), -0.2);
    EXPECT_DOUBLE_EQ(spiritWeight(L"麒麟", L"妻财"), 0);
    EXPECT_EQ(spiritWeightTenths(L"朱雀", L"妻财"), 2);
    EXPECT_EQ(spiritWeightTenths(L"玄武", L"妻财"), 1);
}

TEST(SuggestionTest, ShortListsWalkThePoolFromOppositeEnds) {
    // Only the digit 5 among the blue sources: the walk fills c to four digits. Key line 0 is
    // even, so the blue walk starts at the end of the pool and the likely walk at its start.
    BaseNumbers b = blueCase({5, 5, 5, 5}, L"青龙", L"兄弟");
    EXPECT_EQ(digitPool(b), L"0123456789");
    const Suggestion even = buildSuggestion(b);
    EXPECT_EQ(even[6], L"5,7,8,9,10,12");  // 9, 8, 7 from the end
    EXPECT_EQ(even[7], L"0,1,2,3,4,5");    // 0 and 23 from the pairs, then 1, 4, 5 from the start
    // With 青龙 on line 2 (odd; 玄武 sits on the world line 6) the directions swap.
    b.spirits = {L"朱雀", L"青龙", L"勾陈", L"腾蛇", L"白虎", L"玄武"};
    const Suggestion odd = buildSuggestion(b);
    EXPECT_EQ(odd[6], L"0,1,2,5,7,8,10,12");
    EXPECT_EQ(odd[7], L"0,2,3,7,8,9");
}

TEST(SuggestionTest, KeyLineAvoidsTheWorldAndResponseLines) {
    const std::array<std::wstring, 6> spirits = {L"青龙", L"朱雀", L"勾陈", L"玄武", L"白虎", L"腾蛇"};
    EXPECT_EQ(keyLine(spirits, 5, 2), 0);  // 青龙 free
    EXPECT_EQ(keyLine(spirits, 0, 2), 3);  // 青龙 on the world line: 玄武 instead
    EXPECT_EQ(keyLine(spirits, 3, 0), 3);  // both taken: the higher one
    EXPECT_EQ(keyLine({L"", L"", L"", L"", L"", L""}, 1, 4), 0);
}

TEST(SuggestionTest, WorldLineSetsWhereThePositionsStart) {
    BaseNumbers b = blueCase({1, 2, 3, 4}, L"青龙", L"兄弟");
    b.zodiacDigit = 9;  // pool 9012345678
    b.worldIndex = 0;
    Suggestion s = buildSuggestion(b);
    EXPECT_EQ(s[0], L"0,1,2,3,9");
    EXPECT_EQ(s[5], L"4,5,6,7,8");
    b.worldIndex = 5;
    s = buildSuggestion(b);
    EXPECT_EQ(s[0], L"4,5,6,7,8");
    EXPECT_EQ(s[1], L"5,6,7,8,9");  // wraps around the end of the pool
    EXPECT_EQ(s[5], L"0,1,2,3,9");
}

TEST(SuggestionTest, PairNumbersAndDigitLists) {
    EXPECT_EQ(pairNumber(0, 1), 4);
    EXPECT_EQ(pairNumber(1, 0), 5);
    EXPECT_EQ(pairNumber(0, 2), 7);
    EXPECT_EQ(pairNumber(2, 0), 3);
    EXPECT_EQ(pairNumber(6, 6), 90);
    EXPECT_EQ(pairNumber(10, 0), 0);
    EXPECT_EQ(formatDigitList(L"90612"), L"0,1,2,6,9");
    EXPECT_EQ(formatDigitList(L" 12, 3,,1 ,"), L"1,3,12");
    EXPECT_EQ(formatDigitList(L"1,5,9,0,2,12,"), L"0,1,2,5,9,12");
    EXPECT_EQ(formatDigitList(L""), L"");
}

TEST(SuggestionTest, EveryCastGivesWellFormedLists) {
    Analysis analysis;
    for (int n = 0; n < 3000; ++n) {
        ASSERT_TRUE(runAnalysis(numberRequest(std::to_wstring(n * 7919), n % 12 + 1, 45000 + n * 0.37), analysis));
        const Suggestion s = buildSuggestion(deriveBaseNumbers(analysis.record));
        for (std::size_t p = 0; p < 6; ++p) ASSERT_EQ(s[p].size(), 9u) << n;  // five digits
        ASSERT_GE(s[6].size(), 7u);
        ASSERT_GE(s[7].size(), 11u);
        ASSERT_EQ(digitPool(deriveBaseNumbers(analysis.record)).size(), 10u);
    }
}

}  // namespace
}  // namespace orvenna
