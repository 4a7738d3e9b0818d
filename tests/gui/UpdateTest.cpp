// The update as the user meets it, against an update server on 127.0.0.1: when a check
// starts, which indexes open the window, and the download, fingerprint and install steps.
#include <cctype>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>

#ifndef _WIN32
#include <sys/mount.h>
#endif

#include "../LocalHttpServer.h"
#include "../SystemSupport.h"
#include "../TestSigner.h"
#include "MainWindowFixture.h"
#include "base/DayCount.h"
#include "base/Text.h"
#include "base/Version.h"
#include "codec/Fingerprint.h"
#include "gui/FontText.h"
#include "gui/Layout.h"
#include "system/Clock.h"
#include "system/Settings.h"
#include "update/Installer.h"
#include "update/OfferDecision.h"
#include "update/UpdateDay.h"
#include "update/window/UpdateWin.h"

namespace orvenna::gui {
namespace {

std::string encodeAddress(const std::string& ascii) {
    static constexpr char Digits[] = "0123456789ABCDEF";
    std::string hex;
    for (unsigned char c : ascii) hex += {Digits[c >> 4], Digits[c & 15], '0', '0'};
    return hex;
}

// A signature's text inside a JSON string: its line breaks, and quotes and backslashes of a
// comment.
std::string jsonEscaped(const std::string& text) {
    std::string escaped;
    for (const char c : text) {
        if (c == '\n') {
            escaped += "\\n";
        } else {
            if (c == '"' || c == '\\') escaped += '\\';
            escaped += c;
        }
    }
    return escaped;
}

std::wstring todayText() {
    const DateTimeFields now = fieldsFromDayCount(localNow());
    return updateDayText(now.year, now.month, now.day);
}

class UpdateTest : public MainWindowTest {
protected:
    void SetUp() override {
#ifdef _WIN32
        // The installer: a small program of this build (tests/TestProgram.cpp) that writes
        // installed.txt beside itself.
        std::ifstream program(builtProgram(ORVENNA_TEST_PROGRAM), std::ios::binary);
        installer.assign(std::istreambuf_iterator<char>(program), std::istreambuf_iterator<char>());
        ASSERT_FALSE(installer.empty());
#else
        installer = "#!/bin/sh\necho installed > \"" + (home.path() / "installed.txt").string() + "\"\n";
#endif
        md5 = *md5Hex(writeTemp(installer));
        server.route("/setup.exe", {.status = 200, .body = installer});
        // The trusted key beside the program, as an installed copy has it.
        publisher.writePublicKey(home.path() / "update-key.pub");
        MainWindowTest::SetUp();
    }
    std::filesystem::path writeTemp(const std::string& content) {
        const auto file = home.path() / "probe.bin";
        std::ofstream(file, std::ios::binary) << content;
        return file;
    }
    // Serves the index of these members and its signature, the publisher's for the index's
    // "ver" on this platform.
    void publish(const std::string& members) {
        const std::string json = "{" + members + "}";
        const std::size_t ver = members.find("\"ver\": ");
        const std::string number =
            ver == std::string::npos ? "0" : members.substr(ver + 7, members.find(',', ver) - ver - 7);
        server.route("/update/tarv/index.json", {.status = 200, .body = json});
        server.route("/update/tarv/index.json.minisig",
                     {.status = 200,
                      .body = publisher.sign(
                          json, "product=orvenna platform=" + std::string(UpdatePlatform) + " ver=" + number)});
    }
    // An index of `ver` for the installer at `path`, signed by the publisher for `ver`
    // unless `signature` is given ("" leaves "sig" out).
    std::string members(int ver, const std::string& fingerprint, const std::string& path = "/setup.exe",
                        std::optional<std::string> signature = std::nullopt, std::int64_t size = -1,
                        const std::string& address = "") {
        if (!signature) signature = publisher.sign(installer, "orvenna ver=" + std::to_string(ver));
        return "\"name\": \"Orvenna\", \"ver\": " + std::to_string(ver) +
               ", \"verns\": \"V1.1.0\", \"day\": \"2026-12-01\", \"url\": \"" +
               encodeAddress(address.empty() ? server.url(path) : address) + "\", \"md5\": \"" + fingerprint +
               "\", \"body\": \"修正了若干问题\", \"size\": " +
               std::to_string(size < 0 ? static_cast<std::int64_t>(installer.size()) : size) +
               (signature->empty() ? "" : ", \"sig\": \"" + jsonEscaped(*signature) + "\"");
    }
    // A main window of this test's program directory asking this test's server.
    void openWindow() {
        reopen([&](TarvWin& next) {
            next.updateUrl = server.url("");
            next.programDir = home.path();
            next.updateKeyFile = home.path() / "update-key.pub";
        });
    }
    // Runs the check as the timer's tick does and waits for its answer.
    void check() {
        window->checkForUpdate();
        ASSERT_TRUE(waitUntil([&] { return !window->checkingForUpdate(); }));
    }
    std::wstring setting(Setting key) {
        return readSetting(settingsFileIn(home.path()), settingName(key), L"(none)");
    }
    UpdatePanel* panel() {
        return window->updateWindow()->panel();
    }
    void download() {
        bool ended = false;
        panel()->downloadEnded.connect([&] { ended = true; });
        click(panel()->mainButton());
        ASSERT_TRUE(waitUntil([&] { return ended; }));
    }
    std::filesystem::path installerPath() const {
        return home.path() / (md5 + ".exe");
    }
    // Presses 立即安装: the check runs beside the window's thread, the window stays responsive
    // with both buttons disabled, and the result comes when it has ended.
    void install() {
        bool ended = false;
        panel()->checkEnded.connect([&] { ended = true; });
        pressWithoutWaiting(panel()->mainButton());
        EXPECT_EQ(panel()->statusLabel()->GetLabel(), L"正在检查下载的文件…");
        EXPECT_FALSE(panel()->mainButton()->IsEnabled());
        EXPECT_FALSE(panel()->laterButton()->IsEnabled());
        ASSERT_TRUE(waitUntil([&] { return ended; }));
    }
    // A press whose handler returns before any queued work is let run.
    static void pressWithoutWaiting(wxButton* button) {
        ASSERT_TRUE(button->IsEnabled());
        wxCommandEvent event(wxEVT_BUTTON, button->GetId());
        event.SetEventObject(button);
        button->HandleWindowEvent(event);
    }

    LocalHttpServer server;
    TestSigner publisher;
    std::string installer;
    std::string md5;
};

TEST_F(UpdateTest, TheCheckStartsFiveSecondsAfterShowUnlessOfferedToday) {
    openWindow();
    EXPECT_TRUE(window->updateTimer().IsRunning());
    EXPECT_TRUE(window->updateTimer().IsOneShot());
    EXPECT_EQ(window->updateTimer().GetInterval(), 5000);

    ASSERT_TRUE(writeSetting(settingsFileIn(home.path()), Setting::UpdateDay, L"2020年1月1日"));
    openWindow();
    EXPECT_TRUE(window->updateTimer().IsRunning());

    ASSERT_TRUE(writeSetting(settingsFileIn(home.path()), Setting::UpdateDay, todayText()));
    openWindow();
    EXPECT_FALSE(window->updateTimer().IsRunning());
    EXPECT_EQ(server.requests("/update/tarv/index.json"), 0);
}

TEST_F(UpdateTest, OnlyAValidIndexOfANewerBuildOpensTheWindow) {
    const std::string noName = members(2, md5).substr(std::string("\"name\": \"Orvenna\", ").size());
    const std::string badUrl =
        "\"name\": 1, \"ver\": 2, \"verns\": \"\", \"day\": \"d\", \"url\": \"68007400\", \"md5\": \"" + md5 +
        "\", \"body\": \"\"";
    // Only the trusted key's signature for this very "ver", an installer over https (http on
    // this machine only) and a size to cap its download make an offer.
    const std::string unsigned_ = members(2, md5, "/setup.exe", "");
    const std::string otherVersion = members(2, md5, "/setup.exe", publisher.sign(installer, "orvenna ver=3"));
    const std::string remoteHttp = members(2, md5, "", std::nullopt, -1, "http://update.example/setup.exe");
    const std::string noSize = members(2, md5, "/setup.exe", std::nullopt, 0);
    // One check a run: each index is asked for by a window of its own.
    const std::string refused[] = {members(1, md5), noName, members(2, "../evil"), badUrl, unsigned_, otherVersion,
                                   remoteHttp,      noSize};
    for (const std::string& index : refused) {
        publish(index);
        openWindow();
        const std::wstring before = window->statusMessage();
        check();
        EXPECT_EQ(window->updateWindow(), nullptr) << index;
        EXPECT_EQ(setting(Setting::UpdateDay), L"(none)");
        EXPECT_EQ(setting(Setting::UpdateFile), L"(none)");
        // Why is said, but for a build that is simply not newer.
        const std::wstring said = window->statusMessage();
        if (&index == &refused[0])
            EXPECT_EQ(said, before) << "an older build is no news";
        else if (&index == &refused[6])
            EXPECT_EQ(said, InsecureUpdateAddressText);
        else
            EXPECT_TRUE(said.starts_with(L"更新信息未通过验证,已忽略:")) << index;
    }
    EXPECT_EQ(server.requests("/update/tarv/index.json"), 8);

    // An index without its own signature offers nothing, whatever it holds, and says so.
    publish(members(2, md5));
    server.route("/update/tarv/index.json.minisig", {.status = 404, .body = "not here"});
    openWindow();
    check();
    EXPECT_EQ(window->updateWindow(), nullptr);
    EXPECT_EQ(window->statusMessage(), L"更新信息未通过验证,已忽略:the index is not signed (no index.json.minisig)");

    // An update server on plain http beyond this machine is not even asked.
    reopen([&](TarvWin& next) {
        next.updateUrl = "http://update.example";
        next.programDir = home.path();
    });
    window->checkForUpdate();
    EXPECT_FALSE(window->checkingForUpdate());
    EXPECT_EQ(window->statusMessage(), InsecureUpdateAddressText);

    // A whole index whose connection is cut after it: the answer is incomplete, so no offer.
    const std::string whole = "{" + members(2, md5) + "}";
    server.route("/update/tarv/index.json",
                 {.status = 200, .headers = {{"Content-Length", std::to_string(whole.size() + 100)}}, .body = whole});
    openWindow();
    check();
    EXPECT_EQ(window->updateWindow(), nullptr);
    EXPECT_EQ(setting(Setting::UpdateFile), L"(none)");

    publish(members(2, md5, "/setup.exe", std::nullopt, 1572864));
    openWindow();
    check();
    ASSERT_NE(window->updateWindow(), nullptr);
    EXPECT_EQ(window->updateWindow()->GetTitle(), L"发现新版本");
    EXPECT_EQ(setting(Setting::UpdateDay), todayText());
    EXPECT_EQ(setting(Setting::UpdateFile), fromUtf8(md5) + L".exe");
    EXPECT_EQ(panel()->label(0)->GetLabel(), L"软件名称:Orvenna");
    EXPECT_EQ(panel()->label(1)->GetLabel(), L"当前版本:" + std::wstring(ProgramVersionText));
    EXPECT_EQ(panel()->label(2)->GetLabel(), L"最新版本:V1.1.0");
    EXPECT_EQ(panel()->label(4)->GetLabel(), L"文件大小:1.5MB");
    EXPECT_EQ(panel()->notes()->GetValue(), L"更新内容:修正了若干问题");
    // At least the 20 character widths that a 10-character "day" gave it.
    EXPECT_GE(panel()->GetSize().x, 20 * LayoutContext(panel()).cell(L'新').x);
    EXPECT_EQ(window->updateWindow()->GetClientSize(), panel()->GetSize());
}

TEST_F(UpdateTest, DownloadVerifyAndInstall) {
    openWindow();
    // A fingerprint as md5sum writes it, in lower case, is the same fingerprint.
    std::string lowerCase = md5;
    for (char& c : lowerCase) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    publish(members(2, lowerCase));
    check();
    ASSERT_NE(window->updateWindow(), nullptr);
    EXPECT_EQ(panel()->mainButton()->GetLabel(), L"立即下载");
    download();
    EXPECT_EQ(window->updateWindow()->updateState(), UpdateState::Downloaded);
    EXPECT_EQ(panel()->mainButton()->GetLabel(), L"立即安装");
    EXPECT_EQ(panel()->statusLabel()->GetLabel(), L"恭喜您！更新已下载成功!");
    EXPECT_EQ(panel()->progress()->GetValue(), 100);
    EXPECT_TRUE(std::filesystem::exists(installerPath()));

    // The installer runs and the program ends: the main window goes, and the update window
    // with it.
    wxWeakRef<TarvWin> main(window);
    std::wstring shown;
    UpdatePanel* update = panel();
    update->installRequested = [&, start = update->installRequested](const LockedFile& held) {
        shown = update->statusLabel()->GetLabel().ToStdWstring();
        return start(held);
    };
    window = nullptr;
    pressWithoutWaiting(update->mainButton());
    EXPECT_EQ(update->statusLabel()->GetLabel(), L"正在检查下载的文件…");
    EXPECT_FALSE(update->mainButton()->IsEnabled());
    ASSERT_TRUE(waitUntil([&] { return !main; }));
    EXPECT_EQ(shown, L"文件指纹正确，立即进行安装");
    ASSERT_TRUE(waitUntil([&] { return std::filesystem::exists(home.path() / "installed.txt"); }));
}

TEST_F(UpdateTest, AWrongFingerprintDeletesTheFileAndOffersTheDownloadAgain) {
    openWindow();
    publish(members(2, "0123456789ABCDEF0123456789ABCDEF"));
    check();
    ASSERT_NE(window->updateWindow(), nullptr);
    download();
    const auto file = home.path() / "0123456789ABCDEF0123456789ABCDEF.exe";
    ASSERT_TRUE(std::filesystem::exists(file));
    install();
    EXPECT_EQ(panel()->statusLabel()->GetLabel(), L"文件指纹不正确，请重新下载");
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(panel()->mainButton()->GetLabel(), L"立即下载");
    EXPECT_TRUE(panel()->mainButton()->IsEnabled());
    EXPECT_FALSE(std::filesystem::exists(home.path() / "installed.txt"));
}

// The publisher signed other bytes than those served, though the index's MD5 and size fit
// them: the file goes and nothing runs.
TEST_F(UpdateTest, AnInstallerThatIsNotTheSignedOneIsDeletedAndNothingRuns) {
    const std::string signature = publisher.sign(installer, "orvenna ver=2");
    installer[installer.size() / 2] ^= 1;
    md5 = *md5Hex(writeTemp(installer));
    server.route("/setup.exe", {.status = 200, .body = installer});
    openWindow();
    publish(members(2, md5, "/setup.exe", signature));
    check();
    ASSERT_NE(window->updateWindow(), nullptr);
    download();
    ASSERT_TRUE(std::filesystem::exists(installerPath()));
    install();
    EXPECT_EQ(panel()->statusLabel()->GetLabel(), L"文件签名不正确，请重新下载");
    EXPECT_FALSE(std::filesystem::exists(installerPath()));
    EXPECT_EQ(panel()->mainButton()->GetLabel(), L"立即下载");
    pump();
    EXPECT_FALSE(std::filesystem::exists(home.path() / "installed.txt"));
}

// A signed file that the system cannot start: the window says why, the program stays, and
// 立即安装 can be pressed again.
TEST_F(UpdateTest, AStartThatFailsIsShownAndOfferedAgain) {
    installer = "not a program\n";
    md5 = *md5Hex(writeTemp(installer));
    server.route("/setup.exe", {.status = 200, .body = installer});
    openWindow();
    publish(members(2, md5));
    check();
    ASSERT_NE(window->updateWindow(), nullptr);
    download();
    for (int press = 0; press < 2; ++press) {
        install();
        ASSERT_NE(window, nullptr);
        const std::wstring shown = panel()->statusLabel()->GetLabel().ToStdWstring();
        EXPECT_TRUE(shown.starts_with(L"无法启动安装程序:") && shown.size() > 10) << toUtf8(shown);
        EXPECT_EQ(panel()->mainButton()->GetLabel(), L"立即安装");
        EXPECT_TRUE(panel()->mainButton()->IsEnabled());
        EXPECT_TRUE(panel()->laterButton()->IsEnabled());
        EXPECT_TRUE(std::filesystem::exists(installerPath()));
    }
}

// Every way a download can fail says which it was, leaves no installer and no partial file,
// and offers 立即下载 again; a retry that succeeds then is announced as such.
TEST_F(UpdateTest, AFailedDownloadSaysWhyLeavesNothingAndCanBeRetried) {
    server.route("/stalls.exe", {.status = 200,
                                 .headers = {{"Content-Length", "100000"}},
                                 .body = std::string(100000, 'x'),
                                 .stallAfterBytes = 5000});
    // 500 bytes a second: never silent for long, but far below 1 KiB a second.
    server.route("/trickles.exe",
                 {.status = 200, .body = std::string(100000, 'x'), .chunkDelayMs = 100, .chunkBytes = 50});
    // Not a byte past the published size: a longer body is cut off and leaves nothing.
    server.route("/longer.exe", {.status = 200, .body = installer + std::string(100000, 'x')});
    // A complete answer that ends before the published size is no installer either.
    server.route("/shorter.exe", {.status = 200, .body = installer.substr(0, installer.size() / 2)});
    const auto partial = installerPath().string() + ".part";
    const auto victim = home.path() / "victim.txt";
    std::ofstream(victim) << "victim";
    struct Case {
        const char* path;
        const wchar_t* says;
        std::int64_t size = -1;  // published; -1: the installer's
        std::function<void()> before = {};
    };
    const Case cases[] = {
        {"/gone.exe", L"对不起！下载失败请检查网络稍候再试"},
        {"/longer.exe", L"对不起！下载失败请检查网络稍候再试"},
        {"/stalls.exe", L"下载过慢已停止，请检查网络稍候再试", 100000},
        {"/trickles.exe", L"下载过慢已停止，请检查网络稍候再试", 100000},
        {"/shorter.exe", L"下载的文件不完整，请稍候重新下载"},
        // A link or a folder left at the partial file's name is neither written through nor removed.
        {"/setup.exe", L"无法写入下载文件，请检查程序目录", -1,
         [&] { std::filesystem::create_symlink(victim, partial); }},
        {"/setup.exe", L"无法写入下载文件，请检查程序目录", -1, [&] { std::filesystem::create_directory(partial); }},
    };
    openWindow();
    for (const Case& test : cases) {
        SCOPED_TRACE(test.path);
        try {
            if (test.before) test.before();
        } catch (const std::filesystem::filesystem_error& error) {
            // Wine's C++ library makes no symbolic links: the other cases still count.
            std::printf("case skipped: %s\n", error.what());
            continue;
        }
        publish(members(2, md5, test.path, std::nullopt, test.size));
        check();
        ASSERT_NE(window->updateWindow(), nullptr);
        panel()->setDownloadLimits(
            {.stallTimeout = std::chrono::milliseconds(300), .slowBytes = 1024, .slowWindow = std::chrono::seconds(1)});
        download();
        EXPECT_EQ(window->updateWindow()->updateState(), UpdateState::Failed);
        EXPECT_EQ(panel()->statusLabel()->GetLabel().ToStdWstring(), test.says);
        EXPECT_EQ(panel()->mainButton()->GetLabel(), L"立即下载");
        EXPECT_TRUE(panel()->mainButton()->IsEnabled());
        EXPECT_EQ(panel()->progress()->GetValue(), 0) << "a full bar beside the failure";
        EXPECT_FALSE(std::filesystem::exists(installerPath()));
        EXPECT_EQ(std::filesystem::exists(std::filesystem::symlink_status(partial)), test.before != nullptr);
        std::filesystem::remove_all(partial);
        // After a failure the window closes without asking.
        window->updateWindow()->Close();
        ASSERT_TRUE(waitUntil([&] { return window->updateWindow() == nullptr; }));
        openWindow();
    }
    EXPECT_EQ(std::filesystem::file_size(victim), 6u);

    // The server mends its file; pressing 立即下载 again gets it.
    server.route("/shorter.exe", {.status = 200, .body = installer});
    publish(members(2, md5, "/shorter.exe"));
    check();
    ASSERT_NE(window->updateWindow(), nullptr);
    server.route("/shorter.exe", {.status = 200, .body = installer.substr(1)});
    download();
    EXPECT_EQ(panel()->statusLabel()->GetLabel(), L"下载的文件不完整，请稍候重新下载");
    server.route("/shorter.exe", {.status = 200, .body = installer});
    download();
    EXPECT_EQ(panel()->statusLabel()->GetLabel(), L"恭喜您！更新已下载成功!");
    EXPECT_EQ(window->updateWindow()->updateState(), UpdateState::Downloaded);
    EXPECT_TRUE(std::filesystem::exists(installerPath()));
}

#ifndef _WIN32
// A small disk of its own (tmpfs, mounted for the test where the system lets it).
class SmallDisk {
public:
    explicit SmallDisk(const std::filesystem::path& at) : at_(at) {
        std::filesystem::create_directories(at);
        mounted_ = ::mount("tmpfs", at.c_str(), "tmpfs", 0, "size=4m") == 0;
    }
    ~SmallDisk() {
        if (mounted_) ::umount2(at_.c_str(), MNT_DETACH);
    }
    bool mounted() const { return mounted_; }

private:
    std::filesystem::path at_;
    bool mounted_ = false;
};
#endif

// A download that the disk cannot take, with room to spare, is not started: the window says so
// and nothing is written.
TEST_F(UpdateTest, NoDownloadStartsWithoutRoomForIt) {
#ifdef _WIN32
    GTEST_SKIP() << "a small disk is mounted only on Linux";
#else
    const auto small = home.path() / "small";
    const SmallDisk disk(small);
    if (!disk.mounted()) GTEST_SKIP() << "no tmpfs can be mounted here (needs root)";
    publisher.writePublicKey(small / "update-key.pub");
    reopen([&](TarvWin& next) {
        next.updateUrl = server.url("");
        next.programDir = small;
        next.updateKeyFile = small / "update-key.pub";
    });
    publish(members(2, md5));
    check();
    ASSERT_NE(window->updateWindow(), nullptr);
    click(panel()->mainButton());
    EXPECT_EQ(panel()->statusLabel()->GetLabel(), L"磁盘空间不足，需要16MB可用空间");
    EXPECT_EQ(panel()->mainButton()->GetLabel(), L"立即下载");
    EXPECT_TRUE(panel()->mainButton()->IsEnabled());
    EXPECT_TRUE(panel()->laterButton()->IsEnabled());
    EXPECT_EQ(window->updateWindow()->updateState(), UpdateState::Idle);
    EXPECT_EQ(server.requests("/setup.exe"), 0);
    for (const auto& entry : std::filesystem::directory_iterator(small))
        EXPECT_NE(entry.path().extension(), ".part") << entry.path();
    EXPECT_FALSE(std::filesystem::exists(small / (md5 + ".exe")));
    window->updateWindow()->Close();
    ASSERT_TRUE(waitUntil([&] { return window->updateWindow() == nullptr; }));
    delete window;  // its files go before the disk does
    window = nullptr;
    pump();
#endif
}

TEST_F(UpdateTest, ClosingDuringADownloadAsksAndCancelsCleanly) {
    server.route("/slow.exe",
                 {.status = 200, .body = std::string(400000, 'x'), .chunkDelayMs = 50, .chunkBytes = 4000});
    openWindow();
    publish(members(2, md5, "/slow.exe", std::nullopt, 400000));
    check();
    ASSERT_NE(window->updateWindow(), nullptr);
    click(panel()->mainButton());
    EXPECT_EQ(panel()->mainButton()->GetLabel(), L"…下载中…");
    EXPECT_FALSE(panel()->laterButton()->IsEnabled());
    ASSERT_TRUE(waitUntil([&] { return panel()->progress()->GetValue() > 0; }));
    EXPECT_TRUE(panel()->statusLabel()->GetLabel().StartsWith(L"文件大小:0.38/已下载:"));

    wxTEST_DIALOG(window->updateWindow()->Close(),
                  ExpectMessage(L"询问:", L"未完成本次更新的安装，是否取消本次更新?", wxID_NO));
    pump();
    ASSERT_NE(window->updateWindow(), nullptr) << "No keeps the window";
    wxTEST_DIALOG(window->updateWindow()->Close(),
                  ExpectMessage(L"询问:", L"未完成本次更新的安装，是否取消本次更新?", wxID_YES));
    ASSERT_TRUE(waitUntil([&] { return window->updateWindow() == nullptr; }));
    EXPECT_FALSE(std::filesystem::exists(installerPath()));
    EXPECT_FALSE(std::filesystem::exists(installerPath().string() + ".part"));
}

}  // namespace
}  // namespace orvenna::gui
