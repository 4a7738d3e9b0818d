// How a second start asks the copy that runs to show its window, so that a user whose window
// is behind others sees the program answer. On Linux an abstract Unix socket named after the
// lock file; on Windows a registered window message that the main window answers.
#pragma once

#include <filesystem>

#ifndef _WIN32
#include "system/FileDescriptor.h"
#endif

namespace orvenna {

class RaiseListener {
public:
    // Listens for the copies that find `lockFile` held by this one.
    explicit RaiseListener(const std::filesystem::path& lockFile);
    ~RaiseListener();
    RaiseListener(const RaiseListener&) = delete;
    RaiseListener& operator=(const RaiseListener&) = delete;

    // True when a second start has asked since the last call; never waits.
    bool asked();

private:
#ifndef _WIN32
    FileDescriptor socket_;
#endif
};

// Asks the copy that holds the lock to show its window; nothing happens when none listens.
void askRunningCopyToShow(const std::filesystem::path& lockFile);

#ifdef _WIN32
// The message the main window answers by coming to the front.
unsigned raiseMessage();
#endif

}  // namespace orvenna
