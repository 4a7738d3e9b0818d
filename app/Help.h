// The help launcher behind "帮助".
#pragma once

#include <filesystem>
#include <string>

namespace orvenna {

// "hh.exe " + program directory + "help.chm", the path unquoted, as the Windows viewer
// takes it.
std::wstring helpCommandLine(const std::filesystem::path& programDir);

// Starts the help viewer and returns without waiting for it; a viewer that cannot be
// started is not reported.
void openHelp();

}  // namespace orvenna
