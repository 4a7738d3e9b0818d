#include "DrawRules.h"

#include <unordered_map>

#include "DrawScore.h"
#include "base/DayCount.h"

namespace orvenna {

namespace {

bool isPeriodForm(std::wstring_view period) {
    return isPeriod(period) && (period.size() == 5 || period.size() == 7);
}

DrawRefusal drawRefusal(const Draw& draw, std::int64_t today) {
    const std::wstring_view period = draw.period;
    if (!isPeriodForm(period)) return DrawRefusal::PeriodForm;
    const int year = fieldsFromDayCount(static_cast<double>(draw.day)).year;
    const bool yearAgrees =
        period.size() == 5 ? digitsValue(period.substr(0, 2)) == year % 100 : digitsValue(period.substr(0, 4)) == year;
    if (!yearAgrees) return DrawRefusal::PeriodYear;
    if (draw.day > today) return DrawRefusal::AfterToday;
    if (!isDrawDay(draw.day)) return DrawRefusal::NoDrawDay;
    const std::int64_t number = digitsValue(period.substr(period.size() - 3));
    if (number == 0 || number > drawDaysOfYearUpTo(draw.day)) return DrawRefusal::PeriodNumber;
    return DrawRefusal::None;
}

}  // namespace

int drawDaysOfYearUpTo(std::int64_t day) {
    const std::int64_t first = daysFromCivil(fieldsFromDayCount(static_cast<double>(day)).year, 1, 1);
    // Every seven days in a row hold each weekday once: three draw days.
    const std::int64_t days = day - first + 1;
    int count = static_cast<int>(days / 7) * 3;
    for (std::int64_t d = first + days / 7 * 7; d <= day; ++d) count += isDrawDay(d);
    return count;
}

std::optional<std::wstring> storedPeriod(std::wstring_view period) {
    if (!isPeriodForm(period)) return std::nullopt;
    return std::wstring(period.size() == 7 ? period.substr(2) : period);
}

DrawRefusal admitDraw(Draw& draw, std::int64_t today) {
    const DrawRefusal refusal = drawRefusal(draw, today);
    if (refusal == DrawRefusal::None) draw.period = *storedPeriod(draw.period);
    return refusal;
}

std::vector<RefusedDraw> keepLawfulDraws(DrawCsv& csv, std::int64_t today) {
    std::vector<RefusedDraw> refused;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < csv.rows.size(); ++i) {
        Draw& draw = csv.rows[i];
        if (const DrawRefusal reason = admitDraw(draw, today); reason != DrawRefusal::None) {
            refused.push_back({csv.lines[i], std::move(draw), reason});
            continue;
        }
        if (kept != i) {
            csv.rows[kept] = std::move(draw);
            csv.lines[kept] = csv.lines[i];
        }
        ++kept;
    }
    csv.rows.resize(kept);
    csv.lines.resize(kept);
    return refused;
}

std::vector<std::optional<DrawIgnored>> ignoredDraws(std::span<const Draw> draws,
                                                     std::span<const std::int64_t> storedOrder, std::int64_t today) {
    std::vector<std::optional<DrawIgnored>> ignored(draws.size());
    // The draw each date keeps: the lawful one stored first.
    std::unordered_map<std::int64_t, std::size_t> kept;
    kept.reserve(draws.size());
    for (std::size_t i = 0; i < draws.size(); ++i) {
        if (const DrawRefusal refusal = drawRefusal(draws[i], today); refusal != DrawRefusal::None) {
            ignored[i] = DrawIgnored{refusal, {}};
            continue;
        }
        const auto [at, added] = kept.try_emplace(draws[i].day, i);
        if (!added && storedOrder[i] < storedOrder[at->second]) at->second = i;
    }
    for (std::size_t i = 0; i < draws.size(); ++i) {
        if (ignored[i]) continue;
        const std::size_t first = kept.find(draws[i].day)->second;
        if (first != i) ignored[i] = DrawIgnored{DrawRefusal::None, draws[first].period};
    }
    return ignored;
}

}  // namespace orvenna
