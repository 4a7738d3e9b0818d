#include "update/UpdateTexts.h"

#include <gtest/gtest.h>

namespace orvenna {
namespace {

TEST(UpdateTextsTest, SizesInMegabytesToTwoDecimals) {
    EXPECT_EQ(megabytesText(1572864), L"1.5");
    EXPECT_EQ(megabytesText(1048576), L"1");
    EXPECT_EQ(megabytesText(0), L"0");
    EXPECT_EQ(megabytesText(5242), L"0");     // 0.004999 MB
    EXPECT_EQ(megabytesText(5243), L"0.01");  // 0.0050001 MB
    EXPECT_EQ(megabytesText(-5243), L"-0.01");
    EXPECT_EQ(megabytesText(123456789012), L"117737.57");
    EXPECT_EQ(updateDayText(2026, 12, 7), L"2026年12月7日");
}

}  // namespace
}  // namespace orvenna
