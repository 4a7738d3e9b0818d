// What the status bar says about a failed record-store operation: the reason in the words
// of someone who can act on it (wait, repair, copy the file somewhere writable).
#pragma once

#include <string>

#include "base/Result.h"

namespace orvenna {

std::wstring storeReason(const Error& error);

}  // namespace orvenna
