// The day of the last update check, as "update_day" keeps it.
#pragma once

#include <string>

namespace orvenna {

// "2026年12月7日": the form "update_day" is written and compared in.
std::wstring updateDayText(int year, int month, int day);

}  // namespace orvenna
