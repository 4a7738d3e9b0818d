#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "base/DayCount.h"
#include "engine/DrawCsv.h"

namespace orvenna {
namespace {

using ::testing::HasSubstr;

Draw draw(const wchar_t* period, int year, int month, int day, std::array<int, 6> front, int blue) {
    return {daysFromCivil(year, month, day), period, front, blue};
}

TEST(DrawCsvTest, GoodLinesInEitherFormAreRead) {
    const DrawCsv csv = parseDrawCsv(
        "\xEF\xBB\xBF期号,日期,号码\r\n"
        "25140,2025-12-02,123456+12\r\n"
        "\r\n"
        "25141, 2025/12/5 ,0,9,8,7,6,5,0\n"
        "25142,2025.12.07,\"65432114\"\n"
        "25140,2025-12-02,1 2 3 4 5 6 12");  // the same draw again: once
    EXPECT_TRUE(csv.problems.empty());
    const std::vector<Draw> expected = {
        draw(L"25140", 2025, 12, 2, {1, 2, 3, 4, 5, 6}, 12),
        draw(L"25141", 2025, 12, 5, {0, 9, 8, 7, 6, 5}, 0),
        draw(L"25142", 2025, 12, 7, {6, 5, 4, 3, 2, 1}, 14),
    };
    EXPECT_EQ(csv.rows, expected);
    EXPECT_EQ(csv.lines, (std::vector<int>{2, 4, 5}));
}

// As a spreadsheet saves them: a quoted field may hold commas, doubled quotes and a line break,
// and the records after it keep their own line numbers.
TEST(DrawCsvTest, QuotedFieldsAreReadAsSpreadsheetsWriteThem) {
    const DrawCsv csv = parseDrawCsv(
        "\"期号\",\"日期\",\"号码,\r\n六位+蓝号\"\r\n"
        "\"25140\",\"2025-12-02\",\"1,2,3,4,5,6,12\"\r\n"
        "25141,2025-12-05,\"098765+0\"\r\n"
        "25142,\"2025-12-07\",\"6,5,4,3,2,1+14\"\r\n"
        "25143,2025-12-09,\"12\"\"3456+1\"\r\n"
        "25144,2025-12-11,\"123456+1");
    const std::vector<Draw> expected = {
        draw(L"25140", 2025, 12, 2, {1, 2, 3, 4, 5, 6}, 12),
        draw(L"25141", 2025, 12, 5, {0, 9, 8, 7, 6, 5}, 0),
        draw(L"25142", 2025, 12, 7, {6, 5, 4, 3, 2, 1}, 14),
    };
    EXPECT_EQ(csv.rows, expected);
    EXPECT_EQ(csv.lines, (std::vector<int>{3, 4, 5}));
    ASSERT_EQ(csv.problems.size(), 2u);
    EXPECT_EQ(csv.problems[0].line, 6);
    EXPECT_EQ(csv.problems[0].message, "the numbers are not six digits 0-9 and a blue number 0-14");
    EXPECT_EQ(csv.problems[1].line, 7);
    EXPECT_EQ(csv.problems[1].message, "a quoted field is not closed");
}

TEST(DrawCsvTest, EveryBadLineIsNamedAndTheRestKept) {
    struct Case {
        const char* line;
        const char* message;
    } const cases[] = {
        {"25140,2025-02-30,123456+1", "the date \"2025-02-30\" is not a real date"},
        {"25140,2025-2,123456+1", "is not a real date"},
        {"25140,25-02-03,123456+1", "is not a real date"},
        {"25140,2025-02-03", "found 2 fields"},
        {"25140,2025-02-03,1,2,3,4,5,6", "found 8 fields"},
        {"2514x,2025-02-03,123456+1", "the period \"2514x\""},
        {"1234567890123,2025-02-03,123456+1", "at most 12 digits"},
        {"25140,2025-02-03,12345+1", "not six digits"},
        {"25140,2025-02-03,123456+15", "not six digits"},
        {"25140,2025-02-03,123456+", "not six digits"},
        {"25140,2025-02-03,1,2,3,4,5,10,1", "not six digits"},
        {"25140,2025-02-03,1,2,3,4,5,6,-1", "not six digits"},
        {"期号,日期,号码", "the period"},  // a header only as the first line
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const DrawCsv csv = parseDrawCsv(std::string("1,2025-01-01,0000000\n") + c.line + "\n2,2025-01-02,0000000");
        ASSERT_EQ(csv.problems.size(), 1u);
        EXPECT_EQ(csv.problems[0].line, 2);
        EXPECT_THAT(csv.problems[0].message, HasSubstr(c.message));
        EXPECT_EQ(csv.rows.size(), 2u);
    }
}

TEST(DrawCsvTest, APeriodListedAgainWithAnotherDrawIsAProblem) {
    const DrawCsv csv = parseDrawCsv("25140,2025-12-02,123456+12\n25140,2025-12-02,123456+11\n");
    ASSERT_EQ(csv.problems.size(), 1u);
    EXPECT_EQ(csv.problems[0].line, 2);
    EXPECT_EQ(csv.problems[0].message, "period 25140 is on line 1 with another draw");
    EXPECT_EQ(csv.rows.size(), 1u);
}

}  // namespace
}  // namespace orvenna
