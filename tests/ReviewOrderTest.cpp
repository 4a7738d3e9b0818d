#include "engine/ReviewCurve.h"
#include "engine/ReviewOrder.h"

#include <gtest/gtest.h>

#include <numeric>

namespace orvenna {
namespace {

ReviewedCast drawnCast(const wchar_t* title, double castTime, const wchar_t* period, int blue, int positionHits,
                       bool blueHit, int likelyHits, double chance) {
    ReviewedCast cast;
    cast.title = title;
    cast.castTime = castTime;
    cast.match = DrawMatch::Matched;
    cast.draw = {0, period, {1, 2, 3, 4, 5, 6}, blue};
    cast.score.positionHits = positionHits;
    cast.score.blueHit = blueHit;
    cast.score.likelyHits = likelyHits;
    cast.score.expectedPositionHits = chance;
    return cast;
}

ReviewedCast undrawnCast(const wchar_t* title, double castTime, DrawMatch match) {
    ReviewedCast cast;
    cast.title = title;
    cast.castTime = castTime;
    cast.match = match;
    return cast;
}

// Rows 0-5: four drawn casts (two of them alike but for the cast time), one pending, one that
// cannot be cast. Each column orders them by its own key, the cast time breaking ties, and the
// descending order is the ascending one reversed.
TEST(ReviewOrderTest, EachColumnSortsBothWays) {
    const std::vector<ReviewedCast> casts = {
        drawnCast(L"乙", 46003, L"26140", 7, 2, false, 1, 3.0), drawnCast(L"甲", 46001, L"26139", 12, 4, true, 3, 2.5),
        undrawnCast(L"丙", 46006, DrawMatch::Pending),          drawnCast(L"乙", 46002, L"26141", 7, 2, false, 1, 3.0),
        undrawnCast(L"丁", 46000, DrawMatch::NotCast),          drawnCast(L"戊", 46004, L"9999", 3, 0, true, 0, 3.5),
    };
    struct Case {
        ReviewColumn column;
        std::vector<std::size_t> ascending;
    } const cases[] = {
        // 丁 U+4E01 < 丙 U+4E19 < 乙 U+4E59 < 戊 U+620A < 甲 U+7532.
        {ReviewColumn::Title, {4, 2, 3, 0, 5, 1}},
        {ReviewColumn::CastTime, {4, 1, 3, 0, 5, 2}},
        // Periods by number (an old store's 9999 before 26139), then pending, then not cast.
        {ReviewColumn::Period, {5, 1, 0, 3, 2, 4}},
        // No numbers first; then by number: 123456+3 < 123456+7 < 123456+12.
        {ReviewColumn::Numbers, {4, 2, 5, 3, 0, 1}},
        {ReviewColumn::PositionHits, {4, 2, 5, 3, 0, 1}},
        {ReviewColumn::Blue, {4, 2, 3, 0, 1, 5}},
        {ReviewColumn::Likely, {4, 2, 5, 3, 0, 1}},
        {ReviewColumn::Chance, {4, 2, 1, 3, 0, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.column));
        std::vector<std::size_t> rows(casts.size());
        std::iota(rows.begin(), rows.end(), std::size_t{0});
        sortReview(casts, rows, c.column, false);
        EXPECT_EQ(rows, c.ascending);
        sortReview(casts, rows, c.column, true);
        EXPECT_EQ(rows, std::vector<std::size_t>(c.ascending.rbegin(), c.ascending.rend()));
    }
}

TEST(ReviewOrderTest, OnlyTheListsColumnsAreColumns) {
    EXPECT_EQ(reviewColumnAt(0), ReviewColumn::Title);
    EXPECT_EQ(reviewColumnAt(7), ReviewColumn::Chance);
    EXPECT_FALSE(reviewColumnAt(-1));
    EXPECT_FALSE(reviewColumnAt(8));
}

// Casts listed out of draw order, two for one draw, one still pending: one point a draw day,
// each the running totals up to that draw.
TEST(ReviewCurveTest, AddsUpTheScoredCastsDrawByDraw) {
    std::vector<ReviewedCast> casts = {
        drawnCast(L"a", 0, L"26140", 7, 2, true, 0, 3.0),
        drawnCast(L"b", 0, L"26139", 7, 4, false, 0, 2.5),
        undrawnCast(L"c", 0, DrawMatch::Pending),
        drawnCast(L"d", 0, L"26140", 7, 1, false, 0, 1.0),
    };
    const std::int64_t days[] = {46100, 46097, 0, 46100};
    for (std::size_t i = 0; i < casts.size(); ++i) {
        casts[i].draw.day = days[i];
        casts[i].score.expectedBlue = 0.2;
    }
    const std::vector<CurvePoint> curve = reviewCurve(casts);
    ASSERT_EQ(curve.size(), 2u);
    EXPECT_EQ(curve[0].day, 46097);
    EXPECT_EQ(curve[0].casts, 1);
    EXPECT_EQ(curve[0].positionHits, 4);
    EXPECT_DOUBLE_EQ(curve[0].expectedPositionHits, 2.5);
    EXPECT_EQ(curve[1].day, 46100);
    EXPECT_EQ(curve[1].casts, 3);
    EXPECT_EQ(curve[1].positionHits, 7);
    EXPECT_DOUBLE_EQ(curve[1].expectedPositionHits, 6.5);
    EXPECT_EQ(curve[1].blueHits, 1);
    EXPECT_NEAR(curve[1].expectedBlueHits, 0.6, 1e-12);
    EXPECT_TRUE(reviewCurve(std::vector<ReviewedCast>{undrawnCast(L"e", 0, DrawMatch::NoDraw)}).empty());
}

}  // namespace
}  // namespace orvenna
