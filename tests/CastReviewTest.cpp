#include "records/CastReview.h"

#include <gtest/gtest.h>

#include "TempDirectory.h"
#include "base/DayCount.h"
#include "records/CastHistory.h"

namespace orvenna {
namespace {

double at(int year, int month, int day, int hour, int minute) {
    return dayCountFromFields({year, month, day, hour, minute, 0, 0, 0});
}

// Each saved cast finds the stored draw of its own draw day, is scored with the suggestion it
// showed when it was cast, and is otherwise pending or without a draw; the totals count only
// the scored ones.
TEST(CastReviewTest, EachSavedCastMeetsItsOwnDraw) {
    TempDirectory home;
    EasyDb db(home.path());
    CastHistory history(db);
    const DrawRow tuesday{L"26140", L"2026-12-08", {{1, 2, 3, 4, 5, 6}, 7}};
    ASSERT_TRUE(DrawStore(db).store({&tuesday, 1}, DrawOrigin::Imported, L"2026-12-09 00:00:00"));

    struct Case {
        const wchar_t* title;
        double castTime;
        DrawMatch match;
        const wchar_t* drawDate;
    } const cases[] = {
        {L"drawn", at(2026, 12, 8, 20, 0), DrawMatch::Matched, L"2026-12-08"},
        {L"after the draw", at(2026, 12, 8, 21, 30), DrawMatch::Pending, L"2026-12-11"},
        {L"a past draw not stored", at(2026, 12, 5, 9, 0), DrawMatch::NoDraw, L"2026-12-06"},
    };
    CastResult cast;
    std::vector<Suggestion> shown;
    for (const Case& c : cases) {
        CastRequest request;
        request.method = NumberCasting;
        request.numberText = L"1234";
        request.zodiac = 7;
        request.castTime = c.castTime;
        ASSERT_TRUE(castAnalysis(request, cast));
        shown.push_back(cast.suggestion);
        ASSERT_TRUE(history.save(cast.analysis.record, c.title, L""));
    }
    YsModel foreign = YsModel::fromAnalysis(cast.analysis.record, L"foreign", L"");
    foreign.ysindex = 7;
    ASSERT_TRUE(db.save(foreign));

    // Seen the morning after the Tuesday draw, by a clock of another day than any cast.
    const CastClock now{at(2026, 12, 9, 10, 0), 0, -480};
    const Result<CastReview> review = reviewCasts(db, now);
    ASSERT_TRUE(review) << review.error().message;
    ASSERT_EQ(review->casts.size(), 4u);
    EXPECT_EQ(review->casts[0].match, DrawMatch::NotCast);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const ReviewedCast& reviewed = review->casts[std::size(cases) - i];  // newest first
        SCOPED_TRACE(testing::PrintToString(std::string(reviewed.title.begin(), reviewed.title.end())));
        EXPECT_EQ(reviewed.match, cases[i].match);
        EXPECT_EQ(reviewed.drawDate, cases[i].drawDate);
        EXPECT_EQ(reviewed.suggestion, shown[i]) << "the suggestion of the cast itself, not of a replay today";
    }
    const ReviewedCast& drawn = review->casts[3];
    EXPECT_EQ(drawn.draw, tuesday);
    const CastScore expected = scoreCast(shown[0], tuesday.numbers);
    EXPECT_EQ(drawn.score.positionHit, expected.positionHit);
    EXPECT_EQ(review->totals.casts, 1);
    EXPECT_EQ(review->totals.positionHits, expected.positionHits);
    EXPECT_DOUBLE_EQ(review->totals.expectedLikelyHits, expected.expectedLikelyHits);
}

TEST(CastReviewTest, TheScoreLineSaysTheDrawAndTheHitsBesideChance) {
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
}

}  // namespace
}  // namespace orvenna
