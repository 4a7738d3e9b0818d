// The content of the update window: the new version's details, the release notes, and what
// the download (UpdateDownload) reports: its progress, the installer's check and the
// hand-over to the installer.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "UpdateDownload.h"
#include "base/Result.h"
#include "gui/Event.h"
#include "system/LockedFile.h"
#include "update/UpdateOffer.h"

namespace orvenna {

class UpdatePanel : public wxPanel, private UpdateDownloadObserver {
public:
    UpdatePanel(wxWindow* parent, const wxFont& font, UpdateOffer offer);
    // Cancels a download still running, waits for it and removes its partial file.
    ~UpdatePanel() override;

    // Stops a running download or check and waits until its worker has ended.
    void cancelDownload() { download_.cancel(); }
    // How long a download may stall or trickle before it is given up.
    void setDownloadLimits(const DownloadLimits& limits) { download_.setLimits(limits); }

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
    UpdateState state() const { return download_.state(); }

    Event<int> laterChosen;
    // Starts the held installer; a failure carries the system's reason, which the panel shows.
    std::function<Status(const LockedFile& installer)> installRequested;
    // A download started or ended: the state it left (a refused installer does not say so).
    Event<UpdateState> stateChanged;
    // The download has ended (either way) and its result is on screen; for the window tests.
    Event<> downloadEnded;
    // The check of 立即安装 has ended and its result is on screen (unless the installer
    // started); for the window tests.
    Event<> checkEnded;

private:
    void downloadStarted() override;
    void downloadProgressed(std::int64_t received, std::int64_t total) override;
    void downloadFinished(DownloadOutcome outcome) override;
    void installerChecked(const Result<LockedFile>& checked) override;
    void showState();

    const UpdateOffer& offer() const { return download_.offer(); }

    std::array<wxStaticText*, 5> labels_{};
    wxTextCtrl* notes_ = nullptr;
    wxGauge* progress_ = nullptr;
    wxStaticText* status_ = nullptr;
    wxButton* later_ = nullptr;
    wxButton* main_ = nullptr;
    UpdateDownload download_;
};

}  // namespace orvenna
