#include "engine/CastReview.h"

#include <gtest/gtest.h>

#include "TempDirectory.h"
#include "TestRequest.h"
#include "base/DayCount.h"
#include "engine/Calendar.h"
#include "engine/CastPipeline.h"
#include "records/CastHistory.h"
#include "records/DrawStore.h"
#include "records/StoredReview.h"

namespace orvenna {
namespace {

// Seen the morning after the Tuesday draw, by a clock of another day than any cast.
const CastClock Now{at(2026, 12, 9, 10, 0), 0, -480};
const Draw Tuesday{daysFromCivil(2026, 12, 8), L"26140", {1, 2, 3, 4, 5, 6}, 7};

// The suggestion alone is the one the whole cast shows, for every method.
TEST(CastReviewTest, TheSuggestionAloneIsTheOneTheCastShows) {
    CastRequest time = numberRequest(L"1712066417123", 3, at(2024, 4, 2, 22, 0));
    time.method = TimeCasting;
    time.drawTimeChoice = DrawTime;
    const CastRequest requests[] = {numberRequest(L"1234", 7, at(2026, 12, 8, 20, 0)),
                                    lineRequest(L"010", L"100", {1, 0, 0, 0, -1, 0}, 9, at(2025, 1, 1, 9, 30)), time};
    CastResult whole;
    Analysis analysis;
    Suggestion alone;
    for (const CastRequest& request : requests) {
        SCOPED_TRACE(request.method);
        ASSERT_TRUE(castAnalysis(request, whole));
        ASSERT_TRUE(castSuggestion(request, analysis, alone));
        EXPECT_EQ(alone, whole.suggestion);
    }
    CastRequest unknown = requests[0];
    unknown.method = 7;
    EXPECT_FALSE(castSuggestion(unknown, analysis, alone));
    EXPECT_EQ(alone, Suggestion{});
}

// Each saved cast finds the draw of its own draw day, is scored with the suggestion it showed
// when it was cast, and is otherwise pending, without a draw or not cast at all; the totals
// count each kind.
TEST(CastReviewTest, EachSavedCastMeetsItsOwnDraw) {
    // A draw-time cast is kept at the draw time it was cast for, with the seconds it was made at.
    CastRequest drawTime = numberRequest(L"", 3, at(2026, 12, 8, 21, 25, 37));
    drawTime.method = TimeCasting;
    drawTime.drawTimeChoice = DrawTime;
    drawTime.numberText = std::to_wstring(unixMillis(drawTime.castTime, -480) + 412);
    drawTime.replayId = 6;
    struct Case {
        const wchar_t* title;
        CastRequest request;
        DrawMatch match;
        std::int64_t drawDay;
        bool afterDraw;
    } const cases[] = {
        {L"drawn", numberRequest(L"1234", 7, at(2026, 12, 8, 20, 0)), DrawMatch::Matched, Tuesday.day, false},
        {L"after the draw", numberRequest(L"1234", 7, at(2026, 12, 8, 21, 30)), DrawMatch::Pending,
         daysFromCivil(2026, 12, 11), true},
        {L"a past draw not known", numberRequest(L"1234", 7, at(2026, 12, 5, 9, 0)), DrawMatch::NoDraw,
         daysFromCivil(2026, 12, 6), false},
        {L"an unknown zodiac", numberRequest(L"1234", 13, at(2026, 12, 8, 20, 0)), DrawMatch::NotCast, Tuesday.day,
         false},
        {L"no number", numberRequest(L"", 7, at(2026, 12, 8, 20, 0)), DrawMatch::NotCast, Tuesday.day, false},
        {L"for the draw time", drawTime, DrawMatch::Matched, Tuesday.day, false},
    };
    std::vector<SavedCast> saved;
    for (const Case& c : cases) saved.push_back({static_cast<std::int64_t>(saved.size() + 1), c.title, c.request});
    // Another draw of an earlier day, and a second one of the Tuesday: the first of a day counts.
    const Draw other{daysFromCivil(2026, 12, 6) - 7, L"26136", {0, 0, 0, 0, 0, 0}, 0};
    const Draw second{Tuesday.day, L"26141", {9, 9, 9, 9, 9, 9}, 14};
    const std::vector<Draw> draws = {other, Tuesday, second};
    const CastReview review = reviewCasts(saved, draws, Now);

    ASSERT_EQ(review.casts.size(), std::size(cases));
    CastResult cast;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const ReviewedCast& reviewed = review.casts[i];
        SCOPED_TRACE(testing::PrintToString(std::wstring(cases[i].title)));
        EXPECT_EQ(reviewed.id, static_cast<std::int64_t>(i + 1));
        EXPECT_EQ(reviewed.title, cases[i].title);
        EXPECT_EQ(reviewed.match, cases[i].match);
        EXPECT_EQ(reviewed.drawDay, cases[i].drawDay);
        EXPECT_EQ(reviewed.afterDraw, cases[i].afterDraw);
        if (cases[i].match == DrawMatch::NotCast) continue;
        ASSERT_TRUE(castAnalysis(cases[i].request, cast));
        EXPECT_EQ(reviewed.suggestion, cast.suggestion) << "the suggestion of the cast itself, not of a replay today";
    }
    const ReviewedCast& drawn = review.casts[0];
    EXPECT_EQ(drawn.draw, Tuesday);
    const CastScore expected = scoreCast(drawn.suggestion, Tuesday);
    EXPECT_EQ(drawn.score.positionHit, expected.positionHit);
    const CastScore forDrawTime = scoreCast(review.casts[5].suggestion, Tuesday);
    EXPECT_EQ(review.totals.scores.casts, 2);
    EXPECT_EQ(review.totals.scores.positionHits, expected.positionHits + forDrawTime.positionHits);
    EXPECT_DOUBLE_EQ(review.totals.scores.expectedLikelyHits,
                     expected.expectedLikelyHits + forDrawTime.expectedLikelyHits);
    EXPECT_EQ(review.totals.pending, 1);
    EXPECT_EQ(review.totals.noDraw, 1);
    const ReviewTotals again = reviewTotals(review.casts);
    EXPECT_EQ(again.scores.positionHits, review.totals.scores.positionHits);
    EXPECT_EQ(again.pending, 1);
    EXPECT_EQ(again.noDraw, 1);
}

// The store's review reads every saved row, newest first, and every stored draw; a row that
// another program wrote with a method no cast knows is not cast.
TEST(CastReviewTest, TheStoreIsReviewedNewestFirst) {
    TempDirectory home;
    EasyDb db(home.path());
    CastHistory history(db);
    ASSERT_TRUE(DrawStore(db).store({&Tuesday, 1}, DrawOrigin::Imported, L"2026-12-09 00:00:00"));
    CastResult cast;
    ASSERT_TRUE(castAnalysis(numberRequest(L"1234", 7, at(2026, 12, 8, 20, 0)), cast));
    ASSERT_TRUE(history.save(cast.analysis.record, L"drawn", L""));
    YsModel foreign = YsModel::fromAnalysis(cast.analysis.record, L"foreign", L"");
    foreign.ysindex = 7;
    ASSERT_TRUE(db.save(foreign));

    const Result<CastReview> review = reviewCasts(db, Now);
    ASSERT_TRUE(review) << review.error().message;
    ASSERT_EQ(review->casts.size(), 2u);
    EXPECT_EQ(review->casts[0].match, DrawMatch::NotCast);
    EXPECT_EQ(review->casts[1].match, DrawMatch::Matched);
    EXPECT_EQ(review->casts[1].title, L"drawn(2026年12月8日20时)");
    EXPECT_EQ(review->casts[1].draw, Tuesday);
    EXPECT_EQ(review->casts[1].suggestion, cast.suggestion);
}

}  // namespace
}  // namespace orvenna
