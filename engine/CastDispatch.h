// What the casting dispatch adds to a validated request before the analysis runs: the
// cast time, and for time casting the millisecond number.
#pragma once

#include "CastRequest.h"
#include "base/CastClock.h"

namespace orvenna {

// Number casting takes the current time whenever it has a number, a replay too (so a
// replayed number casting is reckoned for the day of the replay). A new time casting
// takes the current time, or the next draw time, and makes its number from it; a replayed
// one keeps what was stored. Manual casting keeps the time chosen in its dialog.
void completeCastTime(CastRequest& request, const CastClock& clock);

}  // namespace orvenna
