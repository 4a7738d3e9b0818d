// The window as a keyboard user drives it, with real key presses: where the focus starts, the
// way Tab walks, and the keys each control is expected to answer.
#ifdef __WXGTK__
#include <gtk/gtk.h>
#endif

#include <gmock/gmock.h>
#include <wx/uiaction.h>

#include <fstream>

#include "LayoutCheck.h"
#include "MainWindowFixture.h"
#include "base/DayCount.h"
#include "engine/DrawScore.h"
#include "gui/LabeledEdit.h"
#include "gui/PictureButton.h"
#include "gui/WindowFront.h"
#include "records/DrawStore.h"
#include "records/YsModel.h"
#include "ui/GuaWin.h"
#include "ui/HistoryController.h"
#include "ui/LineEntryPanel.h"
#include "ui/LoadWin.h"
#include "ui/ResultPanel.h"
#include "ui/ReviewWin.h"
#include "update/window/UpdateWin.h"

namespace orvenna::gui {
namespace {

using ::testing::HasSubstr;

// True when the keyboard focus is in `control`. GTK gives a drop-down list's focus to a button
// inside it, which is no window of wx's own.
bool holdsFocus(wxWindow* control) {
    if (wxWindow::FindFocus() == control) return true;
#ifdef __WXGTK__
    GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(wxGetTopLevelParent(control)->GetHandle()));
    return focus && gtk_widget_is_ancestor(focus, control->GetHandle());
#else
    return false;
#endif
}

// True when `window` draws the frame of the control that has the keyboard.
bool showsFocusCues(const wxTopLevelWindow* window) {
#ifdef __WXMSW__
    const wxWindow* focus = focusedControl(window);
    const auto handle = static_cast<HWND>((focus ? focus : window)->GetHandle());
    return (SendMessage(handle, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
#elif defined(__WXGTK__)
    return gtk_window_get_focus_visible(GTK_WINDOW(window->GetHandle()));
#else
    return true;
#endif
}

// The delete confirmation, answered once its buttons were seen to read 是 and 否 with 否 the
// default, so that Enter alone deletes nothing.
class ExpectYesNo : public wxExpectModalBase<wxMessageDialog, ExpectYesNo> {
public:
    explicit ExpectYesNo(int answer = wxID_NO) : answer_(answer) {}

protected:
    int OnInvoked(wxMessageDialog* box) const override {
        EXPECT_EQ(box->GetMessage(), L"确定需要删除当前所选择的历史数据吗?");
        EXPECT_EQ(box->GetYesLabel(), L"是");
        EXPECT_EQ(box->GetNoLabel(), L"否");
        EXPECT_TRUE(box->GetMessageDialogStyle() & wxNO_DEFAULT) << "Enter would answer 是";
        return answer_;
    }

private:
    int answer_;
};

class KeyboardTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        window->Raise();
        realClick(window->GetStatusBar());  // the window has the keyboard, nothing is chosen
        casting()->methodChoice()->list()->SetFocus();
        pump();
    }
    // Saves the cast on screen and lists it, as 保存 would.
    bool saveAndList() {
        YsModel saved = YsModel::fromAnalysis(analysis()->record(), L"周二", L"");
        if (!store->save(saved)) return false;
        return static_cast<bool>(store->fillList(result()->history()));
    }
    PictureButton* refreshButton() const { return window->mainPanel()->latestDrawsPanel()->refreshButton(); }
    // Tab after Tab (Shift+Tab `backward`) from where the focus is, the stops where `expected`
    // holds the focus.
    void expectTabWalk(const std::vector<wxWindow*>& expected, bool backward = false) {
        for (std::size_t i = 0; i < expected.size(); ++i) {
            if (i > 0) realKeys({WXK_TAB}, backward ? wxMOD_SHIFT : wxMOD_NONE);
            const wxWindow* focus = wxWindow::FindFocus();
            EXPECT_TRUE(holdsFocus(expected[i])) << "stop " << i << " is not " << describe(expected[i]) << " but "
                                                 << (focus ? describe(focus) : "nothing of wx's");
        }
    }
};

TEST_F(KeyboardTest, FocusStartsOnTheMethodAndTabFollowsTheScreen) {
    EXPECT_TRUE(holdsFocus(casting()->methodChoice()->list()));
    EXPECT_TRUE(showsFocusCues(window)) << "the focus frame waits for a key press";
    // A cast, a saved record ticked and a title typed: every button of the column can be pressed.
    chooseMethod(1);
    typeNumber(L"1234");
    chooseZodiac(7);
    pressCast();
    ASSERT_TRUE(saveAndList());
    tick(result()->historyList(), 0);
    result()->titleEdit()->setText(L"周五");
    casting()->methodChoice()->list()->SetFocus();
    pump();

    // The refresh arrows are live where a draw page is configured.
    refreshButton()->Enable();
    ResultPanel* column = result();
    const std::vector<wxWindow*> expected = {
        casting()->methodChoice()->list(),
        casting()->numberBox(),
        casting()->zodiacChoice()->list(),
        casting()->castButton(),
        casting()->resetButton(),
        casting()->chartButton(),
        column->historyList(),
        column->selectAll(),
        column->deleteButton(),
        column->resultBox(),
        column->phoneButton(),
        column->noteEdit()->box(),
        column->titleEdit()->box(),
        column->saveButton(),
        column->helpButton(),
        analysis()->interpretation(),
        refreshButton(),
        casting()->methodChoice()->list(),
    };
    expectTabWalk(expected);
    // Shift+Tab walks the same stops back, each once.
    expectTabWalk({expected.rbegin(), expected.rend()}, true);

    // With the two other methods, their input stands where the number box stood.
    chooseMethod(2);
    casting()->methodChoice()->list()->SetFocus();
    pump();
    expectTabWalk({casting()->methodChoice()->list(), casting()->lineEntryButton(), casting()->zodiacChoice()->list()});

    // The manual dialog is filled from the bottom line up: it opens on 初爻 and Tab climbs the
    // lines, then goes through the time to the buttons.
    GuaWin dialog(window, casting()->request());
    dialog.CallAfter([this, &dialog] {
        LineEntryPanel* lines = dialog.panel();
        realClick(lines->tip());  // the keys go to the window under the pointer
        std::vector<wxWindow*> order;
        for (int line = 1; line <= 6; ++line) order.push_back(lines->lineChoice(line));
        for (int part = 0; part < 6; ++part) order.push_back(lines->timeChoice(part));
        order.push_back(lines->okButton());
        order.push_back(lines->cancelButton());
        expectTabWalk(order);
        dialog.EndModal(wxID_CANCEL);
    });
    dialog.ShowModal();
}

// In a window smaller than its content the view follows the keyboard: after every Tab the
// control that has it is in view, and PageDown and PageUp move the view where the control
// does not use them.
TEST_F(KeyboardTest, TheViewFollowsTheFocusInASmallWindow) {
    chooseMethod(1);
    window->SetClientSize(700, 450);
    pump();
    casting()->methodChoice()->list()->SetFocus();
    pump();
    wxScrolledWindow* view = nullptr;
    for (wxWindow* parent = casting()->GetParent(); parent && !view; parent = parent->GetParent())
        view = dynamic_cast<wxScrolledWindow*>(parent);
    ASSERT_NE(view, nullptr);
    bool scrolled = false;
    for (int stop = 1; stop <= 16; ++stop) {
        realKeys({WXK_TAB});
        SCOPED_TRACE("Tab " + std::to_string(stop));
        expectFocusInView(window);
        scrolled = scrolled || view->GetViewStart() != wxPoint(0, 0);
    }
    EXPECT_TRUE(scrolled) << "the walk never left the first screenful";

    view->Scroll(0, 0);
    casting()->castButton()->SetFocus();
    pump();
    ASSERT_EQ(view->GetViewStart().y, 0);
    realKeys({WXK_PAGEDOWN});
    EXPECT_GT(view->GetViewStart().y, 0) << "PageDown did not scroll";
    realKeys({WXK_PAGEUP});
    EXPECT_EQ(view->GetViewStart().y, 0) << "PageUp did not scroll back";
}

TEST_F(KeyboardTest, TheKeysAUserExpects) {
    // A method chosen with the keys leaves the focus where it was.
    realKeys({WXK_DOWN});
    pump();
    if (casting()->methodChoice()->selection() == 1) {
        EXPECT_TRUE(holdsFocus(casting()->methodChoice()->list()));
    }
    chooseMethod(1);
    chooseZodiac(7);
    // Enter in the number box presses 演算.
    realClick(casting()->numberBox());
    realType("1234");
    realKeys({WXK_RETURN});
    EXPECT_FALSE(result()->resultText().empty()) << "Enter in the number box did not cast";

    // Enter on a history item replays it; Delete asks first, with 是 and 否.
    ASSERT_TRUE(saveAndList());
    chooseMethod(0);
    result()->historyList()->SetFocus();
    result()->historyList()->SetSelection(0);
    realKeys({WXK_RETURN});
    EXPECT_EQ(casting()->request().numberText, L"1234");
    EXPECT_FALSE(result()->resultText().empty()) << "Enter on the item did not replay it";
    EXPECT_TRUE(holdsFocus(result()->historyList())) << "the replay took the keyboard from the list";
    // Space ticks it, as a click on its box does.
    realKeys({WXK_SPACE});
    EXPECT_TRUE(result()->historyList()->IsChecked(0)) << "Space did not tick the item";
    EXPECT_TRUE(result()->deleteButton()->IsEnabled());
    wxTEST_DIALOG(realKeys({WXK_DELETE}), ExpectYesNo());
    EXPECT_EQ(result()->itemCount(), 1) << "否 deletes nothing";

    // Enter in 名称 saves; after a save, and after a delete, the keyboard goes on from the list.
    // (Focused, so that the view shows it, before it is clicked: on a small screen it is
    // scrolled out of sight.)
    result()->titleEdit()->box()->SetFocus();
    pump();
    realClick(result()->titleEdit()->box());
    realType("abc");
    realKeys({WXK_RETURN});
    EXPECT_EQ(status(), L"保存成功") << "Enter in 名称 did not save";
    EXPECT_EQ(result()->itemCount(), 2);
    EXPECT_TRUE(holdsFocus(result()->historyList())) << "the save left the keyboard nowhere";
    realKeys({WXK_TAB});
    EXPECT_TRUE(holdsFocus(result()->selectAll()));
    result()->historyList()->SetFocus();
    tick(result()->historyList(), 0);
    wxTEST_DIALOG(realKeys({WXK_DELETE}), ExpectYesNo(wxID_YES));
    EXPECT_EQ(result()->itemCount(), 1);
    EXPECT_TRUE(holdsFocus(result()->historyList())) << "the delete left the keyboard nowhere";

    // Space and Enter press the refresh arrows, which say what they are.
    int refreshes = 0;
    window->mainPanel()->latestDrawsPanel()->refreshRequested.connect([&refreshes] { ++refreshes; });
    refreshButton()->Enable();
    refreshButton()->SetFocus();
    realKeys({WXK_SPACE, WXK_RETURN});
    EXPECT_EQ(refreshes, 2);
    EXPECT_EQ(refreshButton()->GetName(), L"刷新开奖");
    EXPECT_EQ(refreshButton()->GetToolTipText(), L"刷新开奖");
#ifdef __WXGTK__
    EXPECT_STREQ(atk_object_get_name(gtk_widget_get_accessible(refreshButton()->GetHandle())), "刷新开奖");
#endif

    // Esc and Enter close the splash at once, as a double click does.
    for (const int key : {WXK_ESCAPE, WXK_RETURN}) {
        LoadWin splash(window);
        splash.CallAfter([&splash, key] {
            realClick(&splash);
            realKeys({key});
            if (!splash.closed()) splash.EndModal(wxID_CANCEL);
        });
        splash.ShowModal();
        EXPECT_TRUE(splash.closed()) << "key " << key << " left the splash open";
    }

    // In 自己装卦 Esc does what 取消 does; on Windows Enter on a line's list does what 确定
    // does (GTK opens the list instead, as its lists do). The pointer is put on the dialog:
    // without a window manager the keys go to the window under it.
    const auto answerTo = [this](int key) {
        GuaWin dialog(window, casting()->request());
        int line = 1;
        for (int item : {1, 4, 3, 2, 1, 2}) choose(dialog.panel()->lineChoice(line++), item);
        dialog.panel()->lineChoice(1)->SetFocus();
        dialog.CallAfter([&dialog, key] {
            realClick(dialog.panel()->tip());
            realKeys({key});
            if (dialog.GetReturnCode() == 0) dialog.EndModal(0);  // the key did nothing
        });
        return dialog.ShowModal();
    };
    EXPECT_EQ(answerTo(WXK_ESCAPE), wxID_CANCEL);
#ifdef _WIN32
    EXPECT_EQ(answerTo(WXK_RETURN), wxID_OK);
#endif

    // Esc closes the update window as 下次再说 does.
    UpdateOffer offer;
    offer.verns = L"V1.1.0";
    offer.size = 1;
    offer.installerPath = home.path() / "setup.exe";
    wxWeakRef<UpdateWin> update(new UpdateWin(window));
    update->showUpdate(window->GetFont(), std::move(offer));
    realClick(update->GetChildren().front());
    realKeys({WXK_ESCAPE});
    EXPECT_TRUE(waitUntil([&] { return !update; }, std::chrono::seconds(2))) << "Esc left the update window open";
    if (update) update->Destroy();

    // After 重设 the row is as it started: Down twice on the method reaches 自己装卦, and the
    // keyboard stays on the method.
    chooseMethod(1);
    click(casting()->resetButton());
    realClick(window->GetStatusBar());
    casting()->methodChoice()->list()->SetFocus();
    pump();
    realKeys({WXK_DOWN, WXK_DOWN});
    EXPECT_EQ(casting()->methodChoice()->selection(), LineCasting);
    EXPECT_TRUE(holdsFocus(casting()->methodChoice()->list())) << "the keyboard left the method";
}

}  // namespace
}  // namespace orvenna::gui

namespace orvenna::gui {
namespace {

// 往期对照 from the history list's context menu, with the right button and the keys: each saved
// cast beside its draw, the tooltip saying the same, sound at every DPI, sorted by a column, and
// gone with Esc.
TEST_F(KeyboardTest, PastCastsOpenFromTheHistoryMenuAndCloseWithEsc) {
    chooseMethod(NumberCasting);
    typeNumber(L"1234");
    chooseZodiac(7);
    pressCast();
    const double castTime = analysis()->record().castTime;
    const std::int64_t drawDay = drawDayOf(castTime);
    // A period the draw calendar allows for 2024-03-31: its year, and no more than its 39th draw.
    const Draw drawn{drawDay, L"24035", {1, 2, 3, 4, 5, 6}, 7};
    ASSERT_TRUE(DrawStore(*store).store({&drawn, 1}, DrawOrigin::Imported, L"2026-12-09 00:00:00"));
    ASSERT_TRUE(saveAndList());
    ASSERT_TRUE(window->history().load());
    EXPECT_THAT(result()->itemTip(0), HasSubstr(L"第24035期 对位命中")) << result()->itemTip(0);

    // The menu runs its own loop: the keys that choose its first entry are sent from inside it.
    wxTimer chooser;
    chooser.Bind(wxEVT_TIMER, [](wxTimerEvent&) {
        wxUIActionSimulator input;
        input.Char(WXK_DOWN);
        input.Char(WXK_RETURN);
    });
    chooser.StartOnce(500);
    wxUIActionSimulator input;
    const wxRect list = result()->historyList()->GetScreenRect();
    input.MouseMove(list.x + list.width / 2, list.y + list.height / 2);
    pump();
    input.MouseClick(wxMOUSE_BTN_RIGHT);
    ASSERT_TRUE(waitUntil([&] { return window->reviewWindow() != nullptr; }, std::chrono::seconds(5)))
        << "the context menu did not open 往期对照";
    ReviewWin* review = window->reviewWindow();
    ASSERT_TRUE(waitUntil([&] { return review->IsShown(); }));
    EXPECT_THAT(result()->historyList()->GetToolTipText().ToStdWstring(), HasSubstr(L"右键菜单"))
        << "the item's tooltip stayed over the menu";
    pump();
    expectSoundLayout(review);
    ASSERT_EQ(review->list()->GetItemCount(), 1);
    EXPECT_EQ(review->list()->cellText(0, 2), L"24035");
    EXPECT_EQ(review->list()->cellText(0, 3), L"123456+7");
    EXPECT_THAT(review->totals()->GetLabel().ToStdWstring(), HasSubstr(L"已开奖1次"));

    review->Raise();
    realClick(review->list());
    realKeys({WXK_ESCAPE});
    EXPECT_TRUE(waitUntil([&] { return window->reviewWindow() == nullptr; }, std::chrono::seconds(2)))
        << "Esc left 往期对照 open";

    // A replay says the cast's draw and score; an imported file says what it took.
    window->history().replay(result()->itemId(0));
    EXPECT_THAT(status(), HasSubstr(L"  第24035期 对位命中")) << status();
    const std::filesystem::path file = home.path() / "draws.csv";
    std::ofstream(file, std::ios::binary) << "26001,2026-01-02,1,2,3,4,5,6,7\n26140,"
                                          << toUtf8(dateText(static_cast<double>(drawDay))) << ",0000000\nx\n";
    ASSERT_TRUE(window->history().importDraws(file));
    ASSERT_TRUE(waitUntil([&] { return !window->history().importing(); })) << "the import did not end";
    // The second line's period is of another year than the cast's draw day (2024): refused.
    EXPECT_EQ(status(), L"开奖数据已导入:新增1期,已有0期,未导入2行(第2、3行)");
}

// A click on a column's header sorts 往期对照 by it, and a second click the other way round.
TEST_F(KeyboardTest, PastCastsSortByAClickedHeader) {
    CastReview review;
    const int hits[] = {2, 5, 0, 3};
    for (int i = 0; i < 4; ++i) {
        ReviewedCast& cast = review.casts.emplace_back();
        cast.id = i + 1;
        cast.title = concat(L"第", i, L"次");
        cast.castTime = clockAt(2026, 12, 1 + i, 20, 0, 0).localNow;
        cast.match = DrawMatch::Matched;
        cast.draw = {drawDayOf(cast.castTime), concat(26130 + i), {1, 2, 3, 4, 5, 6}, 7};
        cast.score.positionHits = hits[i];
        review.totals.add(cast);
    }
    review.casts.push_back(review.casts[2]);
    review.casts.back().id = 5;
    review.casts.back().match = DrawMatch::Pending;
    auto* win = new ReviewWin(window, review);
    win->Show();
    win->Raise();
    ASSERT_TRUE(waitUntil([&] { return win->IsShown(); }));
    ReviewList* list = win->list();
    // A window manager places the window and takes the first click into it as the one that
    // activates it: the clicks on the headers come after one on the rows.
    realClick(list);
    ASSERT_TRUE(waitUntil([&] { return win->IsActive(); }, std::chrono::seconds(2)));
    const auto shownIds = [&] {
        std::vector<std::wstring> ids;
        for (long row = 0; row < list->GetItemCount(); ++row) ids.push_back(list->cellText(row, 4).ToStdWstring());
        return ids;
    };
    const std::vector<std::wstring> ascending = {L"", L"○○○○○○ 0/6", L"○○○○○○ 2/6", L"○○○○○○ 3/6", L"○○○○○○ 5/6"};
    clickHeader(list, static_cast<int>(ReviewColumn::PositionHits));
    EXPECT_EQ(shownIds(), ascending) << "the first click sorts ascending";
    EXPECT_EQ(win->order(), (std::vector<std::size_t>{4, 2, 0, 3, 1}));
    clickHeader(list, static_cast<int>(ReviewColumn::PositionHits));
    EXPECT_EQ(shownIds(), std::vector<std::wstring>(ascending.rbegin(), ascending.rend()))
        << "the second click sorts descending";
    clickHeader(list, static_cast<int>(ReviewColumn::Title));
    EXPECT_EQ(win->order(), (std::vector<std::size_t>{0, 1, 2, 4, 3}));
    win->Destroy();
    pump();
}

}  // namespace
}  // namespace orvenna::gui
