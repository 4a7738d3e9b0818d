#include "OrvennaApp.h"

#include <curl/curl.h>
#include <wx/weakref.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include "ErrorReport.h"
#include "Help.h"
#include "app/startup/InstanceLock.h"
#include "app/startup/PendingInstaller.h"
#include "base/Text.h"
#include "gui/Fonts.h"
#include "gui/WindowFront.h"
#include "records/EasyDb.h"
#include "system/ProgramDirectory.h"
#include "system/Settings.h"
#include "ui/TarvWin.h"

namespace orvenna {

DrawSource drawSourceSetting() {
    DrawSource source;
    source.pageUrl = toUtf8(readSetting(Setting::DrawUrl));
    source.pingHost = toUtf8(readSetting(Setting::PingHost));
    return source;
}

namespace {

// How often the window looks whether a second start has asked for it.
constexpr int RaisePollMs = 300;

}  // namespace

bool OrvennaApp::OnInit() {
    SetAppName(L"Orvenna");
    try {
        auto* window = new TarvWin(store_);
        window->openHelp = [window] { return orvenna::openHelp(window); };
        window->drawSource = drawSourceSetting();
        window->updateUrl = toUtf8(readSetting(Setting::UpdateUrl));
        window->create();
        listenForSecondStarts(window);
        return true;
    } catch (...) {
        failed_ = true;
        showErrorReport(std::current_exception());
        return false;
    }
}

#ifdef _WIN32
namespace {

// The main window comes to the front, restored if minimised, when a second start asks.
bool showOnRequest(wxWindowMSW* window, WXUINT, WXWPARAM, WXLPARAM) {
    auto* frame = dynamic_cast<wxTopLevelWindow*>(window);
    if (!frame || frame != wxTheApp->GetTopWindow()) return false;
    bringToFront(frame);
    return true;
}

}  // namespace
#endif

// A second start asks this copy to show its window rather than leaving the user with no sign
// of the program: through a registered message on Windows, a socket polled here on Linux.
void OrvennaApp::listenForSecondStarts(wxTopLevelWindow* window) {
#ifdef _WIN32
    static_cast<void>(raise_);
    wxWindow::MSWRegisterMessageHandler(static_cast<int>(raiseMessage()), showOnRequest);
    static_cast<void>(window);
#else
    // The window may go before the program ends (closed while another of its windows was
    // still on its way out): the timer never outlives it.
    raiseTimer_.setHandler([this, window = wxWeakRef<wxTopLevelWindow>(window)] {
        if (raise_.asked() && window) bringToFront(window);
    });
    raiseTimer_.Start(RaisePollMs);
#endif
    // The program is its main window: when the user closes it, every window it owns goes with
    // it and the program ends, so that a later start is a fresh copy, not a hidden one.
    window->Bind(wxEVT_DESTROY, [this, window](wxWindowDestroyEvent& event) {
        event.Skip();
        if (event.GetEventObject() != window) return;
        raiseTimer_.Stop();
        // Its own windows (the help) go with it as its children; any other goes here.
        for (wxWindow* other : wxTopLevelWindows)
            if (other != window && !other->GetParent()) other->Destroy();
        ExitMainLoop();
    });
}

int OrvennaApp::OnRun() {
    const int code = wxApp::OnRun();
    return failed_ ? ExceptionExitCode : code;
}

bool OrvennaApp::OnExceptionInMainLoop() {
    failed_ = true;
    showErrorReport(std::current_exception());
    // Leaving the loop ends the program; the windows go with the application.
    for (wxWindow* window : wxTopLevelWindows) window->Destroy();
    return false;
}

void OrvennaApp::OnUnhandledException() {
    failed_ = true;
    showErrorReport(std::current_exception());
}

namespace {

// The window system started only to say why this start cannot go on.
class LockFailureApp : public wxApp {
public:
    explicit LockFailureApp(Error error) : error_(std::move(error)) {}
    bool OnInit() override {
        showLockFailure(error_);
        return false;
    }

private:
    Error error_;
};

}  // namespace

int runProgram(int argc, char** argv) {
    useProgramFonts();
    curl_global_init(CURL_GLOBAL_ALL);

    const std::filesystem::path programDir = programDirectory();
    int code = 0;
    {
        // A second copy ends here while the first one holds the lock, after asking it to show
        // its window; it touches nothing, not even the installer the first one may just have
        // downloaded.
        InstanceLock lock(InstanceLock::defaultLockPath());
        if (lock.acquired()) {
            removePendingInstaller(programDir, readSetting(settingsFileIn(programDir), Setting::UpdateFile));
            removeLeftoverDownloads(programDir);
            EasyDb store(programDir, WindowStoreBusyMs);
            RaiseListener raise(InstanceLock::defaultLockPath());
            auto* app = new OrvennaApp(store, raise);
            wxApp::SetInstance(app);
            code = wxEntry(argc, argv);
            // wxEntry deletes the application object; its failure shows in the code.
        } else if (!lock.failure()) {
            askRunningCopyToShow(InstanceLock::defaultLockPath());
        } else {
            // Not another copy: the system refused the lock file, and the user is told why
            // rather than seeing nothing start.
            wxApp::SetInstance(new LockFailureApp(*lock.failure()));
            wxEntry(argc, argv);
            code = LockFailureExitCode;
        }
    }
    // Every connection is closed by now: the store went with its block.
    EasyDb::shutdown();
    curl_global_cleanup();
    return code;
}

}  // namespace orvenna
