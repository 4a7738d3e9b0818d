// The system's own reason for a failed call: its words for an error code, and an Error that
// carries the code with those words after what failed.
#pragma once

#include <string>

#include "base/Result.h"

namespace orvenna {

// The description of `code` (GetLastError()'s on Windows, in the user's language; errno's
// elsewhere), as one line of UTF-8.
std::string systemErrorText(int code);

// Reads the last error code at once: call it right after the call that failed.
Error systemError(const std::string& what);

// The same for a code that a call returned rather than left behind (posix_spawn's).
Error systemError(const std::string& what, int code);

}  // namespace orvenna
