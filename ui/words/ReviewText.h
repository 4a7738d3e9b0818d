// What the window says of a reviewed cast: in the history list's tooltip, after a replay and
// in 往期对照.
#pragma once

#include <string>

#include "engine/CastReview.h"

namespace orvenna {

// How a cast without a score stands: "待开奖", "无开奖数据", "无法复盘"; empty for a matched one.
std::wstring matchText(DrawMatch match);
// A chance figure as the window and the tooltips give it: one decimal place.
std::wstring oneDecimalText(double value);

// The cast's draw and score in one line, as the history list's tooltip and a replay say it:
// "第25140期 对位命中4/6 蓝号中 可能号3 (随机期望3.0/6)"; "待开奖"; "无开奖数据"; nothing for
// a record that cannot be cast. A cast made after its day's draw says so after it.
std::wstring scoreLine(const ReviewedCast& cast);

// What marks a cast made after its day's draw, which is scored against the next draw:
// "开奖后所起,对下一期"; empty for any other cast.
std::wstring afterDrawMark(const ReviewedCast& cast);

}  // namespace orvenna
