// Cast times and the text that names them, "" where the calendar does not reach: the report's
// header and a saved record's title both show a cast time this way.
#pragma once

#include <cmath>
#include <vector>

#include "base/DayCount.h"

namespace orvenna {

struct CastTimeCase {
    double time;
    const wchar_t* text;
};

inline const std::vector<CastTimeCase>& castTimeCases() {
    const auto at = [](int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
        return dayCountFromFields({y, mo, d, h, mi, s, 0, 0});
    };
    static const std::vector<CastTimeCase> cases = {
        {at(2024, 3, 31, 21, 25, 30), L"2024年3月31日21时25分30秒"},
        {at(2024, 3, 31, 21, 25, 0), L"2024年3月31日21时25分"},
        {at(2024, 3, 31, 21, 0, 0), L"2024年3月31日21时"},
        {at(2024, 3, 31), L"2024年3月31日"},
        {at(2024, 3, 31, 0, 0, 5), L"2024年3月31日0时0分5秒"},
        {at(2024, 3, 31, 0, 7, 0), L"2024年3月31日0时7分"},
        {at(2024, 3, 31, 21, 25, 30) + 0.9 / 86400, L"2024年3月31日21时25分30秒"},
        {-700000, L""},  // before the year 100
        {3000000, L""},  // after 9999
        {1e300, L""},
        {-HUGE_VAL, L""},
    };
    return cases;
}

}  // namespace orvenna
