// The content of the update window: the new version's details, the release notes, and the
// download with its progress, fingerprint check and hand-over to the installer.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "base/Result.h"
#include "framework/BackgroundTask.h"
#include "framework/Event.h"
#include "framework/LockedFile.h"

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

// A download is given up when no byte arrived for this long, or when connecting takes longer.
inline constexpr std::chrono::milliseconds DownloadStallTimeout{30000};
inline constexpr long DownloadConnectTimeoutMs = 10000;
// Progress is shown at most this often (and once more at the end).
inline constexpr std::chrono::milliseconds ProgressInterval{100};

class UpdatePanel : public wxPanel {
public:
    UpdatePanel(wxWindow* parent, const wxFont& font, UpdateOffer offer);
    // Cancels a download still running, waits for it and removes its partial file.
    ~UpdatePanel() override;

    // Stops a running download and waits until its worker has ended.
    void cancelDownload() { download_.cancel(); }
    // A download is aborted when no byte arrives for this long.
    void setStallTimeout(std::chrono::milliseconds limit) { stallTimeout_ = limit; }

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
    // InstallerFault (update/Installer.h).
    std::function<Result<LockedFile>(const UpdateOffer& offer)> verifyRequested;
    // Starts the held installer; a failure carries the system's reason, which the panel shows.
    std::function<Status(const LockedFile& installer)> installRequested;
    Event<int> stateChanged;
    // The download has ended (either way) and its result is on screen; for the window tests.
    Event<> downloadEnded;

private:
    void startDownload();
    void showProgress(std::int64_t received, std::int64_t total);
    void finishDownload(bool ok);
    void install();
    void setState(UpdateState state);

    UpdateOffer offer_;
    std::array<wxStaticText*, 5> labels_{};
    wxTextCtrl* notes_ = nullptr;
    wxGauge* progress_ = nullptr;
    wxStaticText* status_ = nullptr;
    wxButton* later_ = nullptr;
    wxButton* main_ = nullptr;
    std::chrono::milliseconds stallTimeout_{DownloadStallTimeout};
    UpdateState state_ = UpdateIdle;
    BackgroundTask<bool> download_{*this};
};

}  // namespace orvenna
