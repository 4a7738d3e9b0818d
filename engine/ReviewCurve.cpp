#include "ReviewCurve.h"

#include <algorithm>

namespace orvenna {

std::vector<CurvePoint> reviewCurve(std::span<const ReviewedCast> casts) {
    std::vector<const ReviewedCast*> scored;
    for (const ReviewedCast& cast : casts)
        if (cast.match == DrawMatch::Matched) scored.push_back(&cast);
    std::stable_sort(scored.begin(), scored.end(),
                     [](const ReviewedCast* a, const ReviewedCast* b) { return a->draw.day < b->draw.day; });
    std::vector<CurvePoint> curve;
    CurvePoint total;
    for (const ReviewedCast* cast : scored) {
        // A point closes when the next scored cast belongs to a later draw.
        if (total.casts > 0 && cast->draw.day != total.day) curve.push_back(total);
        total.day = cast->draw.day;
        ++total.casts;
        total.positionHits += cast->score.positionHits;
        total.expectedPositionHits += cast->score.expectedPositionHits;
        total.blueHits += cast->score.blueHit;
        total.expectedBlueHits += cast->score.expectedBlue;
    }
    if (total.casts > 0) curve.push_back(total);
    return curve;
}

}  // namespace orvenna
