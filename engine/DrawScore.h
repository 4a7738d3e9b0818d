// How the suggestion of a saved cast fared against the draw it was cast for, beside what
// picking as many numbers at random would give on average.
#pragma once

#include <array>
#include <cstdint>

#include "Draw.h"
#include "Suggestion.h"

namespace orvenna {

// The day (days since 1899-12-30) of the draw a cast made at `castTime` belongs to: the first
// draw at or after it. Draws are on Tuesday, Friday and Sunday at 21:25, China Standard
// Time, the time the cast time is kept in; a cast after 21:25 on a draw day belongs to the
// next draw. The draw of that day is looked up, never guessed: a day whose draw was skipped
// has none.
std::int64_t drawDayOf(double castTime);

// Whether a cast made at `castTime` was made after its day's draw yet within the hour that
// casting still counts as that draw's (the next draw time stays the day's own until 21:59):
// on a draw day, later than 21:25:00.000 and earlier than 22:00:00.000, to the millisecond.
// drawDayOf gives such a cast the next draw; 21:25:00.000 itself is still the day's draw.
bool castAfterDraw(double castTime);

// Whether a day is one of the draw's weekdays: Tuesday, Friday or Sunday.
bool isDrawDay(std::int64_t day);

// The draw time (21:25) of a day, as a day count.
double drawTimeOn(std::int64_t day);

struct CastScore {
    std::array<bool, 6> positionHit{};  // the drawn digit is among the position's candidates
    int positionHits = 0;
    bool blueHit = false;
    int likelyHits = 0;  // drawn front digits, counted with repeats, among the likely digits
    // How many candidates each list held, what chance reckons from: a position is a trial of
    // chance candidates / 10, the blue number one of candidates / 15, and each of the six drawn
    // digits one of likely digits / 10.
    std::array<int, 6> positionCandidates{};
    int blueCandidates = 0;
    int likelyCandidates = 0;
    // The averages of a random pick of the same sizes: candidates / 10 per position (summed
    // over the six), candidates / 15 for the blue number, 6 x likely digits / 10.
    double expectedPositionHits = 0;
    double expectedBlue = 0;
    double expectedLikelyHits = 0;
};

// The score of a suggestion (positions 1-6, blue candidates, likely digits) against a draw.
// A list entry that is no number in range is not counted as a candidate.
CastScore scoreCast(const Suggestion& suggestion, const Draw& draw);

// Scores added up over many casts, each figure beside its chance expectation.
struct ScoreTotals {
    int casts = 0;
    int positionHits = 0;
    int blueHits = 0;
    int likelyHits = 0;
    double expectedPositionHits = 0;
    double expectedBlueHits = 0;
    double expectedLikelyHits = 0;
    // The trials the hits were counted over, by their number of candidates: the chance of a
    // trial in positionTrials[k] or likelyTrials[k] is k / 10, of one in blueTrials[k] k / 15.
    // Counts, not a list: adding a cast stays as cheap whatever the number of casts.
    std::array<int, FrontDigits + 1> positionTrials{};
    std::array<int, BlueNumbers + 1> blueTrials{};
    std::array<int, FrontDigits + 1> likelyTrials{};

    void add(const CastScore& score);
};

}  // namespace orvenna
