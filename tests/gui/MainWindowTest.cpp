// The main window as a whole: its frame, the layout of its panels, a cast from the button
// to the result text, a replay, and the store closed with the window.
#include <gmock/gmock.h>

#include "LayoutCheck.h"
#include "MainWindowFixture.h"
#include "base/Version.h"
#include "engine/Report.h"
#include "engine/ResultText.h"
#include "engine/Suggestion.h"
#include "gui/FontText.h"
#include "gui/Layout.h"
#include "records/DrawStore.h"
#include "records/YsModel.h"
#include "ui/GuaWin.h"
#include "ui/LineEntryPanel.h"
#include "ui/LinePicture.h"
#include "ui/words/HistoryWords.h"

namespace orvenna::gui {
namespace {

using ::testing::HasSubstr;

TEST_F(MainWindowTest, TheWindowIs1024WideWithItsPanelsSideBySide) {
    EXPECT_EQ(window->GetTitle(), L"Orvenna " + std::wstring(ProgramVersionText) + L"版");
    EXPECT_EQ(window->GetStatusBar()->GetStatusText(0), L"状态:");
    EXPECT_EQ(fontText(window->GetFont()), L"宋体,9,0,0,0,0,0");
    EXPECT_TRUE(window->IsShown());
    // At most 1024 wide outside, and wider only by what the platform's controls add to the
    // casting row beyond the chart.
    const LayoutContext layout(window);
    EXPECT_LE(window->GetSize().x,
              layout.px(1024) + std::max(0, layout.gap() + casting()->widestWidth() - right(analysis())));
    // The content takes exactly the client area, or on a screen too small for it what the
    // work area holds, and scrolls.
    const wxSize content = window->mainPanel()->GetSize(), client = window->GetClientSize();
    const wxSize frame = window->GetSize() - client;
    const wxRect work = workArea(window);
    EXPECT_EQ(client, wxSize(std::min(content.x, work.width - frame.x), std::min(content.y, work.height - frame.y)));
    // A manager that frames the window only once it is shown has had its say by now.
    waitUntil([&] { return work.Contains(frameOnScreen(window)); }, std::chrono::seconds(2));
    expectSoundLayout(window);
    // The chart reaches the content's bottom; whatever the method, the casting row ends left
    // of the result column.
    EXPECT_EQ(bottom(analysis()), content.y);
    for (int method : {1, 2, 3}) {
        chooseMethod(method);
        EXPECT_LE(right(casting()), result()->GetPosition().x) << "method " << method;
        expectChildrenSound(window->mainPanel());
    }
}

// Moved to a screen of another DPI, each window measures again and lays itself out anew,
// as at its start: what was out of place goes back, and the layout stays sound.
TEST_F(MainWindowTest, ADpiChangeLaysEveryWindowOutAgain) {
    auto dpiChanged = [](wxWindow* target) {
        wxDPIChangedEvent event(wxSize(96, 96), wxSize(96, 96));
        event.SetEventObject(target);
        target->HandleWindowEvent(event);
        pump();
    };
    const wxPoint castAt = casting()->castButton()->GetPosition();
    const wxSize client = window->GetClientSize();
    casting()->castButton()->Move(0, 0);
    dpiChanged(window);
    EXPECT_EQ(casting()->castButton()->GetPosition(), castAt);
    EXPECT_EQ(window->GetClientSize(), client);
    expectSoundLayout(window);

    GuaWin dialog(window, casting()->request());
    dialog.Show();
    const wxPoint okAt = dialog.panel()->okButton()->GetPosition();
    dialog.panel()->okButton()->Move(0, 0);
    dpiChanged(&dialog);
    EXPECT_EQ(dialog.panel()->okButton()->GetPosition(), okAt);
    // A manager frames a dialog just shown a moment later, and only then gives it its size.
    waitUntil([&] { return wxRect(dialog.GetClientSize()).Contains(dialog.panel()->GetRect()); },
              std::chrono::seconds(2));
    expectSoundLayout(&dialog);
    dialog.Hide();
}

TEST_F(MainWindowTest, ACastFillsTheGridTheReportAndTheResult) {
    chooseMethod(1);
    typeNumber(L"1234");
    chooseZodiac(7);
    pressCast();

    // 1234 for a 午 querent at noon on 2024-03-31: 火山旅 moving in line 4, changing to 艮为山.
    EXPECT_EQ(analysis()->primaryTitle()->GetLabel(), L"本卦: 离宫 (2) 火山旅 ");
    EXPECT_EQ(analysis()->changedTitle()->GetLabel(), L"变卦 艮宫 (1) 艮为山 ");
    const std::array<std::array<std::wstring, 12>, 6> grid = {{
        {L"玄武", L"兄弟", L"己巳", L"火", L"1", L"", L"", L"官鬼", L"丙寅", L"木", L"1", L"世"},
        {L"白虎", L"子孙", L"己未", L"土", L"0", L"", L"", L"妻财", L"丙子", L"水", L"0", L""},
        {L"腾蛇", L"妻财", L"己酉", L"金", L"1", L"应", L"○", L"兄弟", L"丙戌", L"土", L"0", L""},
        {L"勾陈", L"妻财", L"丙申", L"金", L"1", L"", L"", L"子孙", L"丙申", L"金", L"1", L"应"},
        {L"朱雀", L"兄弟", L"丙午", L"火", L"0", L"", L"", L"父母", L"丙午", L"火", L"0", L""},
        {L"青龙", L"子孙", L"丙辰", L"土", L"0", L"世", L"", L"兄弟", L"丙辰", L"土", L"0", L""},
    }};
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 12; ++column)
            EXPECT_EQ(analysis()->cellText(row, column), grid[row][column]) << row << "," << column;
    EXPECT_EQ(analysis()->columnHeader(0)->GetLabel(), L"六神");
    EXPECT_EQ(analysis()->caption()->GetLabel(), L"-----卦--------基----------数----------分-------析------");

    const wxString report = analysis()->interpretation()->GetValue();
    EXPECT_TRUE(
        report.StartsWith(L"卦解:\n            在2024年3月31日12时日主:甲午,时辰:庚午,属午的卦主测得:\n"
                          L"           (离宫第2卦)火山旅变卦为:(艮宫第1卦)艮为山"));
    EXPECT_THAT(report.ToStdWstring(), HasSubstr(L"卦基数:"));
    EXPECT_THAT(report.ToStdWstring(), HasSubstr(L"爻基数:"));

    const std::wstring text = result()->resultText();
    EXPECT_TRUE(text.starts_with(L"…正式版本"));
    EXPECT_THAT(text, HasSubstr(L"第一位:0,2,3,4,5\r\n"));
    EXPECT_THAT(text, HasSubstr(L"第六位:1,6,7,8,9\r\n"));
    EXPECT_THAT(text, HasSubstr(L"蓝号:\r\n2,3,4,5,6,7,8,10,12\r\n"));
    EXPECT_TRUE(text.ends_with(L"可能出现号(最多6个)\r\n1,3,4,6,7,8\r\n"));
}

TEST_F(MainWindowTest, LinePicturesAreASolidBarOrTwoThirdsWithAGap) {
    const wxSize cell(90, 16);
    const auto yang = LinePicture::bars(L"1", cell);
    ASSERT_EQ(yang.size(), 1u);
    EXPECT_EQ(yang[0].width, 90);
    const auto yin = LinePicture::bars(L"0", cell);
    ASSERT_EQ(yin.size(), 2u);
    EXPECT_EQ(yin[0].x, 0);
    EXPECT_EQ(yin[0].width, 30);
    EXPECT_EQ(yin[1].x, 60);
    EXPECT_EQ(yin[1].GetRight(), 89);
    EXPECT_TRUE(LinePicture::bars(L"", cell).empty());

    chooseMethod(1);
    typeNumber(L"7");
    chooseZodiac(1);
    pressCast();
    const Hexagram& primary = analysis()->analysis().primary;
    for (int row = 0; row < 6; ++row)
        EXPECT_EQ(static_cast<LinePicture*>(analysis()->cell(row, 4))->mark(), primary.lineMarks[5 - row]);
}

TEST_F(MainWindowTest, ChangingAChoiceClearsTheReportAndTheResult) {
    chooseMethod(1);
    typeNumber(L"99");
    chooseZodiac(5);
    pressCast();
    ASSERT_FALSE(result()->resultText().empty());
    ASSERT_FALSE(analysis()->cellText(0, 2).empty());
    chooseZodiac(6);
    EXPECT_TRUE(result()->resultText().empty());
    EXPECT_TRUE(analysis()->interpretation()->GetValue().empty());
    // No chart of the old cast stays beside the new animal.
    EXPECT_TRUE(analysis()->header()->GetLabel().empty());
    EXPECT_TRUE(analysis()->primaryTitle()->GetLabel().empty());
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 12; ++column) EXPECT_EQ(analysis()->cellText(row, column), L"") << row << column;
}

TEST_F(MainWindowTest, AReplayPutsTheSavedInputsBackAndCastsAgain) {
    chooseMethod(3);
    chooseRadio(casting()->timeChoice()->button(1));
    chooseZodiac(9);
    pressCast();
    YsModel saved = YsModel::fromAnalysis(analysis()->record(), L"周五", L"note");
    ASSERT_TRUE(store->save(saved));
    const std::wstring firstResult = result()->resultText();
    const std::wstring firstHeader = analysis()->header()->GetLabel().ToStdWstring();

    click(casting()->resetButton());
    chooseMethod(1);
    typeNumber(L"5");
    setClock(clockAt(2025, 1, 1, 8, 0, 0));  // a replayed time casting keeps its own time
    window->replay(saved._id);

    EXPECT_EQ(casting()->methodChoice()->selection(), 3);
    EXPECT_EQ(casting()->zodiacChoice()->selection(), 9);
    ASSERT_NE(casting()->timeChoice(), nullptr);
    EXPECT_TRUE(casting()->timeChoice()->button(1)->GetValue());
    EXPECT_EQ(casting()->request().replayId, saved._id);
    EXPECT_EQ(status(), L"按卦主生肖与超时空毫秒数测算");
    EXPECT_EQ(analysis()->header()->GetLabel(), firstHeader);
    EXPECT_EQ(result()->resultText(), firstResult);

    // A number casting comes back with its number in the box.
    click(casting()->resetButton());
    chooseMethod(1);
    typeNumber(L"2468");
    chooseZodiac(4);
    pressCast();
    YsModel number = YsModel::fromAnalysis(analysis()->record(), L"n", L"");
    ASSERT_TRUE(store->save(number));
    click(casting()->resetButton());
    window->replay(number._id);
    EXPECT_EQ(casting()->numberBox()->GetValue(), L"2468");
    EXPECT_TRUE(analysis()->header()->GetLabel().StartsWith(L"以数字2468起卦,卦主生肖:卯"));
}

// A replay's score is the cast's as first made. Where the replay shows other digits (a number
// cast again at another day and hour), the status bar names the digits scored; where it shows
// the cast's own (a time casting, or a number cast again within its own hour), the score line
// stands alone.
TEST_F(MainWindowTest, AReplayNamesTheDigitsItsScoreIsFor) {
    chooseMethod(1);
    typeNumber(L"2468");
    chooseZodiac(4);
    pressCast();
    const Suggestion numberDigits = analysis()->result().suggestion;
    YsModel number = YsModel::fromAnalysis(analysis()->record(), L"n", L"");
    ASSERT_TRUE(store->save(number));
    click(casting()->resetButton());
    chooseMethod(3);
    chooseRadio(casting()->timeChoice()->button(1));  // 当前时间
    chooseZodiac(9);
    pressCast();
    YsModel timed = YsModel::fromAnalysis(analysis()->record(), L"t", L"");
    ASSERT_TRUE(store->save(timed));
    // Both casts belong to the draw of their Sunday, 12:00 being before 21:25.
    const Draw drawn{drawDayOf(number.ysday), L"24037", {1, 2, 3, 4, 5, 6}, 7};
    ASSERT_EQ(drawn.day, drawDayOf(timed.ysday));
    ASSERT_TRUE(DrawStore(*store).store({&drawn, 1}, DrawOrigin::Imported, L"2024-04-01 00:00:00"));

    setClock(clockAt(2024, 3, 31, 12, 30, 0));
    window->replay(number._id);
    ASSERT_EQ(analysis()->result().suggestion, numberDigits) << "the same hour casts the same digits";
    EXPECT_THAT(status(), HasSubstr(L"  第24037期 对位命中")) << status();
    EXPECT_THAT(status(), ::testing::Not(HasSubstr(L"按初次起卦"))) << status();

    setClock(clockAt(2025, 1, 1, 8, 0, 0));
    window->replay(number._id);
    ASSERT_NE(analysis()->result().suggestion, numberDigits) << "another day casts other digits";
    EXPECT_THAT(status(),
                HasSubstr(L"  按初次起卦的号码(" + suggestionDigitsText(numberDigits) + L")计:第24037期 对位命中"))
        << status();

    window->replay(timed._id);
    EXPECT_THAT(status(), HasSubstr(L"  第24037期 对位命中")) << status();
    EXPECT_THAT(status(), ::testing::Not(HasSubstr(L"按初次起卦"))) << status();
}

TEST_F(MainWindowTest, AReplayOfAMissingRecordChangesNothing) {
    chooseMethod(1);
    typeNumber(L"31");
    chooseZodiac(2);
    pressCast();
    const std::wstring before = result()->resultText();
    window->replay(4242);
    EXPECT_EQ(status(), L"无法复盘:该记录已不存在");
    window->replay(0);
    EXPECT_EQ(result()->resultText(), before);
    EXPECT_EQ(casting()->request().replayId, 0);
    EXPECT_EQ(casting()->numberBox()->GetValue(), L"31");
}

// A stored row whose method is none of the three, or whose zodiac is none of the twelve: the
// status bar says it cannot be replayed, and the choices, the chart and the result stay as
// they were.
TEST_F(MainWindowTest, AReplayOfAnUnknownMethodOrZodiacOnlySaysSo) {
    chooseMethod(1);
    typeNumber(L"1234");
    chooseZodiac(7);
    pressCast();
    const std::wstring shown = result()->resultText();
    const std::wstring report = analysis()->interpretation()->GetValue().ToStdWstring();
    const wxString header = analysis()->header()->GetLabel();
    const std::wstring topCell = analysis()->cellText(0, 2);
    ASSERT_FALSE(shown.empty());

    const struct {
        int method;
        int zodiac;
        const wchar_t* said;
    } rows[] = {{0, 3, L"无法复盘:未知的起卦方式"},  {4, 3, L"无法复盘:未知的起卦方式"},
                {-1, 3, L"无法复盘:未知的起卦方式"}, {1, 99, L"无法复盘:未知的卦主生肖"},
                {3, 0, L"无法复盘:未知的卦主生肖"},  {2, 13, L"无法复盘:未知的卦主生肖"}};
    for (const auto& [method, zodiac, said] : rows) {
        YsModel foreign;
        foreign.ysname = L"外来";
        foreign.ysindex = method;
        foreign.ysnumber = L"99";
        foreign.gzsxid = zodiac;
        foreign.upstr = L"110";
        foreign.downstr = L"011";
        foreign.ysday = 45000.25;
        foreign.setMovingFlagsText(L"0,0,1,0,0,0");
        ASSERT_TRUE(store->save(foreign));
        window->GetStatusBar()->SetStatusText(L"", 1);
        window->replay(foreign._id);
        EXPECT_EQ(status(), said) << method;
        EXPECT_EQ(casting()->methodChoice()->selection(), 1) << method;
        EXPECT_EQ(casting()->zodiacChoice()->selection(), 7) << method;
        EXPECT_EQ(casting()->numberBox()->GetValue(), L"1234") << method;
        EXPECT_EQ(casting()->request().replayId, 0) << method;
        EXPECT_EQ(analysis()->header()->GetLabel(), header) << method;
        EXPECT_EQ(analysis()->cellText(0, 2), topCell) << method;
        EXPECT_EQ(analysis()->interpretation()->GetValue(), report) << method;
        EXPECT_EQ(result()->resultText(), shown) << method;
    }
}

// The window only borrows the store: whoever opened it closes it (the program does so right
// after its message loop), so a window going away never pulls the store from under its owner.
TEST_F(MainWindowTest, ClosingTheWindowLeavesTheStoreToItsOwner) {
    window->Close(true);
    window = nullptr;
    pump();
    YsModel record;
    record.ysname = L"x";
    EXPECT_TRUE(store->save(record));
}

}  // namespace
}  // namespace orvenna::gui
