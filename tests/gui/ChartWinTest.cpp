// 排盘详情 as a user meets it: opened from 详细排盘, the chart's menu and a double-click, also
// for a replayed record; whole on screen and walked by the keyboard; its text, picture and
// printout written from the chart on show.
#include <filesystem>
#include <fstream>

#include <gmock/gmock.h>
#include <wx/clipbrd.h>
#include <wx/generic/printps.h>
#include <wx/uiaction.h>

#include "LayoutCheck.h"
#include "MainWindowFixture.h"
#include "records/YsModel.h"
#include "ui/ChartPicture.h"
#include "ui/ChartWin.h"

namespace orvenna::gui {
namespace {

class ChartWinTest : public MainWindowTest {
protected:
    // The program has the keyboard, as a user's would: a desktop gives a new window the focus
    // only in the program in front.
    void SetUp() override {
        MainWindowTest::SetUp();
        window->Raise();
        realClick(window->GetStatusBar());
    }
    void castNumber(const wchar_t* number, int zodiac) {
        chooseMethod(1);
        typeNumber(number);
        chooseZodiac(zodiac);
        pressCast();
    }
    ChartWin* chartWin() const { return window->mainPanel()->chartWin(); }
    ChartWin* openByButton() {
        click(casting()->chartButton());
        EXPECT_TRUE(chartWin() && waitUntil([this] { return chartWin()->IsShown(); }));
        pump();
        return chartWin();
    }
};

TEST_F(ChartWinTest, TheButtonFollowsTheChartAndOpensItWholeOnScreen) {
    EXPECT_FALSE(casting()->chartButton()->IsEnabled()) << "no chart is on show yet";
    EXPECT_EQ(casting()->chartButton()->GetLabel(), L"详细排盘");
    expectSoundLayout(window);  // the casting row holds the new button whole
    castNumber(L"1234", 7);
    ASSERT_TRUE(casting()->chartButton()->IsEnabled());
    expectSoundLayout(window);

    ChartWin* win = openByButton();
    ASSERT_NE(win, nullptr);
    EXPECT_EQ(win->GetTitle(), L"排盘详情");
    EXPECT_EQ(win->copyButton()->GetLabel(), L"复制");
    EXPECT_EQ(win->saveButton()->GetLabel(), L"保存图片…");
    EXPECT_EQ(win->printButton()->GetLabel(), L"打印…");
    EXPECT_EQ(win->GetFont(), window->GetFont());
    expectSoundLayout(win);
    // The whole picture shows without scrolling where the work area has room for it.
    const wxRect work = workArea(win);
    if (win->GetSize().y < work.height && win->GetSize().x < work.width) {
        EXPECT_TRUE(wxRect(wxPoint(0, 0), win->canvas()->GetParent()->GetClientSize())
                        .Contains(wxRect(win->canvas()->GetPosition(), win->canvas()->GetSize())));
    }

    // Tab and Shift+Tab walk the three buttons round; Esc closes the window.
    win->Raise();
    realClick(win->canvas());
    win->copyButton()->SetFocus();
    pump();
    const std::vector<wxWindow*> walk = {win->copyButton(), win->saveButton(), win->printButton(), win->copyButton()};
    for (std::size_t i = 0; i < walk.size(); ++i) {
        if (i > 0) realKeys({WXK_TAB});
        EXPECT_EQ(wxWindow::FindFocus(), walk[i]) << "Tab stop " << i;
    }
    for (std::size_t i = walk.size() - 1; i-- > 0;) {
        realKeys({WXK_TAB}, wxMOD_SHIFT);
        EXPECT_EQ(wxWindow::FindFocus(), walk[i]) << "Shift+Tab stop " << i;
    }
    realKeys({WXK_ESCAPE});
    EXPECT_TRUE(waitUntil([win] { return !win->IsShown(); }, std::chrono::seconds(3))) << "Esc left it open";

    // Alt+X, the button's key, from anywhere in the main window.
    window->Raise();
    realClick(window->GetStatusBar());
    realKeys({'X'}, wxMOD_ALT);
    EXPECT_TRUE(waitUntil([win] { return win->IsShown(); }, std::chrono::seconds(3))) << "Alt+X did not open it";
    win->Hide();

    // A changed choice clears the chart, and the button with it.
    chooseZodiac(3);
    EXPECT_FALSE(casting()->chartButton()->IsEnabled());
}

TEST_F(ChartWinTest, TheChartsMenuADoubleClickAndAReplayOpenTheChartOnShow) {
    castNumber(L"1234", 7);
    YsModel saved = YsModel::fromAnalysis(analysis()->record(), L"周五", L"");
    ASSERT_TRUE(store->save(saved));

    // A double-click on a line picture of the chart.
    wxMouseEvent doubleClick(wxEVT_LEFT_DCLICK);
    doubleClick.SetEventObject(analysis()->cell(0, 4));
    analysis()->cell(0, 4)->GetEventHandler()->ProcessEvent(doubleClick);
    pump();
    ASSERT_NE(chartWin(), nullptr);
    EXPECT_TRUE(chartWin()->IsShown());
    EXPECT_EQ(chartWin()->text(), chartText(analysis()->analysis()));
    chartWin()->Close();
    pump();

    // A replay casts again at the clock's time: the window, opened, shows that chart.
    click(casting()->resetButton());
    EXPECT_FALSE(casting()->chartButton()->IsEnabled());
    setClock(clockAt(2025, 1, 1, 8, 0, 0));
    window->replay(saved._id);
    ASSERT_TRUE(casting()->chartButton()->IsEnabled()) << "a replayed record shows a chart";
    ChartWin* win = openByButton();
    EXPECT_EQ(win->text(), chartText(analysis()->analysis()));
    EXPECT_THAT(win->text(), ::testing::HasSubstr(L"起卦时间:2025年1月1日8时"));
    expectSoundLayout(win);

    // While it is open, a new cast shows there too.
    click(casting()->resetButton());
    castNumber(L"5678", 2);
    EXPECT_EQ(win->text(), chartText(analysis()->analysis()));
}

TEST_F(ChartWinTest, CopyPictureAndPrintoutAreWrittenFromTheChartOnShow) {
    castNumber(L"1234", 7);
    ChartWin* win = openByButton();
    ASSERT_NE(win, nullptr);

    ASSERT_TRUE(win->copyText());
    {
        wxClipboardLocker locked;
        ASSERT_TRUE(!!locked);
        wxTextDataObject data;
        ASSERT_TRUE(wxTheClipboard->GetData(data));
        EXPECT_EQ(data.GetText().ToStdWstring(), chartText(analysis()->analysis()));
    }

    // The PNG is the picture on screen at about twice its size (Windows measures a bitmap's text
    // a little smaller than the screen's at 125 %).
    TempDirectory folder;
    const wxString png = wxString((folder.path() / "chart.png").wstring());
    ASSERT_TRUE(win->savePicture(png));
    wxImage read;
    ASSERT_TRUE(read.LoadFile(png, wxBITMAP_TYPE_PNG));
    const wxSize onScreen = win->canvas()->GetSize();
    EXPECT_NEAR(read.GetWidth(), 2 * onScreen.x, 0.15 * onScreen.x);
    EXPECT_NEAR(read.GetHeight(), 2 * onScreen.y, 0.15 * onScreen.y);
    // Text was drawn: the picture is not all one colour.
    int dark = 0;
    for (int i = 0; i < read.GetWidth() * read.GetHeight(); ++i) dark += read.GetData()[3 * i] < 128;
    EXPECT_GT(dark, 1000);
    // A folder that does not exist writes nothing and says so.
    {
        wxLogNull quiet;
        EXPECT_FALSE(win->savePicture(wxString((folder.path() / "missing" / "chart.png").wstring())));
    }

    // The printout through wx's own PostScript printer, to a file: one page with the rules of
    // the table and its text on it. (That printer writes its text in a Latin face; the
    // window prints through the desktop's printing, which draws the same page in its own.)
    const std::filesystem::path ps = folder.path() / "chart.ps";
    wxPrintData data;
    data.SetFilename(wxString(ps.wstring()));
    data.SetPrintMode(wxPRINT_MODE_FILE);
    wxPrintDialogData dialogData(data);
    dialogData.SetFromPage(1);  // what the print dialog would have set
    dialogData.SetToPage(1);
    wxPostScriptPrinter printer(&dialogData);
    ChartPrintout printout(win->sheet(), win->GetFont());
    ASSERT_TRUE(printer.Print(nullptr, &printout, false));
    std::ifstream file(ps, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.rfind("%!PS", 0), 0u);
    EXPECT_THAT(text, ::testing::HasSubstr("%%Page: 1"));
    EXPECT_THAT(text, ::testing::Not(::testing::HasSubstr("%%Page: 2")));
    EXPECT_THAT(text, ::testing::HasSubstr("lineto"));
    EXPECT_THAT(text, ::testing::HasSubstr("showpage"));
}

}  // namespace
}  // namespace orvenna::gui
