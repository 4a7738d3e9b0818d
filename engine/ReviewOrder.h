// The order of reviewed casts by one of the columns 往期对照 shows, for any list that shows them.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "CastReview.h"

namespace orvenna {

// The columns, left to right.
enum class ReviewColumn {
    Title,         // as saved
    CastTime,      // when it was cast
    Period,        // its draw's period; after every period: pending, then no draw, then not cast
    Numbers,       // its draw's numbers as text ("123456+7"); nothing before any numbers
    PositionHits,  // the numbers below: a cast without a draw before every drawn one
    Blue,
    Likely,
    Chance,
};
inline constexpr int ReviewColumnCount = 8;

// The column at a list's column index; nothing outside 0..7.
std::optional<ReviewColumn> reviewColumnAt(int index);

// Sorts `rows` (indexes into `casts`) by `column`, ascending or descending, ties by cast time
// (reversed too when descending); rows equal in both keep their order. Each row's key is made
// once.
void sortReview(std::span<const ReviewedCast> casts, std::vector<std::size_t>& rows, ReviewColumn column,
                bool descending);

}  // namespace orvenna
