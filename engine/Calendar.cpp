#include "Calendar.h"

#include "Tables.h"
#include "base/DayCount.h"
#include "base/Text.h"

namespace orvenna {

namespace {

// 2022-11-07 00:00:01 in milliseconds since 1899-12-30 00:00.
constexpr std::int64_t ReferenceMillis = 44872 * MillisPerDay + 1000;

std::int64_t floorMod(std::int64_t a, std::int64_t b) {
    const std::int64_t r = a % b;
    return r < 0 ? r + b : r;
}

}  // namespace

std::int64_t sexagenaryDayCount(double castTime) {
    const std::int64_t shifted = millisFromDayCount(castTime) - ReferenceMillis + 500;
    const std::int64_t q = shifted / MillisPerDay;
    return shifted % MillisPerDay < 0 ? q - 1 : q;
}

std::wstring dayPillar(double castTime) {
    const std::int64_t days = sexagenaryDayCount(castTime);
    std::wstring pillar;
    pillar += StemNames[static_cast<std::size_t>(floorMod(days, 10))];
    pillar += BranchNames[static_cast<std::size_t>(floorMod(days, 12))];
    return pillar;
}

int hourNumber(double castTime) {
    return (fieldsFromDayCount(castTime).hour + 1) / 2;
}

std::wstring hourPillar(std::wstring_view dayPillar, int hourNumber) {
    const int branchIndex = hourNumber == 12 ? 0 : hourNumber;
    const int k = stemNumber(clampedSubstr(dayPillar, 0, 1));
    const int stemIndex = static_cast<int>(floorMod(branchIndex + 2 * (k > 5 ? k - 6 : k - 1), 10));
    std::wstring pillar(StemNames.substr(static_cast<std::size_t>(stemIndex), 1));
    pillar += clampedSubstr(BranchNames, branchIndex, 1);
    return pillar;
}

std::int64_t unixMillis(double localDayCount, int biasMinutes) {
    const double local = (localDayCount - UnixEpochDay) * static_cast<double>(MillisPerDay) + 0.5;
    return static_cast<std::int64_t>(local) + static_cast<std::int64_t>(biasMinutes) * 60'000;
}

double nextDrawTime(double now) {
    const DateTimeFields f = fieldsFromDayCount(now);
    const bool beforeLateEvening = f.hour <= 21;
    int daysAhead = 0;
    switch (f.weekday) {
        case 1:
            daysAhead = beforeLateEvening ? 0 : 2;
            break;  // Sunday
        case 2:
            daysAhead = 1;
            break;
        case 3:
            daysAhead = beforeLateEvening ? 0 : 3;
            break;  // Tuesday
        case 4:
            daysAhead = 2;
            break;
        case 5:
            daysAhead = 1;
            break;
        case 6:
            daysAhead = beforeLateEvening ? 0 : 2;
            break;  // Friday
        default:
            daysAhead = 1;
            break;  // Saturday
    }
    DateTimeFields draw = fieldsFromDayCount(static_cast<double>(daysFromCivil(f.year, f.month, f.day) + daysAhead));
    draw.hour = 21;
    draw.minute = 25;
    draw.second = f.second;
    draw.millisecond = 0;
    return dayCountFromFields(draw);
}

}  // namespace orvenna
