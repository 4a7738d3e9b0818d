#include "engine/Tables.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace orvenna {
namespace {

TEST(TablesTest, HeTuDigitsOfStemsAndBranches) {
    const std::wstring stemDigits = L"3827504916";
    for (int n = 1; n <= 10; ++n) {
        EXPECT_EQ(stemDigit(stemName(n)), stemDigits[static_cast<std::size_t>(n - 1)] - L'0') << n;
    }
    EXPECT_EQ(stemDigit(L"己"), 0);
    EXPECT_EQ(stemDigit(L"壬"), 1);
    EXPECT_EQ(branchDigit(L"丑"), 0);
    EXPECT_EQ(branchDigit(L"未"), 0);
    EXPECT_EQ(branchDigit(L"亥"), 6);
    EXPECT_EQ(branchDigit(L"申"), 4);
}

TEST(TablesTest, NamesRoundTripThroughTheirNumbers) {
    for (int n = 1; n <= 10; ++n) EXPECT_EQ(stemNumber(stemName(n)), n);
    for (int n = 1; n <= 12; ++n) EXPECT_EQ(branchName(n).size(), 1u);
    for (int n = 1; n <= 8; ++n) {
        EXPECT_EQ(trigramOfCode(trigramCode(n)), n);
        EXPECT_EQ(palaceOfCode(trigramCode(n)), n);
    }
    EXPECT_EQ(branchName(1), L"子");
    EXPECT_EQ(branchName(12), L"亥");
    EXPECT_EQ(trigramName(5), L"巽");
}

TEST(TablesTest, MissingNamesDegradeInsteadOfFailing) {
    EXPECT_EQ(stemNumber(L""), 1);  // an empty name is found at position 0
    EXPECT_EQ(stemNumber(L"子"), 0);
    EXPECT_EQ(elementNumber(L"风"), 0);
    EXPECT_EQ(spiritIndex(L"朱雀"), 4);
    EXPECT_EQ(spiritIndex(L"麒麟"), 0);  // the same as 青龙
    EXPECT_EQ(relationIndex(L"子孙"), 4);
    EXPECT_EQ(relationIndex(L"朋友"), 0);
    EXPECT_EQ(branchElement(L"午"), L"火");
    EXPECT_EQ(branchElement(L"甲"), L"");
    EXPECT_EQ(stemDigit(L"子"), 0);
    EXPECT_EQ(branchDigit(L"甲"), 0);
    EXPECT_EQ(stemName(0), L"");
    EXPECT_EQ(stemName(11), L"");
    EXPECT_EQ(branchName(13), L"");
    EXPECT_EQ(trigramName(9), L"");
    EXPECT_EQ(trigramName(-3), L"");
}

TEST(TablesTest, TrigramCodesOutsideTheTable) {
    EXPECT_EQ(trigramCode(0), L"000");
    EXPECT_EQ(trigramCode(9), L"000");
    EXPECT_EQ(trigramOfCode(L"000"), 8);
    EXPECT_EQ(trigramOfCode(L"12"), 8);
    EXPECT_EQ(trigramOfCode(L""), 8);
    EXPECT_EQ(palaceOfCode(L"12"), 0);
    EXPECT_EQ(palaceOfCode(L"1111"), 0);
    EXPECT_EQ(trigramOfCode(L"110"), 2);
}

TEST(TablesTest, SoulAndHexagramNames) {
    EXPECT_EQ(soulName(0), L"");
    EXPECT_EQ(soulName(1), L"游魂");
    EXPECT_EQ(soulName(2), L"归魂");
    EXPECT_EQ(soulName(3), L"");
    EXPECT_EQ(hexagramName(1), L"乾为天");
    EXPECT_EQ(hexagramName(8), L"火天大有");
    EXPECT_EQ(hexagramName(64), L"水地比");
    EXPECT_EQ(hexagramName(0), L"");
    EXPECT_EQ(hexagramName(65), L"");

    std::set<std::wstring_view> names;
    for (int n = 1; n <= 64; ++n) {
        EXPECT_FALSE(hexagramName(n).empty()) << n;
        names.insert(hexagramName(n));
    }
    EXPECT_EQ(names.size(), 64u);
    // Each palace opens with its pure hexagram, "X为Y".
    for (int palace = 1; palace <= 8; ++palace) {
        EXPECT_EQ(hexagramName((palace - 1) * 8 + 1).substr(0, 1), trigramName(palace));
        EXPECT_EQ(hexagramName((palace - 1) * 8 + 1)[1], L'为');
    }
}

TEST(TablesTest, SpiritRotationByDayStem) {
    EXPECT_EQ(spiritRotation(1), spiritRotation(2));
    EXPECT_EQ(spiritRotation(3).substr(0, 2), L"朱雀");
    EXPECT_EQ(spiritRotation(6).substr(0, 2), L"腾蛇");
    EXPECT_EQ(spiritRotation(9), spiritRotation(0));
    EXPECT_EQ(spiritRotation(10), spiritRotation(42));
    // Every rotation holds each of the six spirits once.
    for (int stem = 1; stem <= 10; ++stem) {
        std::set<int> seen;
        for (std::size_t i = 0; i < 6; ++i) seen.insert(spiritIndex(spiritRotation(stem).substr(i * 2, 2)));
        EXPECT_EQ(seen.size(), 6u) << stem;
    }
}

}  // namespace
}  // namespace orvenna
