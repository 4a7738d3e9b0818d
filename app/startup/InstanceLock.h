// The single-instance lock: while one copy of the program holds it, another cannot.
//
// On Linux the lock file is held with an exclusive, non-blocking flock for the object's life;
// the system drops the lock when the process ends in any way, so a crashed copy never blocks
// the next start. On Windows the file is opened sharing reading and writing (a virus scanner
// or an indexer that has it open does not stop a start), a byte of it is locked exclusively,
// and a 4096-byte mapping is made over it; the system drops the lock with the process too.
#pragma once

#include <filesystem>
#include <optional>

#include "base/Result.h"

#ifdef _WIN32
#include "system/WinHandle.h"
#else
#include "system/FileDescriptor.h"
#endif

namespace orvenna {

class InstanceLock {
public:
    // $XDG_CONFIG_HOME (default ~/.config) + "/Orvenna/tarv.sq" on Linux; the user's roaming
    // application-data folder + "Orvenna\tarv.sq" on Windows.
    static std::filesystem::path defaultLockPath();

    // Creates the lock file's folder when missing, then tries to take the lock. On Windows a
    // file that another program has open without sharing it is tried again for about two
    // seconds.
    explicit InstanceLock(const std::filesystem::path& lockFile);

    bool acquired() const;
    // Why the lock could not be taken, when that is not another copy holding it (a folder
    // that cannot be created, a file that cannot be opened): this start cannot go on, and the
    // user is to be told. Nothing when the lock is held, here or by another copy.
    const std::optional<Error>& failure() const { return failure_; }

private:
#ifdef _WIN32
    WinHandle file_;
    WinHandle mapping_;  // declared after the file, so it is closed first
#else
    FileDescriptor file_;
#endif
    std::optional<Error> failure_;
};

}  // namespace orvenna
