#include "ui/words/ReviewText.h"

#include <gtest/gtest.h>

namespace orvenna {
namespace {

// What the tooltip and a replay say of a reviewed cast.
TEST(ReviewTextTest, TheScoreLineSaysTheDrawAndTheHitsBesideChance) {
    ReviewedCast matched;
    matched.match = DrawMatch::Matched;
    matched.draw.period = L"25140";
    matched.score.positionHits = 4;
    matched.score.blueHit = true;
    matched.score.likelyHits = 3;
    matched.score.expectedPositionHits = 3.0;
    ReviewedCast missed = matched;
    missed.score = {};
    missed.score.expectedPositionHits = 2.55;
    ReviewedCast pending, noDraw, notCast;
    pending.match = DrawMatch::Pending;
    noDraw.match = DrawMatch::NoDraw;
    notCast.match = DrawMatch::NotCast;
    EXPECT_EQ(scoreLine(matched), L"第25140期 对位命中4/6 蓝号中 可能号3 (随机期望3.0/6)");
    EXPECT_EQ(scoreLine(missed), L"第25140期 对位命中0/6 蓝号未中 可能号0 (随机期望2.5/6)");
    EXPECT_EQ(scoreLine(pending), L"待开奖");
    EXPECT_EQ(scoreLine(noDraw), L"无开奖数据");
    EXPECT_EQ(scoreLine(notCast), L"");

    // A cast made after its day's draw says which draw it is scored against.
    for (ReviewedCast* cast : {&matched, &pending, &notCast}) cast->afterDraw = true;
    EXPECT_EQ(scoreLine(matched), L"第25140期 对位命中4/6 蓝号中 可能号3 (随机期望3.0/6) 开奖后所起,对下一期");
    EXPECT_EQ(scoreLine(pending), L"待开奖 开奖后所起,对下一期");
    EXPECT_EQ(afterDrawMark(matched), L"开奖后所起,对下一期");
    EXPECT_EQ(scoreLine(notCast), L"");
    EXPECT_EQ(afterDrawMark(notCast), L"");
    EXPECT_EQ(afterDrawMark(noDraw), L"");
}

// Each total's sentence: no difference from chance at p 0.05 and above, else how far above or
// below its expectation, the p-value never rounded across 0.05.
TEST(ReviewTextTest, EachTotalSaysWhetherItDiffersFromChance) {
    struct Case {
        const wchar_t* total;
        int hits;
        double expected, p;
        const wchar_t* said;
    } const cases[] = {
        {L"对位命中", 30, 30.0, 0.42, L"对位命中与随机无显著差异(p=0.42)"},
        {L"对位命中", 37, 30.0, 0.003, L"对位命中高于随机期望23%(p=0.003)"},
        {L"蓝号命中", 2, 4.0, 0.0499, L"蓝号命中低于随机期望50%(p=0.049)"},
        {L"蓝号命中", 2, 4.0, 0.05, L"蓝号命中与随机无显著差异(p=0.05)"},
        {L"可能号命中", 1045, 1000.0, 0.01, L"可能号命中高于随机期望4.5%(p=0.010)"},
        {L"可能号命中", 900, 1000.0, 0.0004, L"可能号命中低于随机期望10%(p<0.001)"},
        {L"对位命中", 1, 0.0, 0.0, L"对位命中高于随机期望(p<0.001)"},
        {L"对位命中", 0, 0.0, 1.0, L"对位命中与随机无显著差异(p=1.00)"},
    };
    for (const Case& c : cases) EXPECT_EQ(chanceSentence(c.total, c.hits, c.expected, c.p), c.said);

    EXPECT_EQ(chanceLines(ScoreTotals{}), std::vector<std::wstring>{L"尚无已开奖的起卦"});
    // Six hits of six fair positions: 2/64; the blue number of 1 in 15: 2/15; no likely digits.
    const std::wstring half = L"0,1,2,3,4";
    ScoreTotals one;
    one.add(scoreCast({half, half, half, half, half, half, L"0", L""}, Draw{0, L"1", {0, 1, 2, 3, 4, 0}, 0}));
    EXPECT_EQ(chanceLines(one),
              (std::vector<std::wstring>{L"对位命中高于随机期望100%(p=0.031)", L"蓝号命中与随机无显著差异(p=0.13)",
                                         L"可能号命中与随机无显著差异(p=1.00)"}));
}

}  // namespace
}  // namespace orvenna
