#include "Help.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <wx/frame.h>
#include <wx/html/htmlwin.h>
#endif

#include "framework/ProgramDirectory.h"

namespace orvenna {

std::wstring helpCommandLine(const std::filesystem::path& programDir) {
    std::wstring directory = programDir.wstring();
    if (!directory.empty() && directory.back() != L'\\' && directory.back() != L'/') directory += L'\\';
    return L"hh.exe " + directory + L"help.chm";
}

#ifdef _WIN32

void openHelp() {
    std::wstring commandLine = helpCommandLine(programDirectory());
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return;
    WaitForInputIdle(process.hProcess, 500);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

#else

namespace {

// The help pages: beside the program, where an installation puts them, or in the source tree.
std::filesystem::path helpIndex() {
    const std::filesystem::path candidates[] = {
        programDirectory() / "help" / "index.html",
        installedShareDirectory() / "help" / "index.html",
#ifdef ORVENNA_HELP_DIR
        std::filesystem::path(ORVENNA_HELP_DIR) / "index.html",
#endif
    };
    for (const auto& candidate : candidates) {
        if (candidate.is_relative()) continue;  // a directory that is not there
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error)) return candidate;
    }
    return {};
}

}  // namespace

// The pages are shown in a window of the program's own: an HTML viewer that every Linux
// desktop has, with no browser required.
void openHelp() {
    const std::filesystem::path index = helpIndex();
    if (index.empty()) return;
    auto* frame = new wxFrame(nullptr, wxID_ANY, L"Orvenna 帮助", wxDefaultPosition, wxSize(760, 620));
    auto* page = new wxHtmlWindow(frame);
    page->LoadFile(wxFileName(index.wstring()));
    frame->Show();
}

#endif

}  // namespace orvenna
