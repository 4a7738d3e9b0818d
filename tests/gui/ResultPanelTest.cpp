// The result column as the user meets it: which buttons are live, saving, ticking and
// deleting history, replay by double-click, and the QR code over the result box.
#include <cerrno>
#include <fstream>
#include <iterator>

#include <gmock/gmock.h>
#include <sqlite3.h>
#include <wx/menu.h>

#include "../CollectedList.h"
#include "../Environment.h"
#include "MainWindowFixture.h"
#include "base/Text.h"
#include "codec/QrSymbol.h"
#include "engine/ResultText.h"
#include "gui/FontText.h"
#include "gui/LabeledEdit.h"
#include "gui/Layout.h"
#include "ui/QrView.h"
#include "ui/ResultPanel.h"

namespace orvenna::gui {
namespace {

using ::testing::HasSubstr;

class ResultPanelTest : public MainWindowTest {
protected:
    void castNumber(std::wstring_view number = L"1234", int zodiac = 7) {
        chooseMethod(1);
        casting()->numberBox()->Clear();
        typeNumber(number);
        chooseZodiac(zodiac);
        pressCast();
    }
    // Closes the window (and with it the store) and opens the store again; the test then
    // makes a new window.
    void closeAndReopenStore(int busyTimeoutMs = 3000) {
        delete window;  // now, before its store goes
        window = nullptr;
        pump();
        store = std::make_unique<EasyDb>(home.path(), busyTimeoutMs);
    }
    void type(LabeledEdit* edit, const std::wstring& text) {
        edit->box()->SetValue(text);  // raises the text event, as typing does
        pump();
    }
    // Saves `count` records straight into the store and lists them, newest first.
    void saveRecords(int count) {
        castNumber();
        for (int i = 1; i <= count; ++i) {
            YsModel record = YsModel::fromAnalysis(analysis()->record(), L"r" + std::to_wstring(i), L"");
            ASSERT_TRUE(store->save(record));
        }
        ASSERT_TRUE(store->fillList(result()->history()));
    }
    std::vector<std::wstring> listed() const {
        std::vector<std::wstring> titles;
        for (unsigned i = 0; i < result()->historyList()->GetCount(); ++i)
            titles.push_back(result()->historyList()->GetString(i).ToStdWstring());
        return titles;
    }
    void tick(int index) { gui::tick(result()->historyList(), index); }
    void confirmDelete(int answer) {
        wxTEST_DIALOG(click(result()->deleteButton()),
                      ExpectMessage(L"询问:", L"确定需要删除当前所选择的历史数据吗?", answer));
    }
};

TEST_F(ResultPanelTest, ButtonsFollowTheResultTheTitleAndTheList) {
    EXPECT_FALSE(result()->phoneButton()->IsEnabled());
    EXPECT_FALSE(result()->saveButton()->IsEnabled());
    EXPECT_FALSE(result()->deleteButton()->IsEnabled());
    EXPECT_TRUE(result()->helpButton()->IsEnabled());
    EXPECT_EQ(result()->historyList()->GetToolTipText(), L"双击或回车复盘查看;右键菜单:往期对照、导入开奖数据…");

    type(result()->titleEdit(), L"标题");  // nothing to save yet
    EXPECT_FALSE(result()->saveButton()->IsEnabled());
    castNumber();
    EXPECT_TRUE(result()->phoneButton()->IsEnabled());
    type(result()->titleEdit(), L" \t ");
    EXPECT_FALSE(result()->saveButton()->IsEnabled());
    type(result()->titleEdit(), L" 周五 ");
    EXPECT_TRUE(result()->saveButton()->IsEnabled());

    // A change of choice empties the result and the note, not the title.
    type(result()->noteEdit(), L"备注");
    chooseZodiac(3);
    EXPECT_FALSE(result()->phoneButton()->IsEnabled());
    EXPECT_TRUE(result()->noteEdit()->text().empty());
    EXPECT_EQ(result()->titleEdit()->text(), L" 周五 ");

    // "删除" deletes the ticked items: a highlighted item alone leaves nothing to delete.
    saveRecords(2);
    result()->historyList()->SetSelection(1);
    wxCommandEvent select(wxEVT_LISTBOX, result()->historyList()->GetId());
    result()->historyList()->HandleWindowEvent(select);
    EXPECT_FALSE(result()->deleteButton()->IsEnabled());
    tick(1);
    EXPECT_TRUE(result()->deleteButton()->IsEnabled());
    tick(1);
    EXPECT_FALSE(result()->deleteButton()->IsEnabled());
}

TEST_F(ResultPanelTest, ASavedResultIsListedWithItsTimeAndTheEntryIsCleared) {
    castNumber();
    type(result()->titleEdit(), L"A");
    type(result()->noteEdit(), L"第一注");
    click(result()->saveButton());
    EXPECT_EQ(status(), L"保存成功");
    EXPECT_EQ(listed(), std::vector<std::wstring>{L"A(2024年3月31日12时)"});
    EXPECT_TRUE(result()->titleEdit()->text().empty());
    EXPECT_TRUE(result()->noteEdit()->text().empty());
    const YsModel stored = store->load(result()->itemId(0)).value();
    EXPECT_EQ(stored.uinfo, L"第一注");
    EXPECT_EQ(stored.ysnumber, L"1234");
}

// A title is stored as the user gave it; the list shows it on one row, in its own order.
TEST_F(ResultPanelTest, ATitleWithControlsIsStoredAsGivenAndListedOnOneRow) {
    castNumber();
    const std::wstring title = L"甲\n乙\x1b[2J丙\u202e丁";
    type(result()->titleEdit(), title);
    click(result()->saveButton());
    ASSERT_EQ(status(), L"保存成功");
    EXPECT_EQ(listed(), std::vector<std::wstring>{L"甲 乙 [2J丙丁(2024年3月31日12时)"});
    EXPECT_EQ(store->load(result()->itemId(0)).value().ysname, title + L"(2024年3月31日12时)");
}

TEST_F(ResultPanelTest, AnEmptyTitleGetsABalloonTipAndSavesNothing) {
    castNumber();
    // The button's own rule keeps it off while the title is blank, so no user gets here; the
    // save still checks the title itself, and its event is sent to see that it does.
    ASSERT_FALSE(result()->saveButton()->IsEnabled());
    wxCommandEvent press(wxEVT_BUTTON, result()->saveButton()->GetId());
    result()->saveButton()->HandleWindowEvent(press);
    const auto& tip = result()->titleEdit()->lastBalloonTip();
    EXPECT_EQ(tip.first, L"提示:");
    EXPECT_EQ(tip.second, L"请输入保存的标题,标题将自动加上日期");
    EXPECT_EQ(result()->itemCount(), 0);
    EXPECT_NE(status(), L"保存成功");
}

TEST_F(ResultPanelTest, AFailedSaveKeepsWhatTheUserTyped) {
    // A database file that is not one: the store opens nothing and never overwrites it.
    closeAndReopenStore();
    store.reset();
    const auto file = home.path() / "src" / "data" / "ssq.db";
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << std::string(4096, 'x');
    store = std::make_unique<EasyDb>(home.path());
    window = new TarvWin(*store);
    window->showSplash = false;
    window->create();
    setClock(clockAt(2024, 3, 31, 12, 0, 0));

    castNumber();
    type(result()->titleEdit(), L"留着");
    type(result()->noteEdit(), L"备注也留着");
    click(result()->saveButton());
    EXPECT_EQ(status(), L"保存失败");
    EXPECT_EQ(result()->titleEdit()->text(), L"留着");
    EXPECT_EQ(result()->noteEdit()->text(), L"备注也留着");
    EXPECT_EQ(result()->itemCount(), 0);
    std::ifstream in(file, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), std::string(4096, 'x'));
}

TEST_F(ResultPanelTest, DeletingRemovesExactlyTheTickedItems) {
    saveRecords(5);
    ASSERT_EQ(listed(),
              (std::vector<std::wstring>{L"r5(2024年3月31日12时)", L"r4(2024年3月31日12时)", L"r3(2024年3月31日12时)",
                                         L"r2(2024年3月31日12时)", L"r1(2024年3月31日12时)"}));
    tick(0);
    tick(2);
    tick(4);
    confirmDelete(wxID_NO);
    EXPECT_EQ(result()->itemCount(), 5);

    confirmDelete(wxID_YES);
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"r4(2024年3月31日12时)", L"r2(2024年3月31日12时)"}));
    EXPECT_EQ(store->load(result()->itemId(0)).value().ysname, L"r4(2024年3月31日12时)");
    CollectedList rows;
    ASSERT_TRUE(store->fillList(rows));
    EXPECT_EQ(rows.items.size(), 2u);
}

TEST_F(ResultPanelTest, SelectAllTicksEveryItemAndDeleteFollowsIt) {
    saveRecords(3);
    result()->selectAll()->SetValue(true);
    wxCommandEvent on(wxEVT_CHECKBOX, result()->selectAll()->GetId());
    on.SetInt(1);
    result()->selectAll()->HandleWindowEvent(on);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(result()->isTicked(i));
    EXPECT_TRUE(result()->deleteButton()->IsEnabled());

    result()->selectAll()->SetValue(false);
    wxCommandEvent off(wxEVT_CHECKBOX, result()->selectAll()->GetId());
    result()->selectAll()->HandleWindowEvent(off);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(result()->isTicked(i));
    EXPECT_FALSE(result()->deleteButton()->IsEnabled());

    result()->selectAll()->SetValue(true);
    result()->selectAll()->HandleWindowEvent(on);
    confirmDelete(wxID_YES);
    EXPECT_EQ(result()->itemCount(), 0);
    EXPECT_FALSE(result()->deleteButton()->IsEnabled());
    EXPECT_FALSE(result()->selectAll()->GetValue()) << "全选 stayed ticked over an empty list";
    // Nor does it stay over a list filled anew, whose items all start unticked.
    result()->selectAll()->SetValue(true);
    ASSERT_TRUE(store->fillList(result()->history()));
    EXPECT_FALSE(result()->selectAll()->GetValue());
}

// A long title loses characters from its middle, not the cast time at its end that tells
// records of one title apart; the tooltip of the item under the pointer shows it whole.
TEST_F(ResultPanelTest, ALongTitleKeepsItsCastTimeAndShowsWholeUnderThePointer) {
    castNumber();
    YsModel record = YsModel::fromAnalysis(analysis()->record(), std::wstring(60, L'长') + L"尾", L"");
    ASSERT_TRUE(store->save(record));
    ASSERT_TRUE(store->fillList(result()->history()));
    const std::wstring whole = std::wstring(60, L'长') + L"尾(2024年3月31日12时)";
    ASSERT_EQ(result()->itemTitle(0), whole);
    wxCheckListBox* list = result()->historyList();
    const std::wstring shown = list->GetString(0).ToStdWstring();
    EXPECT_THAT(shown, HasSubstr(L"...")) << "cut without an ellipsis";
    EXPECT_TRUE(shown.ends_with(L"2024年3月31日12时)")) << list->GetString(0).utf8_str();
    EXPECT_LT(LayoutContext(list).extent(shown).x, list->GetClientSize().x);

    window->Raise();
    wxUIActionSimulator pointer;
    const wxRect area = list->GetScreenRect();
    pointer.MouseMove(area.x + area.width / 2, area.y + list->FromDIP(8));  // on the first row
    EXPECT_TRUE(waitUntil([&] { return list->GetToolTipText() == whole; }, std::chrono::seconds(2)))
        << list->GetToolTipText().utf8_str();
    pointer.MouseMove(area.x + area.width / 2, area.GetBottom() - list->FromDIP(8));  // below the items
    EXPECT_TRUE(
        waitUntil([&] { return list->GetToolTipText().StartsWith(L"双击或回车复盘查看"); }, std::chrono::seconds(2)))
        << list->GetToolTipText().utf8_str();
}

// What the right button offers is found without it: the list's hint names every entry of
// the menu it opens.
TEST_F(ResultPanelTest, TheListHintNamesEveryEntryOfItsMenu) {
    wxCheckListBox* list = result()->historyList();
    std::vector<std::wstring> entries;
    list->Bind(wxEVT_MENU_OPEN, [&](wxMenuEvent& event) {
        if (const wxMenu* menu = event.GetMenu())
            for (const wxMenuItem* item : menu->GetMenuItems())
                entries.push_back(item->GetItemLabelText().ToStdWstring());
        event.Skip();
    });
    // The menu runs its own loop: the key that closes it is sent from inside it.
    wxTimer closer;
    closer.Bind(wxEVT_TIMER, [](wxTimerEvent&) { wxUIActionSimulator().Char(WXK_ESCAPE); });
    closer.StartOnce(500);
    window->Raise();
    wxUIActionSimulator pointer;
    const wxRect area = list->GetScreenRect();
    pointer.MouseMove(area.x + area.width / 2, area.y + area.height / 2);
    pump();
    pointer.MouseClick(wxMOUSE_BTN_RIGHT);
    ASSERT_TRUE(waitUntil([&] { return !entries.empty(); }, std::chrono::seconds(5))) << "no menu opened";
    EXPECT_EQ(entries.size(), 2u);
    const std::wstring hint = list->GetToolTipText().ToStdWstring();
    for (const std::wstring& entry : entries)
        EXPECT_THAT(hint, HasSubstr(entry)) << "the hint does not name " << toUtf8(entry);
}

TEST_F(ResultPanelTest, ARowTheStoreCouldNotDeleteStaysListed) {
    closeAndReopenStore(50);  // give up on a lock quickly
    window = new TarvWin(*store);
    window->showSplash = false;
    window->create();
    setClock(clockAt(2024, 3, 31, 12, 0, 0));
    saveRecords(3);

    // Another program holds the write lock; reading still works.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(utf8Path(home.path() / "src" / "data" / "ssq.db").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr), SQLITE_OK);
    tick(1);
    confirmDelete(wxID_YES);
    EXPECT_EQ(result()->itemCount(), 3);
    EXPECT_EQ(status(), L"删除失败:数据库正被其他程序使用");
    sqlite3_exec(other, "ROLLBACK;", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    // The item is still ticked: the user tries again.
    confirmDelete(wxID_YES);
    EXPECT_EQ(listed(), (std::vector<std::wstring>{L"r3(2024年3月31日12时)", L"r1(2024年3月31日12时)"}));
}

TEST_F(ResultPanelTest, DoubleClickReplaysTheItem) {
    chooseMethod(3);
    chooseZodiac(11);
    pressCast();
    YsModel saved = YsModel::fromAnalysis(analysis()->record(), L"t", L"");
    ASSERT_TRUE(store->save(saved));
    ASSERT_TRUE(store->fillList(result()->history()));
    const std::wstring before = result()->resultText();
    click(casting()->resetButton());

    result()->historyList()->SetSelection(0);
    wxCommandEvent doubleClick(wxEVT_LISTBOX_DCLICK, result()->historyList()->GetId());
    doubleClick.SetInt(0);
    result()->historyList()->HandleWindowEvent(doubleClick);
    pump();
    EXPECT_EQ(casting()->methodChoice()->selection(), 3);
    EXPECT_EQ(casting()->zodiacChoice()->selection(), 11);
    EXPECT_EQ(result()->resultText(), before);
}

// Row 2^32 + 5 cut to 32 bits is row 5: the list must keep them apart, for replaying and for
// deleting.
TEST_F(ResultPanelTest, RowIdsBeyond32BitsNameTheirOwnRows) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(utf8Path(home.path() / "src" / "data" / "ssq.db").c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw,
                           "INSERT INTO tarv_table (_id,ysname,ysindex,ysnumber,ysday,gzsxid,upstr,downstr,dong,rot) "
                           "VALUES (5,'数字',1,'1234',45382.5,7,'','','0,0,0,0,0,0',0),"
                           "(4294967301,'线下',2,'',45382.5,3,'110','011','0,0,1,0,0,0',0);",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);
    ASSERT_TRUE(store->fillList(result()->history()));
    ASSERT_EQ(listed(), (std::vector<std::wstring>{L"线下", L"数字"}));
    EXPECT_EQ(result()->itemId(0), 4294967301);
    EXPECT_EQ(result()->itemId(1), 5);

    result()->historyList()->SetSelection(0);
    wxCommandEvent doubleClick(wxEVT_LISTBOX_DCLICK, result()->historyList()->GetId());
    doubleClick.SetInt(0);
    result()->historyList()->HandleWindowEvent(doubleClick);
    pump();
    EXPECT_EQ(casting()->methodChoice()->selection(), 2);
    EXPECT_EQ(casting()->request().replayId, 4294967301);
    EXPECT_TRUE(analysis()->header()->GetLabel().StartsWith(L"以自己装卦,卦主生肖:寅"));

    tick(0);
    confirmDelete(wxID_YES);
    EXPECT_EQ(listed(), std::vector<std::wstring>{L"数字"});
    EXPECT_EQ(store->load(4294967301).error().code, NoSuchRow);
    EXPECT_EQ(store->load(5).value().ysname, L"数字");
}

TEST_F(ResultPanelTest, TheQrCodeCoversTheResultBoxUntilHidden) {
    castNumber();
    const wxRect box = result()->resultBox()->GetRect();
    click(result()->phoneButton());
    EXPECT_EQ(result()->phoneButton()->GetLabel(), L"隐藏二维码");
    QrView* view = result()->qrView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetParent(), result()->resultBox()->GetParent());
    EXPECT_EQ(view->GetRect(), box);
    EXPECT_FALSE(result()->resultBox()->IsShown());

    // The symbol of the text in the box, whole modules, quiet zone, centred.
    const auto symbol = encodeQr(toUtf8(result()->resultText()));
    ASSERT_TRUE(symbol.has_value());
    const QrPicture expected = drawQr(*symbol, std::min(box.width, box.height));
    EXPECT_EQ(view->picture().rgb, expected.rgb);
    EXPECT_GE(view->picture().scale, 2);
    const wxRect drawn = view->pictureRect();
    EXPECT_LE(std::abs(drawn.x - (box.width - drawn.width - drawn.x)), 1);
    EXPECT_LE(std::abs(drawn.y - (box.height - drawn.height - drawn.y)), 1);

    click(result()->phoneButton());
    EXPECT_EQ(result()->phoneButton()->GetLabel(), L"用手机查看");
    EXPECT_EQ(result()->qrView(), nullptr);
    EXPECT_TRUE(result()->resultBox()->IsShown());

    // A new cast takes a code of the old result away.
    click(result()->phoneButton());
    castNumber(L"5678", 2);
    EXPECT_EQ(result()->qrView(), nullptr);
    EXPECT_EQ(result()->phoneButton()->GetLabel(), L"用手机查看");
}

TEST_F(ResultPanelTest, HelpAndFirstActivation) {
    int helpOpened = 0;
    window->openHelp = [&] {
        ++helpOpened;
        return success();
    };
    click(result()->helpButton());
    EXPECT_EQ(helpOpened, 1);
    // A help that cannot be shown says why, where the window says every other failure.
    window->openHelp = [] { return Status(Error{ErrorSource::System, ENOENT, "no help pages came with the program"}); };
    click(result()->helpButton());
    EXPECT_EQ(window->statusMessage(), L"无法打开帮助:no help pages came with the program");

    // A window opened over an existing store lists it once it is first activated.
    closeAndReopenStore();
    YsModel record;
    record.ysname = L"早先保存的";
    ASSERT_TRUE(store->save(record));
    window = new TarvWin(*store);
    window->showSplash = false;
    window->create();
    wxActivateEvent activate(wxEVT_ACTIVATE, true, window->GetId());
    window->HandleWindowEvent(activate);
    EXPECT_EQ(listed(), std::vector<std::wstring>{L"早先保存的"});
    ASSERT_TRUE(store->remove(record._id));
    window->HandleWindowEvent(activate);  // only the first activation fills the list
    EXPECT_EQ(result()->itemCount(), 1);
}

// The suggestion's last line ("可能出现号" digits) is the key output: whatever height the
// font's cells have, the result box shows the whole text without scrolling.
TEST(ResultBoxTest, TheWholeResultShowsAtEveryCellHeight) {
    Suggestion digits;
    digits.fill(L"0,1,2,3,4");
    const std::wstring text = fillSuggestion(digits);
    for (const int points : {9, 12}) {
        const std::wstring font = concat(L"宋体,", decimalText(points), L",0,0,0,0,0");
        wxFrame frame(nullptr, wxID_ANY, L"t");
        frame.SetFont(fontFromText(font));
        auto* panel = new ResultPanel(&frame);
        // Wide enough that no line wraps: this is about the height.
        panel->SetSize(LayoutContext(panel).extent(text).x + 80, panel->requiredHeight());
        panel->layoutControls();
        panel->setResultText(text);
        pump();
        wxTextCtrl* box = panel->resultBox();
        long lastLine = 0;
        ASSERT_TRUE(box->PositionToXY(box->GetLastPosition(), nullptr, &lastLine));
        const wxPoint last = box->PositionToCoords(box->XYToPosition(0, lastLine - 1));
        ASSERT_NE(last, wxDefaultPosition) << "the last line is not laid out";
        EXPECT_LE(last.y + box->GetCharHeight(), box->GetClientSize().y) << font;
        EXPECT_GE(last.y, 0) << font << ": the box scrolled";
    }
}

}  // namespace
}  // namespace orvenna::gui
