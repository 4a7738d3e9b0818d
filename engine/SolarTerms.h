// The solar terms (节) that start the months of the stem-branch calendar, and the year and
// month pillars they give a cast time.
//
// A term is the instant the Sun's apparent ecliptic longitude (true equinox and ecliptic of
// date, aberration included) reaches its degree; ERFA's planetary and precession-nutation
// models give the longitude, and the instant is found by root-finding on it. Moments are
// local day counts in China Standard Time (UTC+8), which is how the calendar is kept, and are
// compared with the cast time as it stands (the wall time the cast was made in).
#pragma once

#include <array>
#include <string_view>

namespace orvenna {

// The Sun's apparent ecliptic longitude in degrees [0, 360) at a Julian date in TT.
double solarLongitude(double julianDateTT);

// TT - UT in seconds at a Julian date in UT: TAI - UTC + 32.184 s from 1972 on (the
// leap-second table, its last value kept for later dates, as civil clocks keep it), a
// published polynomial fit of the Earth's rotation before.
double deltaTSeconds(double julianDateUT);

// The twelve 节 of a year, in calendar order: 小寒 (285°), 立春 (315°), 惊蛰, 清明, 立夏,
// 芒种, 小暑, 立秋, 白露, 寒露, 立冬, 大雪 (255°); each starts the month of branch index
// (position + 1) mod 12, 小寒 the 丑 month, 立春 the 寅 month, ..., 大雪 the 子 month.
using YearTerms = std::array<double, 12>;

// The moments of the twelve 节 of a Gregorian year as local day counts in China Standard
// Time. Computed once per year and kept for the rest of the process; safe from any thread.
const YearTerms& yearTerms(int year);

// The moment, as a local day count in China Standard Time, at which the Sun's apparent
// longitude reaches `degrees` in the given Gregorian year (the first such instant after the
// year's start less a few days). Not cached: tests and tools.
double solarTermMoment(int year, double degrees);

// Year and month pillars of a cast time (a local day count, wall time): the year changes at
// 立春, the month at each 节, the month stem by 五虎遁 from the year stem. Each is a view of
// two characters in a constant table (stem then branch).
struct YearMonthPillars {
    std::wstring_view year;
    std::wstring_view month;
    int yearStemIndex = 0;     // 甲 = 0
    int yearBranchIndex = 0;   // 子 = 0
    int monthStemIndex = 0;    // 甲 = 0
    int monthBranchIndex = 0;  // 子 = 0
};
YearMonthPillars yearMonthPillars(double castTime);

// The two-character stem-branch name of a position 0..59 of the sexagenary cycle (甲子 = 0),
// and of a stem index 0..9 with a branch index 0..11 of the same parity (empty otherwise).
std::wstring_view sexagenaryName(int position);
std::wstring_view stemBranchName(int stemIndex, int branchIndex);

}  // namespace orvenna
