// The application object: it owns the main window for the run and turns an exception
// that escapes the message loop into the last-resort report.
#pragma once

#include <string_view>

#include <wx/app.h>
#include <wx/toplevel.h>

#include "draws/DrawFetcher.h"

#include "app/startup/RaiseChannel.h"
#include "gui/WindowTimer.h"

namespace orvenna {

class EasyDb;

// The draw source of config.ini.
DrawSource drawSourceSetting();

class OrvennaApp : public wxApp {
public:
    // A second start's request to show the window arrives through `raise`.
    OrvennaApp(EasyDb& store, RaiseListener& raise) : store_(store), raise_(raise) {}

    bool OnInit() override;
    int OnRun() override;
    bool OnExceptionInMainLoop() override;
    void OnUnhandledException() override;

    bool failed() const { return failed_; }

private:
    void listenForSecondStarts(wxTopLevelWindow* window);

    EasyDb& store_;
    RaiseListener& raise_;
    WindowTimer raiseTimer_;
    bool failed_ = false;
};

// The whole run: library initialisation, clean-up of a pending installer, the
// single-instance lock, the main window and its message loop. Returns the exit code.
int runProgram(int argc, char** argv);

}  // namespace orvenna
