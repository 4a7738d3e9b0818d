// Casting requests as the tests make them: the method's own input, the zodiac and the cast time
// in one call, where a request built a field at a time hides which fields the case is about.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "base/DayCount.h"
#include "engine/CastRequest.h"

namespace orvenna {

// A local wall-clock time as the day count a cast time is kept in.
inline double at(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    return dayCountFromFields({year, month, day, hour, minute, second, 0, 0});
}

inline CastRequest numberRequest(std::wstring_view number, int zodiac, double castTime) {
    CastRequest request;
    request.method = NumberCasting;
    request.numberText = number;
    request.zodiac = zodiac;
    request.castTime = castTime;
    return request;
}

// Lines 4-6 and 1-3, bottom first, and the six moving flags, line 1 first.
inline CastRequest lineRequest(std::wstring_view upper, std::wstring_view lower, std::vector<int> movingFlags,
                               int zodiac, double castTime) {
    CastRequest request;
    request.method = LineCasting;
    request.upperCode = upper;
    request.lowerCode = lower;
    request.movingFlags = std::move(movingFlags);
    request.zodiac = zodiac;
    request.castTime = castTime;
    return request;
}

}  // namespace orvenna
