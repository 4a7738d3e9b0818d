// The file dialogs the program opens fit the work area of the screen, whatever size GTK's
// file chooser remembered or takes from its font. (Windows' own dialog keeps itself on the
// screen.)
#ifdef __WXGTK__
#include <gio/gio.h>
#include <gtk/gtk.h>

#include <wx/filedlg.h>
#include <wx/modalhook.h>

#include "LayoutCheck.h"
#include "MainWindowFixture.h"

namespace orvenna::gui {
namespace {

// Notes the dialog a modal run is about to show.
class DialogSpy : public wxModalDialogHook {
public:
    DialogSpy() { Register(); }
    ~DialogSpy() override { Unregister(); }
    wxDialog* shown = nullptr;

protected:
    int Enter(wxDialog* dialog) override {
        shown = dialog;
        return wxID_NONE;  // shown as usual
    }
    void Exit(wxDialog*) override {}
};

using FileDialogTest = MainWindowTest;

TEST_F(FileDialogTest, TheImportDialogFitsTheWorkArea) {
    // A size remembered from a larger screen, as the chooser keeps it (its size counts only
    // with a position beside it).
    GSettings* settings = g_settings_new("org.gtk.Settings.FileChooser");
    g_settings_set(settings, "window-position", "(ii)", 0, 0);
    g_settings_set(settings, "window-size", "(ii)", 3000, 2000);
    DialogSpy spy;
    wxRect frame, work;
    wxTimer measure;
    measure.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        if (!spy.shown || !spy.shown->IsShown()) return;
        measure.Stop();
        settleFrame(spy.shown);
        frame = frameOnScreen(spy.shown);
        work = workArea(window);
        spy.shown->EndModal(wxID_CANCEL);
    });
    measure.Start(100);
    result()->importRequested.raise();
    measure.Stop();
    g_settings_reset(settings, "window-position");
    g_settings_reset(settings, "window-size");
    g_object_unref(settings);
    ASSERT_NE(spy.shown, nullptr) << "no file dialog was shown";
    EXPECT_TRUE(work.Contains(frame)) << "the file dialog at " << describe(frame) << " is not inside the work area "
                                      << describe(work);
}

}  // namespace
}  // namespace orvenna::gui
#endif
