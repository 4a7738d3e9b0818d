// The offered installer's download and its check before it starts, beside the window's
// thread. The update window observes it and only shows what it reports.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

#include "base/Result.h"
#include "gui/BackgroundTask.h"
#include "system/LockedFile.h"
#include "update/InstallerDownload.h"
#include "update/UpdateOffer.h"

namespace orvenna {

// Progress is shown at most this often (and once more at the end).
inline constexpr std::chrono::milliseconds ProgressInterval{100};

// What the update window does with the download.
class UpdateDownloadObserver {
public:
    virtual ~UpdateDownloadObserver() = default;
    // The download started; state() is Downloading.
    virtual void downloadStarted() = 0;
    // Bytes received of the announced total, at most every ProgressInterval and at the end.
    virtual void downloadProgressed(std::int64_t received, std::int64_t total) = 0;
    // The download ended; state() is Downloaded, or Failed.
    virtual void downloadFinished(DownloadOutcome outcome) = 0;
    // The installer, held, when it is the published one; else an Error whose code is an
    // InstallerFault (update/Installer.h), the file deleted and state() Idle again.
    virtual void installerChecked(const Result<LockedFile>& checked) = 0;
};

class UpdateDownload {
public:
    // Reports come back through `owner`'s event queue; the download goes before the owner.
    UpdateDownload(wxEvtHandler& owner, UpdateDownloadObserver& observer, UpdateOffer offer);
    // Cancels a download or check still running and waits for it.
    ~UpdateDownload() { cancel(); }

    const UpdateOffer& offer() const { return offer_; }
    UpdateState state() const { return state_; }
    // How long a download may stall or trickle before it is given up.
    void setLimits(const DownloadLimits& limits) { limits_ = limits; }

    // The bytes the download needs free (the installer and some to spare) when the disk has
    // fewer; nothing when it has room or the system cannot tell (the download's cap still
    // bounds it then).
    std::optional<std::int64_t> missingRoom() const;

    // Downloads the installer (Idle or Failed only).
    void startDownload();
    // Checks the downloaded installer, reading it whole (Downloaded only).
    void checkInstaller();
    // Stops a running download or check and waits until its worker has ended.
    void cancel();

private:
    void finishDownload(const DownloadResult& result);
    void finishCheck(const Result<LockedFile>& checked);

    UpdateDownloadObserver& observer_;
    UpdateOffer offer_;
    DownloadLimits limits_;
    UpdateState state_ = UpdateState::Idle;
    BackgroundTask<DownloadResult> download_;
    // Shared, as the window's event queue copies what it carries and a held file has one owner.
    BackgroundTask<std::shared_ptr<Result<LockedFile>>> check_;
};

}  // namespace orvenna
