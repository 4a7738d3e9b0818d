#include "Tables.h"

#include "base/Text.h"

namespace orvenna {

namespace {

constexpr auto HexagramNameList = splitTable<64>(HexagramNames);
static_assert(HexagramNameList[63] == L"水地比");

}  // namespace

std::wstring_view hexagramName(int number) {
    if (number < 1 || number > 64) return {};
    return HexagramNameList[static_cast<std::size_t>(number - 1)];
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
