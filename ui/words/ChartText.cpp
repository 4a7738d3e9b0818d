#include "ChartText.h"

#include <algorithm>

#include "engine/Report.h"

namespace orvenna {

namespace {

template <typename T>
const T& entry(const LineArray<T>& values, std::size_t i) {
    static const T none{};
    return i < values.size() ? values[i] : none;
}

// "乾宫 (1) 乾为天" and the shape, without the trailing blank an ordinary hexagram's title has.
std::wstring hexagramLine(std::wstring_view label, const Hexagram& hexagram, std::wstring_view shape) {
    std::wstring line(label);
    line += L':';
    line += hexagramTitle(hexagram);
    while (!line.empty() && line.back() == L' ') line.pop_back();
    if (!shape.empty()) line.append(L" ").append(shape);
    return line;
}

// Words joined by one blank, the empty ones left out.
void addWord(std::wstring& out, std::wstring_view word) {
    if (word.empty()) return;
    if (!out.empty()) out += L' ';
    out += word;
}

std::wstring bodyText(const ChartMarks& marks) {
    if (marks.bodyBranch.empty()) return {};
    std::wstring text(marks.bodyBranch);
    if (std::none_of(marks.bodyLines.begin(), marks.bodyLines.end(), [](bool on) { return on; }))
        text.append(L" ").append(BodyNotInChart);
    return text;
}

std::wstring linePicture(std::wstring_view mark, int move) {
    std::wstring picture = mark == L"1" ? L"▅▅▅" : mark == L"0" ? L"▅ ▅" : L"";
    picture += moveMarkText(move);
    return picture;
}

std::wstring placeText(const Hexagram& hexagram, int line) {
    if (line == hexagram.worldLine) return L"世";
    if (line == hexagram.responseLine) return L"应";
    return {};
}

bool wide(wchar_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) || (c >= 0xAC00 && c <= 0xD7A3) ||
           (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x2580 && c <= 0x25FF) || c == L'×';
}

}  // namespace

std::size_t textCells(std::wstring_view text) {
    std::size_t cells = 0;
    for (const wchar_t c : text) cells += wide(c) ? 2 : 1;
    return cells;
}

ChartSheet chartSheet(const Analysis& analysis, const ChartMarks& marks) {
    const AnalysisRecord& r = analysis.record;
    const Hexagram& primary = analysis.primary;
    const Hexagram& changed = analysis.changed;
    ChartSheet sheet;
    sheet.title = L"排盘详情";
    if (!analysis.header.empty()) sheet.heading.push_back(analysis.header);
    sheet.heading.push_back(L"起卦时间:" + castTimeText(r.castTime));
    std::wstring pillars = L"四柱:";
    pillars.append(marks.pillars.year).append(L"年 ").append(marks.pillars.month).append(L"月 ");
    pillars.append(marks.pillars.day).append(L"日 ").append(marks.pillars.hour).append(L"时");
    sheet.heading.push_back(pillars);
    sheet.heading.push_back(L"旬空:" + std::wstring(marks.voidBranches) + L"  卦身:" + bodyText(marks));
    std::wstring spirits = L"神煞:";
    for (std::size_t n = 0; n < ShenshaNames.size(); ++n) {
        if (marks.shensha[n].empty()) continue;
        if (n > 0) spirits += L' ';
        spirits.append(ShenshaNames[n]).append(marks.shensha[n]);
    }
    sheet.heading.push_back(spirits);
    sheet.heading.push_back(hexagramLine(L"本卦", primary, marks.primaryShape));
    sheet.heading.push_back(hexagramLine(L"变卦", changed, marks.changedShape));

    sheet.captions[static_cast<std::size_t>(ChartColumn::Spirit)] = L"六神";
    sheet.captions[static_cast<std::size_t>(ChartColumn::Hidden)] = L"伏神";
    sheet.captions[static_cast<std::size_t>(ChartColumn::Line)] = L"本卦";
    sheet.captions[static_cast<std::size_t>(ChartColumn::Changed)] = L"变卦";
    for (std::size_t row = 0; row < 6; ++row) {
        const std::size_t i = 5 - row;
        const int line = static_cast<int>(i) + 1;
        const LineMarks& m = marks.lines[i];
        ChartRow& cells = sheet.rows[row];
        auto cell = [&cells](ChartColumn column) -> std::wstring& { return cells[static_cast<std::size_t>(column)]; };
        cell(ChartColumn::Spirit) = entry(primary.spirits, i);
        if (m.hidden) {
            std::wstring& hidden = cell(ChartColumn::Hidden);
            hidden.append(m.hidden->relation).append(m.hidden->stemBranch).append(m.hidden->element);
            addWord(hidden, m.hidden->fly);
        }
        cell(ChartColumn::Line) =
            entry(primary.relations, i) + entry(primary.stemBranches, i) + entry(primary.elementNames, i);
        cell(ChartColumn::Picture) = linePicture(entry(primary.lineMarks, i), entry(r.moveMarks, i));
        cell(ChartColumn::Place) = placeText(primary, line);
        std::wstring& lineMarks = cell(ChartColumn::Marks);
        if (m.isVoid) addWord(lineMarks, L"空");
        if (m.monthBreak) addWord(lineMarks, L"破");
        addWord(lineMarks, m.dayClash);
        addWord(lineMarks, m.strength);
        forEachShensha(m.shensha, [&](std::wstring_view name) { addWord(cell(ChartColumn::Shensha), name); });
        if (m.change) {
            cell(ChartColumn::Changed) =
                entry(changed.relations, i) + entry(changed.stemBranches, i) + entry(changed.elementNames, i);
            std::wstring& change = cell(ChartColumn::Change);
            addWord(change, m.change->relation);
            addWord(change, m.change->advance);
            if (m.change->isVoid) addWord(change, L"空");
            if (m.change->monthBreak) addWord(change, L"破");
            if (m.change->grave) addWord(change, L"墓");
            if (m.change->cut) addWord(change, L"绝");
        }
    }
    return sheet;
}

std::wstring chartText(const ChartSheet& sheet) {
    std::array<std::size_t, ChartColumns> widths{};
    auto measure = [&widths](const ChartRow& row) {
        for (std::size_t c = 0; c < ChartColumns; ++c) widths[c] = std::max(widths[c], textCells(row[c]));
    };
    measure(sheet.captions);
    for (const ChartRow& row : sheet.rows) measure(row);

    std::wstring text = sheet.title + L'\n';
    for (const std::wstring& line : sheet.heading) text += line + L'\n';
    text += L'\n';
    auto write = [&](const ChartRow& row) {
        std::wstring line;
        for (std::size_t c = 0; c < ChartColumns; ++c) {
            if (widths[c] == 0) continue;  // a column no line fills takes no room
            line += row[c];
            line.append(widths[c] - textCells(row[c]) + 2, L' ');
        }
        while (!line.empty() && line.back() == L' ') line.pop_back();
        text += line + L'\n';
    };
    write(sheet.captions);
    for (const ChartRow& row : sheet.rows) write(row);
    return text;
}

std::wstring chartText(const Analysis& analysis) {
    return chartText(chartSheet(analysis, chartMarks(analysis)));
}

}  // namespace orvenna
