// The system's own reason for a failed call, as an Error: the last error code (errno on Linux,
// GetLastError on Windows) and the system's text for it after `what`.
#pragma once

#include <string>

#include "base/Result.h"

namespace orvenna {

// Reads the code at once: call it right after the call that failed.
Error systemError(const std::string& what);

// The same for a code that a call returned rather than left behind (posix_spawn's).
Error systemError(const std::string& what, int code);

}  // namespace orvenna
