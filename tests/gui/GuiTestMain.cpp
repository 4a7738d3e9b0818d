// Runs the window tests inside a real wxWidgets application. Without a display the
// process starts its own Xvfb server and stops it at the end.
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>

#include "../Environment.h"
#include "XvfbServer.h"
#include "gui/Fonts.h"

namespace {

class TestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

}  // namespace

#ifdef _WIN32
// ORVENNA_TASKBAR=N: the screen's bottom N pixels are a taskbar's, as on a Windows desktop;
// Wine on a bare X server has none, and the windows must fit the work area that is left.
void reserveTaskbar() {
    const char* height = std::getenv("ORVENNA_TASKBAR");
    if (!height || !*height) return;
    RECT work = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN) - std::atoi(height)};
    SystemParametersInfoW(SPI_SETWORKAREA, 0, &work, 0);
}
#endif

// A failed wx assertion fails the test that made it and says where, instead of stopping the
// process at a breakpoint (Wine then waits for a debugger).
void reportAssertion(const wxString& file, int line, const wxString& function, const wxString& condition,
                     const wxString& message) {
    ADD_FAILURE_AT(file.utf8_str(), line)
        << "wx assertion " << condition.utf8_str() << " in " << function.utf8_str() << ": " << message.utf8_str();
}

int main(int argc, char** argv) {
    orvenna::XvfbServer xvfb;
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no display.
    for (int i = 0; i < argc; ++i)
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) return RUN_ALL_TESTS();

    orvenna::setEnv("NO_AT_BRIDGE", "1");  // no accessibility bus under a test server
    // What GTK remembers (the file chooser's size) stays in the test process, out of the
    // user's own settings.
    orvenna::setEnv("GSETTINGS_BACKEND", "memory");
    orvenna::useProgramFonts();  // the faces the program itself sets up
    if (!std::getenv("DISPLAY") && !xvfb.start()) {
        std::fprintf(stderr, "no display and Xvfb could not be started\n");
        return 1;
    }
#ifdef _WIN32
    reserveTaskbar();
#endif
    wxSetAssertHandler(reportAssertion);
    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        return 1;
    }
#ifdef _WIN32
    // Windows hands a window its messages (input, navigation keys, paints) only through an
    // event loop that runs: without one, the tests' yields would leave them all queued.
    wxEventLoop loop;
    wxEventLoopActivator active(&loop);
#endif
    const int status = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    return status;
}
