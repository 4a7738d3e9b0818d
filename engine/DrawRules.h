// What makes a draw one the program can score casts against, wherever it comes from (a file
// of past draws, the results page, a store written by an older version): its period in a form
// the store keeps, a period whose year is its date's and whose number the year's draw days up
// to its date can reach, a day that has a draw, a day that has come, and one draw a date.
// Results sites write a period in five digits (26139) or in seven (2026139); the store keeps
// the five.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "Draw.h"
#include "DrawCsv.h"

namespace orvenna {

enum class DrawRefusal {
    None,
    PeriodForm,  // neither five nor seven digits
    PeriodYear,  // the period's year is not the year of its date
    AfterToday,  // dated after the day of the import or the fetch
    NoDrawDay,   // not a Tuesday, Friday or Sunday
    // The period's number within its year (its last three digits) is 0, or more than the draw
    // days from 1 January up to its date: a skipped draw only makes numbers smaller.
    PeriodNumber,
};

// The number of draw days (Tuesday, Friday, Sunday) from 1 January of the year of `day` up to
// and including `day`: the largest period number a draw of that day can have.
int drawDaysOfYearUpTo(std::int64_t day);

// The period in the form the store keeps: five digits as they are, seven without their
// century; nothing for any other text.
std::optional<std::wstring> storedPeriod(std::wstring_view period);

// Why `draw` is refused on `today` (days since 1899-12-30, local), or None; a draw that is
// taken gets its period in the stored form (2026139 as 26139).
DrawRefusal admitDraw(Draw& draw, std::int64_t today);

// A row of a file of past draws that the rules refuse, with its line (from 1).
struct RefusedDraw {
    int line = 0;
    Draw draw;
    DrawRefusal reason = DrawRefusal::None;
};

// Takes the refused rows out of `csv` (rows and lines alike, in file order) and gives the
// periods of the rest in the stored form.
std::vector<RefusedDraw> keepLawfulDraws(DrawCsv& csv, std::int64_t today);

// Why a stored draw is not one the casts are scored against: the rules refuse it as they would
// refuse it in a file imported on the day of reading, or (refusal None) a draw stored before it
// has its date, the one named by datePeriod.
struct DrawIgnored {
    DrawRefusal refusal = DrawRefusal::None;
    std::wstring datePeriod;

    bool operator==(const DrawIgnored&) const = default;
};

// For each stored draw, nothing when the casts are scored against it on `today`, else why not.
// A stored file may hold what the rules now refuse (an older version wrote it): every draw
// the rules refuse is left out, and of the rest one date keeps the one stored first, the
// lowest of `storedOrder` (the rows' ids, one per draw, in any order of the draws).
std::vector<std::optional<DrawIgnored>> ignoredDraws(std::span<const Draw> draws,
                                                     std::span<const std::int64_t> storedOrder, std::int64_t today);

}  // namespace orvenna
