// The application object: it owns the main window for the run and turns an exception
// that escapes the message loop into the last-resort report.
#pragma once

#include <string_view>

#include <wx/app.h>

#include "draws/DrawFetcher.h"

namespace orvenna {

class EasyDb;

// The results page and the host the network check pings, when config.ini names none. An
// empty "draw_url" turns the latest draw off; an empty "ping_host" skips the check.
inline constexpr std::wstring_view DefaultDrawUrl = L"https://kaijiang.500.com/";
inline constexpr std::wstring_view DefaultPingHost = L"www.baidu.com";

// The draw source of config.ini.
DrawSource drawSourceSetting();

class OrvennaApp : public wxApp {
public:
    explicit OrvennaApp(EasyDb& store) : store_(store) {}

    bool OnInit() override;
    int OnRun() override;
    bool OnExceptionInMainLoop() override;
    void OnUnhandledException() override;

    bool failed() const { return failed_; }

private:
    EasyDb& store_;
    bool failed_ = false;
};

// The whole run: library initialisation, clean-up of a pending installer, the
// single-instance lock, the main window and its message loop. Returns the exit code.
int runProgram(int argc, char** argv);

}  // namespace orvenna
