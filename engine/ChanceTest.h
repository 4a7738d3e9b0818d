// Whether the hits added up over many casts differ from what picking as many numbers at random
// gives: each hit is an independent trial with its own chance (a position with k of 10
// digits, the blue number with k of 15, a drawn digit among k likely ones of 10), so a total
// of hits follows the Poisson-binomial distribution of those chances, and a total far out in
// either tail of it is one that chance rarely gives.
#pragma once

#include <optional>
#include <span>

#include "DrawScore.h"

namespace orvenna {

// Trials of one chance (0 to 1), as many as `trials`.
struct TrialGroup {
    int trials = 0;
    double chance = 0;
};

// Up to this many trials that can go either way the distribution is reckoned exactly (to
// terms 1e-30 of its largest), a fraction of a millisecond. Beyond, every such trial here has
// a chance between 1/15 and 14/15, so the variance is at least 2000 x 1/15 x 14/15, about 124,
// and the normal curve with continuity correction is within a few thousandths of the exact
// tails (0.0045 at worst, where p is near 0.05).
inline constexpr int ExactTrialsLimit = 2000;

// The two-sided p-value of `hits` among the trials: min(1, 2 min(P(X <= hits), P(X >= hits))).
// Trials of chance 0 or 1 cannot vary and count as they must; a total they make impossible
// has p-value 0. Exact up to ExactTrialsLimit varying trials, the normal curve beyond.
double twoSidedP(std::span<const TrialGroup> groups, int hits);
// The same, always by the exact distribution.
double exactTwoSidedP(std::span<const TrialGroup> groups, int hits);
// The same, always by the normal curve with continuity correction.
double normalTwoSidedP(std::span<const TrialGroup> groups, int hits);

// The p-value of each total of the matched casts.
struct TotalsTest {
    double positionP = 1;
    double blueP = 1;
    double likelyP = 1;
};

// The test of the totals against chance, reckoned once for all the casts added; nothing
// when no cast was matched.
std::optional<TotalsTest> chanceTest(const ScoreTotals& totals);

}  // namespace orvenna
