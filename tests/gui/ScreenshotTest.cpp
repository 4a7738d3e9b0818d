// Every window as the user sees it: the layout check, then a picture taken from the screen of
// the test's display. With ORVENNA_SCREENSHOTS set the pictures are written there (the
// README's pictures). The same tests run on a bare X server, under a window manager, at
// twice the scale, and under Wine at each DPI (tests/desktops_test.sh).
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include "LayoutCheck.h"
#include "MainWindowFixture.h"
#include "PastCasts.h"
#include "base/DayCount.h"
#include "engine/DrawScore.h"
#include "gui/LabeledEdit.h"
#include "records/StoredReview.h"
#include "records/YsModel.h"
#include "ui/ChartWin.h"
#include "ui/GuaWin.h"
#include "ui/LineEntryPanel.h"
#include "ui/LoadWin.h"
#include "ui/QrView.h"
#include "ui/ReviewWin.h"
#include "update/window/UpdateWin.h"

namespace orvenna::gui {
namespace {

// The pixels of `area` as the screen shows them. On X11 they are read from the server by
// ImageMagick's import: GTK's screen context gives every picture after the first from a
// stale copy of the screen.
wxImage screenArea(wxRect area, double scale) {
#ifdef __WXGTK__
    // GTK gives logical pixels; the screen has device pixels (GDK_SCALE).
    area = wxRect(wxRound(area.x * scale), wxRound(area.y * scale), wxRound(area.width * scale),
                  wxRound(area.height * scale));
    const TempDirectory folder;
    const std::filesystem::path file = folder.path() / "screen.png";
    const std::string command = "import -window root -crop " + std::to_string(area.width) + "x" +
                                std::to_string(area.height) + "+" + std::to_string(area.x) + "+" +
                                std::to_string(area.y) + " +repage '" + file.string() + "'";
    if (std::system(command.c_str()) != 0) return {};
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    return wxImage(wxString(file.string()), wxBITMAP_TYPE_PNG);
#else
    wxBitmap bitmap(area.width, area.height, 24);
    {
        wxMemoryDC memory(bitmap);
        wxScreenDC screen;
        memory.Blit(0, 0, area.width, area.height, &screen, area.x, area.y);
    }
    return bitmap.ConvertToImage();
#endif
}

// Lets the window be painted and the screen catch up.
void settle(int rounds = 20) {
    for (int i = 0; i < rounds; ++i) {
        pump();
        wxMilliSleep(15);
    }
}

// Checks the window's layout, then copies its area of the screen; the picture must show more
// than one colour.
void saveWindow(wxWindow* window, const std::filesystem::path& file) {
    window->Raise();
    // A window just shown is mapped, framed and painted by the X server a moment later; the
    // screen may still show the last test's window there until then.
    window->Update();
    settle(40);
    expectSoundLayout(window);
    // The frame, caption and borders included, as the user sees it (nothing more on a bare
    // X server, where no window manager draws them).
    const wxRect area = window->GetScreenRect();
    const wxImage image = screenArea(area, window->GetContentScaleFactor());
    ASSERT_TRUE(image.IsOk());
    const unsigned char* pixel = image.GetData();
    bool varied = false;
    for (int i = 3; i < image.GetWidth() * image.GetHeight() * 3 && !varied; i += 3)
        varied = pixel[i] != pixel[0] || pixel[i + 1] != pixel[1] || pixel[i + 2] != pixel[2];
    EXPECT_TRUE(varied) << "the picture of the window is blank";
    if (!wxImage::FindHandler(wxBITMAP_TYPE_PNG)) wxImage::AddHandler(new wxPNGHandler);
    ASSERT_TRUE(image.SaveFile(wxString(file.string()), wxBITMAP_TYPE_PNG));
}

// The screen's pixels of every caption inside `window`.
void captionPixels(wxWindow* window, std::vector<std::pair<wxString, wxImage>>& pictures) {
    for (wxWindow* child : window->GetChildren()) {
        if (auto* caption = dynamic_cast<wxStaticText*>(child); caption && caption->IsShown())
            pictures.emplace_back(caption->GetLabel(),
                                  screenArea(caption->GetScreenRect(), caption->GetContentScaleFactor()));
        captionPixels(child, pictures);
    }
}

std::filesystem::path pictureFolder(const TempDirectory& fallback) {
    const char* wanted = std::getenv("ORVENNA_SCREENSHOTS");
    return wanted && *wanted ? std::filesystem::path(wanted) : fallback.path();
}

using ScreenshotTest = MainWindowTest;

TEST_F(ScreenshotTest, MainWindowAfterACast) {
    DrawResult draw;
    draw.mainNumbers = L"286913";
    draw.extraNumbers = L"4";
    draw.drawDate = L"2026-12-06";
    draw.period = L"26140";
    window->mainPanel()->latestDrawsPanel()->showDraw(draw);
    castByHand("20261207", 7);
    EXPECT_EQ(casting()->request().numberText, L"20261207");
    saveWindow(window, pictureFolder(home) / "main-window.png");
}

// 排盘详情 of a cast with moving lines: the header, a row a line and the three buttons.
TEST_F(ScreenshotTest, ChartDetail) {
    castByHand("20261207", 7);
    window->mainPanel()->openChart();
    ChartWin* chart = window->mainPanel()->chartWin();
    ASSERT_NE(chart, nullptr);
    ASSERT_TRUE(waitUntil([&] { return chart->IsShown(); }));
    saveWindow(chart, pictureFolder(home) / "chart-detail.png");
    chart->Close();
}

// A method chosen with the mouse replaces the input control beside it: nothing it leaves may
// stay painted over a caption. Each caption as the screen shows it is compared with the same
// caption once the whole window has been painted afresh.
TEST_F(ScreenshotTest, ChoosingAMethodLeavesNoStrayPaint) {
    window->Raise();
    for (int method : {NumberCasting, LineCasting, TimeCasting, NumberCasting}) {
        ASSERT_TRUE(realChoose(casting()->methodChoice()->list(), method));
        settle();
        std::vector<std::pair<wxString, wxImage>> shown, fresh;
        captionPixels(casting(), shown);
        window->Refresh();
        window->Update();
        settle();
        captionPixels(casting(), fresh);
        ASSERT_EQ(shown.size(), fresh.size());
        for (std::size_t i = 0; i < shown.size(); ++i) {
            const wxImage& before = shown[i].second;
            const wxImage& after = fresh[i].second;
            ASSERT_TRUE(before.IsOk() && after.IsOk());
            const std::size_t bytes = static_cast<std::size_t>(before.GetWidth()) * before.GetHeight() * 3;
            EXPECT_TRUE(before.GetSize() == after.GetSize() &&
                        std::memcmp(before.GetData(), after.GetData(), bytes) == 0)
                << "method " << method << ": \"" << shown[i].first.utf8_str() << "\" was painted over";
        }
    }
}

TEST_F(ScreenshotTest, ManualCastingDialog) {
    DateTimeFields now;
    now.year = 2026, now.month = 12, now.day = 7, now.hour = 21, now.minute = 5, now.second = 9;
    GuaWin dialog(window, casting()->request(), now);
    dialog.Move(40, 40);
    dialog.Show();
    int line = 1;
    for (int item : {1, 4, 3, 2, 1, 0}) choose(dialog.panel()->lineChoice(line++), item);
    saveWindow(&dialog, pictureFolder(home) / "manual-dialog.png");
    dialog.Hide();
}

TEST_F(ScreenshotTest, HistoryAndQrCode) {
    chooseMethod(2);
    casting()->request().upperCode = L"010";
    casting()->request().lowerCode = L"101";
    casting()->request().movingFlags = {0, -1, 1, 0, 0, 0};
    casting()->request().castTime = clockAt(2026, 12, 4, 21, 25, 0).localNow;
    chooseZodiac(5);
    pressCast();
    for (const wchar_t* title : {L"周二晚", L"周五开奖前", L"线下摇卦"}) {
        YsModel record = YsModel::fromAnalysis(analysis()->record(), title, L"");
        ASSERT_TRUE(store->save(record));
    }
    ASSERT_TRUE(store->fillList(result()->history()));
    result()->noteEdit()->setText(L"三枚铜钱，心诚则灵");
    click(result()->phoneButton());
    ASSERT_NE(result()->qrView(), nullptr);
    saveWindow(window, pictureFolder(home) / "qr-code.png");
}

TEST_F(ScreenshotTest, UpdateWindow) {
    auto* update = new UpdateWin(window);
    UpdateOffer offer;
    offer.productName = L"Orvenna";
    offer.currentVersion = L"V1.0.0";
    offer.verns = L"V1.1.0";
    offer.day = L"2026-12-20";
    offer.size = 1572864;
    offer.installerPath = home.path() / "setup.exe";
    offer.md5 = L"0123456789ABCDEF0123456789ABCDEF";
    offer.body = L"\n1. 手动装卦对话框记住上次的时间\n2. 二维码更清晰\n3. 修正了若干问题";
    offer.address = "http://127.0.0.1:1/setup.exe";
    update->showUpdate(window->GetFont(), std::move(offer));
    saveWindow(update, pictureFolder(home) / "update-window.png");
    update->Destroy();
}

// 往期对照 over casts made across a month of draws, some drawn, one still to come.
TEST_F(ScreenshotTest, PastCasts) {
    auto* win = new ReviewWin(window, reviewOf(pastCasts(6)));
    win->Show();
    EXPECT_EQ(win->list()->GetItemCount(), 6);
    saveWindow(win, pictureFolder(home) / "past-casts.png");
    win->Destroy();
}

TEST_F(ScreenshotTest, Splash) {
    LoadWin splash(window);
    splash.Show();
    saveWindow(&splash, pictureFolder(home) / "splash.png");
    splash.Hide();
}

}  // namespace
}  // namespace orvenna::gui
