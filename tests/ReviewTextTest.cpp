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

}  // namespace
}  // namespace orvenna
