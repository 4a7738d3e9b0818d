// Turns the command line's casting arguments (or one --batch line) into a CastRequest,
// the way the casting panel and its dispatch would fill it.
#pragma once

#include <optional>
#include <string>

#include "engine/CastDispatch.h"
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

// Either a complete request or what is wrong with it: the field at fault ("method",
// "input", "zodiac", "time"; "request" when the request as a whole fails the panel's check)
// and a one-line message. The command line shows the field as its option, a batch as the
// column of its line.
struct CastInputResult {
    CastRequest request;
    std::string field;
    std::string error;
    bool ok() const { return error.empty(); }
};

// The local day count of a --time text, or nothing (with `error` saying what is wrong).
std::optional<double> timeArgument(const std::string& text, std::string& error);

CastInputResult makeRequest(const CastInput& input, const CastClock& clock);
// The same into `result`, whose texts keep their storage from one request to the next.
void makeRequest(const CastInput& input, const CastClock& clock, CastInputResult& result);

}  // namespace orvenna::cli
