// The network check: one ping of a host as a child process, through no shell and showing no
// window.
#pragma once

#include <atomic>
#include <string>

namespace orvenna {

// Runs `command` (Linux: "ping -c 1 -W 2 HOST"; Windows: "ping -n 1 -w 2000 HOST", the default
// command being the system's own ping.exe) with its output read through a pipe and dropped.
// True when it ended with exit code 0 within a few seconds; false when it could not start,
// failed, took too long, or `cancel` was set while it ran (it is ended then).
bool pingOnce(const std::string& command, const std::string& host, const std::atomic<bool>* cancel = nullptr);

}  // namespace orvenna
