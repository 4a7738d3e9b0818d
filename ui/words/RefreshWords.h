// What the status bar says after one refresh of the latest draw.
#pragma once

#include <string>
#include <string_view>

#include "draws/RefreshOutcome.h"

namespace orvenna {

// "开奖数据已更新，..." shown after a draw was refreshed.
extern const std::wstring_view DrawUpdatedText;

// The status bar's line for an outcome: "未连网", "无法获取开奖页面:" or "开奖页面无法读取:" with
// the reason, or DrawUpdatedText.
std::wstring refreshStatusText(const RefreshOutcome& outcome);

}  // namespace orvenna
