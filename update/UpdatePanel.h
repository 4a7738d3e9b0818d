// The content of the update window: the new version's details, the release notes, and the
// download with its progress, fingerprint check and hand-over to the installer.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "InstallerDownload.h"
#include "base/Result.h"
#include "gui/BackgroundTask.h"
#include "gui/Event.h"
#include "system/LockedFile.h"

namespace orvenna {

// Everything the window shows of one offered update.
struct UpdateOffer {
    std::wstring productName;
    std::wstring currentVersion;
    std::wstring verns;
    std::wstring day;
    std::int64_t size = 0;
    std::filesystem::path installerPath;
    std::wstring md5;
    std::wstring body;
    std::string address;            // decoded, https (or http to a loopback host)
    std::string signature;          // the installer's minisign signature, as the index gave it
    std::filesystem::path keyFile;  // the trusted public key it must verify against
};

enum UpdateState : int {
    UpdateIdle = 0,
    UpdateDownloading = 1,
    UpdateDownloaded = 2,
    UpdateFailed = -2,
};

// Progress is shown at most this often (and once more at the end).
inline constexpr std::chrono::milliseconds ProgressInterval{100};

class UpdatePanel : public wxPanel {
public:
    UpdatePanel(wxWindow* parent, const wxFont& font, UpdateOffer offer);
    // Cancels a download still running, waits for it and removes its partial file.
    ~UpdatePanel() override;

    // Stops a running download or check and waits until its worker has ended.
    void cancelDownload() {
        download_.cancel();
        check_.cancel();
    }
    // How long a download may stall or trickle before it is given up.
    void setDownloadLimits(const DownloadLimits& limits) { limits_ = limits; }

    void pressLater();
    void pressMain();

    // Places every control at the panel's DPI and sizes the panel to its texts.
    void layout();

    wxStaticText* label(int row) const { return labels_.at(static_cast<std::size_t>(row)); }
    wxTextCtrl* notes() const { return notes_; }
    wxGauge* progress() const { return progress_; }
    wxStaticText* statusLabel() const { return status_; }
    wxButton* laterButton() const { return later_; }
    wxButton* mainButton() const { return main_; }
    // Where the panel stands: what "立即下载"/"立即安装" does next and what it says.
    UpdateState state() const { return state_; }

    Event<int> laterChosen;
    // The installer, held, when it is the published one; else an Error whose code is an
    // InstallerFault (update/Installer.h). Called beside the window's thread, as it reads the
    // whole file; `cancelled` is set when the window goes meanwhile.
    std::function<Result<LockedFile>(const UpdateOffer& offer, const std::atomic<bool>& cancelled)> verifyRequested;
    // Starts the held installer; a failure carries the system's reason, which the panel shows.
    std::function<Status(const LockedFile& installer)> installRequested;
    Event<int> stateChanged;
    // The download has ended (either way) and its result is on screen; for the window tests.
    Event<> downloadEnded;
    // The check of 立即安装 has ended and its result is on screen (unless the installer
    // started); for the window tests.
    Event<> checkEnded;

private:
    bool hasRoomForDownload();
    void startDownload();
    void showProgress(std::int64_t received, std::int64_t total);
    void finishDownload(const DownloadResult& result);
    void install();
    void finishInstall(const Result<LockedFile>& checked);
    void setState(UpdateState state);

    UpdateOffer offer_;
    std::array<wxStaticText*, 5> labels_{};
    wxTextCtrl* notes_ = nullptr;
    wxGauge* progress_ = nullptr;
    wxStaticText* status_ = nullptr;
    wxButton* later_ = nullptr;
    wxButton* main_ = nullptr;
    DownloadLimits limits_;
    UpdateState state_ = UpdateIdle;
    BackgroundTask<DownloadResult> download_{*this};
    // Shared, as the window's event queue copies what it carries and a held file has one owner.
    BackgroundTask<std::shared_ptr<Result<LockedFile>>> check_{*this};
};

}  // namespace orvenna
