// Programs started to outlive this process: the help viewer and the hand-over to a downloaded
// installer, never through a shell; on Windows, the system's own programs by their full path.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "LockedFile.h"
#include "base/Result.h"

namespace orvenna {

#ifdef _WIN32
// A program of the system's by its full path, so that nothing of that name in the current
// folder stands in for it: in the Windows folder (hh.exe) or in its System32 folder (ping.exe).
// Empty when the system does not say where its folder is.
enum class SystemFolder { Windows, System };
std::filesystem::path systemProgram(SystemFolder folder, std::wstring_view name);

// One argument of a Windows command line as the C runtime splits it back: a word without
// blanks or quotes as it is, anything else quoted, with the backslashes before a quote doubled
// and the quote escaped, so no text can add arguments.
std::wstring quotedArgument(std::wstring_view argument);
#endif

// Starts the held `program` with `arguments` and returns without waiting for it: it outlives
// this process. What runs is what the handle holds (on Linux the descriptor itself is run,
// made executable first); on Windows the call waits at most 500 ms for it to settle. A
// failure carries the system's reason.
Status startDetached(const LockedFile& program, const std::vector<std::wstring>& arguments = {});

}  // namespace orvenna
