// What makes a draw one the program can score casts against, wherever it comes from (a file
// of past draws, the results page): its period in a form the store keeps, a period whose
// year is its date's, a day that has a draw, and a day that has come. Results sites write a
// period in five digits (26139) or in seven (2026139); the store keeps the five.
#pragma once

#include <cstdint>
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
};

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

}  // namespace orvenna
