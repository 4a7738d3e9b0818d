// The system's own words for one of its error codes, for a message that names what failed.
#pragma once

#include <string>

namespace orvenna {

// The description of `code` (GetLastError()'s on Windows, in the user's language; errno's
// elsewhere), as one line of UTF-8.
std::string systemErrorText(int code);

}  // namespace orvenna
