#include "Clock.h"

#include <chrono>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#endif

#include "base/DayCount.h"

namespace orvenna {

#ifdef _WIN32

double localNow() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    DateTimeFields f;
    f.year = t.wYear, f.month = t.wMonth, f.day = t.wDay;
    f.hour = t.wHour, f.minute = t.wMinute, f.second = t.wSecond, f.millisecond = t.wMilliseconds;
    return dayCountFromFields(f);
}

int standardBiasMinutes() {
    TIME_ZONE_INFORMATION zone;
    GetTimeZoneInformation(&zone);
    return static_cast<int>(zone.Bias + zone.StandardBias);
}

#else

double localNow() {
    const auto now = std::chrono::system_clock::now();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(ms / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    DateTimeFields f;
    f.year = local.tm_year + 1900, f.month = local.tm_mon + 1, f.day = local.tm_mday;
    f.hour = local.tm_hour, f.minute = local.tm_min;
    f.second = local.tm_sec > 59 ? 59 : local.tm_sec;  // a leap second shows as :59
    f.millisecond = static_cast<int>(ms % 1000);
    return dayCountFromFields(f);
}

int standardBiasMinutes() {
    tzset();
    // glibc's `timezone` is the standard-time offset in seconds west of UTC.
    return static_cast<int>(timezone / 60);
}

#endif

std::int64_t unixNowMillis() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
        .count();
}

CastClock systemClock() {
    return {localNow(), unixNowMillis(), standardBiasMinutes()};
}

}  // namespace orvenna
