// The marks a reader puts on a finished chart: the four pillars, the void branches of the day's
// decade, the month strength of each line, month breaks and day clashes, the hidden spirits,
// what each moving line changes into, the shape of both hexagrams, the hexagram body and the
// day's spirits (神煞). Pure functions of the two charts and the cast time.
//
// Conventions, where schools differ:
// - 旬空: s = (branch index - stem index) mod 12 of the day pillar; the void branches are
//   (s + 10) and (s + 11) mod 12 (甲子 -> 戌亥).
// - Month strength by the month branch's element (辰戌丑未 months are 土): 旺 same element,
//   相 the month generates the line, 休 the line generates the month, 囚 the line overcomes the
//   month, 死 the month overcomes the line.
// - 月破: the line's branch clashes the month branch. A still line clashed by the day branch is
//   暗动 when 旺 or 相, else 日破. Clashes: 子午 丑未 寅申 卯酉 辰戌 巳亥.
// - 伏神: every relation missing from the primary hides where the pure hexagram of the palace
//   has it; 飞 is the primary's line there, compared by element with the hidden one.
// - A moving line's change, by element from the changed line to the moving one: 回头生,
//   回头克, 比和, 泄 (the moving line generates it), 克出 (the moving line overcomes it).
//   进神 亥→子 寅→卯 巳→午 申→酉 丑→辰 辰→未 未→戌 (戌→丑 is not counted), 退神 the reverses.
//   墓 and 绝 by the moving line's element, 水 and 土 sharing theirs (墓 辰, 绝 巳).
// - 六冲 when lines 1-4, 2-5 and 3-6 each clash; 六合 when each pair combines (子丑 寅亥 卯戌
//   辰酉 巳申 午未).
// - 卦身 by the world line: from 子 for a yang world line, 午 for a yin one, advanced by the
//   world line's number less one; "不上卦" when no primary line carries it.
// - The day and hour pillars are the chart's own (the day does not turn at 23:00); the year
//   turns at 立春 and the month at each 节 (see SolarTerms.h).
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "AnalysisRun.h"
#include "Hexagram.h"

namespace orvenna {

// The day's spirits, in the order they are listed everywhere.
inline constexpr std::array<std::wstring_view, 10> ShenshaNames = {L"贵人", L"禄神", L"文昌", L"驿马", L"桃花",
                                                                   L"将星", L"华盖", L"谋星", L"劫煞", L"灾煞"};

// The text shown for a hexagram body that no line carries.
inline constexpr std::wstring_view BodyNotInChart = L"不上卦";

// Every text below is a view of a constant table: it stays valid for the whole run.

struct FourPillars {
    std::wstring_view year;
    std::wstring_view month;
    std::wstring_view day;
    std::wstring_view hour;
};

// The hidden spirit (伏神) under a line of the primary hexagram.
struct HiddenSpirit {
    std::wstring_view relation;    // 兄弟 父母 妻财 官鬼 子孙
    std::wstring_view stemBranch;  // as the pure hexagram of the palace has it, e.g. 甲寅
    std::wstring_view element;
    std::wstring_view fly;  // 飞生伏 飞克伏 伏生飞 伏克飞
};

// A moving line of the primary and the line it changes into.
struct LineChange {
    std::wstring_view relation;  // 回头生 回头克 比和 泄 克出
    std::wstring_view advance;   // 进神, 退神 or empty
    bool isVoid = false;         // the changed branch is void (旬空)
    bool monthBreak = false;     // the changed branch clashes the month branch
    bool grave = false;          // the changed branch is the moving line's 墓
    bool cut = false;            // the changed branch is the moving line's 绝
};

struct LineMarks {
    bool isVoid = false;
    bool monthBreak = false;
    std::uint16_t shensha = 0;   // bit i set: the line carries ShenshaNames[i]
    std::wstring_view strength;  // 旺 相 休 囚 死
    std::wstring_view dayClash;  // 暗动, 日破, or empty (moving and unclashed lines)
    std::optional<HiddenSpirit> hidden;
    std::optional<LineChange> change;  // moving lines only
};

struct ChartMarks {
    FourPillars pillars;
    std::wstring_view voidBranches;   // two branches, e.g. 戌亥
    std::wstring_view bodyBranch;     // empty when the chart has no world line
    std::array<bool, 6> bodyLines{};  // the primary lines that carry the body; none: 不上卦
    // The branch, or two branches, of each of ShenshaNames (贵人 "丑未" for a 甲 day).
    std::array<std::wstring_view, 10> shensha;
    std::wstring_view primaryShape;  // 六冲, 六合 or empty
    std::wstring_view changedShape;
    std::array<LineMarks, 6> lines;  // the primary's lines, line 1 first
};

// The year, month, day and hour pillars of a cast time; day and hour exactly as the chart
// reckons them.
FourPillars fourPillars(double castTime);

// The marks of a primary chart, its changed chart and the moving lines (1 or -1 moving, 0
// still; line 1 first) under the given pillars. Charts that were never built give empty marks.
ChartMarks chartMarks(const Hexagram& primary, const Hexagram& changed, std::span<const int> moveMarks,
                      const FourPillars& pillars);

// The marks of a finished cast, at its own cast time.
ChartMarks chartMarks(const Analysis& analysis);

// Calls `visit` with the name of each spirit a line carries, in the order of ShenshaNames.
template <typename Visit>
void forEachShensha(std::uint16_t bits, Visit&& visit) {
    for (std::size_t i = 0; i < ShenshaNames.size(); ++i) {
        if (bits & (1u << i)) visit(ShenshaNames[i]);
    }
}

}  // namespace orvenna
