#include "engine/ResultText.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace orvenna {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const Suggestion Worked = {L"0,6,7,8,9", L"0,2,6,7,8", L"2,3,6,7,8",    L"1,2,3,7,8",
                           L"1,2,3,5,8", L"1,2,3,4,5", L"0,1,2,5,9,12", L"0,2,3,4,7,8"};

TEST(ResultTextTest, TemplateFilledCharacterForCharacter) {
    EXPECT_EQ(fillSuggestion(Worked),
              L"…正式版本,以下推演数据仅供参考…\r\n\r\n对位预测:（每位最多5个号)\r\n"
              L"第一位:0,6,7,8,9\r\n第二位:0,2,6,7,8\r\n第三位:2,3,6,7,8\r\n第四位:1,2,3,7,8\r\n"
              L"第五位:1,2,3,5,8\r\n第六位:1,2,3,4,5\r\n\r\n蓝号:\r\n0,1,2,5,9,12\r\n\r\n"
              L"可能出现号(最多6个)\r\n0,2,3,4,7,8\r\n");
}

TEST(ResultTextTest, FifteenLinesEachEndedByCrLf) {
    for (const Suggestion& texts : {Worked, Suggestion{}}) {
        const std::wstring text = fillSuggestion(texts);
        std::size_t lines = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (text[i] == L'\n') {
                ++lines;
                ASSERT_GT(i, 0u);
                EXPECT_EQ(text[i - 1], L'\r');
            } else if (text[i] == L'\r') {
                ASSERT_LT(i + 1, text.size());
                EXPECT_EQ(text[i + 1], L'\n');
            }
        }
        EXPECT_EQ(lines, 15u);
        EXPECT_EQ(text.substr(text.size() - 2), L"\r\n");
        EXPECT_THAT(text, Not(HasSubstr(L"{")));
    }
}

}  // namespace
}  // namespace orvenna
