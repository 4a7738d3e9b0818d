// The JSON form of one analysis, as `orvenna-cli cast --json` prints it.
#pragma once

#include <json/value.h>

#include "engine/AnalysisRun.h"

namespace orvenna::cli {

Json::Value castJson(const Analysis& analysis);

// One compact line of UTF-8 JSON (no trailing newline).
std::string compactJson(const Json::Value& value);
void writeCompactJson(const Json::Value& value, std::ostream& out);

}  // namespace orvenna::cli
