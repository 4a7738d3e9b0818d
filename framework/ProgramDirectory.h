// Where the program keeps config.ini, src/data/ssq.db and a downloaded installer.
#pragma once

#include <filesystem>

namespace orvenna {

// $ORVENNA_HOME when set; otherwise the executable's directory when it is writable (a
// portable copy, as on Windows); otherwise $XDG_DATA_HOME/Orvenna (~/.local/share/Orvenna).
std::filesystem::path programDirectory();

}  // namespace orvenna
