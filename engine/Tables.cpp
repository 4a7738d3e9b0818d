#include "Tables.h"

#include "base/Text.h"

namespace orvenna {

namespace {

constexpr auto HexagramNameList = splitTable<64>(HexagramNames);
static_assert(HexagramNameList[63] == L"水地比");

// The character at `pos` of a digit table, read as a decimal integer (an empty text reads 0).
int digitAt(std::wstring_view digits, std::int64_t pos) {
    const auto piece = clampedSubstr(digits, pos, 1);
    return piece.empty() ? 0 : digitValue(piece.front());
}

}  // namespace

int stemNumber(std::wstring_view stem) {
    return static_cast<int>(findPosition(StemNames, stem) + 1);
}

std::wstring_view stemName(int number) {
    return clampedSubstr(StemNames, number - 1, 1);
}

std::wstring_view branchName(int number) {
    return clampedSubstr(BranchNames, number - 1, 1);
}

std::wstring_view branchElement(std::wstring_view branch) {
    return clampedSubstr(BranchElements, findPosition(BranchNames, branch), 1);
}

int elementNumber(std::wstring_view element) {
    return static_cast<int>(findPosition(ElementNames, element) + 1);
}

// A missing name has position -1, which truncates to index 0 like the first entry.
int spiritIndex(std::wstring_view spirit) {
    return static_cast<int>(findPosition(SpiritNames, spirit) / 2);
}

int relationIndex(std::wstring_view relation) {
    return static_cast<int>(findPosition(RelationNames, relation) / 2);
}

std::wstring_view trigramName(int number) {
    return clampedSubstr(TrigramNames, number - 1, 1);
}

std::wstring_view soulName(int soulType) {
    if (soulType == 0) return {};
    return clampedSubstr(SoulNames, static_cast<std::int64_t>(soulType) * 2 - 2, 2);
}

std::wstring_view hexagramName(int number) {
    if (number < 1 || number > 64) return {};
    return HexagramNameList[static_cast<std::size_t>(number - 1)];
}

int stemDigit(std::wstring_view stem) {
    return digitAt(StemDigits, stemNumber(stem) - 1);
}

int branchDigit(std::wstring_view branch) {
    return digitAt(BranchDigits, findPosition(BranchNames, branch));
}

std::wstring_view trigramCode(int number) {
    if (number < 1 || number > 7) return TrigramCodes[7];
    return TrigramCodes[static_cast<std::size_t>(number - 1)];
}

int trigramOfCode(std::wstring_view code) {
    const int palace = palaceOfCode(code);
    return palace == 0 ? 8 : palace;
}

int palaceOfCode(std::wstring_view code) {
    for (std::size_t i = 0; i < TrigramCodes.size(); ++i) {
        if (TrigramCodes[i] == code) return static_cast<int>(i + 1);
    }
    return 0;
}

std::wstring_view spiritRotation(int stem) {
    switch (stem) {
        case 1:
        case 2:
            return SpiritRotations[0];
        case 3:
        case 4:
            return SpiritRotations[1];
        case 5:
            return SpiritRotations[2];
        case 6:
            return SpiritRotations[3];
        case 7:
        case 8:
            return SpiritRotations[4];
        default:
            return SpiritRotations[5];
    }
}

}  // namespace orvenna
