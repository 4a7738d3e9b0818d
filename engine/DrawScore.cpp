#include "DrawScore.h"

#include <algorithm>
#include <bitset>

#include "base/DayCount.h"

namespace orvenna {

namespace {

constexpr std::int64_t DrawMillisOfDay = (21 * 60 + 25) * 60'000;
// Casting's next draw time is the day's own draw until the hour of the draw is over.
constexpr std::int64_t DrawHourEndMillisOfDay = 22 * 3'600'000;

// A cast time as its day and its milliseconds into that day.
struct DayAndMillis {
    std::int64_t day;
    std::int64_t ofDay;
};

DayAndMillis dayAndMillis(double castTime) {
    const std::int64_t millis = millisFromDayCount(castTime);
    std::int64_t day = millis / MillisPerDay;
    std::int64_t ofDay = millis % MillisPerDay;
    if (ofDay < 0) --day, ofDay += MillisPerDay;
    return {day, ofDay};
}

// The numbers of a comma-separated list below `limit`; anything else is left out.
std::bitset<BlueNumbers> candidates(const std::wstring& list, int limit) {
    std::bitset<BlueNumbers> set;
    int value = -1;
    bool valid = true;
    auto flush = [&] {
        if (valid && value >= 0 && value < limit) set.set(static_cast<std::size_t>(value));
        value = -1;
        valid = true;
    };
    for (const wchar_t c : list) {
        if (c == L',') {
            flush();
        } else if (c >= L'0' && c <= L'9' && valid) {
            value = value < 0 ? c - L'0' : value * 10 + (c - L'0');
            if (value >= limit) valid = false;
        } else if (c != L' ') {
            valid = false;
        }
    }
    flush();
    return set;
}

bool holds(const std::bitset<BlueNumbers>& set, int number) {
    return number >= 0 && number < BlueNumbers && set.test(static_cast<std::size_t>(number));
}

}  // namespace

std::int64_t drawDayOf(double castTime) {
    auto [day, ofDay] = dayAndMillis(castTime);
    if (ofDay > DrawMillisOfDay) ++day;
    while (!isDrawDay(day)) ++day;
    return day;
}

bool castAfterDraw(double castTime) {
    const auto [day, ofDay] = dayAndMillis(castTime);
    return ofDay > DrawMillisOfDay && ofDay < DrawHourEndMillisOfDay && isDrawDay(day);
}

bool isDrawDay(std::int64_t day) {
    const int weekday = fieldsFromDayCount(static_cast<double>(day)).weekday;
    return weekday == 1 || weekday == 3 || weekday == 6;  // Sunday, Tuesday, Friday
}

double drawTimeOn(std::int64_t day) {
    return static_cast<double>(day) + static_cast<double>(DrawMillisOfDay) / MillisPerDay;
}

CastScore scoreCast(const Suggestion& suggestion, const Draw& draw) {
    CastScore score;
    for (std::size_t i = 0; i < 6; ++i) {
        const auto set = candidates(suggestion[i], FrontDigits);
        score.positionHit[i] = holds(set, draw.front[i]);
        score.positionHits += score.positionHit[i];
        score.positionCandidates[i] = static_cast<int>(set.count());
        score.expectedPositionHits += static_cast<double>(score.positionCandidates[i]) / FrontDigits;
    }
    const auto blue = candidates(suggestion[6], BlueNumbers);
    score.blueHit = holds(blue, draw.blue);
    score.blueCandidates = static_cast<int>(blue.count());
    score.expectedBlue = static_cast<double>(score.blueCandidates) / BlueNumbers;
    const auto likely = candidates(suggestion[7], FrontDigits);
    for (const int digit : draw.front) score.likelyHits += holds(likely, digit);
    score.likelyCandidates = static_cast<int>(likely.count());
    score.expectedLikelyHits = 6.0 * static_cast<double>(score.likelyCandidates) / FrontDigits;
    return score;
}

void ScoreTotals::add(const CastScore& score) {
    ++casts;
    positionHits += score.positionHits;
    blueHits += score.blueHit;
    likelyHits += score.likelyHits;
    expectedPositionHits += score.expectedPositionHits;
    expectedBlueHits += score.expectedBlue;
    expectedLikelyHits += score.expectedLikelyHits;
    // scoreCast counts at most every number of a list; a score made otherwise is held to that.
    const auto slot = [](int candidates, int numbers) {
        return static_cast<std::size_t>(std::clamp(candidates, 0, numbers));
    };
    for (const int count : score.positionCandidates) ++positionTrials[slot(count, FrontDigits)];
    ++blueTrials[slot(score.blueCandidates, BlueNumbers)];
    likelyTrials[slot(score.likelyCandidates, FrontDigits)] += 6;
}

}  // namespace orvenna
