#include "ReviewOrder.h"

#include <algorithm>
#include <string>
#include <tuple>

namespace orvenna {

namespace {

// What a row is sorted by: the rank first, then the number, then the text, then the cast time.
struct SortKey {
    int rank = 0;
    double number = 0;
    std::wstring text;
    double castTime = 0;

    bool operator<(const SortKey& other) const {
        return std::tie(rank, number, text, castTime) < std::tie(other.rank, other.number, other.text, other.castTime);
    }
};

SortKey keyOf(const ReviewedCast& cast, ReviewColumn column) {
    SortKey key;
    key.castTime = cast.castTime;
    const bool drawn = cast.match == DrawMatch::Matched;
    const CastScore& s = cast.score;
    switch (column) {
        case ReviewColumn::Title:
            key.text = cast.title;
            break;
        case ReviewColumn::CastTime:
            key.number = cast.castTime;
            break;
        case ReviewColumn::Period:
            // A period is digits, compared as a number (an older store may hold periods of
            // other lengths); the casts without one follow in the order of DrawMatch.
            key.rank = static_cast<int>(cast.match);
            if (drawn) key.number = static_cast<double>(digitsValue(cast.draw.period));
            break;
        case ReviewColumn::Numbers:
            // The six front digits as one number, then the blue number: 123456+3 before 123456+12.
            if (drawn) {
                for (const int digit : cast.draw.front) key.number = key.number * 10 + digit;
                key.number = key.number * 100 + cast.draw.blue;
            } else {
                key.number = -1;
            }
            break;
        case ReviewColumn::PositionHits:
            key.number = drawn ? s.positionHits : -1;
            break;
        case ReviewColumn::Blue:
            key.number = drawn ? s.blueHit : -1;
            break;
        case ReviewColumn::Likely:
            key.number = drawn ? s.likelyHits : -1;
            break;
        case ReviewColumn::Chance:
            key.number = drawn ? s.expectedPositionHits : -1;
            break;
    }
    return key;
}

}  // namespace

std::optional<ReviewColumn> reviewColumnAt(int index) {
    if (index < 0 || index >= ReviewColumnCount) return std::nullopt;
    return static_cast<ReviewColumn>(index);
}

void sortReview(std::span<const ReviewedCast> casts, std::vector<std::size_t>& rows, ReviewColumn column,
                bool descending) {
    std::vector<SortKey> keys;
    keys.reserve(casts.size());
    for (const ReviewedCast& cast : casts) keys.push_back(keyOf(cast, column));
    std::stable_sort(rows.begin(), rows.end(),
                     [&](std::size_t a, std::size_t b) { return descending ? keys[b] < keys[a] : keys[a] < keys[b]; });
}

}  // namespace orvenna
