// How each saved cast fared against the draw it was cast for: its suggestion, recomputed as a
// replay at its own cast time computes it, scored against the stored draw of its draw day.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "DrawStore.h"
#include "EasyDb.h"
#include "YsModel.h"
#include "base/CastClock.h"
#include "base/Result.h"
#include "engine/DrawScore.h"
#include "engine/Suggestion.h"

namespace orvenna {

enum class DrawMatch {
    Matched,  // its draw is stored: scored
    Pending,  // its draw is still to come
    NoDraw,   // its draw day is past and no draw of that day is stored (not imported, or skipped)
    NotCast,  // the record cannot be cast again (another program wrote it)
};

struct ReviewedCast {
    std::int64_t id = 0;
    std::wstring title;  // as saved (with its cast time)
    double castTime = 0;
    std::wstring drawDate;  // ISO date of the draw the cast belongs to
    DrawMatch match = DrawMatch::NoDraw;
    DrawRow draw;  // Matched's
    Suggestion suggestion;
    CastScore score;  // Matched's
};

struct CastReview {
    std::vector<ReviewedCast> casts;  // newest first, as the history lists them
    ScoreTotals totals;               // over the matched casts
};

// How a cast without a score stands: "待开奖", "无开奖数据", "无法复盘"; empty for a matched one.
std::wstring matchText(DrawMatch match);
// A chance figure as the window and the tooltips give it: one decimal place.
std::wstring oneDecimalText(double value);

// The cast's draw and score in one line, as the history list's tooltip and a replay say it:
// "第25140期 对位命中4/6 蓝号中 可能号3 (随机期望3.0/6)"; "待开奖"; "无开奖数据"; nothing for
// a record that cannot be cast.
std::wstring scoreLine(const ReviewedCast& cast);

// The review of `records` against `draws`, as seen at `now` (its bias reckons the replays).
CastReview reviewRecords(std::span<const YsModel> records, std::span<const StoredDraw> draws, const CastClock& now);

// The same over everything the store holds.
Result<CastReview> reviewCasts(EasyDb& db, const CastClock& now);

}  // namespace orvenna
