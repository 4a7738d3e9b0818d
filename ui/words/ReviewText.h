// What the window says of a reviewed cast: in the history list's tooltip, after a replay and
// in 往期对照.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// A p-value as the window gives it: two decimals from 0.05 up ("0.42"), three below, never
// rounded up across 0.05 ("0.049", "0.003"), and "<0.001" below that.
std::wstring pValueText(double p);

// What one total's test against chance says, in one short sentence: "对位命中与随机无显著差异
// (p=0.42)" when p is 0.05 or more, else how far above or below its chance expectation the
// total lies: "对位命中高于随机期望23%(p=0.003)", "对位命中低于随机期望12%(p=0.03)".
std::wstring chanceSentence(std::wstring_view total, int hits, double expected, double p);

// The sentences under the totals, one a total (对位命中, 蓝号命中, 可能号命中), the test
// reckoned once; "尚无已开奖的起卦" alone while no cast is matched.
std::vector<std::wstring> chanceLines(const ScoreTotals& totals);

}  // namespace orvenna
