// `orvenna-cli cast`: one cast from options, or a batch of casts, one a line.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "CastInput.h"
#include "engine/CastPipeline.h"

namespace orvenna::cli {

int castCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
                const CastClock& clock);

// What the window shows of a cast, as terminal text.
std::string castText(const CastResult& result);

}  // namespace orvenna::cli
