// The single-instance lock: while one copy of the program holds it, another cannot.
//
// On Linux the lock file is held with an exclusive, non-blocking flock for the object's life;
// the system drops the lock when the process ends in any way, so a crashed copy never blocks
// the next start. On Windows the file is opened with no sharing and a 4096-byte mapping is
// made over it; a second copy cannot open it while those handles are held.
#pragma once

#include <filesystem>

#ifdef _WIN32
#include "framework/WinHandle.h"
#else
#include "framework/FileDescriptor.h"
#endif

namespace orvenna {

class InstanceLock {
public:
    // $XDG_CONFIG_HOME (default ~/.config) + "/Orvenna/tarv.sq" on Linux; the user's roaming
    // application-data folder + "Orvenna\tarv.sq" on Windows.
    static std::filesystem::path defaultLockPath();

    // Creates the lock file's folder when missing, then tries to take the lock. A folder or
    // file that cannot be created, or a lock another process holds, leaves acquired() false.
    explicit InstanceLock(const std::filesystem::path& lockFile);

    bool acquired() const;

private:
#ifdef _WIN32
    WinHandle file_;
    WinHandle mapping_;  // declared after the file, so it is closed first
#else
    FileDescriptor file_;
#endif
};

}  // namespace orvenna
