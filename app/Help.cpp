#include "Help.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <wx/frame.h>
#include <wx/html/htmlwin.h>
#endif

#include "framework/LockedFile.h"
#include "framework/Process.h"
#include "framework/ProgramDirectory.h"

namespace orvenna {

#ifdef _WIN32

std::filesystem::path helpFile() {
    return executableDirectory() / L"help.chm";
}

Status startHelpViewer(const std::filesystem::path& chm) {
    const std::filesystem::path viewer = systemProgram(SystemFolder::Windows, L"hh.exe");
    if (viewer.empty()) return Error{ERROR_PATH_NOT_FOUND, "the Windows folder is unknown"};
    // Held from the check to the start, as every program this one starts.
    Result<LockedFile> program = LockedFile::open(viewer);
    if (!program) return program.error();
    return startDetached(*program, {chm.wstring()});
}

void openHelp() {
    static_cast<void>(startHelpViewer(helpFile()));
}

#else

std::filesystem::path helpFile() {
    const std::filesystem::path candidates[] = {
        executableDirectory() / "help" / "index.html",
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

// The pages are shown in a window of the program's own: an HTML viewer that every Linux
// desktop has, with no browser required.
void openHelp() {
    const std::filesystem::path index = helpFile();
    if (index.empty()) return;
    auto* frame = new wxFrame(nullptr, wxID_ANY, L"Orvenna 帮助", wxDefaultPosition, wxSize(760, 620));
    auto* page = new wxHtmlWindow(frame);
    page->LoadFile(wxFileName(index.wstring()));
    frame->Show();
}

#endif

}  // namespace orvenna
