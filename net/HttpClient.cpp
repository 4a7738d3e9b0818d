#include "HttpClient.h"

#include <curl/curl.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <string_view>
#include <utility>

#include "ProxySetting.h"
#include "SecureAddress.h"
#include "base/Text.h"

namespace orvenna {

namespace {

using Clock = std::chrono::steady_clock;

// A server that keeps redirecting (to itself or in a circle) must not hold the caller forever.
constexpr long MaxRedirects = 30;

// How often a transfer with a stall time-out wakes up to look at the clock, at most.
constexpr long StallCheckMs = 50;
constexpr long IdlePollMs = 1000;

constexpr std::array<std::string_view, 6> CollectedHeaders = {
    "Set-Cookie", "Location", "Content-Type", "Content-MD5", "Content-Encoding", "Content-Length",
};

// What one call of get() shares with the library's callbacks.
struct Transfer {
    Transfer(const HttpOptions& givenOptions, HttpResponse& filled) : options(givenOptions), response(filled) {}

    const HttpOptions& options;
    HttpResponse& response;
    Clock::time_point lastByte = Clock::now();
    curl_off_t lastDownloaded = 0;
    std::size_t bodyBytes = 0;
    bool locationInThisResponse = false;
    Error abortReason;  // set when this side stopped the transfer

    void noteBytes() { lastByte = Clock::now(); }

    bool stalled() const {
        return options.stallTimeoutMs > 0 &&
               Clock::now() - lastByte >= std::chrono::milliseconds(options.stallTimeoutMs);
    }

    void collectHeader(std::string_view line) {
        // Each response of a redirect chain starts with its status line; only the last
        // response's headers describe the body we return.
        if (line.starts_with("HTTP/")) {
            std::erase_if(response.headers, [](const auto& header) { return header.first != "Location"; });
            locationInThisResponse = false;
            return;
        }
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) return;
        const std::string_view name = trimControl(line.substr(0, colon));
        const std::string_view value = trimControl(line.substr(colon + 1));
        for (const std::string_view wanted : CollectedHeaders) {
            if (!equalsIgnoringAsciiCase(name, std::string_view(wanted))) continue;
            const std::string key(wanted);
            const bool fresh =
                key == "Location" ? !std::exchange(locationInThisResponse, true) : !response.headers.contains(key);
            if (fresh) {
                response.headers[key] = value;
            } else {
                response.headers[key].append("\n").append(value);
            }
            return;
        }
    }
};

std::size_t onHeader(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    transfer.noteBytes();
    transfer.collectHeader(std::string_view(data, bytes));
    return bytes;
}

std::size_t onBody(char* data, std::size_t size, std::size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const std::size_t bytes = size * count;
    const HttpOptions& options = transfer.options;
    transfer.noteBytes();
    // Checked on the decoded bytes, so that a small compressed body cannot unpack into
    // gigabytes.
    if (options.maxBodyBytes > 0 && bytes > options.maxBodyBytes - transfer.bodyBytes) {
        transfer.abortReason = {ErrorSource::Curl, CURLE_FILESIZE_EXCEEDED,
                                "the body is larger than " + std::to_string(options.maxBodyBytes) + " bytes"};
        return 0;
    }
    transfer.bodyBytes += bytes;
    if (options.onData) {
        if (!options.onData(data, bytes)) {
            transfer.abortReason = {ErrorSource::Curl, CURLE_WRITE_ERROR,
                                    "the receiver of the body stopped the transfer"};
            return 0;
        }
    } else {
        transfer.response.body.append(data, bytes);
    }
    return bytes;
}

int onTransferInfo(void* user, curl_off_t downloadTotal, curl_off_t downloaded, curl_off_t, curl_off_t) {
    auto& transfer = *static_cast<Transfer*>(user);
    // Compressed bytes that have not yet decoded into body bytes still show the peer is alive.
    if (downloaded != transfer.lastDownloaded) {
        transfer.lastDownloaded = downloaded;
        transfer.noteBytes();
    }
    if (transfer.options.onProgress && !transfer.options.onProgress(downloaded, downloadTotal)) {
        transfer.abortReason = {ErrorSource::Curl, CURLE_ABORTED_BY_CALLBACK, "the transfer was cancelled"};
        return 1;
    }
    return 0;
}

// The settings every request gets; see the header for why they are what they are.
void configure(CURL* easy, const std::string& url, const std::string& proxy, const HttpOptions& options,
               Transfer& transfer, char* errorBuffer) {
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorBuffer);
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);

    curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "");
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(easy, CURLOPT_MAXREDIRS, MaxRedirects);
#if LIBCURL_VERSION_NUM >= 0x075500
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, options.httpsRedirectsOnly ? "https" : "http,https");
#else
    const long webOnly = CURLPROTO_HTTP | CURLPROTO_HTTPS;
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS, webOnly);
    curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS, options.httpsRedirectsOnly ? long{CURLPROTO_HTTPS} : webOnly);
#endif
    // Where the system has no TCP Fast Open the option is refused and the request goes on
    // without it.
    curl_easy_setopt(easy, CURLOPT_TCP_FASTOPEN, 1L);

    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(easy, CURLOPT_PROXY_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(easy, CURLOPT_PROXY_SSL_VERIFYHOST, 2L);
    // A proxy's answer to CONNECT is not the server's response.
    curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    // Chosen here rather than by the library, so that a failure can name it; an empty text
    // means no proxy at all.
    curl_easy_setopt(easy, CURLOPT_PROXY, proxy.c_str());
#ifdef _WIN32
    // Schannel fails every request whose certificate's revocation list cannot be fetched,
    // as is common behind company gateways; a certificate known to be revoked still fails.
    curl_easy_setopt(easy, CURLOPT_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
    curl_easy_setopt(easy, CURLOPT_PROXY_SSL_OPTIONS, static_cast<long>(CURLSSLOPT_REVOKE_BEST_EFFORT));
#endif

    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, std::max(options.connectTimeoutMs, 1L));
    curl_easy_setopt(easy, CURLOPT_TIMEOUT_MS, std::max(options.totalTimeoutMs, 0L));
    // libcurl judges by speed: fewer than lowSpeedBytes in lowSpeedSeconds is below this many a
    // second, rounded up so that a limit below one byte a second still counts.
    const bool slowLimit = options.lowSpeedBytes > 0 && options.lowSpeedSeconds > 0;
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_LIMIT,
                     slowLimit ? (options.lowSpeedBytes + options.lowSpeedSeconds - 1) / options.lowSpeedSeconds : 0L);
    curl_easy_setopt(easy, CURLOPT_LOW_SPEED_TIME, slowLimit ? options.lowSpeedSeconds : 0L);
    // Rejects an announced Content-Length over the cap before any body byte is read.
    curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(options.maxBodyBytes));

    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, onTransferInfo);
    curl_easy_setopt(easy, CURLOPT_XFERINFODATA, &transfer);
}

std::string oneLine(std::string_view text) {
    std::string line(trimControl(text));
    std::replace_if(
        line.begin(), line.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    return line;
}

}  // namespace

// The transfer runs on a multi handle driven by get() itself, so that a stall is seen within
// StallCheckMs rather than at the library's one-second pace.
// The members are destroyed bottom up: the multi handle before the easy one, as the library
// asks, and the error buffer last, since the easy handle keeps a pointer to it.
struct HttpClient::Handles {
    std::array<char, CURL_ERROR_SIZE> errorBuffer{};
    std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> easy{curl_easy_init(), &curl_easy_cleanup};
    std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)> multi{curl_multi_init(), &curl_multi_cleanup};
};

bool HttpResponse::timedOut() const {
    return error.code == CURLE_OPERATION_TIMEDOUT;
}

HttpClient::HttpClient() = default;
HttpClient::~HttpClient() = default;
HttpClient::HttpClient(HttpClient&& other) noexcept = default;
HttpClient& HttpClient::operator=(HttpClient&& other) noexcept = default;

HttpResponse HttpClient::get(const std::string& url, const HttpOptions& options) {
    HttpResponse response;
    if (!handles_) {
        auto made = std::make_unique<Handles>();
        if (!made->easy || !made->multi) {
            response.error = {ErrorSource::Curl, CURLE_FAILED_INIT, "the HTTP library could not be initialised"};
            return response;
        }
        // The cookie engine on with nothing loaded: no cookie is sent that a server did not
        // set, and cookies set during a redirect chain go along with it. Switched on once, as
        // the library keeps a list entry for every time it is asked to.
        curl_easy_setopt(made->easy.get(), CURLOPT_COOKIEFILE, "");
        handles_ = std::move(made);
    }
    CURL* easy = handles_->easy.get();
    CURLM* multi = handles_->multi.get();

    // The handle is not reset between calls: configure() sets every option that any call sets,
    // and a reset would drop the cookie engine's set-up without freeing it.
    handles_->errorBuffer.fill('\0');
    Transfer transfer{options, response};
    // A redirect keeps the first address's choice; an update's redirects lead to https only.
    const std::string proxy = isLoopbackHttpAddress(url) ? std::string() : proxyFor(url);
    configure(easy, url, proxy, options, transfer, handles_->errorBuffer.data());

    CURLcode result = CURLE_OK;
    bool finished = false;
    CURLMcode driveResult = curl_multi_add_handle(multi, easy);
    // A caller that may cancel (through onProgress) or that watches for a stall is asked
    // often, so that a window closing during a transfer does not wait for the library's
    // one-second pace.
    long pollMs = options.onProgress ? StallCheckMs : IdlePollMs;
    if (options.stallTimeoutMs > 0) pollMs = std::min({pollMs, StallCheckMs, options.stallTimeoutMs});
    while (driveResult == CURLM_OK) {
        int running = 0;
        driveResult = curl_multi_perform(multi, &running);
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
            if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
                result = message->data.result;
                finished = true;
            }
        }
        if (finished || driveResult != CURLM_OK || running == 0) break;
        if (transfer.stalled()) {
            transfer.abortReason = {ErrorSource::Curl, CURLE_OPERATION_TIMEDOUT,
                                    "no data arrived for " + std::to_string(options.stallTimeoutMs) + " ms"};
            break;
        }
        driveResult = curl_multi_poll(multi, nullptr, 0, static_cast<int>(pollMs), nullptr);
    }
    // Also ends an unfinished transfer and drops its connection.
    curl_multi_remove_handle(multi, easy);

    curl_easy_getinfo(easy, CURLINFO_RESPONSE_CODE, &response.code);
    curl_easy_getinfo(easy, CURLINFO_REDIRECT_COUNT, &response.redirects);
    curl_easy_getinfo(easy, CURLINFO_TOTAL_TIME, &response.totalSeconds);

    if (!transfer.abortReason.message.empty()) {
        response.error = transfer.abortReason;
    } else if (driveResult != CURLM_OK) {
        response.error = {ErrorSource::CurlMulti, driveResult, oneLine(curl_multi_strerror(driveResult))};
    } else if (!finished) {
        response.error = {ErrorSource::Curl, CURLE_RECV_ERROR, "the transfer ended without a result"};
    } else if (result == CURLE_FILESIZE_EXCEEDED) {
        response.error = {ErrorSource::Curl, result,
                          "the body is larger than " + std::to_string(options.maxBodyBytes) + " bytes"};
    } else if (result != CURLE_OK) {
        const char* text = handles_->errorBuffer[0] != '\0' ? handles_->errorBuffer.data() : curl_easy_strerror(result);
        response.error = {ErrorSource::Curl, result, oneLine(text)};
        if (response.error.message.empty()) response.error.message = curl_easy_strerror(result);
        // The user can only fix a proxy they know was asked.
        if (!proxy.empty()) response.error.message += " (through proxy " + proxy + ")";
    }
    return response;
}

}  // namespace orvenna
