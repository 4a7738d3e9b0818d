#include "engine/Casting.h"

#include <gtest/gtest.h>

#include <random>

#include <string>
#include "base/Text.h"
#include "engine/Tables.h"

namespace orvenna {
namespace {

struct Expected {
    const wchar_t* text;
    int hourNumber;
    int upper;
    int lower;
    int moving;
};

void PrintTo(const Expected& e, std::ostream* os) {
    *os << '"' << toUtf8(e.text) << "\" at hour number " << e.hourNumber;
}

class NumberCastingTest : public ::testing::TestWithParam<Expected> {};

TEST_P(NumberCastingTest, TrigramsAndMovingLine) {
    const Expected& e = GetParam();
    Hexagram h;
    ASSERT_TRUE(castFromNumber(h, e.text, L"甲子", e.hourNumber));
    EXPECT_EQ(h.upperTrigram, e.upper);
    EXPECT_EQ(h.lowerTrigram, e.lower);
    EXPECT_EQ(h.movingLine, e.moving);
    EXPECT_EQ(h.spirits.size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(Table, NumberCastingTest,
                         ::testing::Values(
                             // One digit: lower trigram from the hour, moving line from the adjusted trigrams.
                             Expected{L"5", 3, 5, 3, 2}, Expected{L"0", 3, 8, 3, 5}, Expected{L"7", 0, 7, 8, 3},
                             Expected{L"7", 12, 7, 4, 5},
                             // Two digits: the moving line from the unadjusted digits.
                             Expected{L"38", 0, 3, 8, 5}, Expected{L"80", 0, 8, 8, 2}, Expected{L"00", 0, 8, 8, 6},
                             // Three digits, by where the first "0" stands.
                             Expected{L"123", 0, 1, 2, 3}, Expected{L"105", 0, 2, 2, 5}, Expected{L"120", 0, 1, 4, 3},
                             Expected{L"100", 0, 2, 2, 6}, Expected{L"012", 0, 8, 4, 6}, Expected{L"999", 0, 1, 1, 3},
                             // Four and more: digit sums of the halves; an odd length takes the longer last half.
                             Expected{L"1234", 0, 3, 7, 4}, Expected{L"12345", 0, 3, 4, 6},
                             Expected{L"0000", 0, 8, 8, 6}, Expected{L"1711857600000", 0, 7, 5, 1},
                             // Non-digits count as 0, and a negative piece is cast by its absolute value.
                             Expected{L"-", 2, 8, 2, 4}, Expected{L"-5", 0, 8, 5, 5}, Expected{L"0-5", 0, 8, 5, 5},
                             Expected{L"-50", 0, 8, 2, 2}, Expected{L"-05", 0, 8, 8, 5},
                             Expected{L"12a4", 0, 3, 4, 1}));

TEST(NumberCastingTextTest, EmptyTextLeavesTheRecordUntouched) {
    Hexagram h;
    h.upperTrigram = 3;
    EXPECT_FALSE(castFromNumber(h, L"", L"甲子", 0));
    EXPECT_EQ(h.upperTrigram, 3);
    EXPECT_TRUE(h.stemBranches.empty());
}

TEST(NumberCastingTextTest, RecastOnTheSameRecordKeepsSixLines) {
    Hexagram h;
    castFromNumber(h, L"1234", L"甲子", 0);
    castFromNumber(h, L"38", L"乙丑", 0);
    EXPECT_EQ(h.stemBranches.size(), 6u);
    EXPECT_EQ(h.spirits.size(), 6u);
    EXPECT_EQ(h.relations.size(), 6u);
    EXPECT_EQ(h.lineMarks.size(), 6u);
}

TEST(NumberCastingTextTest, AnyTextStaysInRange) {
    std::mt19937 random(20241207);
    const std::wstring alphabet = L"0123456789-+ a卦\u00A0";
    for (int round = 0; round < 2000; ++round) {
        std::wstring text(1 + random() % 40, L'0');
        for (auto& c : text) c = alphabet[random() % alphabet.size()];
        Hexagram h;
        ASSERT_TRUE(castFromNumber(h, text, L"甲子", static_cast<int>(random() % 13)));
        ASSERT_GE(h.upperTrigram, 1);
        ASSERT_LE(h.upperTrigram, 8);
        ASSERT_GE(h.lowerTrigram, 1);
        ASSERT_LE(h.lowerTrigram, 8);
        ASSERT_GE(h.movingLine, 1);
        ASSERT_LE(h.movingLine, 6);
        ASSERT_GE(h.palace, 1);
    }
    Hexagram huge;
    ASSERT_TRUE(castFromNumber(huge, std::wstring(10000, L'9'), L"甲子", 0));
    EXPECT_EQ(huge.upperTrigram, 45000 % 8 == 0 ? 8 : 45000 % 8);
    EXPECT_EQ(huge.movingLine, 6);
}

TEST(ChangedCodesTest, FlipLine) {
    EXPECT_EQ(flipLine(L"110", 0), L"110");
    EXPECT_EQ(flipLine(L"110", 1), L"010");
    EXPECT_EQ(flipLine(L"110", 2), L"100");  // moving line 2 flips position 1 of the lower code
    EXPECT_EQ(flipLine(L"110", 3), L"111");
    EXPECT_EQ(flipLine(L"110", 5), L"100");  // moving line 5 flips position 1 of the upper code
    EXPECT_EQ(flipLine(L"1x0", 5), L"100");  // anything but "0" becomes "0"
    EXPECT_EQ(flipLine(L"1", 3), L"1");      // a short code is never read past its end
}

TEST(ChangedCodesTest, ApplyMovingFlags) {
    const std::vector<int> flags = {1, 0, -1, 0, -1, 0};
    EXPECT_EQ(applyMovingFlags(L"110", flags, LineHalf::Lower), L"011");
    EXPECT_EQ(applyMovingFlags(L"000", flags, LineHalf::Upper), L"010");
    const std::vector<int> still(6, 0);
    EXPECT_EQ(applyMovingFlags(L"101", still, LineHalf::Lower), L"101");
    EXPECT_EQ(applyMovingFlags(L"101", {}, LineHalf::Upper), L"101");
}

TEST(LineCastingTest, CodesAndFlagsBecomeTheChart) {
    Hexagram h;
    const std::vector<int> flags = {0, 0, 0, 0, 0, -1};
    castFromLines(h, L"000", L"111", L"甲子", flags);
    EXPECT_EQ(h.upperTrigram, 8);
    EXPECT_EQ(h.lowerTrigram, 1);
    EXPECT_EQ(h.movingLine, 0);
    EXPECT_EQ(h.movingFlags, flags);
    EXPECT_EQ(hexagramName(hexagramNumber(h)), L"地天泰");
    EXPECT_EQ(h.spirits.size(), 6u);
}

}  // namespace
}  // namespace orvenna
