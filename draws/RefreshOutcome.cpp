#include "RefreshOutcome.h"

namespace orvenna {

bool refreshAsksAgain(RefreshState state) {
    return state != RefreshState::NoDraw && state != RefreshState::Drawn;
}

}  // namespace orvenna
