// One reading of the clock, as a cast takes it: the local time, the Unix time and the zone's
// standard bias. A plain value, so that the same casting rules serve a run and a test.
#pragma once

#include <cmath>
#include <cstdint>

namespace orvenna {

struct CastClock {
    double localNow = 0;             // days since 1899-12-30, local
    std::int64_t unixNowMillis = 0;  // milliseconds since 1970-01-01 UTC
    int biasMinutes = 0;             // UTC - local standard time
};

// The local day of a reading: days since 1899-12-30.
inline std::int64_t localDay(const CastClock& clock) {
    return static_cast<std::int64_t>(std::floor(clock.localNow));
}

}  // namespace orvenna
