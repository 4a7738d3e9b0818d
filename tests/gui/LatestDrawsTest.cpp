// The latest-draws strip: its placeholder and draw layouts, and the refresh that fetches a
// draw from a results page served on 127.0.0.1.
#include <gmock/gmock.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "../LocalHttpServer.h"
#include "../ResultsPage.h"
#include "../SystemSupport.h"
#include "LayoutCheck.h"
#include "MainWindowFixture.h"
#include "base/DayCount.h"
#include "draws/DrawFetcher.h"
#include "gui/FontText.h"
#include "gui/Layout.h"
#include "gui/PictureButton.h"
#include "records/DrawStore.h"
#include "ui/HistoryController.h"
#include "ui/LatestDrawsPanel.h"
#include "ui/words/RefreshWords.h"

namespace orvenna::gui {
namespace {

const wxColour Red(255, 0, 0), Blue(0, 0, 255), Orange(255, 128, 0);

std::wstring labelText(const wxStaticText* label) {
    return label->GetLabel().ToStdWstring();
}

// A draw as the page gives it: the last digit is the extra number.
DrawResult drawOf(const std::wstring& numbers, const std::wstring& date, const std::wstring& period) {
    DrawResult draw;
    draw.mainNumbers = numbers.substr(0, 6);
    draw.extraNumbers = numbers.size() > 6 ? numbers.substr(6) : L"";
    draw.drawDate = date;
    draw.period = period;
    return draw;
}

TEST(LatestDrawsPanelTest, ThePlaceholderSpreadsItsNoticeOverTwoRedRows) {
    wxFrame frame(nullptr, wxID_ANY, L"t");
    frame.SetFont(fontFromText(L"宋体,9,0,0,0,0,0"));
    auto* panel = new LatestDrawsPanel(&frame);
    panel->showNotice(DrawWaitingNotice);
    const auto& texts = panel->textLabels();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(labelText(texts[0]), L"七星彩最新开奖:");
    EXPECT_EQ(labelText(texts[1]), L"开奖最后日期");
    EXPECT_EQ(labelText(texts[2]), L"开奖最后期号");
    EXPECT_EQ(labelText(texts[3]), L"开奖号码:");

    const auto& numbers = panel->numberLabels();
    ASSERT_EQ(numbers.size(), 20u);
    const std::wstring row1 = L"最新开奖数据正在更新", row2 = L"请确认您已连接网络！";
    for (std::size_t k = 0; k < 10; ++k) {
        EXPECT_EQ(labelText(numbers[k]).substr(0, 1), row1.substr(k, 1));
        EXPECT_EQ(labelText(numbers[k + 10]).substr(0, 1), row2.substr(k, 1));
        EXPECT_EQ(numbers[k + 10]->GetPosition().x, numbers[k]->GetPosition().x);
        EXPECT_GT(numbers[k + 10]->GetPosition().y, numbers[k]->GetPosition().y);
        EXPECT_EQ(numbers[k]->GetForegroundColour(), Red);
    }
    EXPECT_EQ(panel->GetSize().y, numbers.back()->GetPosition().y + numbers.back()->GetSize().y + 10);
}

TEST(LatestDrawsPanelTest, SevenDigitsInOrangeAndBlueAndALongerDateMovesTheRest) {
    wxFrame frame(nullptr, wxID_ANY, L"t");
    frame.SetFont(fontFromText(L"宋体,9,0,0,0,0,0"));
    auto* panel = new LatestDrawsPanel(&frame);
    panel->showDraw(drawOf(L"1234567", L"2024-04-02", L"24037"));
    const auto& numbers = panel->numberLabels();
    ASSERT_EQ(numbers.size(), 7u);
    for (int k = 0; k < 7; ++k) {
        EXPECT_EQ(labelText(numbers[k]), std::wstring(1, static_cast<wchar_t>(L'1' + k)));
        EXPECT_EQ(numbers[k]->GetForegroundColour(), k < 6 ? Orange : Blue) << k;
    }
    const int periodLeft = panel->textLabels()[2]->GetPosition().x;
    const int buttonLeft = panel->refreshButton()->GetPosition().x;
    const int width = panel->GetSize().x;
    EXPECT_EQ(buttonLeft, panel->textLabels()[2]->GetRect().GetRight() + 1 + 50);
    EXPECT_EQ(panel->refreshButton()->GetSize(), wxSize(32, 32));

    panel->showDraw(drawOf(L"1234567", L"2024-04-02 星期二 21:25", L"24037"));
    EXPECT_GT(panel->textLabels()[2]->GetPosition().x, periodLeft);
    EXPECT_GT(panel->refreshButton()->GetPosition().x, buttonLeft);
    EXPECT_GT(panel->GetSize().x, width);
    EXPECT_EQ(panel->numberLabels().size(), 7u);  // rebuilt, not added to

    // A short numbers text leaves the missing labels empty.
    panel->showDraw(drawOf(L"12", L"d", L"p"));
    EXPECT_EQ(labelText(panel->numberLabels()[2]), L"");
}

TEST(LatestDrawsPanelTest, TheRefreshButtonShowsItsStateAndReportsPresses) {
    wxFrame frame(nullptr, wxID_ANY, L"t");
    auto* panel = new LatestDrawsPanel(&frame);
    panel->showDraw(drawOf(L"1234567", L"d", L"p"));
    int requests = 0;
    panel->refreshRequested.connect([&] { ++requests; });
    PictureButton* button = panel->refreshButton();
    EXPECT_EQ(button->state(), PictureButton::State::Normal);
    for (auto state : {PictureButton::State::Normal, PictureButton::State::Hover, PictureButton::State::Disabled})
        EXPECT_TRUE(button->picture(state).IsOk());

    wxMouseEvent enter(wxEVT_ENTER_WINDOW);
    button->HandleWindowEvent(enter);
    EXPECT_EQ(button->state(), PictureButton::State::Hover);
    wxMouseEvent down(wxEVT_LEFT_DOWN);
    down.SetPosition(wxPoint(5, 5));
    button->HandleWindowEvent(down);
    EXPECT_EQ(button->state(), PictureButton::State::Pressed);
    wxMouseEvent up(wxEVT_LEFT_UP);
    up.SetPosition(wxPoint(5, 5));
    button->HandleWindowEvent(up);
    EXPECT_EQ(requests, 1);

    button->Disable();
    EXPECT_EQ(button->state(), PictureButton::State::Disabled);
    button->press();
    EXPECT_EQ(requests, 1);
}

std::string servedPage(const std::string& period, const std::string& date) {
    return toGb18030(resultsPage(drawRow(sevenDigits(), period, date)));
}

class DrawRefreshTest : public MainWindowTest {
protected:
    void SetUp() override {
        server.route("/", {.status = 200,
                           .headers = {{"Content-Type", "text/html; charset=gb18030"}},
                           .body = servedPage("24037", "2024-04-02")});
        server.route("/missing", {.status = 404, .body = "not here"});
        MainWindowTest::SetUp();
    }
    // A window whose latest draw comes from `path` on the test server; the network check
    // runs `ping` ("true" or "false", standing in for a host that answers or not).
    void openWith(const std::string& path, const std::string& ping) { openAt(server.url(path), ping); }
    void openAt(const std::string& url, const std::string& ping) {
        const std::string command = stubCommand(ping, home.path());
        reopen([&](TarvWin& next) { next.drawSource = {url, "127.0.0.1", command}; });
    }
    MainPanel* main() const { return window->mainPanel(); }
    LatestDrawsPanel* draws() const { return main()->latestDrawsPanel(); }
    // Presses the refresh button as a timer tick does and waits for the result.
    void refreshAndWait() {
        main()->drawRefresh().timer().Notify();
        ASSERT_TRUE(waitUntil([&] { return !main()->drawRefresh().running(); })) << "the refresh did not end";
    }
    // The strip's notice, read back from its labels without the blanks between characters.
    std::wstring noticeShown() const {
        std::wstring text;
        for (const wxChar c : numbersShown())
            if (c != L' ') text += c;
        return text;
    }
    std::wstring numbersShown() const {
        std::wstring text;
        for (const wxStaticText* label : draws()->numberLabels()) text += labelText(label);
        return text;
    }

    LocalHttpServer server;
};

TEST_F(DrawRefreshTest, TheStripSitsAboveTheCastingPanelWithItsPlaceholder) {
    EXPECT_EQ(draws()->GetPosition(), wxPoint(10, 10));
    EXPECT_EQ(casting()->GetPosition().y, bottom(draws()) + 10);
    EXPECT_EQ(draws()->numberLabels().size(), 20u);
    // Without a page address nothing is asked, the button stays grey, and the strip says why.
    EXPECT_FALSE(main()->drawRefresh().timer().IsRunning());
    EXPECT_EQ(draws()->refreshButton()->state(), PictureButton::State::Disabled);
    EXPECT_EQ(noticeShown(), DrawOffNotice);
}

TEST_F(DrawRefreshTest, ADrawReplacesThePlaceholderAndStopsTheTimer) {
    ORVENNA_SKIP_WITHOUT_GB18030();
    openWith("/", "true");
    EXPECT_TRUE(main()->drawRefresh().timer().IsRunning());
    EXPECT_EQ(main()->drawRefresh().timer().GetInterval(), 3000);
    refreshAndWait();
    EXPECT_EQ(status(), DrawUpdatedText);
    EXPECT_FALSE(main()->drawRefresh().timer().IsRunning());
    EXPECT_EQ(numbersShown(), L"1234567");
    EXPECT_EQ(labelText(draws()->textLabels()[1]), L"2024-04-02");
    EXPECT_EQ(labelText(draws()->textLabels()[2]), L"24037");
    EXPECT_EQ(draws()->refreshButton()->state(), PictureButton::State::Normal);

    // The button runs the whole step again.
    window->GetStatusBar()->SetStatusText(L"", 1);
    server.route("/", {.status = 200, .body = servedPage("24038", "2024-04-05")});
    draws()->refreshButton()->press();
    refreshAndWait();
    EXPECT_EQ(status(), DrawUpdatedText);
    EXPECT_EQ(labelText(draws()->textLabels()[2]), L"24038");

    // Each draw is kept once; a page that later shows another draw for a kept period is said
    // in the status bar, and the kept draw stays.
    draws()->refreshButton()->press();
    refreshAndWait();
    std::string otherBlue = sevenDigits();
    otherBlue.replace(otherBlue.rfind(">7<"), 3, ">9<");
    server.route("/", {.status = 200, .body = toGb18030(resultsPage(drawRow(otherBlue, "24038", "2024-04-05")))});
    draws()->refreshButton()->press();
    refreshAndWait();
    EXPECT_EQ(status(), L"第24038期开奖数据与已存的不一致(123456+7),已保留已存的数据");
    EasyDb db(home.path());
    const Result<std::vector<StoredDraw>> kept = DrawStore(db).list(daysFromCivil(2024, 4, 5));
    ASSERT_TRUE(kept);
    ASSERT_EQ(kept->size(), 2u);
    EXPECT_EQ((*kept)[0].draw, (Draw{daysFromCivil(2024, 4, 2), L"24037", {1, 2, 3, 4, 5, 6}, 7}));
    EXPECT_EQ(drawNumbersText((*kept)[1].draw), L"123456+7");
}

// Many networks drop ping: the page is asked for all the same, and "未连网" is said only when
// it does not come either. The timer goes on, and the placeholder stays.
TEST_F(DrawRefreshTest, WithoutNetworkTheTimerGoesOnAndThePlaceholderStays) {
    openAt("http://127.0.0.1:1/", "false");
    refreshAndWait();
    EXPECT_EQ(status(), L"未连网");
    EXPECT_TRUE(main()->drawRefresh().timer().IsRunning());
    EXPECT_EQ(noticeShown(), L"最新开奖数据正在更新请确认您已连接网络！");

    // The retries say "未连网" once: a message the user is reading stays until they act, and
    // a refresh the user asks for answers again.
    pressCast();
    const std::wstring refused = status();
    ASSERT_NE(refused, L"未连网");
    for (int tick = 0; tick < 3; ++tick) {
        refreshAndWait();
        EXPECT_EQ(status(), refused) << "tick " << tick;
    }
    draws()->refreshButton()->press();
    ASSERT_TRUE(waitUntil([&] { return !main()->drawRefresh().running(); }));
    EXPECT_EQ(status(), L"未连网");

    openAt("http://127.0.0.1:1/", "true");
    refreshAndWait();
    EXPECT_TRUE(status().starts_with(L"无法获取开奖页面:")) << status();
    EXPECT_TRUE(main()->drawRefresh().timer().IsRunning());

    ORVENNA_SKIP_WITHOUT_GB18030();
    openWith("/", "false");
    refreshAndWait();
    EXPECT_EQ(status(), DrawUpdatedText);
    EXPECT_EQ(numbersShown(), L"1234567");
}

// A page that came but does not read in its encoding: the strip stops asking the user to
// check the network and says that the page could not be read; the timer asks again.
TEST_F(DrawRefreshTest, AnUnreadablePageIsSaidInTheStrip) {
    server.route("/garbled", {.status = 200, .body = std::string("\x81\x20\xff\xfe<table>", 9)});
    openWith("/garbled", "true");
    refreshAndWait();
    EXPECT_EQ(status(), L"开奖页面无法读取:the page is not GB18030");
    EXPECT_EQ(noticeShown(), DrawUnreadableNotice);
    EXPECT_TRUE(main()->drawRefresh().timer().IsRunning());

    // A draw on show is kept when a later page does not read.
    ORVENNA_SKIP_WITHOUT_GB18030();
    server.route("/garbled", {.status = 200, .body = servedPage("24037", "2024-04-02")});
    refreshAndWait();
    server.route("/garbled", {.status = 200, .body = std::string("\x81\x20\xff\xfe<table>", 9)});
    draws()->refreshButton()->press();
    refreshAndWait();
    EXPECT_EQ(status(), L"开奖页面无法读取:the page is not GB18030");
    EXPECT_EQ(numbersShown(), L"1234567");
}

// The page's texts never push the refresh button out of the window: they are cut within
// their labels.
TEST_F(DrawRefreshTest, LongTextsFromThePageStayWithinTheirLabels) {
    ORVENNA_SKIP_WITHOUT_GB18030();
    server.route("/", {.status = 200, .body = servedPage(std::string(60, '9'), std::string(80, '2'))});
    openWith("/", "true");
    const int buttonLeft = draws()->refreshButton()->GetPosition().x;
    refreshAndWait();
    EXPECT_EQ(status(), DrawUpdatedText);
    EXPECT_LE(right(draws()->refreshButton()), casting()->GetPosition().x + casting()->GetSize().x + 200);
    EXPECT_LE(right(draws()), result()->GetPosition().x);
    EXPECT_LT(draws()->refreshButton()->GetPosition().x - buttonLeft, 30 * LayoutContext(draws()).cell(L'款').x);
    EXPECT_EQ(labelText(draws()->textLabels()[2]), std::wstring(60, L'9')) << "the label keeps the whole text";
}

// The draws a store of an earlier session holds, the newest (by date, not by the order they
// were stored in) with a blue number of two digits.
class StoredDrawsTest : public DrawRefreshTest {
protected:
    void SetUp() override {
        DrawRefreshTest::SetUp();
        const Draw draws[] = {
            {daysFromCivil(2024, 4, 2), L"24037", {1, 2, 3, 4, 5, 6}, 7},
            {daysFromCivil(2024, 4, 9), L"24040", {9, 8, 7, 6, 5, 4}, 12},
            {daysFromCivil(2024, 4, 5), L"24038", {0, 0, 0, 0, 0, 0}, 0},
        };
        ASSERT_TRUE(DrawStore(*store).store(draws, DrawOrigin::Imported, L"2024-04-10 08:00:00"));
    }
    void expectStoredDraw(const wchar_t* period, const wchar_t* date, const wchar_t* numbers) {
        EXPECT_EQ(labelText(draws()->textLabels()[2]), std::wstring(period) + L"(已存)");
        EXPECT_EQ(labelText(draws()->textLabels()[1]), date);
        EXPECT_EQ(numbersShown(), numbers);
        ASSERT_EQ(draws()->numberLabels().size(), 7u);
        EXPECT_EQ(draws()->numberLabels()[6]->GetForegroundColour(), Blue);
    }
};

// Without a results page the strip shows the newest stored draw, marked as stored, and the
// newest again once an import brought a newer one.
TEST_F(StoredDrawsTest, WithoutAPageTheStripShowsTheNewestStoredDraw) {
    openAt("", "true");
    expectStoredDraw(L"24040", L"2024-04-09", L"98765412");
    EXPECT_EQ(labelText(draws()->numberLabels()[6]), L"12");
    EXPECT_EQ(draws()->refreshButton()->state(), PictureButton::State::Disabled);
    EXPECT_FALSE(main()->drawRefresh().timer().IsRunning());

    const std::filesystem::path file = home.path() / "draws.csv";
    std::ofstream(file, std::ios::binary) << "24041,2024-04-12,5555555\n";
    ASSERT_TRUE(window->history().importDraws(file));
    ASSERT_TRUE(waitUntil([&] { return !window->history().importing(); }));
    expectStoredDraw(L"24041", L"2024-04-12", L"5555555");
    EXPECT_EQ(draws()->refreshButton()->state(), PictureButton::State::Disabled);
    expectChildrenSound(draws());
}

// Without the network, or with a page that fails, the strip shows the stored draw instead of
// asking to check the network or saying that the page did not read; the timer asks on, and a
// draw from the page takes the strip over.
TEST_F(StoredDrawsTest, WithoutTheNetworkTheStripShowsTheNewestStoredDraw) {
    openAt("http://127.0.0.1:1/", "false");  // nothing listens on port 1
    EXPECT_EQ(noticeShown(), DrawWaitingNotice) << "the stored draw came before the page's first answer";
    refreshAndWait();
    EXPECT_EQ(status(), L"未连网");
    expectStoredDraw(L"24040", L"2024-04-09", L"98765412");
    EXPECT_TRUE(main()->drawRefresh().timer().IsRunning());
    EXPECT_EQ(draws()->refreshButton()->state(), PictureButton::State::Normal);

    server.route("/failing", {.status = 500, .body = "server error"});
    openWith("/failing", "true");
    refreshAndWait();
    EXPECT_THAT(status(), ::testing::HasSubstr(L"500")) << status();
    expectStoredDraw(L"24040", L"2024-04-09", L"98765412");

    openWith("/missing", "true");
    refreshAndWait();
    EXPECT_EQ(status(), L"开奖页面无法读取:response 404");
    expectStoredDraw(L"24040", L"2024-04-09", L"98765412");

    ORVENNA_SKIP_WITHOUT_GB18030();
    openWith("/", "true");
    int changes = 0;
    window->history().storeChanged.connect([&] { ++changes; });
    refreshAndWait();
    EXPECT_EQ(status(), DrawUpdatedText);
    EXPECT_EQ(labelText(draws()->textLabels()[2]), L"24037");
    EXPECT_EQ(numbersShown(), L"1234567");
    EXPECT_EQ(changes, 1) << "the kept draw was not said to change the store";
}

// A page cut short gives no draw: nothing shown, no success, and the timer asks again.
TEST_F(DrawRefreshTest, APageCutShortShowsNothingAndIsAskedForAgain) {
    const std::string page = servedPage("24037", "2024-04-02");
    server.route("/cut",
                 {.status = 200, .headers = {{"Content-Length", std::to_string(page.size() + 500)}}, .body = page});
    openWith("/cut", "true");
    refreshAndWait();
    EXPECT_NE(status(), DrawUpdatedText);
    EXPECT_TRUE(main()->drawRefresh().timer().IsRunning());
    EXPECT_EQ(draws()->numberLabels().size(), 20u) << "the placeholder stays";
}

TEST_F(DrawRefreshTest, AMissingPageStopsTheTimerButShowsNoSuccess) {
    openWith("/missing", "true");
    refreshAndWait();
    EXPECT_FALSE(main()->drawRefresh().timer().IsRunning());
    EXPECT_EQ(status(), L"开奖页面无法读取:response 404");
    EXPECT_EQ(noticeShown(), DrawUnreadableNotice);
}

}  // namespace
}  // namespace orvenna::gui
