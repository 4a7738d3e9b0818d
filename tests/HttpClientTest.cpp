// The HTTP client against real servers on 127.0.0.1: what it returns, how it is bounded, and
// what it refuses.
#include "net/HttpClient.h"

#include <curl/curl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/ChildProcess.h"
#include "tests/Environment.h"
#include "tests/LocalHttpServer.h"
#include "tests/SystemSupport.h"
#include "tests/TempDirectory.h"

namespace orvenna {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// libcurl wants its global set-up once per process before the first handle, as the program
// does at start. Proxies from the environment are switched off so that every request of the
// tests goes straight to 127.0.0.1.
class CurlEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        setEnv("no_proxy", "*");
        ASSERT_EQ(curl_global_init(CURL_GLOBAL_DEFAULT), CURLE_OK);
    }
    void TearDown() override { curl_global_cleanup(); }
};
[[maybe_unused]] ::testing::Environment* const curlEnvironment =
    ::testing::AddGlobalTestEnvironment(new CurlEnvironment);

using Reply = LocalHttpServer::Reply;
using Seconds = std::chrono::duration<double>;

std::string lowerCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// Bytes that do not repeat with a short period, so that a lost or doubled piece shows.
std::string patternedBytes(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 12345;
    for (char& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

// 65536 letters 'a', gzip-compressed into 97 bytes.
std::string gzippedLetters() {
    const std::string head(
        "\x1f\x8b\x08\x00\x00\x00\x00\x00\x02\xff\xed\xc1\x81\x00\x00\x00\x00\x80"
        "\x20\xd6\xfd\x25\x16\xa9\x0a",
        25);
    const std::string tail("\x6a\xff\x91\x20\xc3\x00\x00\x01\x00", 9);
    return head + std::string(63, '\0') + tail;
}

class HttpClientTest : public ::testing::Test {
protected:
    LocalHttpServer server;
    HttpClient client;
};

TEST_F(HttpClientTest, AnOkPageBringsItsBodyAndTheCollectedHeadersWhateverTheirCase) {
    server.route("/page", Reply{.status = 200,
                                .headers = {{"content-type", "text/html; charset=gb2312"},
                                            {"CONTENT-MD5", "Q2hlY2sgSW50ZWdyaXR5IQ=="},
                                            {"Set-Cookie", "a=1"},
                                            {"Set-Cookie", "b=2"},
                                            {"X-Other", "not collected"}},
                                .body = "<html>七星彩</html>"});

    const HttpResponse response = client.get(server.url("/page"));

    EXPECT_EQ(response.error.message, "");
    EXPECT_EQ(response.code, 200);
    EXPECT_EQ(response.body, "<html>七星彩</html>");
    EXPECT_EQ(response.redirects, 0);
    EXPECT_GT(response.totalSeconds, 0.0);
    const std::map<std::string, std::string> expected = {
        {"Content-Type", "text/html; charset=gb2312"},
        {"Content-MD5", "Q2hlY2sgSW50ZWdyaXR5IQ=="},
        {"Set-Cookie", "a=1\nb=2"},
        {"Content-Length", std::to_string(response.body.size())},
    };
    EXPECT_EQ(response.headers, expected);
}

TEST_F(HttpClientTest, TheRequestIsAPlainGetOfferingCompressionWithoutCookies) {
    server.route("/page", Reply{.body = "x"});

    client.get(server.url("/page?issue=1"));

    const std::string request = server.lastRequest("/page");
    EXPECT_EQ(request.substr(0, request.find("\r\n")), "GET /page?issue=1 HTTP/1.1");
    EXPECT_THAT(lowerCase(request), HasSubstr("\r\naccept-encoding: ")) << request;
    EXPECT_THAT(lowerCase(request), HasSubstr("gzip")) << request;
    EXPECT_THAT(lowerCase(request), Not(HasSubstr("\r\ncookie:"))) << request;
}

TEST_F(HttpClientTest, AnErrorStatusIsACompletedTransferWithItsBody) {
    const HttpResponse response = client.get(server.url("/nowhere"));

    EXPECT_EQ(response.error.message, "");
    EXPECT_EQ(response.code, 404);
    EXPECT_EQ(response.body, "not found");
    EXPECT_EQ(server.requests("/nowhere"), 1);
}

TEST_F(HttpClientTest, RedirectsAreFollowedAndTheLastResponseDescribesTheBody) {
    server.route("/first", Reply{.status = 302,
                                 .headers = {{"Location", "/second"},
                                             {"Content-Type", "text/plain"},
                                             {"Set-Cookie", "session=42; Path=/"}},
                                 .body = "moved"});
    server.route("/second", Reply{.status = 301, .headers = {{"Location", "/final"}}});
    server.route("/final", Reply{.headers = {{"Content-Type", "text/html"}}, .body = "arrived"});

    const HttpResponse response = client.get(server.url("/first"));

    EXPECT_EQ(response.error.message, "");
    EXPECT_EQ(response.code, 200);
    EXPECT_EQ(response.body, "arrived");
    EXPECT_EQ(response.redirects, 2);
    EXPECT_EQ(response.headers.at("Location"), "/final");
    EXPECT_EQ(response.headers.at("Content-Type"), "text/html");
    EXPECT_FALSE(response.headers.contains("Set-Cookie"));
    // The cookie set on the way is not lost: it goes along with the rest of the chain.
    EXPECT_THAT(server.lastRequest("/final"), HasSubstr("\r\nCookie: session=42"));
}

TEST_F(HttpClientTest, ARedirectLoopEndsAfterThirtyRedirects) {
    server.route("/loop", Reply{.status = 302, .headers = {{"Location", "/loop"}}});
    HttpOptions options;
    options.totalTimeoutMs = 10000;  // an endless loop must fail, not hang the suite

    const HttpResponse response = client.get(server.url("/loop"), options);

    EXPECT_NE(response.error.message, "");
    EXPECT_EQ(response.redirects, 30);
    EXPECT_EQ(server.requests("/loop"), 31);
}

TEST_F(HttpClientTest, ACompressedBodyArrivesDecoded) {
    server.route("/packed", Reply{.headers = {{"Content-Encoding", "gzip"}}, .body = gzippedLetters()});

    const HttpResponse response = client.get(server.url("/packed"));

    EXPECT_EQ(response.error.message, "");
    EXPECT_EQ(response.body, std::string(65536, 'a'));
    EXPECT_EQ(response.headers.at("Content-Encoding"), "gzip");
    EXPECT_EQ(response.headers.at("Content-Length"), "97");
}

TEST_F(HttpClientTest, ALargeBodyArrivesWholeInTheResponseOrPieceByPiece) {
    const std::string installer = patternedBytes(2 << 20);
    server.route("/installer.exe", Reply{.body = installer});

    const HttpResponse whole = client.get(server.url("/installer.exe"));
    EXPECT_EQ(whole.error.message, "");
    EXPECT_TRUE(whole.body == installer) << "received " << whole.body.size() << " bytes";

    std::string streamed;
    int pieces = 0;
    HttpOptions options;
    options.onData = [&](const char* data, std::size_t size) {
        streamed.append(data, size);
        ++pieces;
        return true;
    };
    const HttpResponse piecewise = client.get(server.url("/installer.exe"), options);
    EXPECT_EQ(piecewise.error.message, "");
    EXPECT_EQ(piecewise.code, 200);
    EXPECT_EQ(piecewise.body, "");
    EXPECT_TRUE(streamed == installer) << "received " << streamed.size() << " bytes";
    EXPECT_GT(pieces, 1);
}

TEST_F(HttpClientTest, ProgressReportsTheAnnouncedSizeAndEndsAtIt) {
    const std::string installer = patternedBytes(256 << 10);
    server.route("/installer.exe", Reply{.body = installer, .chunkDelayMs = 5, .chunkBytes = 16 << 10});
    std::vector<std::pair<std::int64_t, std::int64_t>> reports;
    HttpOptions options;
    options.onProgress = [&](std::int64_t received, std::int64_t total) {
        reports.emplace_back(received, total);
        return true;
    };

    const HttpResponse response = client.get(server.url("/installer.exe"), options);

    EXPECT_EQ(response.error.message, "");
    ASSERT_FALSE(reports.empty());
    const auto size = static_cast<std::int64_t>(installer.size());
    EXPECT_EQ(reports.back(), std::make_pair(size, size));
    EXPECT_TRUE(std::is_sorted(reports.begin(), reports.end()));
    EXPECT_TRUE(std::any_of(reports.begin(), reports.end(), [&](const auto& report) {
        return report.first > 0 && report.first < size;
    })) << "no report while the body was arriving";
}

TEST_F(HttpClientTest, TheReceiverCanStopTheTransfer) {
    const std::string installer = patternedBytes(1 << 20);
    server.route("/installer.exe", Reply{.body = installer, .chunkDelayMs = 10, .chunkBytes = 16 << 10});

    HttpOptions cancelling;
    cancelling.onProgress = [](std::int64_t received, std::int64_t) { return received == 0; };
    const HttpResponse cancelled = client.get(server.url("/installer.exe"), cancelling);
    EXPECT_NE(cancelled.error.message, "");
    EXPECT_LT(cancelled.body.size(), installer.size());

    HttpOptions refusing;
    std::size_t handedOver = 0;
    refusing.onData = [&](const char*, std::size_t size) {
        handedOver += size;
        return false;
    };
    const HttpResponse refused = client.get(server.url("/installer.exe"), refusing);
    EXPECT_NE(refused.error.message, "");
    EXPECT_EQ(refused.code, 200);
    EXPECT_GT(handedOver, 0u);
    EXPECT_LT(handedOver, installer.size());
}

// A window that closes during a transfer waits for it: a cancel must be seen at once, not at
// the library's one-second pace, also while the server sends nothing.
TEST_F(HttpClientTest, ACancelIsSeenPromptlyWhileTheServerIsSilent) {
    server.route("/silent", Reply{.body = patternedBytes(100000), .stallAfterBytes = 10});
    std::atomic<bool> cancel{false};
    HttpOptions options;
    options.totalTimeoutMs = 10000;
    options.onProgress = [&](std::int64_t, std::int64_t) { return !cancel; };
    std::chrono::steady_clock::time_point cancelledAt;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        cancelledAt = std::chrono::steady_clock::now();
        cancel = true;
    });
    const HttpResponse response = client.get(server.url("/silent"), options);
    const auto ended = std::chrono::steady_clock::now();
    canceller.join();
    EXPECT_NE(response.error.message, "");
    EXPECT_LT(Seconds(ended - cancelledAt).count(), 0.5);
}

// A server that falls silent, or one that keeps trickling a few bytes, is given up; one that
// is slow but steady is not.
TEST_F(HttpClientTest, AStalledOrTricklingServerIsGivenUpButASlowSteadyOneIsNot) {
    server.route("/stalled", Reply{.body = patternedBytes(100000), .stallAfterBytes = 1000});
    server.route("/trickle", Reply{.body = patternedBytes(100000), .chunkDelayMs = 100, .chunkBytes = 50});
    // Ten pieces 100 ms apart take longer than the stall time-out as a whole.
    server.route("/slow", Reply{.body = patternedBytes(10000), .chunkDelayMs = 100, .chunkBytes = 1000});
    HttpOptions options;
    options.stallTimeoutMs = 300;
    options.lowSpeedBytes = 2048;  // 500 bytes a second trickle below it, 10000 do not
    options.lowSpeedSeconds = 1;
    options.totalTimeoutMs = 10000;  // a stall that goes unnoticed must fail, not hang the suite
    struct Case {
        const char* path;
        bool givenUp;
        double atLeast, atMost;  // seconds
    };
    for (const Case& test :
         {Case{"/stalled", true, 0.29, 1.5}, Case{"/trickle", true, 0.9, 4.0}, Case{"/slow", false, 0.0, 5.0}}) {
        SCOPED_TRACE(test.path);
        const auto start = std::chrono::steady_clock::now();
        const HttpResponse response = client.get(server.url(test.path), options);
        const Seconds waited = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(response.timedOut(), test.givenUp) << response.error.message;
        EXPECT_EQ(response.completed(), !test.givenUp) << response.error.message;
        EXPECT_EQ(response.code, 200);
        EXPECT_GE(waited.count(), test.atLeast);
        EXPECT_LT(waited.count(), test.atMost);
    }
}

TEST_F(HttpClientTest, TheTotalTimeOutEndsAnyTransfer) {
    server.route("/stalled", Reply{.body = patternedBytes(100000), .stallAfterBytes = 1000});
    HttpOptions options;
    options.totalTimeoutMs = 300;

    const auto start = std::chrono::steady_clock::now();
    const HttpResponse response = client.get(server.url("/stalled"), options);
    const Seconds waited = std::chrono::steady_clock::now() - start;

    EXPECT_NE(response.error.message, "");
    EXPECT_LT(waited.count(), 1.5);
}

TEST_F(HttpClientTest, ABodyOverTheCapIsRefusedEvenWhenItArrivesCompressed) {
    server.route("/big", Reply{.body = patternedBytes(20000)});
    server.route("/packed", Reply{.headers = {{"Content-Encoding", "gzip"}}, .body = gzippedLetters()});
    HttpOptions options;
    options.maxBodyBytes = 20000;

    EXPECT_EQ(client.get(server.url("/big"), options).error.message, "");
    options.maxBodyBytes = 19999;
    const HttpResponse big = client.get(server.url("/big"), options);
    EXPECT_NE(big.error.message, "");
    EXPECT_LT(big.body.size(), 20000u);

    options.maxBodyBytes = 10000;  // far above the 97 bytes on the wire
    const HttpResponse packed = client.get(server.url("/packed"), options);
    EXPECT_NE(packed.error.message, "");
    EXPECT_LE(packed.body.size(), 10000u);
}

TEST_F(HttpClientTest, ARefusedConnectionGivesNoCodeAndAnError) {
    const HttpResponse response = client.get("http://127.0.0.1:" + std::to_string(LocalHttpServer::unusedPort()) + "/");

    EXPECT_EQ(response.code, 0);
    EXPECT_NE(response.error.message, "");
    EXPECT_THAT(response.error.message, Not(HasSubstr("\n")));
}

// The proxy is the environment's, as the library itself would take it; a request that fails
// through one says which, so that the user knows what to fix. Plain http to this machine never
// goes through one: such an address is trusted because nothing lies on its way, and a proxy
// could answer in the server's place.
TEST_F(HttpClientTest, TheEnvironmentsProxyIsUsedAndNamedButNotForThisMachine) {
    server.route("/", {.status = 200, .body = "straight"});
    ScopedEnv lower("no_proxy", nullptr), upper("NO_PROXY", nullptr), all("all_proxy", nullptr),
        allUpper("ALL_PROXY", nullptr), proxy("http_proxy", "http://127.0.0.1:1");
    const std::string port = std::to_string(server.port());
    struct Case {
        std::string url;
        const char* noProxy;
        bool throughProxy;
    };
    const Case cases[] = {
        {"http://orvenna.invalid/", nullptr, true},
        {"http://orvenna.invalid/", " localhost, .invalid ,127.0.0.1", false},
        {server.url("/"), nullptr, false},
        {"http://localhost:" + port + "/", nullptr, false},
        {"http://127.1:" + port + "/", nullptr, false},
    };
    HttpOptions options;
    options.connectTimeoutMs = 3000;  // a name that does not resolve fails, whatever the resolver does
    for (const Case& test : cases) {
        SCOPED_TRACE(test.url + (test.noProxy ? " bypassed" : ""));
        ScopedEnv bypass("no_proxy", test.noProxy);
        const HttpResponse response = HttpClient().get(test.url, options);
        const auto namesTheProxy = HasSubstr("(through proxy http://127.0.0.1:1)");
        if (test.throughProxy)
            EXPECT_THAT(response.error.message, namesTheProxy);
        else
            EXPECT_THAT(response.error.message, Not(namesTheProxy));
        if (test.url.find("invalid") == std::string::npos) EXPECT_EQ(response.body, "straight");
    }
}

#ifdef _WIN32
// The user's Internet settings, as the system keeps them: a fixed proxy and its bypass list.
// The old settings come back at the end.
class InternetSettings {
public:
    InternetSettings() {
        RegCreateKeyExW(HKEY_CURRENT_USER, Key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
        DWORD size = 0;
        if (RegQueryValueExW(key_, Value, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
            saved_.resize(size);
            RegQueryValueExW(key_, Value, nullptr, nullptr, saved_.data(), &size);
        }
    }
    ~InternetSettings() {
        if (saved_.empty())
            RegDeleteValueW(key_, Value);
        else
            RegSetValueExW(key_, Value, 0, REG_BINARY, saved_.data(), static_cast<DWORD>(saved_.size()));
        RegCloseKey(key_);
    }
    void useProxy(const std::string& proxy, const std::string& bypass) {
        std::vector<BYTE> blob;
        const auto add = [&](DWORD value) { blob.insert(blob.end(), {BYTE(value), BYTE(value >> 8), 0, 0}); };
        add(0x46), add(0), add(3);  // the format's mark, a counter, "direct or through a proxy"
        for (const std::string& text : {proxy, bypass, std::string()}) {
            add(static_cast<DWORD>(text.size()));
            blob.insert(blob.end(), text.begin(), text.end());
        }
        blob.resize(blob.size() + 32);  // what the system keeps of its last automatic detection
        RegSetValueExW(key_, Value, 0, REG_BINARY, blob.data(), static_cast<DWORD>(blob.size()));
    }

private:
    static constexpr const wchar_t* Key =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Connections";
    static constexpr const wchar_t* Value = L"DefaultConnectionSettings";
    HKEY key_ = nullptr;
    std::vector<BYTE> saved_;
};

// On Windows a request goes through the proxy the user set for the system, unless the host
// is on its bypass list.
TEST(HttpClientProxyTest, TheSystemProxyIsUsedAndNamed) {
    ScopedEnv http("http_proxy", nullptr), all("all_proxy", nullptr), allUpper("ALL_PROXY", nullptr),
        lower("no_proxy", nullptr), upper("NO_PROXY", nullptr);
    InternetSettings settings;
    settings.useProxy("127.0.0.1:1", "<local>;*.bypassed.invalid");
    const HttpResponse proxied = HttpClient().get("http://proxied.invalid/");
    EXPECT_THAT(proxied.error.message, HasSubstr("(through proxy 127.0.0.1:1)"));
    const HttpResponse straight = HttpClient().get("http://www.bypassed.invalid/");
    EXPECT_FALSE(straight.completed());
    EXPECT_THAT(straight.error.message, Not(HasSubstr("through proxy")));
}
#endif

TEST_F(HttpClientTest, OnlyHttpAndHttpsAreSpokenAlsoAfterARedirect) {
    const TempDirectory directory;
    const auto secret = directory.path() / "secret.txt";
    std::ofstream(secret) << "not for the network";
    // file:///tmp/... on Linux, file:///C:/... on Windows.
    const std::string secretPath = secret.generic_string();
    const std::string fileUrl = "file://" + std::string(secretPath.starts_with("/") ? "" : "/") + secretPath;
    server.route("/to-file", Reply{.status = 302, .headers = {{"Location", fileUrl}}});
    HttpOptions options;
    options.totalTimeoutMs = 3000;  // a wrongly allowed protocol must fail, not hang the suite

    for (const std::string& url :
         {fileUrl, server.url("/to-file"), "ftp://127.0.0.1:" + std::to_string(server.port()) + "/"}) {
        SCOPED_TRACE(url);
        const HttpResponse response = client.get(url, options);
        const std::string message = lowerCase(response.error.message);
        bool refused = message.find("protocol") != std::string::npos;
#ifdef _WIN32
        // curl on Windows fails on the file URL a redirect names before it weighs its protocol.
        refused = refused || (url == server.url("/to-file") && message.find("bad/illegal format") != std::string::npos);
#endif
        EXPECT_TRUE(refused) << response.error.message;
        EXPECT_THAT(response.body, Not(HasSubstr("not for the network")));
    }
}

// An update's requests may start on http to this machine, but a redirect never leads them to
// plain http, wherever it points.
TEST_F(HttpClientTest, AnHttpsOnlyRequestFollowsNoRedirectToHttp) {
    server.route("/hop", Reply{.status = 302, .headers = {{"Location", server.url("/landing")}}});
    server.route("/landing", Reply{.status = 200, .body = "landed"});
    HttpOptions options;
    options.httpsRedirectsOnly = true;
    const HttpResponse refused = client.get(server.url("/hop"), options);
    EXPECT_THAT(lowerCase(refused.error.message), HasSubstr("protocol")) << refused.error.message;
    EXPECT_EQ(refused.body, "");
    EXPECT_EQ(server.requests("/landing"), 0);
    options.httpsRedirectsOnly = false;
    EXPECT_EQ(client.get(server.url("/hop"), options).body, "landed");
}

TEST_F(HttpClientTest, AClientServesOneRequestAfterAnotherAndMoves) {
    server.route("/with-cookie", Reply{.headers = {{"Set-Cookie", "a=1"}}, .body = "one"});
    server.route("/plain", Reply{.body = "two"});

    EXPECT_EQ(client.get(server.url("/with-cookie")).body, "one");
    HttpOptions tight;
    tight.maxBodyBytes = 1;
    EXPECT_NE(client.get(server.url("/plain"), tight).error.message, "");

    HttpClient moved = std::move(client);
    const HttpResponse response = moved.get(server.url("/plain"));
    EXPECT_EQ(response.error.message, "");
    EXPECT_EQ(response.body, "two");
    EXPECT_FALSE(response.headers.contains("Set-Cookie"));
}

TEST(HttpClientTlsTest, AServerWhoseCertificateNobodyVouchesForIsRefused) {
    if (underWine()) GTEST_SKIP() << "Wine's Schannel accepts a self-signed certificate unless a CA file is given";
    const TempDirectory directory;
    const std::string key = utf8Path(directory.path() / "key.pem");
    const std::string certificate = utf8Path(directory.path() / "certificate.pem");
    ChildProcess makeCertificate({"openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-subj", "/CN=127.0.0.1",
                                  "-days", "1", "-keyout", key, "-out", certificate});
#ifdef _WIN32
    if (!makeCertificate.started()) GTEST_SKIP() << "no openssl on PATH to serve TLS with";
#endif
    ASSERT_EQ(makeCertificate.wait(), 0) << "openssl could not make a certificate";

    const int port = LocalHttpServer::unusedPort();
    ChildProcess tlsServer({"openssl", "s_server", "-accept", "127.0.0.1:" + std::to_string(port), "-cert", certificate,
                            "-key", key, "-www"});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!LocalHttpServer::accepts(port)) {
        ASSERT_TRUE(tlsServer.running()) << "openssl s_server ended";
        ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "openssl s_server does not accept";
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    HttpClient client;
    const HttpResponse response = client.get("https://127.0.0.1:" + std::to_string(port) + "/");

    EXPECT_EQ(response.code, 0);
    EXPECT_EQ(response.body, "");
    EXPECT_THAT(lowerCase(response.error.message), HasSubstr("certificate")) << response.error.message;
    EXPECT_THAT(lowerCase(response.error.message), HasSubstr("self")) << response.error.message;
}

}  // namespace
}  // namespace orvenna
