#include "OrvennaApp.h"

#include <curl/curl.h>

#include "ErrorReport.h"
#include "Help.h"
#include "InstanceLock.h"
#include "PendingInstaller.h"
#include "base/Text.h"
#include "framework/Fonts.h"
#include "framework/ProgramDirectory.h"
#include "framework/Settings.h"
#include "records/EasyDb.h"
#include "ui/TarvWin.h"

namespace orvenna {

DrawSource drawSourceSetting() {
    DrawSource source;
    source.pageUrl = toUtf8(readSetting(L"draw_url", fromUtf8(DefaultDrawUrl)));
    source.pingHost = toUtf8(readSetting(L"ping_host", fromUtf8(DefaultPingHost)));
    return source;
}

bool OrvennaApp::OnInit() {
    SetAppName(L"Orvenna");
    try {
        auto* window = new TarvWin(store_);
        window->openHelp = [] { orvenna::openHelp(); };
        window->drawSource = drawSourceSetting();
        window->updateUrl = toUtf8(readSetting(L"update_url", L""));
        window->create();
        return true;
    } catch (...) {
        failed_ = true;
        showErrorReport(std::current_exception());
        return false;
    }
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
        // A second copy ends here, quietly, while the first one holds the lock; it touches
        // nothing, not even the installer the first one may just have downloaded.
        InstanceLock lock(InstanceLock::defaultLockPath());
        if (lock.acquired()) {
            removePendingInstaller(programDir, readSetting(programDir / "config.ini", L"update_file", L""));
            removeLeftoverDownloads(programDir);
            EasyDb store(programDir, WindowStoreBusyMs);
            auto* app = new OrvennaApp(store);
            wxApp::SetInstance(app);
            code = wxEntry(argc, argv);
            // wxEntry deletes the application object; its failure shows in the code.
        } else if (lock.failure()) {
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
