// `orvenna-cli draw [--url URL | --file PAGE] [--json]`: the latest 七星彩 draw of a results
// page, fetched or read from a saved (GB18030) copy.
// `orvenna-cli draw import FILE`: past draws from a CSV file (UTF-8 or GB18030) into the
// record store; `orvenna-cli draw list [--json]`: the draws it holds, each with why the casts
// are not scored against it where they are not; `orvenna-cli draw delete PERIOD`: a wrong
// draw out of the store.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include <json/json.h>

#include "base/CastClock.h"
#include "engine/Draw.h"

namespace orvenna::cli {

// A stored draw's period, date, six front digits and blue number, as the JSON outputs give it.
Json::Value drawJson(const Draw& draw);

int drawCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const CastClock& clock);

}  // namespace orvenna::cli
