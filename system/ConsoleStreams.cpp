#include "ConsoleStreams.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#else
#include <csignal>
#endif

namespace orvenna {

#ifdef _WIN32

namespace {

std::atomic<UINT> consoleCodePage{0};

// Ctrl+C and closing the console end the process without running destructors: the code
// page goes back here first, then the system's own handler ends the process as before.
BOOL WINAPI restoreOnInterrupt(DWORD) {
    if (const UINT page = consoleCodePage.load(); page != 0) SetConsoleOutputCP(page);
    return FALSE;
}

}  // namespace

ConsoleStreams::ConsoleStreams() {
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    outputCodePage_ = GetConsoleOutputCP();  // 0 without a console
    if (outputCodePage_ != 0 && outputCodePage_ != CP_UTF8 && SetConsoleOutputCP(CP_UTF8)) {
        consoleCodePage = outputCodePage_;
        SetConsoleCtrlHandler(restoreOnInterrupt, TRUE);
    } else {
        outputCodePage_ = 0;  // nothing changed, nothing to give back
    }
}

ConsoleStreams::~ConsoleStreams() {
    if (outputCodePage_ == 0) return;
    SetConsoleOutputCP(outputCodePage_);
    SetConsoleCtrlHandler(restoreOnInterrupt, FALSE);
    consoleCodePage = 0;
}

#else

ConsoleStreams::ConsoleStreams() {
    // A reader that goes away (`| head`) makes the next write fail with EPIPE, which the
    // program reports with what it did (a saved row's id) instead of dying silently.
    std::signal(SIGPIPE, SIG_IGN);
}

ConsoleStreams::~ConsoleStreams() = default;

#endif

}  // namespace orvenna
