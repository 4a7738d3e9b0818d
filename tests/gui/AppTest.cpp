// The application's own services that show something: the last-resort report and the help.
#include <wx/frame.h>
#include <wx/html/htmlwin.h>
#include <wx/msgdlg.h>

#include "GuiTest.h"
#include "app/ErrorReport.h"
#include "app/Help.h"
#include "base/Result.h"

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

TEST(HelpViewerTest, OpensThePagesInAWindow) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows shows the help file in the system's viewer, hh.exe, another program; "
                    "HelpTest.TheViewersCommandLineCarriesTheUnquotedPath checks how it is started";
#endif
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

}  // namespace
}  // namespace orvenna::gui
