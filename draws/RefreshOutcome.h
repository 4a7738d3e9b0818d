// What one refresh of the latest draw came to, and what the window makes of it: the status
// bar's line and whether the timer asks again. Pure, so that every outcome is tested without
// a window.
#pragma once

#include <string>
#include <string_view>

#include "DrawResult.h"

namespace orvenna {

// What one refresh step came to.
enum class RefreshState {
    Offline,     // the page did not come, and the network check was not answered either
    NotFetched,  // the page did not come, though the network answers; `reason` says why
    Unreadable,  // a page came, but not in its encoding or not as HTML; asked for again
    NoDraw,      // the page was not there (not 200) or holds no draw; not asked for again
    Drawn,       // `draw` holds the latest draw
};

struct RefreshOutcome {
    RefreshState state = RefreshState::Offline;
    DrawResult draw;
    std::string reason;  // why there is no draw, one line; empty for Drawn
};

// "开奖数据已更新，..." shown after a draw was refreshed.
extern const std::wstring_view DrawUpdatedText;

// The status bar's line for an outcome: "未连网", "无法获取开奖页面:" or "开奖页面无法读取:" with
// the reason, or DrawUpdatedText.
std::wstring refreshStatusText(const RefreshOutcome& outcome);

// True while the page may still come (network down, site not answering, a page that did not
// read): the timer asks again. A draw, or a page that holds none, ends the asking.
bool refreshAsksAgain(RefreshState state);

}  // namespace orvenna
