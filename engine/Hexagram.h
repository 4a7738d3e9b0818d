// One complete six-line chart, and the builders that fill it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "LineArray.h"

namespace orvenna {

// A plain record; every per-line array lists line 1 (bottom) first. A finished chart holds
// six entries in each array, except `movingFlags` (manual casting only) and `spirits`
// (primary hexagram only), which may stay empty.
struct Hexagram {
    int upperTrigram = 0;
    int lowerTrigram = 0;
    int movingLine = 0;            // number casting: the one moving line 1..6
    std::vector<int> movingFlags;  // manual casting: 1 yang moving, -1 yin moving, 0 still
    std::wstring upperCode;        // line 4 first, "1" yang
    std::wstring upperName;
    std::wstring lowerCode;  // line 1 first
    std::wstring lowerName;
    int worldLine = 0;
    int responseLine = 0;
    int soulType = 0;    // 0 ordinary, 1 游魂, 2 归魂
    int palace = 0;      // 1..8, 0 when no palace code matched
    int palaceRank = 0;  // 1 pure, 2..6 world on line 1..5, 7 游魂, 8 归魂
    LineArray<std::wstring> lineMarks;
    LineArray<std::wstring> spirits;
    LineArray<std::wstring> relations;
    LineArray<std::wstring> stemBranches;
    LineArray<int> elementNumbers;
    LineArray<std::wstring> elementNames;

    bool operator==(const Hexagram&) const = default;
};

// (palace - 1) * 8 + place in palace.
int hexagramNumber(const Hexagram& hexagram);

// "乾宫 (1) 乾为天 ": palace, place, name and soul name (an ordinary hexagram ends in a space).
std::wstring hexagramTitle(const Hexagram& hexagram);
void appendHexagramTitle(std::wstring& out, const Hexagram& hexagram);

// The full build from the trigram numbers already set, with the spirits of the day stem.
void buildChart(Hexagram& hexagram, std::wstring_view dayPillar);

// The changed hexagram: a fresh chart from two trigram codes, without spirits.
void buildChanged(Hexagram& hexagram, std::wstring_view upperCode, std::wstring_view lowerCode);

// Relation index 0..4 (兄弟 父母 妻财 官鬼 子孙) of a line element to the palace element.
int relationOf(int palaceElement, int lineElement);

// Empties the six-entry arrays (not `movingFlags`).
void clearLines(Hexagram& hexagram);

// Back to a fresh record, keeping the storage.
void resetHexagram(Hexagram& hexagram);

}  // namespace orvenna
