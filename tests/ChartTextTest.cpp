#include "ui/words/ChartText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "TestRequest.h"
#include "engine/AnalysisRun.h"

namespace orvenna {
namespace {

using ::testing::HasSubstr;

Analysis run(CastRequest request) {
    Analysis analysis;
    EXPECT_TRUE(runAnalysis(request, analysis));
    return analysis;
}

std::vector<std::wstring> linesOf(const std::wstring& text) {
    std::vector<std::wstring> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(L'\n', start)) != std::wstring::npos; start = end + 1)
        lines.push_back(text.substr(start, end - start));
    return lines;
}

// The cell at which `cell` starts in `line`, counted as a monospaced Chinese face draws it.
std::size_t cellOffset(const std::wstring& line, const std::wstring& cell) {
    const std::size_t at = line.find(cell);
    return at == std::wstring::npos ? std::wstring::npos : textCells(std::wstring_view(line).substr(0, at));
}

TEST(ChartTextTest, FullWidthCharactersAndLinePicturesTakeTwoCells) {
    const std::pair<std::wstring_view, std::size_t> cases[] = {
        {L"", 0},     {L"abc 12", 6}, {L"兄弟丙戌土", 10}, {L"▅▅▅○", 8},
        {L"▅ ▅×", 7}, {L"(1)", 3},    {L"：", 2},          {L"乾宫 (1)", 8},
    };
    for (const auto& [text, cells] : cases) EXPECT_EQ(textCells(text), cells) << toUtf8(text);
}

// Every column starts at the same cell on every row, whatever the width of the cells above
// it: a forum's monospaced face shows the table straight.
TEST(ChartTextTest, ColumnsLineUpInAMonospacedFace) {
    const CastRequest requests[] = {
        numberRequest(L"1234", 7, at(2024, 3, 31, 12)),
        lineRequest(L"000", L"100", {1, 0, 0, 0, 0, -1}, 3, at(2024, 3, 31, 12)),
        lineRequest(L"011", L"101", {1, 1, -1, -1, 1, -1}, 5, at(2023, 8, 7, 23)),
        lineRequest(L"101", L"000", {0, 0, 0, 0, 0, 0}, 1, at(2024, 2, 4, 16)),
    };
    for (const CastRequest& request : requests) {
        const Analysis analysis = run(request);
        const ChartSheet sheet = chartSheet(analysis, chartMarks(analysis));
        const std::vector<std::wstring> lines = linesOf(chartText(sheet));
        SCOPED_TRACE(toUtf8(analysis.header));
        ASSERT_EQ(lines.size(), 1 + sheet.heading.size() + 1 + 1 + 6);
        const std::size_t firstRow = lines.size() - 6;
        // The start of each column: the first row that fills it says where it is.
        for (std::size_t c = 0; c < ChartColumns; ++c) {
            std::size_t column = std::wstring::npos;
            for (std::size_t r = 0; r < 6; ++r) {
                const std::wstring& cell = sheet.rows[r][c];
                if (cell.empty()) continue;
                // A cell is found after the columns before it: search from the previous cell on.
                std::size_t from = 0;
                for (std::size_t before = 0; before < c; ++before) {
                    const std::wstring& previous = sheet.rows[r][before];
                    if (!previous.empty()) from = lines[firstRow + r].find(previous, from) + previous.size();
                }
                const std::size_t at = lines[firstRow + r].find(cell, from);
                ASSERT_NE(at, std::wstring::npos) << "row " << r << " column " << c;
                const std::size_t offset = textCells(std::wstring_view(lines[firstRow + r]).substr(0, at));
                if (column == std::wstring::npos) column = offset;
                EXPECT_EQ(offset, column) << "row " << r << " column " << c << ": " << toUtf8(lines[firstRow + r]);
            }
        }
        for (const std::wstring& line : lines) EXPECT_TRUE(line.empty() || line.back() != L' ') << toUtf8(line);
        EXPECT_EQ(cellOffset(lines[firstRow - 1], L"六神"), 0u);
    }
}

// What a reader looks for on each line: the top line first, the world and response lines,
// the picture and its moving mark, and the change of a moving line beside it.
TEST(ChartTextTest, RowsCarryTheLineTheMarksAndTheChange) {
    const Analysis analysis = run(lineRequest(L"000", L"100", {1, 0, 0, 0, 0, -1}, 3, at(2024, 3, 31, 12)));
    const ChartMarks marks = chartMarks(analysis);
    const ChartSheet sheet = chartSheet(analysis, marks);
    const Hexagram& p = analysis.primary;
    for (std::size_t row = 0; row < 6; ++row) {
        const std::size_t i = 5 - row;
        const ChartRow& cells = sheet.rows[row];
        SCOPED_TRACE(row);
        EXPECT_EQ(cells[static_cast<std::size_t>(ChartColumn::Spirit)], p.spirits[i]);
        EXPECT_EQ(cells[static_cast<std::size_t>(ChartColumn::Line)],
                  p.relations[i] + p.stemBranches[i] + p.elementNames[i]);
        const std::wstring& picture = cells[static_cast<std::size_t>(ChartColumn::Picture)];
        EXPECT_EQ(picture.substr(0, 3), p.lineMarks[i] == L"1" ? L"▅▅▅" : L"▅ ▅");
        const int move = analysis.record.moveMarks[i];
        EXPECT_EQ(picture.substr(3), move == 1 ? L"○" : move == -1 ? L"×" : L"");
        const std::wstring& place = cells[static_cast<std::size_t>(ChartColumn::Place)];
        EXPECT_EQ(place, static_cast<int>(i) + 1 == p.worldLine      ? L"世"
                         : static_cast<int>(i) + 1 == p.responseLine ? L"应"
                                                                     : L"");
        EXPECT_THAT(cells[static_cast<std::size_t>(ChartColumn::Marks)],
                    HasSubstr(std::wstring(marks.lines[i].strength)));
        // Only a moving line has a changed line, and it says how it changes.
        const std::wstring& changed = cells[static_cast<std::size_t>(ChartColumn::Changed)];
        const std::wstring& change = cells[static_cast<std::size_t>(ChartColumn::Change)];
        if (move == 0) {
            EXPECT_EQ(changed, L"");
            EXPECT_EQ(change, L"");
        } else {
            const Hexagram& c = analysis.changed;
            EXPECT_EQ(changed, c.relations[i] + c.stemBranches[i] + c.elementNames[i]);
            EXPECT_THAT(change, HasSubstr(std::wstring(marks.lines[i].change->relation)));
        }
    }
    const std::wstring text = chartText(sheet);
    EXPECT_THAT(text, HasSubstr(L"四柱:" + std::wstring(marks.pillars.year) + L"年"));
    EXPECT_THAT(text, HasSubstr(L"旬空:" + std::wstring(marks.voidBranches)));
    EXPECT_THAT(text, HasSubstr(L"本卦:" + hexagramTitle(p).substr(0, 4)));
    EXPECT_THAT(text, HasSubstr(L"起卦时间:2024年3月31日12时\n"));
}

}  // namespace
}  // namespace orvenna
