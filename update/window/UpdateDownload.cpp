#include "UpdateDownload.h"

#include "update/Installer.h"

namespace orvenna {

UpdateDownload::UpdateDownload(wxEvtHandler& owner, UpdateDownloadObserver& observer, UpdateOffer offer)
    : observer_(observer), offer_(std::move(offer)), download_(owner), check_(owner) {}

std::optional<std::int64_t> UpdateDownload::missingRoom() const {
    const Result<std::int64_t> free = freeDiskBytes(offer_.installerPath.parent_path());
    const std::int64_t needed = offer_.size + DownloadSpareBytes;
    if (!free || *free >= needed) return std::nullopt;
    return needed;
}

void UpdateDownload::cancel() {
    download_.cancel();
    check_.cancel();
}

// The worker touches nothing of the window: progress and the end come back to its thread.
void UpdateDownload::startDownload() {
    if (state_ != UpdateState::Idle && state_ != UpdateState::Failed) return;
    state_ = UpdateState::Downloading;
    observer_.downloadStarted();
    download_.start(
        [this, address = offer_.address, installer = offer_.installerPath, size = offer_.size,
         limits = limits_](const std::atomic<bool>& cancelled) {
            auto lastShown = std::chrono::steady_clock::now() - std::chrono::seconds(1);
            const auto progress = [&](std::int64_t received, std::int64_t total) {
                const auto now = std::chrono::steady_clock::now();
                if (now - lastShown >= ProgressInterval || (total > 0 && received == total)) {
                    lastShown = now;
                    download_.post([this, received, total] { observer_.downloadProgressed(received, total); });
                }
                return true;
            };
            return downloadInstaller(address, installer, size, limits, progress, cancelled);
        },
        [this](const DownloadResult& result) { finishDownload(result); });
}

void UpdateDownload::finishDownload(const DownloadResult& result) {
    state_ = result.outcome == DownloadOutcome::Complete ? UpdateState::Downloaded : UpdateState::Failed;
    observer_.downloadFinished(result.outcome);
}

// The check reads the whole installer (up to UpdateInstallerMaxBytes), so it runs beside the
// window's thread.
void UpdateDownload::checkInstaller() {
    if (state_ != UpdateState::Downloaded) return;
    check_.start(
        [offer = offer_](const std::atomic<bool>& cancelled) {
            return std::make_shared<Result<LockedFile>>(orvenna::checkInstaller(
                offer.installerPath, {offer.md5, offer.size, offer.signature, offer.keyFile}, &cancelled));
        },
        [this](const std::shared_ptr<Result<LockedFile>>& checked) { finishCheck(*checked); });
}

// A refused file is deleted and may be downloaded again.
void UpdateDownload::finishCheck(const Result<LockedFile>& checked) {
    if (!checked) {
        std::error_code error;
        std::filesystem::remove(offer_.installerPath, error);
        state_ = UpdateState::Idle;
    }
    observer_.installerChecked(checked);
}

}  // namespace orvenna
