#include "SolarTerms.h"

#include <erfa.h>
#include <erfam.h>

#include <cmath>
#include <memory>
#include <mutex>

#include "Tables.h"

namespace orvenna {

namespace {

// Julian date of the day count origin, 1899-12-30 00:00.
constexpr double DayCountOriginJd = 2415018.5;
// China Standard Time is UTC+8.
constexpr double CstOffsetDays = 8.0 / 24.0;
// The Sun's mean motion in degrees a day, the root-finder's slope.
constexpr double MeanSolarMotion = 360.0 / 365.2422;

// Stem then branch of each position of the sexagenary cycle, two characters each.
constexpr std::array<wchar_t, 120> SexagenaryText = [] {
    std::array<wchar_t, 120> text{};
    for (std::size_t i = 0; i < 60; ++i) {
        text[2 * i] = StemNames[i % 10];
        text[2 * i + 1] = BranchNames[i % 12];
    }
    return text;
}();

int floorMod(int a, int b) {
    const int r = a % b;
    return r < 0 ? r + b : r;
}

// Degrees folded into (-180, 180].
double foldDegrees(double d) {
    d = std::fmod(d, 360.0);
    if (d > 180.0) d -= 360.0;
    if (d <= -180.0) d += 360.0;
    return d;
}

// ΔT fits of Espenak and Meeus for the years before the leap-second table, in seconds at the
// decimal year y.
double historicalDeltaT(double y) {
    if (y < 1800) {
        const double u = (y - 1820) / 100;
        return -20 + 32 * u * u;
    }
    if (y < 1860) {
        const double t = y - 1800;
        return 13.72 - 0.332447 * t + 0.0068612 * t * t + 0.0041116 * t * t * t - 0.00037436 * std::pow(t, 4) +
               0.0000121272 * std::pow(t, 5) - 0.0000001699 * std::pow(t, 6) + 0.000000000875 * std::pow(t, 7);
    }
    if (y < 1900) {
        const double t = y - 1860;
        return 7.62 + 0.5737 * t - 0.251754 * t * t + 0.01680668 * t * t * t - 0.0004473624 * std::pow(t, 4) +
               std::pow(t, 5) / 233174;
    }
    if (y < 1920) {
        const double t = y - 1900;
        return -2.79 + 1.494119 * t - 0.0598939 * t * t + 0.0061966 * t * t * t - 0.000197 * std::pow(t, 4);
    }
    if (y < 1941) {
        const double t = y - 1920;
        return 21.20 + 0.84493 * t - 0.076100 * t * t + 0.0020936 * t * t * t;
    }
    if (y < 1961) {
        const double t = y - 1950;
        return 29.07 + 0.407 * t - t * t / 233 + t * t * t / 2547;
    }
    const double t = y - 1975;
    return 45.45 + 1.067 * t - t * t / 260 - t * t * t / 718;
}

// The term moment (TT) nearest to the mean-motion guess, by Newton steps with the mean slope;
// the Sun's true speed differs from it by at most 3 %, so each step gains 30 times.
double termMomentTT(double guessTT, double degrees) {
    double t = guessTT;
    for (int i = 0; i < 20; ++i) {
        const double step = foldDegrees(solarLongitude(t) - degrees) / MeanSolarMotion;
        t -= step;
        if (std::fabs(step) < 1e-9) break;
    }
    return t;
}

double julianDateOfJanuaryFirst(int year) {
    double djm0 = 0, djm = 0;
    if (eraCal2jd(year, 1, 1, &djm0, &djm) != 0) {
        // Before ERFA's calendar (4800 BC): the Julian-date arithmetic carries on.
        return DayCountOriginJd + (year - 1900) * 365.2425 + 2;
    }
    return djm0 + djm;
}

YearTerms computeYearTerms(int year) {
    YearTerms terms{};
    for (std::size_t k = 0; k < terms.size(); ++k) {
        terms[k] = solarTermMoment(year, std::fmod(285.0 + 30.0 * static_cast<double>(k), 360.0));
    }
    return terms;
}

// Years with a kept table; a cast outside them computes its year afresh.
constexpr int FirstCachedYear = 1600;
constexpr int CachedYears = 1000;

struct YearSlot {
    std::once_flag once;
    YearTerms terms{};
};

YearSlot* yearSlots() {
    static const std::unique_ptr<YearSlot[]> slots(new YearSlot[CachedYears]);
    return slots.get();
}

}  // namespace

double solarLongitude(double julianDateTT) {
    const double tt1 = std::floor(julianDateTT);
    const double tt2 = julianDateTT - tt1;
    double pvh[2][3];
    double pvb[2][3];
    eraEpv00(tt1, tt2, pvh, pvb);
    // The Sun seen from the Earth; the Sun's own motion during the light time (some 8
    // minutes, a few km) is below a hundredth of an arc second.
    double sun[3] = {-pvh[0][0], -pvh[0][1], -pvh[0][2]};
    const double distance = eraPm(sun);
    double direction[3];
    eraSxp(1.0 / distance, sun, direction);
    // Annual aberration from the Earth's barycentric velocity, in units of c.
    double velocity[3];
    eraSxp(ERFA_AULT / ERFA_DAYSEC, pvb[1], velocity);
    const double bm1 = std::sqrt(1.0 - eraPdp(velocity, velocity));
    double apparent[3];
    eraAb(direction, velocity, distance, bm1, apparent);
    // Onto the mean ecliptic and equinox of date, then the nutation in longitude moves the
    // mean equinox to the true one.
    double toEcliptic[3][3];
    eraEcm06(tt1, tt2, toEcliptic);
    double ecliptic[3];
    eraRxp(toEcliptic, apparent, ecliptic);
    double dpsi = 0, deps = 0;
    eraNut06a(tt1, tt2, &dpsi, &deps);
    const double longitude = eraAnp(std::atan2(ecliptic[1], ecliptic[0]) + dpsi);
    return longitude * ERFA_DR2D;
}

double deltaTSeconds(double julianDateUT) {
    int iy = 0, im = 0, id = 0;
    double fd = 0;
    if (eraJd2cal(julianDateUT, 0.0, &iy, &im, &id, &fd) != 0) return historicalDeltaT(2000);
    if (iy >= 1972) {
        double taiMinusUtc = 0;
        // A positive status only says the year is past the table's: its last value holds.
        if (eraDat(iy, im, id, fd, &taiMinusUtc) >= 0) return taiMinusUtc + 32.184;
    }
    return historicalDeltaT(iy + (im - 0.5) / 12.0);
}

double solarTermMoment(int year, double degrees) {
    // The Sun stands near 280° on 1 January.
    const double guess = julianDateOfJanuaryFirst(year) + std::fmod(degrees - 280.0 + 720.0, 360.0) / MeanSolarMotion;
    const double tt = termMomentTT(guess, degrees);
    const double ut = tt - deltaTSeconds(tt) / ERFA_DAYSEC;
    return ut + CstOffsetDays - DayCountOriginJd;
}

const YearTerms& yearTerms(int year) {
    if (year >= FirstCachedYear && year < FirstCachedYear + CachedYears) {
        YearSlot& slot = yearSlots()[year - FirstCachedYear];
        std::call_once(slot.once, [&] { slot.terms = computeYearTerms(year); });
        return slot.terms;
    }
    thread_local YearTerms uncached;
    uncached = computeYearTerms(year);
    return uncached;
}

std::wstring_view sexagenaryName(int position) {
    if (position < 0 || position >= 60) return {};
    return {SexagenaryText.data() + 2 * position, 2};
}

std::wstring_view stemBranchName(int stemIndex, int branchIndex) {
    if (stemIndex < 0 || stemIndex >= 10 || branchIndex < 0 || branchIndex >= 12) return {};
    if ((stemIndex - branchIndex) % 2 != 0) return {};
    return sexagenaryName(floorMod(6 * stemIndex - 5 * branchIndex, 60));
}

namespace {

// The pillars of the month around a cast time, with the moments that bound that month.
struct MonthSpan {
    double start = 0;
    double end = -1;  // empty until a first month is reckoned
    YearMonthPillars pillars;
};

MonthSpan monthAround(double castTime) {
    // The year whose 小寒 last began; the estimate is off by at most one either way.
    int year = 1899 + static_cast<int>(std::floor((castTime + 2) / 365.2425));
    for (int i = 0; i < 2 && castTime < yearTerms(year)[0]; ++i) --year;
    for (int i = 0; i < 2 && castTime >= yearTerms(year + 1)[0]; ++i) ++year;
    // Copies: a year outside the kept ones is reckoned into one buffer, which the next
    // year asked for overwrites.
    const double nextYearStart = yearTerms(year + 1)[0];
    const double lastYearEnd = yearTerms(year - 1)[11];
    const YearTerms terms = yearTerms(year);
    int passed = 0;  // 节 of `year` at or before the cast time
    while (passed < 12 && castTime >= terms[static_cast<std::size_t>(passed)]) ++passed;
    // Before 小寒 the 子 month of the year before still runs.
    const int monthBranch = passed % 12;
    const int pillarYear = passed >= 2 ? year : year - 1;

    MonthSpan span;
    span.start = passed > 0 ? terms[static_cast<std::size_t>(passed - 1)] : lastYearEnd;
    span.end = passed < 12 ? terms[static_cast<std::size_t>(passed)] : nextYearStart;
    YearMonthPillars& p = span.pillars;
    p.yearStemIndex = floorMod(pillarYear - 4, 10);
    p.yearBranchIndex = floorMod(pillarYear - 4, 12);
    // 五虎遁: 甲 and 己 years start their 寅 month at 丙, 乙 and 庚 at 戊, and so on.
    p.monthBranchIndex = monthBranch;
    p.monthStemIndex = floorMod(p.yearStemIndex * 2 + 2 + floorMod(monthBranch - 2, 12), 10);
    p.year = stemBranchName(p.yearStemIndex, p.yearBranchIndex);
    p.month = stemBranchName(p.monthStemIndex, p.monthBranchIndex);
    return span;
}

}  // namespace

YearMonthPillars yearMonthPillars(double castTime) {
    if (!std::isfinite(castTime)) castTime = 0;
    castTime = castTime < -1e8 ? -1e8 : castTime > 1e8 ? 1e8 : castTime;
    // Casts come in runs from the same month (a batch, a window's day): the last month
    // reckoned on this thread answers them with two comparisons.
    thread_local MonthSpan last;
    if (castTime >= last.start && castTime < last.end) return last.pillars;
    const MonthSpan span = monthAround(castTime);
    last = span;
    return span.pillars;
}

}  // namespace orvenna
