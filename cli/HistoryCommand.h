// `orvenna-cli history list|show ID|replay ID|delete ID`: the record store of the program
// directory.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "engine/CastDispatch.h"

namespace orvenna::cli {

int historyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const CastClock& clock);

}  // namespace orvenna::cli
