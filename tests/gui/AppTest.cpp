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
#include "app/ErrorReport.h"
#include "app/Help.h"
#include "base/Result.h"
#include "framework/ProgramDirectory.h"
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
    const Error refused{5, "C:\\Users\\u\\AppData\\Roaming\\Orvenna\\tarv.sq: 拒绝访问。"};
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
        orvenna::openHelp();
        EXPECT_TRUE(helpViewerShown()) << "no help viewer showed the program's help.chm";
    }
    std::filesystem::copy_file(executableDirectory() / "help.chm", folder / "help.chm");
    ASSERT_TRUE(startHelpViewer(folder / "help.chm"));
    EXPECT_TRUE(helpViewerShown()) << "no help viewer showed help.chm from a folder with a blank";
}
#else
TEST(HelpViewerTest, OpensThePagesInAWindow) {
    orvenna::openHelp();
    pump();
    wxFrame* viewer = nullptr;
    for (wxWindow* window : wxTopLevelWindows)
        if (window->GetLabel() == L"Orvenna 帮助") viewer = static_cast<wxFrame*>(window);
    ASSERT_NE(viewer, nullptr);
    auto* page = dynamic_cast<wxHtmlWindow*>(viewer->GetChildren().front());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetOpenedPageTitle(), L"Orvenna 使用帮助");
    viewer->Destroy();
    pump();
}
#endif

}  // namespace
}  // namespace orvenna::gui
