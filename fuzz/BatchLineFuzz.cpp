// A line of `orvenna-cli cast --batch` is outside input: any bytes must give either a one-line
// error or a cast printed as one line of JSON, as the batch loop does it, at a fixed clock.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include <json/reader.h>

#include "base/Text.h"
#include "cli/CastBatch.h"
#include "cli/CastCommand.h"
#include "cli/CastInput.h"
#include "cli/CastJson.h"

namespace {

using namespace orvenna;
using namespace orvenna::cli;

void check(bool ok) {
    if (!ok) __builtin_trap();
}

// 2024-03-31 12:00:00 local, in China.
constexpr CastClock Clock{45382.5, 1711857600123, -480};

Json::Value parseLine(const std::string& line) {
    static const std::unique_ptr<Json::CharReader> reader = [] {
        Json::CharReaderBuilder builder;
        return std::unique_ptr<Json::CharReader>(builder.newCharReader());
    }();
    Json::Value value;
    std::string errors;
    check(reader->parse(line.data(), line.data() + line.size(), &value, &errors));
    return value;
}

void castLine(const std::string& line, bool drawTime) {
    CastInput input = batchLineInput(line);
    input.drawTime = drawTime;
    const CastInputResult made = makeRequest(input, Clock);
    if (!made.ok()) {
        check(made.field == "method" || made.field == "input" || made.field == "zodiac" || made.field == "time" ||
              made.field == "request");
        const std::string text = "line 1: " + made.field + ": " + made.error;
        rapidjson::StringBuffer streamed;
        CastJsonWriter().writeError(streamed, text);
        const std::string json(streamed.GetString(), streamed.GetSize());
        check(json.find('\n') == std::string::npos && parseLine(json)["error"].asString() == text);
        // The streaming writer gives the bytes jsoncpp gives, whatever the line held.
        Json::Value error(Json::objectValue);
        error["error"] = text;
        check(json == compactJson(error));
        return;
    }
    const CastRequest& request = made.request;
    check(request.method >= 1 && request.method <= 3 && request.zodiac >= 1 && request.zodiac <= 12);
    if (request.method == LineCasting) {
        check(request.upperCode.size() == 3 && request.lowerCode.size() == 3 && request.movingFlags.size() == 6);
    } else {
        check(!request.numberText.empty());
    }

    CastResult result;
    castAnalysis(request, result);
    const Analysis& analysis = result.analysis;
    if (request.method != LineCasting) {
        check(analysis.primary.movingLine >= 1 && analysis.primary.movingLine <= 6);
    }
    // One object a line: whatever the input held, the JSON has no raw line break and reads
    // back with the same header and all eight suggestion lists.
    const std::string json = castJson(result);
    check(json.find('\n') == std::string::npos);
    const Json::Value back = parseLine(json);
    check(back["header"].asString() == toUtf8(analysis.header));
    check(back["suggestion"].size() == 8 && back["primary"]["lines"].size() == 6);
    castText(result);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string line(reinterpret_cast<const char*>(data), size);
    // The batch loop reads with getline and drops a CR before the line end.
    line = line.substr(0, line.find('\n'));
    if (!line.empty() && line.back() == '\r') line.pop_back();
    castLine(line, false);
    // The same fields as `cast --draw-time` takes them.
    castLine(line, true);
    return 0;
}
