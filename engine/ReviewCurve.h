// The hits of the reviewed casts added up draw by draw, beside what a random pick of the same
// sizes gets on average: the picture 往期对照 draws to show whether the suggestions pull away
// from chance over time or only wander around it.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "CastReview.h"

namespace orvenna {

// The totals over every scored cast whose draw is on `day` or before.
struct CurvePoint {
    std::int64_t day = 0;  // a draw day, days since 1899-12-30
    int casts = 0;
    int positionHits = 0;
    double expectedPositionHits = 0;
    int blueHits = 0;
    double expectedBlueHits = 0;
};

// One point for each draw day that scored a cast, in the order of the days; nothing when no
// cast has been scored.
std::vector<CurvePoint> reviewCurve(std::span<const ReviewedCast> casts);

}  // namespace orvenna
