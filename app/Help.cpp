#include "Help.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>

#include <wx/app.h>
#include <wx/frame.h>

#include "HelpPage.h"
#include "gui/Layout.h"
#include "gui/WindowFront.h"
#endif

#include "system/LockedFile.h"
#include "system/Process.h"
#include "system/ProgramDirectory.h"

namespace orvenna {

#ifdef _WIN32

std::filesystem::path helpFile() {
    return executableDirectory() / L"help.chm";
}

Status startHelpViewer(const std::filesystem::path& chm) {
    const std::filesystem::path viewer = systemProgram(SystemFolder::Windows, L"hh.exe");
    if (viewer.empty()) return Error{ErrorSource::System, ERROR_PATH_NOT_FOUND, "the Windows folder is unknown"};
    // Held from the check to the start, as every program this one starts; the system's viewer
    // is a few hundred kilobytes.
    Result<LockedFile> program = LockedFile::open(viewer, std::int64_t{64} << 20);
    if (!program) return program.error();
    return startDetached(*program, {chm.wstring()});
}

Status openHelp(wxWindow*) {
    return startHelpViewer(helpFile());
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

namespace {

// How the help window is found among its owner's windows.
const wxString HelpWindowName = "orvennaHelp";

// The help window of `owner`, if it has one that is not already closing.
wxFrame* shownHelp(wxWindow* owner) {
    if (!owner) return nullptr;
    for (wxWindow* child : owner->GetChildren())
        if (child->GetName() == HelpWindowName && !wxTheApp->IsScheduledForDestruction(child))
            return dynamic_cast<wxFrame*>(child);
    return nullptr;
}

}  // namespace

// The pages are shown in a window of the program's own: an HTML viewer that every Linux
// desktop has, with no browser required. It is a child of the main window, so it closes with
// it and never keeps the program running alone.
Status openHelp(wxWindow* owner) {
    if (wxFrame* shown = shownHelp(owner)) {
        bringToFront(shown);
        return success();
    }
    const std::filesystem::path index = helpFile();
    if (index.empty()) return Error{ErrorSource::System, ENOENT, "no help pages came with the program"};
    auto* frame = new wxFrame(owner, wxID_ANY, L"Orvenna 帮助", wxDefaultPosition, wxDefaultSize, wxDEFAULT_FRAME_STYLE,
                              HelpWindowName);
    // Its keys and commands are its own: the main window would take Home or Page Down for
    // its view.
    frame->SetExtraStyle(frame->GetExtraStyle() | wxWS_EX_BLOCK_EVENTS);
    auto* page = new HelpPage(frame);
    page->LoadFile(wxFileName(index.wstring()));
    // 760 by 620 pixels at 96 DPI, grown with the owner's DPI and text scale.
    fitOnScreen(frame, LayoutContext(owner ? owner : frame).px(wxSize(760, 620)), owner);
    frame->Bind(wxEVT_CHAR_HOOK, [frame, page](wxKeyEvent& event) {
        const int key = event.GetKeyCode();
        if (key == WXK_ESCAPE && !event.HasAnyModifiers()) {
            frame->Close();
        } else if (key == WXK_TAB && !event.ControlDown() && !event.AltDown()) {
            page->markNextLink(!event.ShiftDown());
        } else {
            const bool enter = key == WXK_RETURN || key == WXK_NUMPAD_ENTER;
            if (!enter || !page->followMarkedLink()) event.Skip();
        }
    });
    frame->Show();
    page->SetFocus();
    return success();
}

#endif

}  // namespace orvenna
