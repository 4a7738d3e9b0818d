#include "UpdateWin.h"

#include <wx/msgdlg.h>

#include "gui/Layout.h"
#include "update/Installer.h"

namespace orvenna {

UpdateWin::UpdateWin(wxWindow* parent)
    : wxFrame(parent, wxID_ANY, L"发现新版本", wxDefaultPosition, wxDefaultSize,
              wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
    Bind(wxEVT_CLOSE_WINDOW, &UpdateWin::onClose, this);
}

void UpdateWin::showUpdate(const wxFont& font, UpdateOffer offer) {
    panel_ = new UpdatePanel(this, font, std::move(offer));
    panel_->laterChosen.connect([this](int) { Destroy(); });
    // Esc does what 下次再说 does, while that button can be pressed.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE && panel_->laterButton()->IsEnabled())
            panel_->pressLater();
        else
            event.Skip();
    });
    // The program ends only once the installer runs; a failed start stays on screen.
    panel_->installRequested = [this](const LockedFile& installer) {
        Status started = startInstaller(installer);
        if (started && endProgram) endProgram();
        return started;
    };
    panel_->stateChanged.connect([this](UpdateState state) { updateState_ = state; });
    // Not skipped: the frame would stretch its one child over the client area.
    Bind(wxEVT_SIZE, [this](wxSizeEvent&) { panel_->Move(0, 0); });
    Bind(wxEVT_DPI_CHANGED, [this](wxDPIChangedEvent& event) {
        panel_->layout();
        fitOnScreen(this, panel_->GetSize());
        event.Skip();
    });
    fitOnScreen(this, panel_->GetSize());
    Show();
    // The keys reach the window at once, Esc among them. The focus is on the choice that
    // starts nothing: the window comes unasked, maybe while the user is typing elsewhere.
    panel_->laterButton()->SetFocus();
}

void UpdateWin::onClose(wxCloseEvent& event) {
    if (updateUnfinished(updateState_) && event.CanVeto()) {
        wxMessageDialog question(this, L"未完成本次更新的安装，是否取消本次更新?", L"询问:",
                                 wxYES_NO | wxICON_QUESTION);
        if (question.ShowModal() != wxID_YES) {
            event.Veto();
            return;
        }
    }
    // A download still running is stopped, and waited for, before its window goes.
    if (panel_) panel_->cancelDownload();
    Destroy();
}

}  // namespace orvenna
