// The application's own services that show something: the last-resort report and the help.
#include <wx/frame.h>
#include <wx/html/htmlwin.h>
#include <wx/msgdlg.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <filesystem>

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

TEST(HelpTest, TheViewersCommandLineCarriesTheUnquotedPath) {
    EXPECT_EQ(helpCommandLine(L"C:\\Program Files\\Orvenna\\"), L"hh.exe C:\\Program Files\\Orvenna\\help.chm");
    EXPECT_EQ(helpCommandLine(L"C:\\Program Files\\Orvenna"), L"hh.exe C:\\Program Files\\Orvenna\\help.chm");
}

#ifdef _WIN32
// The system's viewer, another program, shows help.chm from a program directory with a blank
// in its name; the viewer's window takes the title that the help file carries. That title is
// stored in code page 936 and read in the system's ANSI code page ("Orvenna 使用帮助" on a
// Chinese Windows; Wine here reads it as Latin-1).
TEST(HelpViewerTest, OpensTheHelpFileInTheSystemsViewer) {
    TempDirectory home;
    const std::filesystem::path folder = home.path() / "Orvenna help";
    std::filesystem::create_directories(folder);
    std::filesystem::copy_file(executableDirectory() / "help.chm", folder / "help.chm");
    ScopedEnv programDirectory("ORVENNA_HOME", utf8Path(folder).c_str());
    orvenna::openHelp();
    const char storedTitle[] = "Orvenna \xca\xb9\xd3\xc3\xb0\xef\xd6\xfa";
    wchar_t title[64] = L"";
    MultiByteToWideChar(CP_ACP, 0, storedTitle, -1, title, 64);
    HWND viewer = nullptr;
    for (int i = 0; i < 300 && !viewer; ++i, Sleep(100)) viewer = FindWindowW(nullptr, title);
    ASSERT_NE(viewer, nullptr) << "no help viewer showed help.chm";
    DWORD viewerProcess = 0;
    GetWindowThreadProcessId(viewer, &viewerProcess);
    PostMessageW(viewer, WM_CLOSE, 0, 0);
    if (HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, viewerProcess)) {
        WaitForSingleObject(process, 10000);
        CloseHandle(process);
    }
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
