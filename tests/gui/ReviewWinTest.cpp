// 往期对照 as a user meets it: a window that keeps its list and totals whole at any size,
// sorts without losing the cast the user is on, pages its own list, opens a cast's own digits,
// follows the store, and says what to do when there is nothing to review.
#include <filesystem>
#include <fstream>

#include <gmock/gmock.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/scrolwin.h>
#include <wx/testing.h>
#include <wx/uiaction.h>

#include "LayoutCheck.h"
#include "MainWindowFixture.h"
#include "PastCasts.h"
#include "base/DayCount.h"
#include "base/Text.h"
#include "records/DrawStore.h"
#include "ui/CastDetailWin.h"
#include "ui/DrawListWin.h"
#include "ui/HistoryController.h"
#include "ui/ReviewChart.h"
#include "ui/ReviewWin.h"

namespace orvenna::gui {
namespace {

class ReviewWinTest : public MainWindowTest {
protected:
    // The program has the keyboard, as a user's would: a desktop gives a new window the focus
    // only in the program in front.
    void SetUp() override {
        MainWindowTest::SetUp();
        window->Raise();
        realClick(window->GetStatusBar());
    }
    ReviewWin* open(CastReview review) {
        auto* win = new ReviewWin(window, std::move(review));
        win->Show();
        win->Raise();
        EXPECT_TRUE(waitUntil([&] { return win->IsShown(); }));
        pump();
        return win;
    }
    // The title cells of the rows as the list shows them, top to bottom.
    static std::vector<std::wstring> titles(const ReviewList* list) {
        std::vector<std::wstring> shown;
        for (long row = 0; row < list->GetItemCount(); ++row)
            shown.push_back(list->cellText(row, static_cast<long>(ReviewColumn::Title)).ToStdWstring());
        return shown;
    }
};

// At the planned size, larger and at the smallest the user can drag it to, the list fills the
// window above the totals and the picture, and nothing is cut: with two thousand casts, whose
// totals line is the longest.
TEST_F(ReviewWinTest, EverySizeKeepsTheListAndTheTotalsWhole) {
    ReviewWin* win = open(reviewOf(pastCasts(2000)));
    expectSoundLayout(win);
    EXPECT_FALSE(win->chart()->curve().empty());
    const wxSize min = win->GetMinClientSize();

    // Smaller first: the planned size may already fill the screen.
    win->SetClientSize(win->GetClientSize() - wxSize(200, 150));
    pump();
    const wxSize smaller = win->list()->GetSize();
    expectSoundLayout(win);
    win->SetClientSize(win->GetClientSize() + wxSize(120, 90));
    // All the new width; at least the new height (the totals may take fewer lines when wider).
    EXPECT_TRUE(waitUntil(
        [&] {
            const wxSize grown = win->list()->GetSize();
            return grown.x == smaller.x + 120 && grown.y >= smaller.y + 90;
        },
        std::chrono::seconds(3)))
        << "the list did not take the new room";
    expectSoundLayout(win);

    win->SetClientSize(wxSize(40, 40));
    pump();
    EXPECT_GE(win->GetClientSize().x, min.x);
    EXPECT_GE(win->GetClientSize().y, min.y);
    expectSoundLayout(win);
    EXPECT_GT(win->list()->GetSize().y, 0);
    win->Destroy();
}

// Menu key, 排序 and a column: the rows sort by it, the cast the user was on stays selected, and
// the header shows which way. Enter opens that cast's own digits; Esc closes them.
TEST_F(ReviewWinTest, TheKeysSortAndOpenTheSelectedCast) {
    ReviewWin* win = open(reviewOf(pastCasts(6)));
    realClick(win->list());
    ASSERT_TRUE(waitUntil([&] { return win->IsActive(); }, std::chrono::seconds(2)));
    realKeys({WXK_HOME, WXK_DOWN, WXK_DOWN});
    ASSERT_EQ(win->selectedRow(), 2);
    const std::wstring onIt = titles(win->list())[2];
    const std::vector<std::wstring> unsorted = titles(win->list());
    ASSERT_FALSE(std::is_sorted(unsorted.begin(), unsorted.end())) << "nothing for the sort to do";

#ifdef _WIN32
    // Under Wine the list's menu did not answer the Menu key in this test (the cause is not
    // known): there the header is clicked instead, which sorts the same way.
    clickHeader(win->list(), static_cast<int>(ReviewColumn::Title));
#else
    // The menu runs its own loop: its keys are sent from inside it. 排序 is its second entry,
    // 名称 the first of its submenu.
    wxTimer chooser;
    chooser.Bind(wxEVT_TIMER, [](wxTimerEvent&) {
        wxUIActionSimulator input;
        for (const int key : {WXK_DOWN, WXK_DOWN, WXK_RIGHT, WXK_RETURN}) input.Char(key);
    });
    chooser.StartOnce(500);
    realKeys({WXK_MENU});
#endif
    ASSERT_TRUE(waitUntil(
        [&] {
            const std::vector<std::wstring> shown = titles(win->list());
            return std::is_sorted(shown.begin(), shown.end());
        },
        std::chrono::seconds(5)))
        << "the menu did not sort by 名称";
    EXPECT_EQ(win->list()->GetSortIndicator(), 0) << "no arrow on 名称";
    EXPECT_TRUE(win->list()->IsAscendingSortIndicator());
    ASSERT_GE(win->selectedRow(), 0);
    EXPECT_EQ(titles(win->list())[static_cast<std::size_t>(win->selectedRow())], onIt)
        << "the sort lost the selected cast";

    realKeys({WXK_RETURN});
    ASSERT_TRUE(waitUntil([&] { return win->castWindow() && win->castWindow()->IsShown(); }))
        << "Enter did not open the cast";
    CastDetailWin* detail = win->castWindow();
    EXPECT_THAT(detail->heading()->GetLabel().ToStdWstring(), testing::HasSubstr(onIt.substr(0, 3)));
    ASSERT_EQ(detail->rows()->GetItemCount(), 8);
    EXPECT_EQ(detail->rows()->GetItemText(0, 0), L"第1位");
    EXPECT_EQ(detail->rows()->GetItemText(7, 0), L"可能号");
    expectSoundLayout(detail);
    realKeys({WXK_ESCAPE});
    EXPECT_TRUE(waitUntil([&] { return !detail->IsShown(); }, std::chrono::seconds(2))) << "Esc left it open";
    win->Destroy();
}

// PageDown in 往期对照's list moves its selection; the main window behind, which pages its own
// view with the same keys, stays where it was.
TEST_F(ReviewWinTest, PageKeysMoveInTheListNotInTheWindowBehind) {
    window->SetClientSize(700, 450);
    pump();
    wxScrolledWindow* view = nullptr;
    for (wxWindow* parent = casting()->GetParent(); parent && !view; parent = parent->GetParent())
        view = dynamic_cast<wxScrolledWindow*>(parent);
    ASSERT_NE(view, nullptr);
    ReviewWin* win = open(reviewOf(pastCasts(60)));
    realClick(win->list());
    realKeys({WXK_HOME});
    ASSERT_EQ(win->selectedRow(), 0);
    realKeys({WXK_PAGEDOWN});
    EXPECT_GT(win->selectedRow(), 1) << "PageDown did not page the list";
    EXPECT_EQ(view->GetViewStart(), wxPoint(0, 0)) << "PageDown scrolled the main window";
    win->Destroy();
}

// A new review keeps the order the user chose and the cast they were on; an empty store says
// what to do instead of showing an empty table.
TEST_F(ReviewWinTest, ANewReviewKeepsOrderAndSelectionAndAnEmptyOneSaysWhatToDo) {
    PastCasts past = pastCasts(6);
    ReviewWin* win = open(reviewOf(past));
    win->sortBy(ReviewColumn::Title);
    win->sortBy(ReviewColumn::Title);
    win->list()->SetItemState(3, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    const std::wstring onIt = titles(win->list())[3];
    past.casts.erase(past.casts.begin());  // the newest cast, still to come, was deleted
    win->showReview(reviewOf(past));
    EXPECT_EQ(win->list()->GetItemCount(), 5);
    std::vector<std::wstring> shown = titles(win->list());
    EXPECT_TRUE(std::is_sorted(shown.rbegin(), shown.rend())) << "the order was lost";
    ASSERT_GE(win->selectedRow(), 0);
    EXPECT_EQ(shown[static_cast<std::size_t>(win->selectedRow())], onIt);

    win->showReview(CastReview{});
    pump();
    EXPECT_FALSE(win->list()->IsShown());
    EXPECT_TRUE(win->emptyNote()->IsShown());
    EXPECT_THAT(win->emptyNote()->GetLabel().ToStdWstring(), testing::HasSubstr(L"导入开奖数据"));
    expectSoundLayout(win);
    win->Destroy();
}

// 开奖数据 from 往期对照: 删除 asks, then takes the draw out of the store, and the casts it scored
// show as lacking their draw, in 往期对照 as in the store.
TEST_F(ReviewWinTest, ADeletedDrawLeavesTheStoreAndTheReview) {
    const PastCasts past = pastCasts(3, 0);
    for (YsModel record : past.records) {
        record._id = 0;  // a new row
        ASSERT_TRUE(store->save(record));
    }
    ASSERT_TRUE(DrawStore(*store).store(past.draws, DrawOrigin::Imported, L"2026-12-01 08:00:00"));
    result()->reviewRequested.raise();
    ReviewWin* win = window->reviewWindow();
    ASSERT_NE(win, nullptr);
    ASSERT_TRUE(waitUntil([&] { return win->IsShown(); }));
    ASSERT_EQ(win->list()->GetItemCount(), 3);
    const auto periods = [&] {
        std::vector<std::wstring> shown;
        for (long row = 0; row < win->list()->GetItemCount(); ++row)
            shown.push_back(win->list()->cellText(row, static_cast<long>(ReviewColumn::Period)).ToStdWstring());
        std::sort(shown.begin(), shown.end());
        return shown;
    };
    EXPECT_EQ(periods(), (std::vector<std::wstring>{past.draws[0].period, past.draws[1].period, past.draws[2].period}));

    realClick(win->drawsButton());
    DrawListWin* draws = nullptr;
    ASSERT_TRUE(waitUntil([&] {
        for (wxWindow* top : wxTopLevelWindows)
            if (auto* found = dynamic_cast<DrawListWin*>(top); found && found->IsShown()) draws = found;
        return draws != nullptr;
    })) << "开奖数据 did not open";
    expectSoundLayout(draws);
    ASSERT_EQ(draws->list()->GetItemCount(), 3);
    // The newest first, selected: the one a wrong import most likely brought.
    EXPECT_EQ(draws->list()->GetItemText(0, 0), past.draws.back().period);
    wxTEST_DIALOG(click(draws->deleteButton()),
                  wxExpectModal<wxMessageDialog>(wxID_YES).Describe("the question before a draw is deleted"));
    EXPECT_EQ(draws->list()->GetItemCount(), 2);
    const Result<std::vector<Draw>> left = DrawStore(*store).draws(localDay(clockAt(2026, 12, 8, 12, 0, 0)));
    ASSERT_TRUE(left);
    EXPECT_EQ(left->size(), 2u);
    EXPECT_EQ(periods(), (std::vector<std::wstring>{past.draws[0].period, past.draws[1].period, L"无开奖数据"}))
        << "往期对照 did not follow the store";
    draws->Close();

    // The draw imported again comes back into 往期对照 when the import ends.
    const Draw& deleted = past.draws[2];
    const std::filesystem::path file = home.path() / "draws.csv";
    std::ofstream(file, std::ios::binary)
        << toUtf8(deleted.period) << ',' << toUtf8(dateText(static_cast<double>(deleted.day))) << ','
        << toUtf8(drawNumbersText(deleted)) << '\n';
    ASSERT_TRUE(window->history().importDraws(file));
    EXPECT_TRUE(waitUntil([&] { return periods().back() == deleted.period; }))
        << "往期对照 did not follow the import: " << toUtf8(periods().back());
    win->Destroy();
}

}  // namespace
}  // namespace orvenna::gui
