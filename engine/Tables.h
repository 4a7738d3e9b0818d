// The constant symbol tables of the six-line method and the lookups over them.
//
// Every table is one constant text addressed by character position, and every lookup
// degrades instead of failing: a name missing from a table gives 0 or an empty text.
// The degraded results are part of the contract (callers and saved records rely on
// them), so the lookups search the texts exactly as written rather than using maps.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/Text.h"

namespace orvenna {

// Stem number 1..10 -> stem character (position number - 1).
inline constexpr std::wstring_view StemNames = L"甲乙丙丁戊己庚辛壬癸";
// Branch index 0..11 -> branch character.
inline constexpr std::wstring_view BranchNames = L"子丑寅卯辰巳午未申酉戌亥";
// Stem number - 1 -> He Tu digit of the stem.
inline constexpr std::wstring_view StemDigits = L"3827504916";
// Branch index -> He Tu digit of the branch.
inline constexpr std::wstring_view BranchDigits = L"103857204956";
// Element number 1..5 -> element (金 木 水 火 土).
inline constexpr std::wstring_view ElementNames = L"金木水火土";
// Trigram number 1..8 -> trigram (also the eight palaces).
inline constexpr std::wstring_view TrigramNames = L"乾兑离震巽坎艮坤";
// Branch index -> element of the branch.
inline constexpr std::wstring_view BranchElements = L"水土木木土火火土金金土水";
// Trigram (palace) number - 1 -> palace element.
inline constexpr std::wstring_view TrigramElements = L"金金火木木水土土";
// Trigram number - 1 -> na-jia stem of the trigram as the inner (lower) trigram.
inline constexpr std::wstring_view InnerStems = L"甲丁己庚辛戊丙乙";
// Trigram number - 1 -> na-jia stem of the trigram as the outer (upper) trigram.
inline constexpr std::wstring_view OuterStems = L"壬丁己庚辛戊丙癸";
// Trigram number - 1 -> branch of line 1 when the trigram is inner.
inline constexpr std::wstring_view InnerBranches = L"子巳卯子丑寅辰未";
// Trigram number - 1 -> branch of line 4 when the trigram is outer.
inline constexpr std::wstring_view OuterBranches = L"午亥酉午未申戌丑";
// Branch order for trigrams with an odd (yang) stem number.
inline constexpr std::wstring_view YangBranchCycle = L"子寅辰午申戌";
// Branch order for trigrams with an even (yin) stem number.
inline constexpr std::wstring_view YinBranchCycle = L"亥酉未巳卯丑";
// Spirit index * 2 -> two-character spirit name.
inline constexpr std::wstring_view SpiritNames = L"青龙白虎玄武腾蛇朱雀勾陈";
// Relation index * 2 -> two-character relation name.
inline constexpr std::wstring_view RelationNames = L"兄弟父母妻财官鬼子孙";
// (Soul type - 1) * 2 -> 游魂 or 归魂.
inline constexpr std::wstring_view SoulNames = L"游魂归魂";
// 0 -> primary chart title, 1 -> changed chart title (two characters each).
inline constexpr std::wstring_view ChartTitles = L"本卦变卦";
// Column titles 1..12 of the chart grid.
inline constexpr std::wstring_view ChartHeaders = L"六神,六亲,干支,五行,卦象,世应,动爻,六亲,干支,五行,卦象,世应";
// Hexagram number - 1 -> name; row = palace, column = place in palace.
inline constexpr std::wstring_view HexagramNames =
    L"乾为天,天风姤,天山遁,天地否,风地观,山地剥,火地晋,火天大有,"
    L"兑为泽,泽水困,泽地萃,泽山咸,水山蹇,地山谦,雷山小过,雷泽归妹,"
    L"离为火,火山旅,火风鼎,火水未济,山水蒙,风水涣,天水讼,天火同人,"
    L"震为雷,雷地豫,雷水解,雷风恒,地风升,水风井,泽风大过,泽雷随,"
    L"巽为风,风天小畜,风火家人,风雷益,天雷无妄,火雷噬嗑,山雷颐,山风蛊,"
    L"坎为水,水泽节,水雷屯,水火既济,泽火革,雷火丰,地火明夷,地水师,"
    L"艮为山,山火贲,山天大畜,山泽损,火泽睽,天泽履,风泽中孚,风山渐,"
    L"坤为地,地雷复,地泽临,地天泰,雷天大壮,泽天夬,水天需,水地比";
// Element numbers in generating order: each generates the next, the last the first.
inline constexpr std::wstring_view GeneratingOrder = L"13245";
// Element numbers in overcoming order: each overcomes the next, the last the first.
inline constexpr std::wstring_view OvercomingOrder = L"12534";

// Trigram number - 1 -> line code, bottom line first, "1" yang.
inline constexpr std::array<std::wstring_view, 8> TrigramCodes = {L"111", L"110", L"101", L"100",
                                                                  L"011", L"010", L"001", L"000"};

// Spirits of lines 1..6 for day stems 甲乙, 丙丁, 戊, 己, 庚辛 and 壬癸 (and anything else).
inline constexpr std::array<std::wstring_view, 6> SpiritRotations = {
    L"青龙朱雀勾陈腾蛇白虎玄武", L"朱雀勾陈腾蛇白虎玄武青龙", L"勾陈腾蛇白虎玄武青龙朱雀",
    L"腾蛇白虎玄武青龙朱雀勾陈", L"白虎玄武青龙朱雀勾陈腾蛇", L"玄武青龙朱雀勾陈腾蛇白虎"};

// The N entries of a ","-separated table text.
template <std::size_t N>
constexpr std::array<std::wstring_view, N> splitTable(std::wstring_view text) {
    std::array<std::wstring_view, N> entries{};
    std::size_t start = 0;
    for (auto& entry : entries) {
        const std::size_t comma = text.find(L',', start);
        const std::size_t end = comma == std::wstring_view::npos ? text.size() : comma;
        entry = text.substr(start, end - start);
        start = end + 1;
    }
    return entries;
}

// The lookups below run dozens of times a cast: they are inline, so that each compiles to a
// short loop over its table where it is called.

inline int stemNumber(std::wstring_view stem) {
    return static_cast<int>(findPosition(StemNames, stem) + 1);
}
inline std::wstring_view stemName(int number) {
    return clampedSubstr(StemNames, number - 1, 1);
}
inline std::wstring_view branchName(int number) {
    return clampedSubstr(BranchNames, number - 1, 1);
}
inline std::wstring_view branchElement(std::wstring_view branch) {
    return clampedSubstr(BranchElements, findPosition(BranchNames, branch), 1);
}
inline int elementNumber(std::wstring_view element) {
    return static_cast<int>(findPosition(ElementNames, element) + 1);
}
// A missing name has position -1, which truncates to index 0 like the first entry.
inline int spiritIndex(std::wstring_view spirit) {
    return static_cast<int>(findPosition(SpiritNames, spirit) / 2);
}
inline int relationIndex(std::wstring_view relation) {
    return static_cast<int>(findPosition(RelationNames, relation) / 2);
}
inline std::wstring_view trigramName(int number) {
    return clampedSubstr(TrigramNames, number - 1, 1);
}
inline std::wstring_view soulName(int soulType) {
    if (soulType == 0) return {};
    return clampedSubstr(SoulNames, static_cast<std::int64_t>(soulType) * 2 - 2, 2);
}
// Only 1..64 name a hexagram; any other number gives an empty text.
std::wstring_view hexagramName(int number);

// The character at `pos` of a digit table, read as a decimal integer (an empty text reads 0).
inline int tableDigit(std::wstring_view digits, std::int64_t pos) {
    const auto piece = clampedSubstr(digits, pos, 1);
    return piece.empty() ? 0 : digitValue(piece.front());
}
inline int stemDigit(std::wstring_view stem) {
    return tableDigit(StemDigits, stemNumber(stem) - 1);
}
inline int branchDigit(std::wstring_view branch) {
    return tableDigit(BranchDigits, findPosition(BranchNames, branch));
}
// 1..8 for an exact trigram code, 0 for anything else.
inline int palaceOfCode(std::wstring_view code) {
    for (std::size_t i = 0; i < TrigramCodes.size(); ++i) {
        if (sameText(TrigramCodes[i], code)) return static_cast<int>(i + 1);
    }
    return 0;
}
// 1..7 for an exact trigram code, 8 for anything else.
inline int trigramOfCode(std::wstring_view code) {
    const int palace = palaceOfCode(code);
    return palace == 0 ? 8 : palace;
}
// Any number other than 1..7 gives "000" (坤).
inline std::wstring_view trigramCode(int number) {
    if (number < 1 || number > 7) return TrigramCodes[7];
    return TrigramCodes[static_cast<std::size_t>(number - 1)];
}
// The spirit order of lines 1..6 for day stem number `stem`.
std::wstring_view spiritRotation(int stem);

}  // namespace orvenna
