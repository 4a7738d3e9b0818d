#include "DrawRules.h"

#include "DrawScore.h"
#include "base/DayCount.h"

namespace orvenna {

namespace {

int numberOf(std::wstring_view digits) {
    int value = 0;
    for (const wchar_t c : digits) value = value * 10 + (c - L'0');
    return value;
}

DrawRefusal drawRefusal(const Draw& draw, std::int64_t today) {
    const std::wstring_view period = draw.period;
    if (!isPeriod(period) || (period.size() != 5 && period.size() != 7)) return DrawRefusal::PeriodForm;
    const int year = fieldsFromDayCount(static_cast<double>(draw.day)).year;
    const bool yearAgrees =
        period.size() == 5 ? numberOf(period.substr(0, 2)) == year % 100 : numberOf(period.substr(0, 4)) == year;
    if (!yearAgrees) return DrawRefusal::PeriodYear;
    if (draw.day > today) return DrawRefusal::AfterToday;
    if (!isDrawDay(draw.day)) return DrawRefusal::NoDrawDay;
    return DrawRefusal::None;
}

}  // namespace

DrawRefusal admitDraw(Draw& draw, std::int64_t today) {
    const DrawRefusal refusal = drawRefusal(draw, today);
    // The store keeps the five-digit form: a seven-digit period loses its century.
    if (refusal == DrawRefusal::None && draw.period.size() == 7) draw.period.erase(0, 2);
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

}  // namespace orvenna
