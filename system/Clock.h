// The local clock and the zone's standard-time bias: the only place the engine's day
// counts meet the operating system's time.
#pragma once

#include <cstdint>

#include "base/CastClock.h"

namespace orvenna {

// Now, as days since 1899-12-30 in local wall-clock time, to the millisecond.
double localNow();

// UTC minus local standard time in minutes (daylight saving ignored): -480 in China.
int standardBiasMinutes();

// Milliseconds since 1970-01-01 00:00 UTC of now.
std::int64_t unixNowMillis();

// The three readings the casting dispatch takes, read now.
CastClock systemClock();

}  // namespace orvenna
