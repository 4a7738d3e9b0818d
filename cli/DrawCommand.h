// `orvenna-cli draw [--url URL | --file PAGE] [--json]`: the latest 七星彩 draw of a results
// page, fetched or read from a saved (GB18030) copy.
// `orvenna-cli draw import FILE`: past draws from a CSV file (UTF-8 or GB18030) into the
// record store; `orvenna-cli draw list [--json]`: the draws it holds.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "base/CastClock.h"

namespace orvenna::cli {

int drawCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const CastClock& clock);

}  // namespace orvenna::cli
