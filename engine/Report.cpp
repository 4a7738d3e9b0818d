#include "Report.h"

#include "Tables.h"
#include "Text.h"

namespace orvenna {

namespace {

std::wstring_view worldResponseText(const Hexagram& h, int line) {
    if (line == h.worldLine) return L"世";
    if (line == h.responseLine) return L"应";
    return {};
}

}  // namespace

std::wstring primaryTitleText(const Hexagram& primary) {
    return std::wstring(clampedSubstr(ChartTitles, 0, 2)) + L": " + hexagramTitle(primary);
}

std::wstring changedTitleText(const Hexagram& changed) {
    return std::wstring(clampedSubstr(ChartTitles, 2, 2)) + L" " + hexagramTitle(changed);
}

std::array<std::wstring_view, 12> chartHeaders() {
    std::array<std::wstring_view, 12> headers{};
    std::size_t start = 0;
    for (auto& header : headers) {
        const std::size_t comma = ChartHeaders.find(L',', start);
        const std::size_t end = comma == std::wstring_view::npos ? ChartHeaders.size() : comma;
        header = ChartHeaders.substr(start, end - start);
        start = end + 1;
    }
    return headers;
}

std::wstring_view moveMarkText(int mark) {
    if (mark == 1) return L"○";
    if (mark == -1) return L"×";
    return {};
}

std::array<GridRow, 6> chartGrid(const AnalysisRecord& record, const Hexagram& primary, const Hexagram& changed) {
    std::array<GridRow, 6> grid;
    for (std::size_t i = 0; i < 6; ++i) {
        const int line = static_cast<int>(i) + 1;
        GridRow& row = grid[5 - i];
        row[0] = lineEntry(primary.spirits, i);
        row[1] = lineEntry(primary.relations, i);
        row[2] = lineEntry(primary.stemBranches, i);
        row[3] = lineEntry(primary.elementNames, i);
        row[4] = lineEntry(primary.lineMarks, i);
        row[5] = worldResponseText(primary, line);
        row[6] = moveMarkText(lineEntry(record.moveMarks, i));
        row[7] = lineEntry(changed.relations, i);
        row[8] = lineEntry(changed.stemBranches, i);
        row[9] = lineEntry(changed.elementNames, i);
        row[10] = lineEntry(changed.lineMarks, i);
        row[11] = worldResponseText(changed, line);
    }
    return grid;
}

}  // namespace orvenna
