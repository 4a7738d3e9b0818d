#include "CastInput.h"

#include "Options.h"
#include "base/DayCount.h"
#include "base/Text.h"
#include "engine/Calendar.h"
#include "framework/Clock.h"

namespace orvenna::cli {

namespace {

// Six digits, line 1 first, each the dialog's item: 1 阳爻, 2 阴爻, 3 阳动, 4 阴动.
bool fillLines(const std::string& text, CastRequest& request) {
    std::vector<int> items;
    for (const char c : text) items.push_back(c >= '1' && c <= '4' ? c - '0' : 0);
    const auto lines = manualLines(items);
    if (!lines) return false;
    request.upperCode = lines->upperCode;
    request.lowerCode = lines->lowerCode;
    request.movingFlags = lines->movingFlags;
    return true;
}

// The panel's own check on what the arguments made: a request the window would refuse is
// refused here too.
CastInputResult checked(CastInputResult result) {
    if (const CastCheck check = checkRequest(result.request); check.code <= 0)
        result.field = "request", result.error = toUtf8(check.message);
    return result;
}

}  // namespace

std::optional<double> timeArgument(const std::string& text, std::string& error) {
    const auto fields = parseDateTime(text);
    if (!fields) {
        error = "not a real date and time (YYYY-MM-DD HH:MM:SS): " + text;
        return std::nullopt;
    }
    return dayCountFromFields(*fields);
}

CastInputResult makeRequest(const CastInput& in, const CastClock& clock) {
    CastInputResult result;
    CastRequest& request = result.request;

    const auto method = in.method ? plainNumber(*in.method, 4) : std::nullopt;
    if (!in.method) return {request, "method", "missing (1 number, 2 manual lines, 3 time)"};
    if (!method || *method < 1 || *method > 3) return {request, "method", "must be 1, 2 or 3"};
    request.method = *method;

    const auto zodiac = in.zodiac ? plainNumber(*in.zodiac, 4) : std::nullopt;
    if (!in.zodiac) return {request, "zodiac", "missing (1 子鼠 ... 12 亥猪)"};
    if (!zodiac || *zodiac < 1 || *zodiac > 12) return {request, "zodiac", "must be 1..12"};
    request.zodiac = *zodiac;

    double now = clock.localNow;
    bool fixedTime = false;
    if (in.time && !in.time->empty()) {
        std::string error;
        const auto time = timeArgument(*in.time, error);
        if (!time) return {request, "time", error};
        now = *time;
        fixedTime = true;
    }
    request.castTime = now;

    if (request.method == LineCasting) {
        if (!in.input || !fillLines(*in.input, request)) {
            return {request, "input", "manual lines must be six digits 1..4 (line 1 first)"};
        }
        return checked(std::move(result));
    }

    if (in.input) {
        const std::wstring text(trimControl(fromUtf8(*in.input)));
        if (text.empty()) return {request, "input", "the number text is empty"};
        request.numberText = text;
        if (request.method == TimeCasting) request.drawTimeChoice = in.drawTime ? DrawTime : CurrentTime;
        return checked(std::move(result));
    }
    if (request.method == NumberCasting) return {request, "input", "missing (the number to cast from)"};

    // Time casting without a number: made from the cast time, or from the next draw, as
    // the casting dispatch does.
    request.drawTimeChoice = in.drawTime ? DrawTime : CurrentTime;
    CastClock at = clock;
    if (fixedTime) {
        at.localNow = now;
        at.unixNowMillis = unixMillis(now, clock.biasMinutes);
    }
    completeCastTime(request, at);
    return checked(std::move(result));
}

}  // namespace orvenna::cli
