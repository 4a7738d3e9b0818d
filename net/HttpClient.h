// HTTP GETs over libcurl: the results page of the draws and the update index and installer.
//
// Every request has the same profile: GET without a body, added headers or cookies; every
// content encoding the library knows is offered and decoded; redirects are followed. Unlike a
// browser left to its defaults, a request is bounded: TLS peers and host names are verified,
// only http and https are spoken (also after a redirect), redirects stop after 30, connecting
// has a time-out, and the body has a size cap. A stall time-out and a total time-out are there
// for callers that must not hang. The proxy is the one the system names (ProxySetting.h); the
// error of a request that fails through it names it. Plain http to a loopback host never goes
// through a proxy: such an address is trusted because nothing lies on its way.
//
// curl_global_init must have been called once before the first client is used (the program
// does so at start, the tests in their global set-up). A client is used by one thread at a time;
// separate clients may run on separate threads. Failures come back in HttpResponse::error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "base/Result.h"

namespace orvenna {

struct HttpResponse {
    long code = 0;  // the last response's status; 0 when none arrived
    std::string body;
    // "Set-Cookie", "Location", "Content-Type", "Content-MD5", "Content-Encoding" and
    // "Content-Length" under these names, whatever their case on the wire. Of a redirect chain,
    // the last response's values, except "Location", which keeps the last one seen. A header
    // sent twice in one response keeps both values, joined by "\n" (cookies cannot be joined by
    // commas).
    std::map<std::string, std::string> headers;
    long redirects = 0;
    double totalSeconds = 0;
    // No message when the transfer completed (whatever its status code); else libcurl's code
    // (or the one closest to why this side stopped it) and one line saying why.
    Error error;
    bool completed() const { return error.message.empty(); }
    // Given up for time: a stall, too slow a transfer, or the total time-out.
    bool timedOut() const;
};

struct HttpOptions {
    long connectTimeoutMs = 5000;
    long totalTimeoutMs = 0;  // 0: none
    // Abort when no byte arrives for this long, counted from the start of the request and
    // again from every byte received. 0: none.
    long stallTimeoutMs = 0;
    // Abort a transfer that keeps trickling: fewer than lowSpeedBytes in lowSpeedSeconds, as
    // libcurl's running average of the speed tells. 0: none.
    long lowSpeedBytes = 0;
    long lowSpeedSeconds = 0;
    std::size_t maxBodyBytes = std::size_t{64} << 20;  // of the decoded body; 0: no cap
    // A redirect may lead to https only (an update: nothing may step down to plain http).
    bool httpsRedirectsOnly = false;
    // Bytes received of the current response and its announced size (0 while unknown);
    // returning false cancels the transfer.
    std::function<bool(std::int64_t received, std::int64_t total)> onProgress;
    // When set, the body is handed over here piece by piece instead of being kept in
    // HttpResponse::body; returning false aborts the transfer.
    std::function<bool(const char* data, std::size_t size)> onData;
};

class HttpClient {
public:
    HttpClient();
    ~HttpClient();
    HttpClient(HttpClient&& other) noexcept;
    HttpClient& operator=(HttpClient&& other) noexcept;
    HttpClient(const HttpClient&) = delete;
    HttpClient& operator=(const HttpClient&) = delete;

    // The library's handle is made by the first call and reused by later ones, together
    // with its open connections and the cookies received so far.
    HttpResponse get(const std::string& url, const HttpOptions& options = {});

private:
    struct Handles;  // the library's handles, made on first use

    std::unique_ptr<Handles> handles_;
};

}  // namespace orvenna
