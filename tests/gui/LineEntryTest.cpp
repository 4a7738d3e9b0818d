// The manual casting dialog: what it reports for unset lines and times, the codes and
// flags it hands back, and the cast it leads to.
#include "LayoutCheck.h"
#include "MainWindowFixture.h"
#include "ui/GuaWin.h"
#include "ui/LineEntryPanel.h"

namespace orvenna::gui {
namespace {

DateTimeFields at(int hour, int minute, int second) {
    DateTimeFields now;
    now.year = 2026, now.month = 12, now.day = 7, now.hour = hour, now.minute = minute, now.second = second;
    return now;
}

class LineEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        dialog = new GuaWin(nullptr, request, at(21, 5, 9));
        dialog->Show();
        pump();
    }
    void TearDown() override {
        dialog->Destroy();
        pump();
    }

    LineEntryPanel* panel() const { return dialog->panel(); }
    // Lines bottom to top as item indexes (1 阳爻, 2 阴爻, 3 阳动, 4 阴动; 0 unset).
    void setLines(std::initializer_list<int> items) {
        int line = 1;
        for (int item : items) choose(panel()->lineChoice(line++), item);
    }

    CastRequest request;
    GuaWin* dialog = nullptr;
};

TEST_F(LineEntryTest, OpensWithUnsetLinesAndTheCurrentTime) {
    for (int line = 1; line <= 6; ++line) {
        EXPECT_EQ(panel()->lineChoice(line)->GetSelection(), 0);
        EXPECT_EQ(panel()->lineChoice(line)->GetString(0), L"选择爻相");
    }
    EXPECT_EQ(panel()->lineChoice(1)->GetString(4), L"阴动——×");
    const wchar_t* shown[6] = {L"2026年", L"12月", L"7日", L"21时", L"5分", L"9秒"};
    for (int part = 0; part < 6; ++part)
        EXPECT_EQ(panel()->timeChoice(part)->GetStringSelection(), shown[part]) << part;
    EXPECT_EQ(panel()->timeChoice(3)->GetString(0), L"小时");
    EXPECT_EQ(panel()->timeChoice(5)->GetString(0), L"秒钟");
}

TEST_F(LineEntryTest, TheHourIsFoundByItsBeginningFromTheTop) {
    GuaWin early(nullptr, request, at(1, 2, 3));
    EXPECT_EQ(early.panel()->timeChoice(3)->GetStringSelection(), L"1时");
    EXPECT_EQ(early.panel()->timeChoice(4)->GetStringSelection(), L"2分");
    EXPECT_EQ(early.panel()->timeChoice(5)->GetStringSelection(), L"3秒");
}

TEST_F(LineEntryTest, TheLowestUnsetLineIsNamedAndTheDialogStays) {
    setLines({1, 2, 0, 1, 0, 1});
    wxTEST_DIALOG(click(panel()->okButton()), ExpectMessage(L"信息:", L"在第:3爻没有设定!"));
    EXPECT_TRUE(dialog->IsShown());
    EXPECT_TRUE(request.upperCode.empty());
    EXPECT_EQ(panel()->lineChoice(4)->GetSelection(), 1);
}

TEST_F(LineEntryTest, AnUnsetTimePartIsNamed) {
    setLines({1, 2, 3, 4, 1, 2});
    choose(panel()->timeChoice(4), 0);
    wxTEST_DIALOG(click(panel()->okButton()), ExpectMessage(L"信息:", L"时间的分钟未设定"));
    choose(panel()->timeChoice(4), 6);
    choose(panel()->timeChoice(5), 0);
    wxTEST_DIALOG(click(panel()->okButton()), ExpectMessage(L"信息:", L"时间的秒种未设定"));
    EXPECT_TRUE(request.movingFlags.empty());
}

TEST_F(LineEntryTest, ConfirmedLinesBecomeCodesFlagsAndTime) {
    setLines({1, 4, 3, 2, 1, 2});        // 阳爻, 阴动, 阳动, 阴爻, 阳爻, 阴爻
    choose(panel()->timeChoice(4), 60);  // the last minute, "59分"
    click(panel()->okButton());
    EXPECT_EQ(request.lowerCode, L"101");
    EXPECT_EQ(request.upperCode, L"010");
    EXPECT_EQ(request.movingFlags, (std::vector<int>{0, -1, 1, 0, 0, 0}));
    const DateTimeFields cast = fieldsFromDayCount(request.castTime);
    EXPECT_EQ(cast.year, 2026);
    EXPECT_EQ(cast.day, 7);
    EXPECT_EQ(cast.hour, 21);
    EXPECT_EQ(cast.minute, 59);
    EXPECT_EQ(cast.second, 9);
    EXPECT_EQ(cast.millisecond, 0);
    EXPECT_EQ(dialog->GetReturnCode(), wxID_OK);
}

TEST_F(LineEntryTest, CancelWritesNothing) {
    request.upperCode = L"111";
    setLines({1, 1, 1, 1, 1, 1});
    click(panel()->cancelButton());
    EXPECT_EQ(request.upperCode, L"111");
    EXPECT_TRUE(request.lowerCode.empty());
    EXPECT_EQ(dialog->GetReturnCode(), wxID_CANCEL);
}

TEST_F(LineEntryTest, NothingInTheDialogIsClippedOrOverlapping) {
    const int margin = LayoutContext(dialog).gap();
    EXPECT_EQ(panel()->GetPosition(), wxPoint(margin, margin));
    expectSoundLayout(dialog);
}

using ManualCastingTest = MainWindowTest;

// The whole way: the button opens the dialog, its lines reach the request, the cast runs.
TEST_F(ManualCastingTest, TheDialogsLinesAreCast) {
    chooseMethod(2);
    class EnterLines : public wxExpectModalBase<GuaWin, EnterLines> {
    protected:
        int OnInvoked(GuaWin* dialog) const override {
            int line = 1;
            for (int item : {1, 4, 3, 2, 1, 2}) choose(dialog->panel()->lineChoice(line++), item);
            click(dialog->panel()->okButton());
            return dialog->GetReturnCode();
        }
    };
    wxTEST_DIALOG(click(casting()->lineEntryButton()), EnterLines());
    EXPECT_EQ(casting()->request().lowerCode, L"101");
    EXPECT_EQ(casting()->request().upperCode, L"010");
    chooseZodiac(12);
    pressCast();
    EXPECT_EQ(status(), L"按卦主生肖与自己装载线下卦测算");
    EXPECT_TRUE(analysis()->header()->GetLabel().StartsWith(L"以自己装卦,卦主生肖:亥"));
    // 阴动 on line 2 and 阳动 on line 3: × and ○ in rows 5 and 4.
    EXPECT_EQ(analysis()->cellText(4, 6), L"×");
    EXPECT_EQ(analysis()->cellText(3, 6), L"○");
    EXPECT_FALSE(result()->resultText().empty());
}

TEST_F(ManualCastingTest, ACancelledDialogLeavesNothingToCast) {
    chooseMethod(2);
    class Cancel : public wxExpectModalBase<GuaWin, Cancel> {
    protected:
        int OnInvoked(GuaWin* dialog) const override {
            click(dialog->panel()->cancelButton());
            return dialog->GetReturnCode();
        }
    };
    wxTEST_DIALOG(click(casting()->lineEntryButton()), Cancel());
    chooseZodiac(1);
    pressCast();
    EXPECT_EQ(status(), L"未装好线下卦");
}

}  // namespace
}  // namespace orvenna::gui
