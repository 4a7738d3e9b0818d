// What the casting dispatch adds to a validated request before the analysis runs: the
// cast time, and for time casting the millisecond number.
#pragma once

#include <cstdint>

#include "CastRequest.h"

namespace orvenna {

// The clock as the dispatch reads it, so that the same rules serve a run and a test.
struct CastClock {
    double localNow = 0;             // days since 1899-12-30, local
    std::int64_t unixNowMillis = 0;  // milliseconds since 1970-01-01 UTC
    int biasMinutes = 0;             // UTC - local standard time
};

// Number casting takes the current time whenever it has a number, a replay too (so a
// replayed number casting is reckoned for the day of the replay). A new time casting
// takes the current time, or the next draw time, and makes its number from it; a replayed
// one keeps what was stored. Manual casting keeps the time chosen in its dialog.
void completeCastTime(CastRequest& request, const CastClock& clock);

}  // namespace orvenna
