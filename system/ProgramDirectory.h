// Where the program keeps config.ini, src/data/ssq.db and a downloaded installer.
#pragma once

#include <filesystem>

namespace orvenna {

// $ORVENNA_HOME when set; otherwise the executable's directory when it is writable and not
// an installation's bin/ (a portable copy, as on Windows); otherwise $XDG_DATA_HOME/Orvenna
// (~/.local/share/Orvenna), on Windows %LOCALAPPDATA%\Orvenna.
std::filesystem::path programDirectory();

// The directory of the running executable.
std::filesystem::path executableDirectory();

// <prefix>/share/orvenna of an installed copy (the executable in <prefix>/bin); empty for a
// copy that runs where it was built or unpacked.
std::filesystem::path installedShareDirectory();

// The public key that update installers must be signed with, "update-key.pub": beside the
// executable, or in <prefix>/share/orvenna of an installed copy. Whoever can write there can
// replace the executable as well.
std::filesystem::path trustedUpdateKeyFile();

}  // namespace orvenna
