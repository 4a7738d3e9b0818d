// The window layer's own rules: the interface font, the display scale, and placement that
// never squeezes a native control below its best size.
#include <cstdio>
#include <cstdlib>
#include <string>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/dialog.h>
#include <wx/frame.h>
#include <wx/settings.h>
#include <wx/stattext.h>

#include "GuiTest.h"
#include "ScreenStack.h"
#include "gui/BackgroundTask.h"
#include "gui/Event.h"
#include "gui/FontText.h"
#include "gui/Layout.h"
#include "gui/WindowFront.h"

namespace orvenna::gui {
namespace {

TEST(FontTextTest, TheInterfaceFontAndTheDefault) {
    EXPECT_EQ(interfaceFontText(), L"宋体,9,0,0,0,0,0");
    const wxFont songti = fontFromText(interfaceFontText());
    EXPECT_EQ(songti.GetPointSize(), 9);
    EXPECT_EQ(songti.GetFaceName(), L"宋体");
    EXPECT_EQ(fontText(songti), L"宋体,9,0,0,0,0,0");

    const wxFont system = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    EXPECT_EQ(fontFromText(L""), system);
    EXPECT_EQ(fontFromText(L"宋体,0,0,0,0,0,0"), system);
    EXPECT_EQ(fontFromText(L",9"), system);
    EXPECT_TRUE(fontFromText(L"宋体,12,700,1,0,0,0").IsOk());
    EXPECT_EQ(fontFromText(L"宋体,12,700,1,0,0,0").GetWeight(), wxFONTWEIGHT_BOLD);

    // A CJK character of the interface font has a real cell, about square.
    wxFrame frame(nullptr, wxID_ANY, L"t");
    frame.SetFont(songti);
    const wxSize cell = LayoutContext(&frame).cell(L'数');
    EXPECT_GT(cell.x, 6);
    EXPECT_GT(cell.y, 6);
    EXPECT_LT(std::abs(cell.x - cell.y), cell.y);
}

#ifndef _WIN32
// "宋体" is a Windows face: on Linux the program's fontconfig rule names the one face that
// stands in for it, so that every start and every machine lays the window out alike.
TEST(FontTextTest, SongTiIsTheSameFaceOnEveryStart) {
    ASSERT_NE(std::getenv("FONTCONFIG_FILE"), nullptr) << "the program's fonts.conf is not in use";
    for (const char* face : {"宋体", "SimSun"}) {
        const std::string command = std::string("fc-match -f '%{family[0]}' '") + face + "'";
        FILE* pipe = popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        char family[128] = {};
        const std::size_t read = std::fread(family, 1, sizeof family - 1, pipe);
        pclose(pipe);
        EXPECT_EQ(std::string(family, read), "AR PL UMing CN") << face;
    }
}
#endif

TEST(LayoutTest, ControlsAreNeverSmallerThanTheirBestSize) {
    wxFrame frame(nullptr, wxID_ANY, L"t");
    auto* list = new wxChoice(&frame, wxID_ANY);
    list->Append(L"选择起卦方式");
    const wxRect got = place(list, 5, 6, 20, 4);
    EXPECT_EQ(got.GetTopLeft(), wxPoint(5, 6));
    EXPECT_GE(got.height, list->GetBestSize().y);
    EXPECT_GE(got.width, list->GetBestSize().x);
    EXPECT_EQ(list->GetSize(), got.GetSize());

    auto* label = new wxStaticText(&frame, wxID_ANY, L"很长很长很长很长的说明");
    const wxRect clipped = place(label, 0, 40, 30, 2, Floor::BestHeight);
    EXPECT_EQ(clipped.width, 30);
    EXPECT_GE(clipped.height, label->GetBestSize().y);
    EXPECT_EQ(place(label, 0, 40, 30, 2, Floor::Exact).height, 2);

    // -1 keeps the current width or height.
    place(label, 0, 0, 50, 20, Floor::Exact);
    EXPECT_EQ(place(label, 1, 1, -1, 25, Floor::Exact).GetSize(), wxSize(50, 25));
    EXPECT_EQ(sizeAroundChildren(&frame, 10, 10, 10).x, std::max(right(list), right(label)) + 10);
}

TEST(EventTest, HandlersRunInTheOrderTheyWereConnected) {
    Event<int, const std::wstring&> event;
    std::wstring trace;
    event.raise(1, L"nobody listens");
    event.connect([&](int n, const std::wstring& text) { trace += L"a" + std::to_wstring(n) + text; });
    event.connect([&](int n, const std::wstring&) {
        trace += L"b" + std::to_wstring(n);
        // A handler connecting another one does not make this raise call it.
        event.connect([&](int, const std::wstring&) { trace += L"c"; });
    });
    event.raise(2, L"x");
    EXPECT_EQ(trace, L"a2xb2");
}

// A result already queued for the window's thread when the task is cancelled is not handed
// over, neither at once nor after the next run has started.
TEST(BackgroundTaskTest, AResultQueuedBeforeCancelIsDropped) {
    struct Owner : wxEvtHandler {
        bool queued() {
            wxCriticalSectionLocker lock(m_pendingEventsLock);
            return m_pendingEvents && !m_pendingEvents->IsEmpty();
        }
    } owner;
    BackgroundTask<int> task(owner);
    std::vector<int> delivered;
    ASSERT_TRUE(task.start([](const std::atomic<bool>&) { return 1; },
                           [&](const int& result) { delivered.push_back(result); }));
    // Waited for without running the loop, which would hand the result over.
    for (int waited = 0; !owner.queued() && waited < 20000; ++waited)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_TRUE(owner.queued());
    task.cancel();
    std::atomic<bool> release{false};
    ASSERT_TRUE(task.start(
        [&](const std::atomic<bool>&) {
            while (!release) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return 2;
        },
        [&](const int& result) { delivered.push_back(result); }));
    pump();
    EXPECT_TRUE(delivered.empty());
    release = true;
    ASSERT_TRUE(waitUntil([&] { return !task.busy(); }));
    EXPECT_EQ(delivered, std::vector<int>{2});
}

// A window brought to the front brings the dialog it has open with it, in front of it: the
// dialog is where the user's input goes (a second start with 自己装卦 open).
TEST(WindowFrontTest, AWindowComesToTheFrontWithItsDialog) {
    wxFrame owner(nullptr, wxID_ANY, L"前面的窗口", wxPoint(40, 40), wxSize(500, 400));
    owner.Show();
    wxDialog dialog(&owner, wxID_ANY, L"前面的对话框", wxPoint(80, 80), wxSize(300, 200));
    dialog.Show();
    wxFrame cover(nullptr, wxID_ANY, L"挡住它们", wxPoint(0, 0), wxSize(700, 600));
    cover.Show();
    bringToFront(&cover);
    const auto inFront = [](const char* title) { return stackPlace(title) > stackPlace("挡住它们"); };
    ASSERT_TRUE(waitUntil([&] { return !inFront("前面的窗口") && !inFront("前面的对话框"); }, std::chrono::seconds(5)))
        << "the cover would not go in front";
    bringToFront(&owner);
    EXPECT_TRUE(waitUntil([&] { return inFront("前面的窗口") && inFront("前面的对话框"); }, std::chrono::seconds(5)));
    EXPECT_TRUE(
        waitUntil([&] { return stackPlace("前面的对话框") > stackPlace("前面的窗口"); }, std::chrono::seconds(5)))
        << "the dialog stayed behind its window";
}

}  // namespace
}  // namespace orvenna::gui
