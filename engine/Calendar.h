// Calendar reckoning of a cast time: the day and hour pillars, and the draw schedule.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvenna {

// Days since the reference day 2022-11-07 (a 甲子 day), counted so that a new day starts
// half a second after midnight. Before the reference day the cycle simply runs on
// backward, so every cast time has a pillar.
std::int64_t sexagenaryDayCount(double castTime);

// Day stem followed by day branch.
std::wstring dayPillar(double castTime);

// (hour + 1) / 2: 0 for 00:00-00:59, 1 for 01:00-02:59, ..., 12 for 23:00-23:59.
int hourNumber(double castTime);

// Hour stem followed by hour branch; the hour branch of hourNumber 12 is 子 again
// (the day is not advanced at 23:00).
std::wstring hourPillar(std::wstring_view dayPillar, int hourNumber);

// Milliseconds since 1970-01-01 00:00 UTC of a local day count, given the zone's
// standard-time bias in minutes (UTC - local; -480 for China Standard Time).
std::int64_t unixMillis(double localDayCount, int biasMinutes);

// The next 七星彩 draw (Sunday, Tuesday and Friday at 21:25) as seen at `now`: a draw day
// keeps its own draw until 21:59. The seconds are those of `now`, the milliseconds 0.
double nextDrawTime(double now);

}  // namespace orvenna
