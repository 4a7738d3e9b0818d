// Fetching the latest draw, for the window's refresh and orvenna-cli alike: where it comes from,
// the network check, the results page, its 七星彩 draw, and one refresh step of all of them.
#pragma once

#include <atomic>
#include <string>
#include <string_view>

#include "DrawResult.h"
#include "RefreshOutcome.h"
#include "base/Result.h"

namespace orvenna {

// Where the draw comes from; the addresses are configuration ("draw_url", "ping_host").
struct DrawSource {
    std::string pageUrl;               // empty: no fetching at all
    std::string pingHost;              // empty: no network check
    std::string pingCommand = "ping";  // run as: ping -c 1 -W 2 HOST (Windows: -n 1 -w 2000)
};

// The page fetch waits this long for a connection and this long in all.
inline constexpr long DrawConnectTimeoutMs = 5000;
inline constexpr long DrawTotalTimeoutMs = 20000;

// True when one ping of the host is answered within a couple of seconds; true without a
// host to ask. `cancel` set while it waits ends the check (false).
bool checkNetwork(const DrawSource& source, const std::atomic<bool>* cancel = nullptr);

// A fetched results page as UTF-8 text: it arrived with 200 and read in the encoding its
// Content-Type declares (UTF-8, or else GB18030, the site's own); or why there is none.
Result<std::string> fetchPage(const std::string& url, const std::atomic<bool>* cancel = nullptr);

// The draw of 七星彩: table 2, row 6, main class "yellow".
DrawResult parseSevenStarDraw(const std::string& utf8Page);

// One refresh step without the window: fetch and parse; the network check only when the
// page did not come.
RefreshOutcome refreshOnce(const DrawSource& source, const std::atomic<bool>* cancel = nullptr);

}  // namespace orvenna
