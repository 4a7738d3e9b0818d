// The installer's download, as 立即下载 runs it beside the window's thread: into a partial
// file of its own, capped at the published size, and named as the installer only when every
// published byte has arrived.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace orvenna {

// How the transfer is bounded in time.
struct DownloadLimits {
    long connectTimeoutMs = 10000;
    // Given up when no byte arrived for this long.
    std::chrono::milliseconds stallTimeout{30000};
    // Given up while fewer than slowBytes arrive in slowWindow: a server that trickles a byte
    // now and then would otherwise hold the window for hours.
    long slowBytes = 1024;
    std::chrono::seconds slowWindow{60};
};

enum class DownloadOutcome {
    Complete,
    Failed,       // no answer, another status than 200, too long a body, or cancelled
    Short,        // the answer ended before the published size
    TooSlow,      // given up for time (DownloadLimits)
    NotWritable,  // the partial file could not be made or written
};

struct DownloadResult {
    DownloadOutcome outcome = DownloadOutcome::Failed;
    std::string detail;  // one line, for people; empty when complete
};

// Fetches `address` into `installer` (replacing it) when exactly `size` bytes arrive with a
// 200 answer; otherwise leaves neither the installer nor a partial file behind. `onProgress`
// gets the bytes received and the announced total, from this thread; returning false, or
// `cancelled`, stops the transfer.
DownloadResult downloadInstaller(const std::string& address, const std::filesystem::path& installer, std::int64_t size,
                                 const DownloadLimits& limits,
                                 const std::function<bool(std::int64_t received, std::int64_t total)>& onProgress,
                                 const std::atomic<bool>& cancelled);

}  // namespace orvenna
