#include "CastDispatch.h"

#include "Calendar.h"
#include "base/Text.h"

namespace orvenna {

void completeCastTime(CastRequest& request, const CastClock& clock) {
    if (request.method == NumberCasting) {
        if (!request.numberText.empty()) request.castTime = clock.localNow;
    } else if (request.method == TimeCasting && request.replayId == 0) {
        if (request.drawTimeChoice == DrawTime) {
            request.castTime = nextDrawTime(clock.localNow);
            const std::int64_t withinSecond = (clock.unixNowMillis % 1000 + 1000) % 1000;
            request.numberText = decimalText(unixMillis(request.castTime, clock.biasMinutes) + withinSecond);
        } else {
            request.castTime = clock.localNow;
            request.numberText = decimalText(clock.unixNowMillis);
        }
    }
}

}  // namespace orvenna
