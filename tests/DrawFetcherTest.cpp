// Reading the latest draw from a results page served on 127.0.0.1: the table rules, the
// page's code page, failed requests, and the network check.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "LocalHttpServer.h"
#include "ResultsPage.h"
#include "SystemSupport.h"
#include "TempDirectory.h"
#include "draws/DrawFetcher.h"
#include "draws/RefreshOutcome.h"
#include "draws/TableDraw.h"

namespace orvenna {
namespace {

TEST(TableDrawTest, SixYellowAndOneOtherGiveTheSevenDigits) {
    const DrawResult draw = parseSevenStarDraw(resultsPage(drawRow(sevenDigits())));
    EXPECT_EQ(draw.lotteryName, L"七星彩");
    EXPECT_EQ(draw.period, L"24037");
    EXPECT_EQ(draw.drawDate, L"2024-04-02");
    EXPECT_EQ(draw.mainNumbers, L"123456");
    EXPECT_EQ(draw.extraNumbers, L"7");
    EXPECT_EQ(draw.status, DrawParsed);
    EXPECT_TRUE(draw.errorText.empty());
    EXPECT_TRUE(draw.usable());
    EXPECT_EQ(tableCellSelector(2, 6), ".kjtable > tbody:nth-child(2) > tr:nth-child(6) > td");
}

TEST(TableDrawTest, OnlyTheExactMainClassIsMain) {
    const DrawResult draw = parseSevenStarDraw(
        resultsPage(drawRow("<span class=\"yellow\">1</span><span class=\"yellow \">2</span><span>3</span>"
                            "<span class=\"Yellow\">4</span><span class=\"yellow\">5</span>")));
    EXPECT_EQ(draw.mainNumbers, L"15");
    EXPECT_EQ(draw.extraNumbers, L"234");
}

TEST(TableDrawTest, AShortRowReadsCellZeroForMissingCells) {
    const DrawResult draw =
        parseSevenStarDraw(resultsPage("<tr><td>七星彩<span class=\"yellow\">9</span></td><td>x</td></tr>"));
    EXPECT_EQ(draw.period, L"七星彩");  // cell 2 is missing: cell 0's own text
    EXPECT_EQ(draw.drawDate, L"七星彩");
    EXPECT_EQ(draw.mainNumbers, L"9");
    EXPECT_EQ(draw.status, DrawParsed);

    const DrawResult none = parseSevenStarDraw("<html><body><p>维护中</p></body></html>");
    EXPECT_EQ(none.status, DrawParsed);
    EXPECT_TRUE(none.period.empty());
    EXPECT_FALSE(none.usable());
    EXPECT_FALSE(parseSevenStarDraw("").usable());
}

// The page's text, or nothing where fetchPage gives an error.
std::string pageOrNothing(const std::string& url) {
    const Result<std::string> page = fetchPage(url);
    return page ? page.value() : std::string();
}

class DrawFetchTest : public ::testing::Test {
protected:
    LocalHttpServer server;
};

TEST_F(DrawFetchTest, AGb18030PageIsFetchedAndRead) {
    ORVENNA_SKIP_WITHOUT_GB18030();
    server.route("/", {.status = 200, .body = toGb18030(resultsPage(drawRow(sevenDigits())))});
    server.route("/moved", {.status = 302, .headers = {{"Location", "/"}}});
    for (const char* path : {"/", "/moved"}) {
        const DrawResult draw = parseSevenStarDraw(pageOrNothing(server.url(path)));
        EXPECT_EQ(draw.mainNumbers + draw.extraNumbers, L"1234567") << path;
        EXPECT_EQ(draw.drawDate, L"2024-04-02");
    }
    EXPECT_EQ(server.requests("/"), 2);
}

TEST_F(DrawFetchTest, AnythingButAReadableOkPageGivesNothing) {
    ORVENNA_SKIP_WITHOUT_GB18030();
    server.route("/missing", {.status = 404, .body = toGb18030(resultsPage(drawRow(sevenDigits())))});
    server.route("/garbled", {.status = 200, .body = std::string("\x81\x20\xff\xfe<table>", 9)});
    EXPECT_EQ(pageOrNothing(server.url("/missing")), "");
    EXPECT_EQ(pageOrNothing(server.url("/garbled")), "");
    EXPECT_EQ(pageOrNothing("http://127.0.0.1:1/"), "");  // nobody listens
}

// A page with the draw's row near its top, cut short by the server, timed out or over the size
// cap, is no page: no draw, and the timer asks again.
TEST_F(DrawFetchTest, ATransferCutShortGivesNoDrawEvenWhenTheRowArrived) {
    const std::string page = toGb18030(resultsPage(drawRow(sevenDigits())));
    server.route("/cut",
                 {.status = 200, .headers = {{"Content-Length", std::to_string(page.size() + 5000)}}, .body = page});
    server.route("/hangs", {.status = 200,
                            .headers = {{"Content-Length", std::to_string(page.size() + 5000)}},
                            .body = page + std::string(5000, ' '),
                            .stallAfterBytes = page.size()});
    const Result<std::string> cut = fetchPage(server.url("/cut"));
    ASSERT_FALSE(cut);
    EXPECT_NE(cut.error().message, "");
    EXPECT_EQ(pageOrNothing(server.url("/cut")), "");

    const RefreshOutcome refreshed = refreshOnce({server.url("/cut"), "", "ping"});
    EXPECT_EQ(refreshed.state, RefreshState::NotFetched);
    EXPECT_NE(refreshed.draw.status, DrawParsed);
    EXPECT_FALSE(refreshed.draw.usable());

    std::atomic<bool> cancel{false};
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        cancel = true;
    });
    EXPECT_NE(refreshOnce({server.url("/hangs"), "", "ping"}, &cancel).draw.status, DrawParsed);
    stopper.join();
}

TEST_F(DrawFetchTest, ATwoMegabytePageIsReadWhole) {
    ORVENNA_SKIP_WITHOUT_GB18030();
    std::string padding;
    while (padding.size() < 2'000'000) padding += "<div class=\"news\"><a href=\"/n\">开奖公告与新闻</a></div>\n";
    server.route("/", {.status = 200, .body = toGb18030(resultsPage(drawRow(sevenDigits()), padding))});
    const std::string text = pageOrNothing(server.url("/"));
    EXPECT_GT(text.size(), 2'000'000u);
    EXPECT_TRUE(parseSevenStarDraw(text).usable());
}

TEST_F(DrawFetchTest, TheNetworkCheckPingsOnlyTheConfiguredHost) {
    // Commands that answer at once, and one that hangs.
    TempDirectory dir;
    const std::string succeeds = stubCommand("true", dir.path()), fails = stubCommand("false", dir.path()),
                      hangs = stubCommand("sleep", dir.path());

    EXPECT_TRUE(checkNetwork({"", "127.0.0.1", "ping"}));
    EXPECT_TRUE(checkNetwork({"", "", fails})) << "no host: nothing to check";
    EXPECT_FALSE(checkNetwork({"", "127.0.0.1", fails}));
    EXPECT_FALSE(checkNetwork({"", "127.0.0.1", "/nonexistent/ping"}));

    // A check that hangs ends when it is cancelled.
    std::atomic<bool> cancel{false};
    std::thread stopper([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        cancel = true;
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(checkNetwork({"", "127.0.0.1", hangs}, &cancel));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
    stopper.join();
}

// The page is fetched first: a network that drops ping still gets its draw, and the ping only
// tells a network that is down from a site that does not answer. A page that came but does
// not read in its declared encoding is said to be unreadable.
TEST_F(DrawFetchTest, EveryRefreshSaysWhatItCameTo) {
    const bool gb18030 = systemReadsGb18030();
    TempDirectory dir;
    const std::string answers = stubCommand("true", dir.path()), silent = stubCommand("false", dir.path());
    const std::string utf8Page = resultsPage(drawRow(sevenDigits()));
    server.route("/", {.status = 200, .body = gb18030 ? toGb18030(utf8Page) : ""});
    server.route("/utf8",
                 {.status = 200, .headers = {{"Content-Type", "text/html; Charset=\"UTF-8\""}}, .body = utf8Page});
    server.route("/garbled", {.status = 200, .body = std::string("\x81\x20\xff\xfe<table>", 9)});
    // 七 in GB18030, which is no UTF-8.
    server.route("/mislabelled",
                 {.status = 200, .headers = {{"Content-Type", "text/html; charset=utf-8"}}, .body = "\xc6\xdf<p>"});
    server.route("/missing", {.status = 404, .body = "not here"});
    server.route("/empty", {.status = 200,
                            .headers = {{"Content-Type", "text/html; charset=utf-8"}},
                            .body = "<html><body>closed</body></html>"});
    const struct {
        std::string url;
        std::string ping;
        RefreshState state;
    } cases[] = {
        // Where the system reads no GB18030 (Wine), the UTF-8 page stands in for the site's.
        {server.url(gb18030 ? "/" : "/utf8"), silent, RefreshState::Drawn},
        {server.url("/utf8"), silent, RefreshState::Drawn},
        {"http://127.0.0.1:1/", silent, RefreshState::Offline},
        {"http://127.0.0.1:1/", answers, RefreshState::NotFetched},
        {server.url("/garbled"), answers, RefreshState::Unreadable},
        {server.url("/mislabelled"), answers, RefreshState::Unreadable},
        {server.url("/missing"), answers, RefreshState::NoDraw},
        {server.url("/empty"), answers, RefreshState::NoDraw},
    };
    for (const auto& [url, ping, state] : cases) {
        const RefreshOutcome outcome = refreshOnce({url, "127.0.0.1", ping});
        EXPECT_EQ(outcome.state, state) << url;
        EXPECT_EQ(outcome.draw.usable(), state == RefreshState::Drawn) << url;
        EXPECT_EQ(outcome.reason.empty(), state == RefreshState::Drawn) << url << ": " << outcome.reason;
    }
}

// The timer asks again while the page may still come, and not after a draw or a page without one.
TEST(RefreshOutcomeTest, OnlyADrawOrAPageWithoutOneEndsTheAsking) {
    const struct {
        RefreshState state;
        bool asksAgain;
    } rows[] = {
        {RefreshState::Offline, true}, {RefreshState::NotFetched, true}, {RefreshState::Unreadable, true},
        {RefreshState::NoDraw, false}, {RefreshState::Drawn, false},
    };
    for (const auto& row : rows) EXPECT_EQ(refreshAsksAgain(row.state), row.asksAgain) << static_cast<int>(row.state);
}

}  // namespace
}  // namespace orvenna
