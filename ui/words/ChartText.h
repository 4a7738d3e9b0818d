// The full chart of one cast as a reader lays it out on a sheet: a heading (cast time, the four
// pillars, 旬空, 卦身, 神煞 and both hexagrams) and one row per line, top line first. The detail
// window draws this sheet, its picture and printout draw it, and 复制 and orvenna-cli's --text
// write it as plain text, so that all of them show the same chart.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "engine/AnalysisRun.h"
#include "engine/ChartMarks.h"

namespace orvenna {

// The columns of a row: 六神 | 伏神 | the primary line (六亲干支五行, its picture, 世/应, its
// marks and the day's spirits its branch carries) | the line it changes into and how.
enum class ChartColumn { Spirit, Hidden, Line, Picture, Place, Marks, Shensha, Changed, Change, Count };
inline constexpr std::size_t ChartColumns = static_cast<std::size_t>(ChartColumn::Count);

using ChartRow = std::array<std::wstring, ChartColumns>;

struct ChartSheet {
    std::wstring title;                 // "排盘详情"
    std::vector<std::wstring> heading;  // one entry a line
    ChartRow captions;                  // empty where a column goes on under its group's caption
    std::array<ChartRow, 6> rows;       // row 0 is line 6
};

// The sheet of a finished cast under its marks. A cast whose charts were never built gives
// empty rows.
ChartSheet chartSheet(const Analysis& analysis, const ChartMarks& marks);

// How many cells of a monospaced face `text` takes: Chinese characters, full-width forms and
// the line pictures (▅ ○ ×, which Chinese faces draw full-width) two, anything else one.
std::size_t textCells(std::wstring_view text);

// The sheet as plain text for a forum post or a terminal: the heading, then the captions and
// the rows with each column padded to its widest cell (two blanks between columns), trailing
// blanks dropped, every line ended by "\n".
std::wstring chartText(const ChartSheet& sheet);

// chartText(chartSheet(analysis, chartMarks(analysis))).
std::wstring chartText(const Analysis& analysis);

}  // namespace orvenna
