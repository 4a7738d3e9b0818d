#include "CastReview.h"

#include <cmath>

#include "Calendar.h"
#include "CastDispatch.h"
#include "CastPipeline.h"

namespace orvenna {

void ReviewTotals::add(const ReviewedCast& cast) {
    switch (cast.match) {
        case DrawMatch::Matched:
            scores.add(cast.score);
            break;
        case DrawMatch::Pending:
            ++pending;
            break;
        case DrawMatch::NoDraw:
            ++noDraw;
            break;
        case DrawMatch::NotCast:
            break;
    }
}

DrawDays::DrawDays(std::span<const Draw> draws) {
    byDay_.reserve(draws.size());
    for (const Draw& draw : draws) byDay_.emplace(draw.day, &draw);
}

const Draw* DrawDays::on(std::int64_t day) const {
    const auto found = byDay_.find(day);
    return found == byDay_.end() ? nullptr : found->second;
}

namespace {

bool castForDrawTime(const CastRequest& request) {
    return request.method == TimeCasting && request.drawTimeChoice == DrawTime;
}

}  // namespace

std::int64_t drawDayOfCast(const CastRequest& request) {
    if (castForDrawTime(request)) return drawDayOf(std::floor(request.castTime));
    return drawDayOf(request.castTime);
}

bool castsAgain(const CastRequest& request) {
    return request.method >= NumberCasting && request.method <= TimeCasting && request.zodiac >= 1 &&
           request.zodiac <= 12 && checkRequest(request).casts();
}

ReviewedCast reviewCast(const SavedCast& saved, const DrawDays& draws, const CastClock& now, Analysis& analysis) {
    ReviewedCast cast;
    cast.id = saved.id;
    cast.title = saved.title;
    cast.castTime = saved.request.castTime;
    cast.drawDay = drawDayOfCast(saved.request);
    cast.afterDraw = !castForDrawTime(saved.request) && castAfterDraw(cast.castTime);
    if (!castsAgain(saved.request)) {
        cast.match = DrawMatch::NotCast;
        return cast;
    }
    // A replay at the cast's own time computes what the user was shown then: a number
    // casting takes the clock's time, the others keep what was stored.
    CastRequest request = saved.request;
    const CastClock then{cast.castTime, unixMillis(cast.castTime, now.biasMinutes), now.biasMinutes};
    completeCastTime(request, then);
    castSuggestion(request, analysis, cast.suggestion);
    if (const Draw* draw = draws.on(cast.drawDay)) {
        cast.match = DrawMatch::Matched;
        cast.draw = *draw;
        cast.score = scoreCast(cast.suggestion, *draw);
    } else {
        cast.match = drawTimeOn(cast.drawDay) > now.localNow ? DrawMatch::Pending : DrawMatch::NoDraw;
    }
    return cast;
}

CastReview reviewCasts(std::span<const SavedCast> casts, std::span<const Draw> draws, const CastClock& now) {
    const DrawDays days(draws);
    CastReview review;
    review.casts.reserve(casts.size());
    Analysis analysis;
    for (const SavedCast& saved : casts) {
        review.casts.push_back(reviewCast(saved, days, now, analysis));
        review.totals.add(review.casts.back());
    }
    return review;
}

ReviewTotals reviewTotals(std::span<const ReviewedCast> casts) {
    ReviewTotals totals;
    for (const ReviewedCast& cast : casts) totals.add(cast);
    return totals;
}

}  // namespace orvenna
