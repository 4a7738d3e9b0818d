#include "CastInput.h"

#include <algorithm>
#include <array>

#include "Options.h"
#include "base/DayCount.h"
#include "base/Text.h"
#include "engine/Calendar.h"
#include "system/Clock.h"

namespace orvenna::cli {

namespace {

// Six digits, line 1 first, each the dialog's item: 1 阳爻, 2 阴爻, 3 阳动, 4 阴动.
bool fillLines(const std::string& text, CastRequest& request) {
    if (text.size() != 6) return false;
    std::array<int, 6> items{};
    for (std::size_t i = 0; i < items.size(); ++i) items[i] = text[i] >= '1' && text[i] <= '4' ? text[i] - '0' : 0;
    const auto lines = manualLines(items);
    if (!lines) return false;
    request.upperCode = lines->upperCode;
    request.lowerCode = lines->lowerCode;
    request.movingFlags = lines->movingFlags;
    return true;
}

void fail(CastInputResult& result, const char* field, std::string_view error) {
    result.field = field;
    result.error = error;
}

// The panel's own check on what the arguments made: a request the window would refuse is
// refused here too.
void check(CastInputResult& result) {
    if (const CastCheck check = checkRequest(result.request); !check.casts()) {
        result.field = "request";
        result.error = toUtf8(check.message);
    }
}

// A fresh request in `request`'s own storage.
void resetRequest(CastRequest& request) {
    request.replayId = 0;
    request.method = 0;
    request.upperCode.clear();
    request.lowerCode.clear();
    request.movingFlags.clear();
    request.numberText.clear();
    request.zodiac = 0;
    request.castTime = 0;
    request.drawTimeChoice = 0;
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
    makeRequest(in, clock, result);
    return result;
}

void makeRequest(const CastInput& in, const CastClock& clock, CastInputResult& result) {
    CastRequest& request = result.request;
    resetRequest(request);
    result.field.clear();
    result.error.clear();

    const auto method = in.method ? plainNumber(*in.method, 4) : std::nullopt;
    if (!in.method) return fail(result, "method", "missing (1 number, 2 manual lines, 3 time)");
    if (!method || *method < 1 || *method > 3) return fail(result, "method", "must be 1, 2 or 3");
    request.method = *method;

    const auto zodiac = in.zodiac ? plainNumber(*in.zodiac, 4) : std::nullopt;
    if (!in.zodiac) return fail(result, "zodiac", "missing (1 子鼠 ... 12 亥猪)");
    if (!zodiac || *zodiac < 1 || *zodiac > 12) return fail(result, "zodiac", "must be 1..12");
    request.zodiac = *zodiac;

    double now = clock.localNow;
    bool fixedTime = false;
    if (in.time && !in.time->empty()) {
        std::string error;
        const auto time = timeArgument(*in.time, error);
        if (!time) return fail(result, "time", error);
        now = *time;
        fixedTime = true;
    }
    request.castTime = now;

    if (request.method == LineCasting) {
        if (!in.input || !fillLines(*in.input, request)) {
            return fail(result, "input", "manual lines must be six digits 1..4 (line 1 first)");
        }
        return check(result);
    }

    if (in.input) {
        appendFromUtf8(request.numberText, *in.input);
        const std::wstring_view text = trimControl(request.numberText);
        if (text.empty()) return fail(result, "input", "the number text is empty");
        // Trimmed where it stands: the text keeps its storage from one request to the next.
        const auto front = static_cast<std::size_t>(text.data() - request.numberText.data());
        request.numberText.resize(front + text.size());
        request.numberText.erase(0, front);
        // What the window's number box could not hold is no number to cast from: "3.5" would
        // be cast as 3 and 5, a letter as a zero.
        if (!std::all_of(request.numberText.begin(), request.numberText.end(), isNumberCharacter))
            return fail(result, "input", "not a whole number (only the digits 0-9 and -)");
        if (request.method == TimeCasting) request.drawTimeChoice = in.drawTime ? DrawTime : CurrentTime;
        return check(result);
    }
    if (request.method == NumberCasting) return fail(result, "input", "missing (the number to cast from)");

    // Time casting without a number: made from the cast time, or from the next draw, as
    // the casting dispatch does.
    request.drawTimeChoice = in.drawTime ? DrawTime : CurrentTime;
    CastClock at = clock;
    if (fixedTime) {
        at.localNow = now;
        at.unixNowMillis = unixMillis(now, clock.biasMinutes);
    }
    completeCastTime(request, at);
    check(result);
}

}  // namespace orvenna::cli
