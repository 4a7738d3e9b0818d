// The help launcher behind "帮助".
#pragma once

#include <filesystem>

#include "base/Result.h"

class wxWindow;

namespace orvenna {

// The help that came with the program, found beside the executable (never in the data folder,
// which for a copy in a folder it cannot write is elsewhere): help.chm on Windows; the first
// help/index.html of the executable's folder, an installation's share folder or the source
// tree on Linux. Empty when there is none.
std::filesystem::path helpFile();

#ifdef _WIN32
// Starts the system's viewer, hh.exe of the Windows folder, on `chm`, through the one process
// seam, and returns once it has settled (at most 500 ms).
Status startHelpViewer(const std::filesystem::path& chm);
#endif

// Shows the help and returns without waiting for it; fails when there is no help to show or
// the viewer cannot be started. On Linux the help is one window of `owner`'s, placed over it and closed with it:
// asking again brings that window to the front. The system's viewer on Windows is a program
// of its own and has no owner.
Status openHelp(wxWindow* owner);

}  // namespace orvenna
