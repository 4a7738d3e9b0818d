// The casting row as the user meets it: validation messages in the status bar, the input
// control that follows the method, reset, and the time the dispatch casts for.
#include <cmath>

#include <wx/clipbrd.h>

#include <wx/window.h>

#include "LayoutCheck.h"
#include "MainWindowFixture.h"
#include "base/Text.h"
#include "engine/Calendar.h"
#include "gui/Layout.h"

namespace orvenna::gui {
namespace {

using CastingPanelTest = MainWindowTest;

// The contrast ratio of two colours as WCAG defines it, from 1 (alike) to 21.
double contrast(const wxColour& a, const wxColour& b) {
    const auto luminance = [](const wxColour& c) {
        const auto linear = [](unsigned char channel) {
            const double v = channel / 255.0;
            return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.Red()) + 0.7152 * linear(c.Green()) + 0.0722 * linear(c.Blue());
    };
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// 演算 says in the status bar what its check found (checkRequest's table has every case):
// what is missing, or how the request casts, before the chart shows.
TEST_F(CastingPanelTest, WhatTheCheckFindsReachesTheStatusBar) {
    pressCast();
    EXPECT_EQ(status(), L"未选择推算条件");
    chooseMethod(3);
    casting()->timeChoice()->cleared.raise();
    chooseZodiac(2);
    pressCast();
    EXPECT_EQ(status(), L"未选择推演时间");

    chooseMethod(1);
    typeNumber(L"123");
    chooseZodiac(7);
    pressCast();
    EXPECT_EQ(status(), L"按卦主生肖与数字测算");
    EXPECT_EQ(analysis()->header()->GetLabel().ToStdWstring(), L"以数字123起卦,卦主生肖:午,日主:甲午,时辰:庚午");
}

TEST_F(CastingPanelTest, AMissingNumberPutsTheCursorInTheBox) {
    chooseMethod(1);
    window->Raise();
    casting()->castButton()->SetFocus();
    pressCast();
    EXPECT_EQ(wxWindow::FindFocus(), casting()->numberBox());
}

TEST_F(CastingPanelTest, AFailedValidationComputesNothingAndKeepsTheInput) {
    chooseMethod(1);
    typeNumber(L"4321");
    pressCast();
    EXPECT_EQ(status(), L"未选择卦主生肖");
    EXPECT_TRUE(analysis()->header()->GetLabel().empty());
    EXPECT_TRUE(result()->resultText().empty());
    EXPECT_EQ(casting()->request().numberText, L"4321");
    EXPECT_EQ(casting()->numberBox()->GetValue(), L"4321");
}

TEST_F(CastingPanelTest, TheMethodDecidesTheInputControlAndWhereTheRestGoes) {
    EXPECT_EQ(casting()->inputControl(), nullptr);
    chooseMethod(1);
    ASSERT_NE(casting()->numberBox(), nullptr);
    // An eight-digit number shows whole.
    EXPECT_GE(casting()->numberBox()->GetSize().x,
              casting()->numberBox()->GetSizeFromTextSize(LayoutContext(casting()).extent(L"20261207").x).x);
    chooseMethod(2);
    ASSERT_NE(casting()->lineEntryButton(), nullptr);
    EXPECT_EQ(casting()->lineEntryButton()->GetLabel(), L"点击自己装卦");
    chooseMethod(3);
    ASSERT_NE(casting()->timeChoice(), nullptr);
    EXPECT_EQ(casting()->timeChoice()->button(1)->GetLabel(), L"当前时间");
    EXPECT_EQ(casting()->timeChoice()->button(2)->GetLabel(), L"开奖时间");
    EXPECT_TRUE(casting()->timeChoice()->button(2)->GetValue());
    EXPECT_EQ(casting()->request().drawTimeChoice, DrawTime);

    // In every state the row reads in its order, nothing overlaps and everything fits.
    for (int index : {1, 2, 3}) {
        SCOPED_TRACE(index);
        chooseMethod(index);
        const wxWindow* row[] = {casting()->methodChoice(), casting()->inputControl(), casting()->zodiacChoice(),
                                 casting()->castButton(), casting()->resetButton()};
        for (std::size_t i = 1; i < std::size(row); ++i) EXPECT_LE(right(row[i - 1]), row[i]->GetPosition().x);
        expectChildrenSound(casting());
    }

    // Choosing "选择起卦方式" moves nothing and keeps the control.
    chooseMethod(3);
    wxWindow* control = casting()->inputControl();
    const wxPoint castAt = casting()->castButton()->GetPosition();
    chooseMethod(0);
    EXPECT_EQ(casting()->inputControl(), control);
    EXPECT_EQ(casting()->castButton()->GetPosition(), castAt);

    // The disclaimer is grey, and still readable on the panel.
    EXPECT_GE(contrast(casting()->disclaimer()->GetForegroundColour(), casting()->GetBackgroundColour()), 3.0);
}

TEST_F(CastingPanelTest, ANumberTypedBeforeSwitchingMethodsIsStillCast) {
    chooseMethod(1);
    typeNumber(L"123");
    chooseMethod(2);
    chooseMethod(1);
    EXPECT_TRUE(casting()->numberBox()->GetValue().empty());
    EXPECT_EQ(casting()->request().numberText, L"123");
    chooseZodiac(7);
    pressCast();
    EXPECT_EQ(status(), L"按卦主生肖与数字测算");
    EXPECT_TRUE(analysis()->header()->GetLabel().StartsWith(L"以数字123起卦"));
}

TEST_F(CastingPanelTest, ResetForgetsTheChoicesAndTheInputControl) {
    const wxPoint zodiacAtStart = casting()->zodiacChoice()->GetPosition();
    chooseMethod(1);
    typeNumber(L"88");
    chooseZodiac(3);
    pressCast();
    ASSERT_FALSE(result()->resultText().empty());

    click(casting()->resetButton());
    EXPECT_EQ(casting()->methodChoice()->selection(), 0);
    EXPECT_EQ(casting()->zodiacChoice()->selection(), 0);
    // The row is as it started: no input, the zodiac where it first stood.
    EXPECT_EQ(casting()->inputControl(), nullptr);
    EXPECT_EQ(casting()->zodiacChoice()->GetPosition(), zodiacAtStart);
    EXPECT_EQ(casting()->request().method, -1);
    EXPECT_EQ(casting()->request().zodiac, -1);
    EXPECT_TRUE(casting()->request().numberText.empty());
    EXPECT_TRUE(result()->resultText().empty());
    EXPECT_TRUE(analysis()->interpretation()->GetValue().empty());
    pressCast();
    EXPECT_EQ(status(), L"未选择推算条件");
}

// Typed (a key event a character, as an input method commits its text) or pasted: the box
// keeps digits and minus signs, full-width ones as ASCII, and names in the status bar what it
// refused.
TEST_F(CastingPanelTest, TheNumberBoxKeepsDigitsAndMinusAndNamesWhatItRefuses) {
    chooseMethod(1);
    NumberBox* box = casting()->numberBox();
    box->SetFocus();  // where the user types
    pump();
    const std::wstring refused = L"推算数字只能输入数字和负号,未输入";
    struct Case {
        std::wstring_view input;
        bool pasted;
        std::wstring kept;
        std::wstring said;  // empty: the status bar is left as it was
    };
    const Case cases[] = {
        {L"１２３", false, L"123", L""},
        {L"－５", false, L"-5", L""},
        {L"12a-3 x.4", false, L"12-34", refused + L"「.」"},
        {L"五", false, L"", refused + L"「五」"},
        {L"12ab３4 5", true, L"12345", refused + L"「a」「b」「空格」"},
        {L"abc 12-3.4五\n", true, L"12-34", refused + L"「a」「b」「c」「空格」「.」…"},
        {L"－１", true, L"-1", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(toUtf8(std::wstring(c.input)));
        box->SetValue(L"");
        window->GetStatusBar()->SetStatusText(L"", 1);
        if (c.pasted) {
            ASSERT_TRUE(wxTheClipboard->Open());
            wxTheClipboard->SetData(new wxTextDataObject(wxString(c.input.data(), c.input.size())));
            wxTheClipboard->Close();
            wxClipboardTextEvent paste(wxEVT_TEXT_PASTE, box->GetId());
            paste.SetEventObject(box);
            box->HandleWindowEvent(paste);
        } else {
            typeInto(box, c.input);
        }
        EXPECT_EQ(box->GetValue().ToStdWstring(), c.kept);
        EXPECT_EQ(casting()->request().numberText, c.kept);
        EXPECT_EQ(status(), c.said);
    }
}

// Only a whole number casts ("-" alone and inner signs are refused with a word), and one too
// long for the chart's header is shortened in its middle, so that the hour still shows.
TEST_F(CastingPanelTest, OnlyAWholeNumberCastsAndALongOneIsShortenedInTheHeader) {
    chooseMethod(1);
    chooseZodiac(7);
    casting()->numberBox()->SetValue(L"1-2-3");
    pressCast();
    EXPECT_EQ(status(), NotANumberMessage);
    EXPECT_TRUE(analysis()->header()->GetLabel().empty());

    const std::wstring longNumber(40, L'7');
    casting()->numberBox()->SetValue(longNumber);
    pressCast();
    wxStaticText* header = analysis()->header();
    const std::wstring full = L"以数字" + longNumber + L"起卦,卦主生肖:午,日主:甲午,时辰:庚午";
    EXPECT_TRUE(header->GetLabel().EndsWith(L"起卦,卦主生肖:午,日主:甲午,时辰:庚午")) << header->GetLabel();
    EXPECT_LE(LayoutContext(header).extent(header->GetLabel()).x, header->GetSize().x);
    EXPECT_EQ(header->GetToolTipText().ToStdWstring(), full);
}

TEST_F(CastingPanelTest, TimeCastingOnATuesdayNightAimsAtFridaysDraw) {
    setClock(clockAt(2024, 4, 2, 22, 0, 17, 345));  // a Tuesday
    chooseMethod(3);
    chooseZodiac(1);
    pressCast();
    const DateTimeFields drawTime = fieldsFromDayCount(casting()->request().castTime);
    EXPECT_EQ(drawTime.weekday, 6);  // Friday
    EXPECT_EQ(drawTime.day, 5);
    EXPECT_EQ(drawTime.hour, 21);
    EXPECT_EQ(drawTime.minute, 25);
    EXPECT_EQ(drawTime.second, 17);
    // The number is that moment in Unix milliseconds plus the milliseconds of now.
    EXPECT_EQ(casting()->request().numberText, decimalText(unixMillis(casting()->request().castTime, -480) + 345));
    EXPECT_TRUE(analysis()->header()->GetLabel().StartsWith(L"以超时空毫秒起卦,卦主生肖:子"));

    chooseRadio(casting()->timeChoice()->button(1));
    EXPECT_EQ(casting()->request().drawTimeChoice, CurrentTime);
    pressCast();
    EXPECT_EQ(casting()->request().numberText, decimalText(clockAt(2024, 4, 2, 22, 0, 17, 345).unixNowMillis));
}

}  // namespace
}  // namespace orvenna::gui
