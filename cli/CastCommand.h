// `orvenna-cli cast`: one cast from options, or a batch of casts, one a line.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "CastInput.h"
#include "engine/AnalysisRun.h"

namespace orvenna::cli {

int castCommand(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
                std::ostream& err, const CastClock& clock);

// The analysis in the window's order: chart and report, then the base numbers.
void runCast(const CastRequest& request, Analysis& analysis);

// What the window shows of an analysis, as terminal text.
std::string castText(const Analysis& analysis);

// Splits one batch line (method, input, zodiac, time; tab-separated) into a CastInput.
CastInput batchLineInput(const std::string& line);

}  // namespace orvenna::cli
