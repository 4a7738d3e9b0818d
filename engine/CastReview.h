// How each saved cast fared against the draw it was cast for: its suggestion, recomputed as a
// replay at its own cast time computes it, scored against the draw of its draw day.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <unordered_map>
#include <vector>

#include "AnalysisRun.h"
#include "CastRequest.h"
#include "Draw.h"
#include "DrawScore.h"
#include "Suggestion.h"
#include "base/CastClock.h"

namespace orvenna {

enum class DrawMatch {
    Matched,  // its draw is known: scored
    Pending,  // its draw is still to come
    NoDraw,   // its draw day is past and no draw of that day is known (not imported, or skipped)
    NotCast,  // the saved request cannot be cast again (another program wrote it)
};

// A saved cast as the review reads it: the request a replay starts from (its cast time the
// time it was cast), with the row it came from and its title.
struct SavedCast {
    std::int64_t id = 0;
    std::wstring title;  // as saved (with its cast time)
    CastRequest request;
};

struct ReviewedCast {
    std::int64_t id = 0;
    std::wstring title;
    double castTime = 0;
    std::int64_t drawDay = 0;  // the day of the draw the cast belongs to
    // Made on a draw day after its draw (21:25) and before 22:00: casting still counted that
    // day's draw time, yet the cast belongs to the next draw (see castAfterDraw).
    bool afterDraw = false;
    DrawMatch match = DrawMatch::NoDraw;
    Draw draw;  // Matched's
    Suggestion suggestion;
    CastScore score;  // Matched's
};

// The scores added up over the matched casts, and how many casts wait for their draw or
// lack it.
struct ReviewTotals {
    ScoreTotals scores;
    int pending = 0;
    int noDraw = 0;

    void add(const ReviewedCast& cast);
};

struct CastReview {
    std::vector<ReviewedCast> casts;  // in the order given
    ReviewTotals totals;
};

// The draws by their day, for looking up many casts' draws; where two share a day, the first.
class DrawDays {
public:
    explicit DrawDays(std::span<const Draw> draws);
    const Draw* on(std::int64_t day) const;

private:
    std::unordered_map<std::int64_t, const Draw*> byDay_;
};

// The day of the draw a saved cast is for. A draw-time cast is kept at the draw time it was
// cast for, with the seconds of the moment it was made (21:25:37): that day's draw is its own.
// Any other cast belongs to the first draw at or after its cast time (drawDayOf).
std::int64_t drawDayOfCast(const CastRequest& request);

// True when a saved request casts again: a method and a zodiac that casting knows, and the
// method's own input complete.
bool castsAgain(const CastRequest& request);

// One saved cast against the draws, as seen at `now` (its bias reckons the replay);
// `analysis` is working space that many calls share.
ReviewedCast reviewCast(const SavedCast& cast, const DrawDays& draws, const CastClock& now, Analysis& analysis);

// Every saved cast against `draws`, in the order given, with the totals.
CastReview reviewCasts(std::span<const SavedCast> casts, std::span<const Draw> draws, const CastClock& now);

// The totals of reviewed casts.
ReviewTotals reviewTotals(std::span<const ReviewedCast> casts);

}  // namespace orvenna
