#include "base/Text.h"

#include <gtest/gtest.h>

#include <limits>

namespace orvenna {
namespace {

TEST(TextTest, ClampedSubstrKeepsInsideTheText) {
    EXPECT_EQ(clampedSubstr(L"甲乙丙", -1, 1), L"");
    EXPECT_EQ(clampedSubstr(L"甲乙丙", -1, 2), L"甲");
    EXPECT_EQ(clampedSubstr(L"甲乙丙", 2, 5), L"丙");
    EXPECT_EQ(clampedSubstr(L"甲乙丙", 3, 1), L"");
    EXPECT_EQ(clampedSubstr(L"甲乙丙", 1, 0), L"");
    EXPECT_EQ(clampedSubstr(L"", 0, 1), L"");
}

TEST(TextTest, LeadingIntParsesLikeAtoi) {
    EXPECT_EQ(leadingInt(L""), 0);
    EXPECT_EQ(leadingInt(L"abc"), 0);
    EXPECT_EQ(leadingInt(L"12x4"), 12);
    EXPECT_EQ(leadingInt(L"-5"), -5);
    EXPECT_EQ(leadingInt(L" +7"), 7);
    EXPECT_EQ(leadingInt(L"-"), 0);
    EXPECT_EQ(leadingInt(L"99999999999999999999999"), std::numeric_limits<std::int64_t>::max());
}

TEST(TextTest, DecimalTextOfExtremes) {
    EXPECT_EQ(decimalText(0), L"0");
    EXPECT_EQ(decimalText(-42), L"-42");
    EXPECT_EQ(decimalText(std::numeric_limits<std::int64_t>::min()), L"-9223372036854775808");
}

TEST(TextTest, TrimControlRemovesBlanksAndControls) {
    EXPECT_EQ(trimControl(L" \t12 3\r\n"), L"12 3");
    EXPECT_EQ(trimControl(L"   "), L"");
}

TEST(TextTest, Utf8RoundTripAndInvalidBytes) {
    const std::wstring text = L"以数字1234起卦…（😀)";
    EXPECT_EQ(fromUtf8(toUtf8(text)), text);
    EXPECT_EQ(toUtf8(L"卦"), "\xE5\x8D\xA6");
    // Truncated, overlong and stray continuation bytes each become one replacement character.
    EXPECT_EQ(fromUtf8("a\xE5\x8D"), L"a\uFFFD");
    EXPECT_EQ(fromUtf8("\xC0\xAF"), L"\uFFFD");
    EXPECT_EQ(fromUtf8("\x80z"), L"\uFFFDz");
    EXPECT_EQ(fromUtf8("\xED\xA0\x80"), L"\uFFFD");  // an encoded surrogate
}

}  // namespace
}  // namespace orvenna
