#include "update/UpdateDay.h"

#include <gtest/gtest.h>

namespace orvenna {
namespace {

TEST(UpdateDayTest, TheDayIsWrittenWithoutLeadingZeros) {
    EXPECT_EQ(updateDayText(2026, 12, 7), L"2026年12月7日");
    EXPECT_EQ(updateDayText(2027, 1, 31), L"2027年1月31日");
}

}  // namespace
}  // namespace orvenna
