// What one refresh of the latest draw came to, and whether the timer asks again after it.
// Pure, so that every outcome is tested without a window; what
// the status bar says of it is in ui/words/RefreshWords.h.
#pragma once

#include <string>

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

// True while the page may still come (network down, site not answering, a page that did not
// read): the timer asks again. A draw, or a page that holds none, ends the asking.
bool refreshAsksAgain(RefreshState state);

}  // namespace orvenna
