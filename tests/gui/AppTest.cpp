// The application's own services that show something: the last-resort report and the help.
#include <wx/frame.h>
#include <wx/html/htmlwin.h>
#include <wx/msgdlg.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <filesystem>
#include <fstream>

#include "GuiTest.h"
#include "LayoutCheck.h"
#include "app/ErrorReport.h"
#include "app/Help.h"
#ifndef _WIN32
#include "app/HelpPage.h"
#endif
#include "base/Result.h"
#include "system/ProgramDirectory.h"
#include "tests/Environment.h"
#include "tests/TempDirectory.h"

namespace orvenna::gui {
namespace {

TEST(ErrorReportTest, TheProgramsOwnExceptionsShowTheirCodeAndDescription) {
    const auto own = std::make_exception_ptr(FrameworkError(7, "磁盘已满"));
    EXPECT_EQ(errorReportText(own), L"俘获到异常,代码值为: 7, 描述为: 磁盘已满");
    EXPECT_EQ(errorReportText(std::make_exception_ptr(std::bad_alloc())),
              L"程序在运行时抛出了未被管理的异常: std::bad_alloc");
    EXPECT_EQ(errorReportText(std::make_exception_ptr(42)), L"程序在运行时抛出了未被管理的异常");

    class ExpectErrorBox : public wxExpectModalBase<wxMessageDialog, ExpectErrorBox> {
    protected:
        int OnInvoked(wxMessageDialog* box) const override {
            EXPECT_EQ(box->GetCaption(), L"运行时异常");
            EXPECT_EQ(box->GetMessage(), L"俘获到异常,代码值为: 7, 描述为: 磁盘已满");
            EXPECT_TRUE(box->GetMessageDialogStyle() & wxICON_ERROR);
            return wxID_OK;
        }
    };
    wxTEST_DIALOG(showErrorReport(own), ExpectErrorBox());
}

// A start that the system keeps from its lock file says so, with the reason and the path.
TEST(ErrorReportTest, ALockFileTheSystemRefusesIsShownWithItsReason) {
    const Error refused{ErrorSource::System, 5, "C:\\Users\\u\\AppData\\Roaming\\Orvenna\\tarv.sq: 拒绝访问。"};
    class ExpectLockBox : public wxExpectModalBase<wxMessageDialog, ExpectLockBox> {
    protected:
        int OnInvoked(wxMessageDialog* box) const override {
            EXPECT_EQ(box->GetCaption(), L"Orvenna");
            EXPECT_EQ(box->GetMessage(),
                      L"Orvenna 无法启动: 单实例锁文件无法使用。\nC:\\Users\\u\\AppData\\Roaming\\Orvenna\\tarv.sq: "
                      L"拒绝访问。");
            EXPECT_TRUE(box->GetMessageDialogStyle() & wxICON_ERROR);
            return wxID_OK;
        }
    };
    wxTEST_DIALOG(showLockFailure(refused), ExpectLockBox());
}

// The help belongs to the program, not to its data: a copy whose data lives elsewhere (one in a
// folder it cannot write) still finds it, and a help file among the data is not taken for it.
TEST(HelpTest, TheHelpIsFoundBesideTheProgramNotAmongItsData) {
    const TempDirectory data;
    std::filesystem::create_directories(data.path() / "help");
    std::ofstream(data.path() / "help" / "index.html") << "<title>not the help</title>";
    std::ofstream(data.path() / "help.chm") << "not the help";
    const ScopedEnv home("ORVENNA_HOME", utf8Path(data.path()).c_str());
    const std::filesystem::path help = helpFile();
    ASSERT_FALSE(help.empty());
    EXPECT_NE(help.parent_path(), data.path());
    EXPECT_NE(help.parent_path().parent_path(), data.path());
#ifdef _WIN32
    EXPECT_EQ(help, executableDirectory() / "help.chm");
#endif
}

#ifdef _WIN32
// Waits for the system's viewer to show help.chm and closes it. The viewer's window takes the
// title that the help file carries, stored in code page 936 and read in the system's ANSI code
// page ("Orvenna 使用帮助" on a Chinese Windows; Wine here reads it as Latin-1).
bool helpViewerShown() {
    const char storedTitle[] = "Orvenna \xca\xb9\xd3\xc3\xb0\xef\xd6\xfa";
    wchar_t title[64] = L"";
    MultiByteToWideChar(CP_ACP, 0, storedTitle, -1, title, 64);
    HWND viewer = nullptr;
    for (int i = 0; i < 300 && !viewer; ++i, Sleep(100)) viewer = FindWindowW(nullptr, title);
    if (!viewer) return false;
    DWORD viewerProcess = 0;
    GetWindowThreadProcessId(viewer, &viewerProcess);
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, viewerProcess)) {
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
    return true;
}

// The system's viewer, another program, shows the help.chm beside the program while its data
// lives in a folder without one (as a copy in Program Files keeps it), and shows one from a
// folder with a blank in its name.
TEST(HelpViewerTest, OpensTheHelpFileInTheSystemsViewer) {
    TempDirectory home;
    const std::filesystem::path folder = home.path() / "Orvenna help";
    std::filesystem::create_directories(folder);
    {
        ScopedEnv programDirectory("ORVENNA_HOME", utf8Path(home.path()).c_str());
        EXPECT_TRUE(orvenna::openHelp(nullptr));
        EXPECT_TRUE(helpViewerShown()) << "no help viewer showed the program's help.chm";
    }
    std::filesystem::copy_file(executableDirectory() / "help.chm", folder / "help.chm");
    ASSERT_TRUE(startHelpViewer(folder / "help.chm"));
    EXPECT_TRUE(helpViewerShown()) << "no help viewer showed help.chm from a folder with a blank";
}
#else
// The help windows on the screen that are not already closing.
std::vector<wxFrame*> helpWindows() {
    std::vector<wxFrame*> found;
    for (wxWindow* window : wxTopLevelWindows)
        if (window->GetLabel() == L"Orvenna 帮助" && !wxTheApp->IsScheduledForDestruction(window))
            found.push_back(static_cast<wxFrame*>(window));
    return found;
}

// One help window for its owner, whatever the number of presses, placed over the owner (the
// owner here is far from the screen's centre) and inside the work area; Tab and Enter follow
// a link, its keys never reach the owner, Esc closes it, and it goes with its owner.
TEST(HelpViewerTest, OneWindowOverItsOwnerThatClosesWithIt) {
    auto* owner = new wxFrame(nullptr, wxID_ANY, L"Orvenna", wxPoint(0, 0), wxSize(600, 480));
    // The main window takes the keys that scroll a page for its own view.
    int ownerKeys = 0;
    owner->Bind(wxEVT_CHAR_HOOK, [&](wxKeyEvent&) { ++ownerKeys; });
    owner->Show();
    pump();
    ASSERT_TRUE(openHelp(owner));
    ASSERT_TRUE(openHelp(owner));
    pump();
    ASSERT_EQ(helpWindows().size(), 1u);
    wxFrame* help = helpWindows().front();
    auto* page = dynamic_cast<HelpPage*>(help->GetChildren().front());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetOpenedPageTitle(), L"Orvenna 使用帮助");
    const wxRect shown = help->GetScreenRect();
    EXPECT_TRUE(owner->GetScreenRect().Contains(shown.GetPosition() + shown.GetSize() / 2))
        << "the help window is at " << shown.x << "," << shown.y << ", not over its owner";
    expectSoundLayout(help);

    // The keys go to the window under the pointer when no window manager gives the focus: a
    // click on the page's margin, where no link is.
    wxUIActionSimulator input;
    const wxPoint margin = page->GetScreenPosition() + wxPoint(3, 3);
    input.MouseMove(margin);
    pump();
    input.MouseClick();
    waitUntil([] { return false; }, std::chrono::milliseconds(150));
    realKeys({WXK_TAB, WXK_TAB});
    input.Char(WXK_TAB, wxMOD_SHIFT);
    realKeys({WXK_RETURN});
    EXPECT_EQ(page->GetOpenedAnchor(), L"cast") << "Tab, Tab, Shift+Tab and Enter did not follow the first link";
    realKeys({WXK_HOME});
    EXPECT_EQ(page->GetViewStart().y, 0) << "Home did not scroll the page back to its top";
    EXPECT_EQ(ownerKeys, 0) << "the help window's keys reached its owner";
    realKeys({WXK_ESCAPE});
    EXPECT_TRUE(waitUntil([] { return helpWindows().empty(); }, std::chrono::seconds(2))) << "Esc left it open";

    // A window that is closing is not the one brought back.
    ASSERT_TRUE(openHelp(owner));
    wxWeakRef<wxFrame> closing(helpWindows().front());
    closing->Close();
    ASSERT_TRUE(openHelp(owner));
    pump();
    EXPECT_FALSE(closing);
    ASSERT_EQ(helpWindows().size(), 1u);
    wxWeakRef<wxFrame> last(helpWindows().front());
    owner->Destroy();
    pump();
    EXPECT_FALSE(last) << "the help window outlived the window it belongs to";
}

// Chinese paragraphs wrap at the window's width: at the normal text size and a larger one, in
// the window as it opens and in a narrow one. wx lays out what it cannot break as one line
// past the right edge, which widens the page.
TEST(HelpViewerTest, ChineseTextWrapsAtTheWindowsWidth) {
    auto* owner = new wxFrame(nullptr, wxID_ANY, L"Orvenna", wxDefaultPosition, wxSize(600, 480));
    owner->Show();
    ASSERT_TRUE(openHelp(owner));
    pump();
    ASSERT_EQ(helpWindows().size(), 1u);
    wxFrame* help = helpWindows().front();
    auto* page = static_cast<wxHtmlWindow*>(help->GetChildren().front());
    const int normal = wxNORMAL_FONT->GetPointSize();
    const int opened = help->GetClientSize().x;
    for (const int points : {normal, normal * 3 / 2}) {
        page->SetStandardFonts(points);
        for (const int width : {opened, help->FromDIP(360)}) {
            help->SetClientSize(width, help->GetClientSize().y);
            pump();
            const int client = page->GetClientSize().x;
            EXPECT_LE(page->GetInternalRepresentation()->GetWidth(), client) << points << " pt, " << width << " px";
            EXPECT_LE(page->GetVirtualSize().x, client) << points << " pt, " << width << " px";
        }
    }
    owner->Destroy();
    pump();
}

// Breaks go between the characters of Chinese text only, never inside markup or the title,
// nor where punctuation must stay with its neighbour; a source line break inside a Chinese
// sentence is no space.
TEST(HelpViewerTest, ChineseLineBreaksGoBetweenCharactersOfTheText) {
    const struct {
        const wchar_t* html;
        const wchar_t* broken;
    } cases[] = {
        {L"<p>起卦</p>", L"<p>起<wbr>卦</p>"},
        {L"<title>使用帮助</title><h1>帮助</h1>", L"<title>使用帮助</title><h1>帮<wbr>助</h1>"},
        {L"<a href=\"#起卦\" title='卦盘 > 卦解'>卦盘</a>", L"<a href=\"#起卦\" title='卦盘 > 卦解'>卦<wbr>盘</a>"},
        {L"<!-- 注释 --><pre>卦盘</pre>", L"<!-- 注释 --><pre>卦盘</pre>"},
        {L"卦盘，（见下）。", L"卦<wbr>盘，<wbr>（见<wbr>下）。"},
        {L"Orvenna 以V1.0版", L"Orvenna 以<wbr>V1.0<wbr>版"},
        {L"卦盘\n  写出", L"卦<wbr>盘<wbr>写<wbr>出"},
        {L"“推算数字”\n“生肖”", L"“推<wbr>算<wbr>数<wbr>字”<wbr>“生<wbr>肖”"},
        {L"<b>Tab</b>\nand Enter", L"<b>Tab</b>\nand Enter"},
        {L"a < b 卦", L"a < b 卦"},
    };
    for (const auto& c : cases) {
        const wxString broken = withChineseLineBreaks(c.html);
        EXPECT_EQ(broken, c.broken) << wxString(c.html).utf8_str();
        EXPECT_EQ(withChineseLineBreaks(broken), broken) << "a second pass added breaks to " << broken.utf8_str();
    }
}
#endif

}  // namespace
}  // namespace orvenna::gui
