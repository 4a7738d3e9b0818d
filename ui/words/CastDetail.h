// What 往期对照 shows of one cast when the user opens it: the digits the cast itself suggested,
// place by place, beside what was drawn there and whether it hit. These are the digits as first
// cast, whatever a replay of a number cast shows today.
#pragma once

#include <string>
#include <vector>

#include "engine/CastReview.h"

namespace orvenna {

struct DetailRow {
    std::wstring place;      // "第1位" … "第6位", "蓝号", "可能号"
    std::wstring suggested;  // the cast's list, as the suggestion writes it: "1,3,5"
    std::wstring drawn;      // what was drawn there; empty before the draw
    std::wstring outcome;    // "中", "未中", "命中2个"; the match's text before the draw
};

// The eight rows of a cast, front positions first.
std::vector<DetailRow> castDetailRows(const ReviewedCast& cast);

// The line above the rows: the title, the cast time and the draw ("第26140期 123456+7") or what
// stands in its place.
std::wstring castDetailHeading(const ReviewedCast& cast);

}  // namespace orvenna
