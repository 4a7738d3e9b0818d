// Turns the command line's casting arguments (or one --batch line) into a CastRequest,
// the way the casting panel and its dispatch would fill it.
#pragma once

#include <optional>
#include <string>

#include "engine/CastRequest.h"

namespace orvenna::cli {

// The texts as typed; an absent value is std::nullopt.
struct CastInput {
    std::optional<std::string> method;
    std::optional<std::string> input;
    std::optional<std::string> zodiac;
    std::optional<std::string> time;
    bool drawTime = false;
};

// What the clock says, so that the same rules serve a real run and a test.
struct CastClock {
    double localNow = 0;          // days since 1899-12-30, local
    std::int64_t unixNowMillis = 0;
    int biasMinutes = 0;  // UTC - local standard time
};

CastClock systemClock();

// Either a complete request or a one-line error that names the argument.
struct CastInputResult {
    CastRequest request;
    std::string error;
    bool ok() const { return error.empty(); }
};

CastInputResult makeRequest(const CastInput& input, const CastClock& clock);

}  // namespace orvenna::cli
