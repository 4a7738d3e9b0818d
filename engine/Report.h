// The texts of the analysis report: the two chart titles, the chart grid and the
// interpretation text (卦解).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "AnalysisRecord.h"
#include "Hexagram.h"

namespace orvenna {

// "本卦: 乾宫 (1) 乾为天 "
std::wstring primaryTitleText(const Hexagram& primary);
// "变卦 乾宫 (1) 乾为天 " (no colon after 变卦)
std::wstring changedTitleText(const Hexagram& changed);

// The titles of the twelve grid columns.
std::array<std::wstring_view, 12> chartHeaders();

// One grid row: the twelve cells of one line. Columns 5 and 11 (0-based 4 and 10) hold the
// line mark, "1" or "0", which the panel draws as a line picture.
using GridRow = std::array<std::wstring, 12>;

// Six rows, top row first: row 0 shows line 6, row 5 shows line 1.
std::array<GridRow, 6> chartGrid(const AnalysisRecord& record, const Hexagram& primary, const Hexagram& changed);

// The cast time as the user reads it: "2024年3月31日21时25分30秒", dropping trailing zero
// parts of the time ("2024年3月31日21时", or the date alone at midnight). Sub-second parts
// are dropped; a time outside the years 100..9999 gives an empty text.
std::wstring castTimeText(double castTime);
void appendCastTimeText(std::wstring& out, double castTime);

// The interpretation text (卦解), one entry a line, starting with "卦解:".
std::vector<std::wstring> interpretationLines(const AnalysisRecord& record);
// The same into `lines`, overwriting the lines of the last cast in their own storage.
void interpretationLines(const AnalysisRecord& record, std::vector<std::wstring>& lines);

// The fixed caption below the chart grid.
inline constexpr std::wstring_view ChartCaption = L"-----卦--------基----------数----------分-------析------";

// "○" for a yang moving line, "×" for a yin moving line, empty for a still line.
std::wstring_view moveMarkText(int mark);

}  // namespace orvenna
