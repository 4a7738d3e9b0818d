// The JSON form of one analysis, as `orvenna-cli cast --json` prints it.
#pragma once

#include <json/value.h>

#include "records/CastPipeline.h"

namespace orvenna::cli {

// "ysname" is the title the cast would be saved under, for `title` ("T" by default).
Json::Value castJson(const CastResult& result, std::wstring_view title = L"T");

// One compact line of UTF-8 JSON (no trailing newline).
std::string compactJson(const Json::Value& value);
void writeCompactJson(const Json::Value& value, std::ostream& out);

}  // namespace orvenna::cli
