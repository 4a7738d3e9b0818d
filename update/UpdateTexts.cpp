#include "UpdateTexts.h"

#include <cmath>
#include <cstdio>

#include "base/Text.h"

namespace orvenna {

std::wstring megabytesText(std::int64_t bytes) {
    const double megabytes = static_cast<double>(bytes) / 1024 / 1024;
    const double rounded = std::round(megabytes * 100) / 100;  // std::round takes halves away from zero
    if (std::fabs(rounded) < 0.000001) return L"0";
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", rounded);
    return fromUtf8(text);
}

std::wstring updateDayText(int year, int month, int day) {
    return concat(decimalText(year), L"年", decimalText(month), L"月", decimalText(day), L"日");
}

}  // namespace orvenna
