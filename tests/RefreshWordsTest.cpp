#include "ui/words/RefreshWords.h"

#include <gtest/gtest.h>

namespace orvenna {
namespace {

// Every outcome's status line, the reason the fetch gave after its own words.
TEST(RefreshWordsTest, EachOutcomeHasItsStatusLine) {
    const struct {
        RefreshState state;
        const char* reason;
        std::wstring_view said;
    } rows[] = {
        {RefreshState::Offline, "no route", L"未连网"},
        {RefreshState::NotFetched, "response 503", L"无法获取开奖页面:response 503"},
        {RefreshState::NotFetched, "", L"无法获取开奖页面:"},
        {RefreshState::Unreadable, "the page is not GB18030", L"开奖页面无法读取:the page is not GB18030"},
        {RefreshState::NoDraw, "response 404", L"开奖页面无法读取:response 404"},
        {RefreshState::Drawn, "", DrawUpdatedText},
    };
    for (const auto& row : rows) {
        const RefreshOutcome outcome{row.state, {}, row.reason};
        EXPECT_EQ(refreshStatusText(outcome), row.said) << row.reason;
    }
    EXPECT_TRUE(DrawUpdatedText.starts_with(L"开奖数据已更新，"));
}

}  // namespace
}  // namespace orvenna
