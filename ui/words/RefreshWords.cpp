#include "RefreshWords.h"

#include "base/Text.h"

namespace orvenna {

const std::wstring_view DrawUpdatedText =
    L"开奖数据已更新，与实时开奖数据存在相差两小时左右的误差,此不会影响推演数据，本软件不参照历史数据.";

std::wstring refreshStatusText(const RefreshOutcome& outcome) {
    switch (outcome.state) {
        case RefreshState::Offline:
            return L"未连网";
        case RefreshState::NotFetched:
            return L"无法获取开奖页面:" + fromUtf8(outcome.reason);
        case RefreshState::NoDraw:
        case RefreshState::Unreadable:
            return L"开奖页面无法读取:" + fromUtf8(outcome.reason);
        case RefreshState::Drawn:
            break;
    }
    return std::wstring(DrawUpdatedText);
}

}  // namespace orvenna
