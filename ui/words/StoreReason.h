// What the status bar says about a failed record-store operation: the reason in the words
// of someone who can act on it (wait, repair, copy the file somewhere writable).
#pragma once

#include <string>
#include <string_view>

#include "base/Result.h"

namespace orvenna {

std::wstring storeReason(const Error& error);

// "保存失败": a cast that was not saved, in the window and from orvenna-cli alike.
extern const std::wstring_view SaveFailedText;

}  // namespace orvenna
