// The update's numbers as the update window shows them and "update_day" keeps them.
#pragma once

#include <cstdint>
#include <string>

namespace orvenna {

// Bytes as megabytes to two decimals (halves away from zero), without trailing zeros:
// 1572864 gives "1.5", 0 gives "0".
std::wstring megabytesText(std::int64_t bytes);

// "2026年12月7日": the form "update_day" is written and compared in.
std::wstring updateDayText(int year, int month, int day);

}  // namespace orvenna
