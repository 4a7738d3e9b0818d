// Driving real controls the way a user's input reaches them: each helper sends the
// control's own event, then lets the loop run.
#pragma once

#include <chrono>
#include <string>
#include <thread>

#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#endif
#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/choice.h>
#include <wx/listctrl.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/testing.h>
#include <wx/textctrl.h>
#include <wx/uiaction.h>

#include "../TempDirectory.h"
#include "base/DayCount.h"
#include "engine/CastDispatch.h"

namespace orvenna::gui {

// Lets pending events, idle handlers and paints run.
inline void pump() {
    for (int i = 0; i < 3; ++i) {
        wxTheApp->ProcessPendingEvents();
        wxTheApp->Yield(true);
        wxTheApp->ProcessIdle();  // idle time is when destroyed windows are deleted
    }
}

// Lets the loop run until `done` holds (work of another thread arriving as queued calls);
// false when it does not within `limit`.
template <class Done>
bool waitUntil(Done done, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        pump();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    pump();
    return true;
}

// A press as the user makes it: only a button that is shown and enabled can be pressed; a
// test that presses any other has gone wrong.
inline void click(wxButton* button) {
    if (!button->IsShown() || !button->IsEnabled()) {
        ADD_FAILURE() << "pressed \"" << button->GetLabel().utf8_str() << "\", which is "
                      << (button->IsShown() ? "disabled" : "hidden");
        return;
    }
    wxCommandEvent event(wxEVT_BUTTON, button->GetId());
    event.SetEventObject(button);
    button->HandleWindowEvent(event);
    pump();
}

// A click on a list item's tick box: the item becomes the selected one and its tick flips.
inline void tick(wxCheckListBox* list, int index) {
    list->SetSelection(index);
    wxCommandEvent selected(wxEVT_LISTBOX, list->GetId());
    selected.SetEventObject(list);
    selected.SetInt(index);
    list->HandleWindowEvent(selected);
    list->Check(static_cast<unsigned>(index), !list->IsChecked(static_cast<unsigned>(index)));
    wxCommandEvent ticked(wxEVT_CHECKLISTBOX, list->GetId());
    ticked.SetEventObject(list);
    ticked.SetInt(index);
    list->HandleWindowEvent(ticked);
    pump();
}

inline void choose(wxChoice* list, int index) {
    list->SetSelection(index);
    wxCommandEvent event(wxEVT_CHOICE, list->GetId());
    event.SetEventObject(list);
    event.SetInt(index);
    event.SetString(list->GetString(index));
    list->HandleWindowEvent(event);
    pump();
}

inline void chooseRadio(wxRadioButton* button) {
    button->SetValue(true);
    wxCommandEvent event(wxEVT_RADIOBUTTON, button->GetId());
    event.SetEventObject(button);
    event.SetInt(1);
    button->HandleWindowEvent(event);
    pump();
}

// Types `text` into a box as the user would, character by character: a character the box
// refuses is not inserted. Returns the characters the box took.
inline std::wstring typeInto(wxTextCtrl* box, std::wstring_view text) {
    std::wstring taken;
    for (wchar_t c : text) {
        wxKeyEvent event(wxEVT_CHAR);
        event.m_keyCode = c < 128 ? static_cast<int>(c) : static_cast<int>(WXK_NONE);
        event.m_uniChar = c;
        event.SetEventObject(box);
        if (!box->HandleWindowEvent(event)) {
            box->WriteText(wxString(c));
            taken += c;
        }
    }
    pump();
    return taken;
}

// Real input, as a user's hand gives it: through the system's own input queue (the X test
// extension on Linux, SendInput on Windows), to whatever window is really under the pointer
// or has the keyboard focus.
inline void realClick(const wxWindow* control) {
    wxUIActionSimulator input;
    const wxRect rect = control->GetScreenRect();
    input.MouseMove(rect.x + rect.width / 2, rect.y + rect.height / 2);
    pump();
    input.MouseClick();
#ifdef _WIN32
    // A click brings its window to the front on a Windows desktop, where the shell does it;
    // Wine without a window manager does not, and keys go to the front window only.
    SetForegroundWindow(GetAncestor(static_cast<HWND>(control->GetHandle()), GA_ROOT));
#endif
    waitUntil([] { return false; }, std::chrono::milliseconds(150));
}

// A real click on the header of `column` of a report list: the strip above the first row, in
// the middle of the column; then past the double-click time, so that the next click on the
// same header is a click of its own.
inline void clickHeader(const wxListCtrl* list, int column) {
    wxRect first;
    if (!list->GetItemRect(0, first)) return;
    int x = list->GetColumnWidth(column) / 2;
    for (int i = 0; i < column; ++i) x += list->GetColumnWidth(i);
    const wxPoint at = list->ClientToScreen(wxPoint(x, std::max(first.y / 2, 1)));
    wxUIActionSimulator input;
    input.MouseMove(at);
    pump();
    input.MouseClick();
    waitUntil([] { return false; }, std::chrono::milliseconds(700));
}

inline void realKeys(std::initializer_list<int> keys, int modifiers = wxMOD_NONE) {
    wxUIActionSimulator input;
    for (int key : keys) {
        input.Char(key, modifiers);
        pump();
    }
    waitUntil([] { return false; }, std::chrono::milliseconds(100));
}

inline void realType(const char* text) {
    wxUIActionSimulator input;
    input.Text(text);
    waitUntil([] { return false; }, std::chrono::milliseconds(100));
}

// Opens the drop-down list with a click and walks to item `index` with the arrow keys, then
// Enter; true when the list shows that item.
inline bool realChoose(wxChoice* list, int index) {
    realClick(list);
    const int steps = index - list->GetSelection();
    for (int i = 0; i < std::abs(steps); ++i) realKeys({steps > 0 ? WXK_DOWN : WXK_UP});
    realKeys({WXK_RETURN});
    return waitUntil([&] { return list->GetSelection() == index; }, std::chrono::seconds(2));
}

// A fixed clock for the casting dispatch: local wall-clock time with China's bias.
inline CastClock clockAt(int year, int month, int day, int hour, int minute, int second, int millisecond = 0) {
    DateTimeFields f;
    f.year = year, f.month = month, f.day = day, f.hour = hour, f.minute = minute, f.second = second;
    f.millisecond = millisecond;
    const double local = dayCountFromFields(f);
    const int bias = -480;
    const auto unix = static_cast<std::int64_t>((local - UnixEpochDay) * MillisPerDay + 0.5) + bias * 60'000LL;
    return {local, unix, bias};
}

// Answers the next message box, checking its caption and text.
class ExpectMessage : public wxExpectModalBase<wxMessageDialog, ExpectMessage> {
public:
    ExpectMessage(std::wstring caption, std::wstring text, int answer = wxID_OK)
        : caption_(std::move(caption)), text_(std::move(text)), answer_(answer) {}

protected:
    int OnInvoked(wxMessageDialog* box) const override {
        EXPECT_EQ(box->GetCaption().ToStdWstring(), caption_);
        EXPECT_EQ(box->GetMessage().ToStdWstring(), text_);
        return answer_;
    }

private:
    std::wstring caption_;
    std::wstring text_;
    int answer_;
};

}  // namespace orvenna::gui
