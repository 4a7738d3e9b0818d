#include "InstallerDownload.h"

#include "Installer.h"
#include "net/HttpClient.h"
#include "system/FileReplacement.h"

namespace orvenna {

DownloadResult downloadInstaller(const std::string& address, const std::filesystem::path& installer, std::int64_t size,
                                 const DownloadLimits& limits,
                                 const std::function<bool(std::int64_t received, std::int64_t total)>& onProgress,
                                 const std::atomic<bool>& cancelled) {
    // An uncapped or oversized download is never started.
    if (size <= 0 || size > UpdateInstallerMaxBytes)
        return {DownloadOutcome::Failed, "no installer has " + std::to_string(size) + " bytes"};
    // The download writes the installer's name + ".part" beside it, readable by this user only,
    // which the next start removes should this run end first. Whatever sits at that name may
    // have been put there by someone else: it is never written through.
    Result<FileReplacement> partial =
        FileReplacement::create(installer, partialDownloadFile(installer), {.permissions = 0600});
    if (!partial) return {DownloadOutcome::NotWritable, partial.error().message};
    FileReplacement& file = partial.value();

    HttpOptions options;
    options.connectTimeoutMs = limits.connectTimeoutMs;
    options.stallTimeoutMs = static_cast<long>(limits.stallTimeout.count());
    options.lowSpeedBytes = limits.slowBytes;
    options.lowSpeedSeconds = static_cast<long>(limits.slowWindow.count());
    // Not a byte past what the index announced: a bigger body is no longer the installer.
    options.maxBodyBytes = static_cast<std::size_t>(size);
    options.httpsRedirectsOnly = true;
    options.onData = [&](const char* data, std::size_t bytes) { return !cancelled && file.write(data, bytes); };
    options.onProgress = [&](std::int64_t received, std::int64_t total) {
        return !cancelled && (!onProgress || onProgress(received, total));
    };
    const HttpResponse response = HttpClient().get(address, options);

    if (!file.writeError().message.empty()) return {DownloadOutcome::NotWritable, file.writeError().message};
    if (cancelled) return {DownloadOutcome::Failed, "cancelled"};
    if (response.timedOut() && response.code == 200) return {DownloadOutcome::TooSlow, response.error.message};
    if (!response.completed()) return {DownloadOutcome::Failed, response.error.message};
    if (response.code != 200) return {DownloadOutcome::Failed, "the server answered " + std::to_string(response.code)};
    // A server may end early of its own accord; that is no installer either.
    if (file.written() != size)
        return {DownloadOutcome::Short,
                "received " + std::to_string(file.written()) + " of " + std::to_string(size) + " bytes"};
    if (const Status renamed = file.commit(); !renamed) return {DownloadOutcome::NotWritable, renamed.error().message};
    return {DownloadOutcome::Complete, {}};
}

}  // namespace orvenna
