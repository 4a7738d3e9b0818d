#include "Hexagram.h"

#include <array>

#include "Tables.h"
#include "base/Text.h"

namespace orvenna {

namespace {

bool isLineCode(std::wstring_view code) {
    return code.size() == 3;
}

// Inverts every character: "0" becomes "1", anything else "0".
std::wstring invertedCode(std::wstring_view code) {
    std::wstring inverted(code);
    for (auto& c : inverted) c = c == L'0' ? L'1' : L'0';
    return inverted;
}

void setCodesAndNames(Hexagram& h) {
    assignText(h.upperCode, trigramCode(h.upperTrigram));
    assignText(h.lowerCode, trigramCode(h.lowerTrigram));
    if (isLineCode(h.upperCode) && isLineCode(h.lowerCode)) {
        for (const wchar_t c : h.lowerCode) h.lineMarks.emplace_back(std::wstring_view(&c, 1));
        for (const wchar_t c : h.upperCode) h.lineMarks.emplace_back(std::wstring_view(&c, 1));
    }
    assignText(h.upperName, trigramName(h.upperTrigram));
    assignText(h.lowerName, trigramName(h.lowerTrigram));
}

void setWorldAndResponse(Hexagram& h) {
    if (!isLineCode(h.upperCode) || !isLineCode(h.lowerCode)) return;
    const bool s1 = h.lowerCode[0] == h.upperCode[0];
    const bool s2 = h.lowerCode[1] == h.upperCode[1];
    const bool s3 = h.lowerCode[2] == h.upperCode[2];
    struct Row {
        int world, response, soul;
    };
    Row row{};
    if (s1 && s2 && s3)
        row = {6, 3, 0};
    else if (!s1 && !s2 && s3)
        row = {2, 5, 0};
    else if (s1 && s2)
        row = {5, 2, 0};
    else if (s1 && !s3 && !s2)
        row = {4, 1, 0};
    else if (s2 && s3)
        row = {1, 4, 0};
    else if (!s1 && !s2 && !s3)
        row = {3, 6, 0};
    else if (s2)
        row = {4, 1, 1};
    else
        row = {3, 6, 2};  // same(1) and same(3), not same(2)
    h.worldLine = row.world;
    h.responseLine = row.response;
    h.soulType = row.soul;
}

void setPalace(Hexagram& h) {
    if (h.worldLine == 1 || h.worldLine == 2 || h.worldLine == 6 || (h.worldLine == 3 && h.soulType != 2)) {
        h.palace = palaceOfCode(h.upperCode);
    } else if (h.worldLine == 3) {
        h.palace = palaceOfCode(h.lowerCode);
    } else {
        h.palace = palaceOfCode(invertedCode(h.lowerCode));
    }
    if (h.soulType == 1)
        h.palaceRank = 7;
    else if (h.soulType == 2)
        h.palaceRank = 8;
    else if (h.worldLine >= 1 && h.worldLine <= 5)
        h.palaceRank = h.worldLine + 1;
    else
        h.palaceRank = 1;
}

void setSpirits(Hexagram& h, std::wstring_view dayPillar) {
    const std::wstring_view rotation = spiritRotation(stemNumber(clampedSubstr(dayPillar, 0, 1)));
    for (std::size_t i = 0; i < 6; ++i) h.spirits.emplace_back(rotation.substr(i * 2, 2));
}

// Appends the three lines of one trigram: stem, branch walking its cycle, element.
void appendNajia(Hexagram& h, std::wstring_view stems, std::wstring_view branches, int trigram) {
    const std::wstring_view stem = clampedSubstr(stems, trigram - 1, 1);
    const std::wstring_view firstBranch = clampedSubstr(branches, trigram - 1, 1);
    const std::wstring_view cycle = stemNumber(stem) % 2 == 1 ? YangBranchCycle : YinBranchCycle;
    auto pos = findPosition(cycle, firstBranch);
    for (int line = 0; line < 3; ++line) {
        std::wstring_view branch = firstBranch;
        if (line > 0) {
            pos = pos >= 5 ? 0 : pos + 1;
            branch = clampedSubstr(cycle, pos, 1);
        }
        // Stem and branch are a character each at most (none where a table has no entry).
        wchar_t stemBranch[2];
        std::size_t length = 0;
        for (const wchar_t c : stem) stemBranch[length++] = c;
        for (const wchar_t c : branch) stemBranch[length++] = c;
        h.stemBranches.emplace_back(std::wstring_view(stemBranch, length));
        const std::wstring_view element = branchElement(branch);
        h.elementNames.emplace_back(element);
        h.elementNumbers.push_back(elementNumber(element));
    }
}

void setNajiaAndRelations(Hexagram& h) {
    const int palaceElement = elementNumber(clampedSubstr(TrigramElements, h.palace - 1, 1));
    appendNajia(h, InnerStems, InnerBranches, h.lowerTrigram);
    appendNajia(h, OuterStems, OuterBranches, h.upperTrigram);
    for (const int element : h.elementNumbers) {
        h.relations.emplace_back(
            RelationNames.substr(static_cast<std::size_t>(relationOf(palaceElement, element)) * 2, 2));
    }
}

// What a chart holds apart from its spirits and moving lines, worked out from its two
// trigrams.
void buildFromTrigrams(Hexagram& h) {
    setCodesAndNames(h);
    setWorldAndResponse(h);
    setPalace(h);
    setNajiaAndRelations(h);
}

// That part depends on the two trigrams alone: the 64 charts of trigrams 1..8 are worked out
// once, the first time one is asked for, and every cast copies one.
const Hexagram& chartOfTrigrams(int upper, int lower) {
    static const std::array<Hexagram, 64> charts = [] {
        std::array<Hexagram, 64> all;
        for (std::size_t i = 0; i < all.size(); ++i) {
            all[i].upperTrigram = static_cast<int>(i / 8) + 1;
            all[i].lowerTrigram = static_cast<int>(i % 8) + 1;
            buildFromTrigrams(all[i]);
        }
        return all;
    }();
    return charts[static_cast<std::size_t>((upper - 1) * 8 + (lower - 1))];
}

void appendLines(LineArray<std::wstring>& to, const LineArray<std::wstring>& from) {
    for (const std::wstring& entry : from) to.emplace_back(std::wstring_view(entry));
}

// buildFromTrigrams(h) by copying the chart worked out before: the texts are assigned and
// the per-line entries appended, exactly as the steps themselves do it.
void copyFromTrigrams(Hexagram& h, const Hexagram& built) {
    assignText(h.upperCode, built.upperCode);
    assignText(h.lowerCode, built.lowerCode);
    assignText(h.upperName, built.upperName);
    assignText(h.lowerName, built.lowerName);
    h.worldLine = built.worldLine;
    h.responseLine = built.responseLine;
    h.soulType = built.soulType;
    h.palace = built.palace;
    h.palaceRank = built.palaceRank;
    appendLines(h.lineMarks, built.lineMarks);
    appendLines(h.stemBranches, built.stemBranches);
    appendLines(h.elementNames, built.elementNames);
    appendLines(h.relations, built.relations);
    for (const int element : built.elementNumbers) h.elementNumbers.push_back(element);
}

void build(Hexagram& h, const std::wstring_view* dayPillar) {
    if (h.upperTrigram == 0 || h.lowerTrigram == 0) return;
    const bool known = h.upperTrigram >= 1 && h.upperTrigram <= 8 && h.lowerTrigram >= 1 && h.lowerTrigram <= 8;
    if (known) {
        copyFromTrigrams(h, chartOfTrigrams(h.upperTrigram, h.lowerTrigram));
    } else {
        buildFromTrigrams(h);
    }
    if (dayPillar != nullptr) setSpirits(h, *dayPillar);
}

}  // namespace

int hexagramNumber(const Hexagram& h) {
    return (h.palace - 1) * 8 + h.palaceRank;
}

std::wstring hexagramTitle(const Hexagram& h) {
    std::wstring title;
    appendHexagramTitle(title, h);
    return title;
}

void appendHexagramTitle(std::wstring& out, const Hexagram& h) {
    appendAll(out, trigramName(h.palace), L"宫 (", h.palaceRank, L") ", hexagramName(hexagramNumber(h)), L' ',
              soulName(h.soulType));
}

void clearLines(Hexagram& h) {
    h.lineMarks.clear();
    h.spirits.clear();
    h.relations.clear();
    h.stemBranches.clear();
    h.elementNumbers.clear();
    h.elementNames.clear();
}

void resetHexagram(Hexagram& h) {
    clearLines(h);
    h.movingFlags.clear();
    h.upperTrigram = h.lowerTrigram = h.movingLine = 0;
    h.upperCode.clear();
    h.upperName.clear();
    h.lowerCode.clear();
    h.lowerName.clear();
    h.worldLine = h.responseLine = h.soulType = h.palace = h.palaceRank = 0;
}

void buildChart(Hexagram& h, std::wstring_view dayPillar) {
    build(h, &dayPillar);
}

void buildChanged(Hexagram& h, std::wstring_view upperCode, std::wstring_view lowerCode) {
    clearLines(h);
    h.movingFlags.clear();
    h.upperTrigram = trigramOfCode(upperCode);
    h.lowerTrigram = trigramOfCode(lowerCode);
    build(h, nullptr);
}

int relationOf(int a, int b) {
    if (a == b) return 0;
    const wchar_t digitA = static_cast<wchar_t>(L'0' + a);
    const wchar_t digitB = static_cast<wchar_t>(L'0' + b);
    const auto d = static_cast<int>(findPosition(GeneratingOrder, std::wstring_view(&digitA, 1)));
    const auto f = static_cast<int>(findPosition(GeneratingOrder, std::wstring_view(&digitB, 1)));
    if (f - d == 1 || (d == 4 && f == 0)) return 4;
    if (d - f == 1 || (d == 0 && f == 4)) return 1;
    const auto h = static_cast<int>(findPosition(OvercomingOrder, std::wstring_view(&digitA, 1)));
    const auto m = static_cast<int>(findPosition(OvercomingOrder, std::wstring_view(&digitB, 1)));
    if (m - h == 1 || (h == 4 && m == 0)) return 2;
    return 3;
}

}  // namespace orvenna
