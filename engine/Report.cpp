#include "Report.h"

#include "Tables.h"
#include "base/DayCount.h"
#include "base/Text.h"

namespace orvenna {

namespace {

std::wstring_view worldResponseText(const Hexagram& h, int line) {
    if (line == h.worldLine) return L"世";
    if (line == h.responseLine) return L"应";
    return {};
}

constexpr std::wstring_view Notice =
    L"----------以下各种名词为周易专业术语，请以代名词去理解，切勿以字面意义理解而迷信-----------";
constexpr std::wstring_view LineNames[] = {L"初爻:", L"二爻:", L"三爻:", L"四爻:", L"五爻:", L"六爻:"};

// Appends one line's reading: "spirit,relation,五行属element<role>stem->d,branch->d;" then the
// move word and the changed line `c`.
void appendLineReading(std::wstring& out, const AnalysisRecord& r, std::size_t i, std::wstring_view role,
                       std::size_t c) {
    appendAll(out, lineEntry(r.lineSpirits, i), L',', lineEntry(r.lineRelations, i), L",五行属",
              lineEntry(r.lineElements, i), role, lineEntry(r.lineStems, i), L"->", lineEntry(r.lineStemDigits, i),
              L',', lineEntry(r.lineBranches, i), L"->", lineEntry(r.lineBranchDigits, i), L';',
              lineEntry(r.moveMarks, i) != 0 ? L"发动而变>" : L"不动而变>", lineEntry(r.changedRelations, c),
              L",五行属", lineEntry(r.changedElements, c), L',', lineEntry(r.changedStems, c), L"->",
              lineEntry(r.changedStemDigits, c), L',', lineEntry(r.changedBranches, c), L"->",
              lineEntry(r.changedBranchDigits, c));
}

// An index outside 0..5 (no chart) reads past the arrays and shows empty values.
std::size_t lineIndex(int index) {
    return index < 0 ? LineArray<int>::Capacity : static_cast<std::size_t>(index);
}

}  // namespace

std::wstring castTimeText(double castTime) {
    std::wstring text;
    appendCastTimeText(text, castTime);
    return text;
}

void appendCastTimeText(std::wstring& text, double castTime) {
    const DateTimeFields f = fieldsFromDayCount(castTime);
    if (f.year < 100 || f.year > 9999) return;
    appendAll(text, f.year, L'年', f.month, L'月', f.day, L'日');
    if (f.second != 0) {
        appendAll(text, f.hour, L'时', f.minute, L'分', f.second, L'秒');
    } else if (f.minute != 0) {
        appendAll(text, f.hour, L'时', f.minute, L'分');
    } else if (f.hour != 0) {
        appendAll(text, f.hour, L'时');
    }
}

std::vector<std::wstring> interpretationLines(const AnalysisRecord& r) {
    std::vector<std::wstring> lines;
    interpretationLines(r, lines);
    return lines;
}

void interpretationLines(const AnalysisRecord& r, std::vector<std::wstring>& lines) {
    // Eleven fixed lines, the world and response lines, a blank one and at most six more.
    constexpr std::size_t MostLines = 20;
    if (lines.capacity() < MostLines) lines.reserve(MostLines);
    std::size_t count = 0;
    // The next line, emptied. The reserve above keeps every line in place meanwhile.
    const auto next = [&]() -> std::wstring& {
        if (count == lines.size()) lines.emplace_back();
        std::wstring& line = lines[count++];
        line.clear();
        return line;
    };
    assignText(next(), L"卦解:");
    std::wstring& when = next();
    assignText(when, L"            在");
    appendCastTimeText(when, r.castTime);
    appendAll(when, L"日主:", r.dayPillar, L",时辰:", r.hourPillar, L",属", r.zodiacBranch, L"的卦主测得:");
    appendAll(next(), L"           (", r.primaryPalaceName, L"宫第", r.primaryPalaceRank, L"卦)", r.primaryName,
              L"变卦为:(", r.changedPalaceName, L"宫第", r.changedPalaceRank, L"卦)", r.changedName);
    assignText(next(), Notice);
    next();
    assignText(next(), L"卦基数:");
    appendAll(next(), L"日主:", r.dayStem, L"->", r.dayStemDigit, L',', r.dayBranch, L"->", r.dayBranchDigit);
    appendAll(next(), L"卦主:", r.zodiacBranch, L"->", r.zodiacDigit);
    appendAll(next(), L"时辰:", r.hourStem, L"->", r.hourStemDigit, L',', r.hourBranch, L"->", r.hourBranchDigit);
    next();
    assignText(next(), L"爻基数:");

    const std::size_t w = lineIndex(r.worldIndex);
    const std::size_t resp = lineIndex(r.responseIndex);
    // The response line's move word is its own, but its changed values are read at the
    // changed hexagram's response line.
    appendLineReading(next(), r, w, L"持世,", w);
    appendLineReading(next(), r, resp, L"应爻,", lineIndex(r.changedResponseIndex));
    next();
    for (std::size_t i = 0; i < 6; ++i) {
        if (i == w || i == resp) continue;
        std::wstring& line = next();
        assignText(line, LineNames[i]);
        appendLineReading(line, r, i, L",", i);
        if (static_cast<int>(i) == r.changedWorldIndex) {
            line += L"化世";
        } else if (static_cast<int>(i) == r.changedResponseIndex) {
            line += L"化应";
        }
    }
    lines.resize(count);
}

std::wstring primaryTitleText(const Hexagram& primary) {
    return std::wstring(clampedSubstr(ChartTitles, 0, 2)) + L": " + hexagramTitle(primary);
}

std::wstring changedTitleText(const Hexagram& changed) {
    return std::wstring(clampedSubstr(ChartTitles, 2, 2)) + L" " + hexagramTitle(changed);
}

std::array<std::wstring_view, 12> chartHeaders() {
    return splitTable<12>(ChartHeaders);
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
