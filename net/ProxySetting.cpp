#include "ProxySetting.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <vector>

#ifdef _WIN32
#include <windows.h>
#include <winhttp.h>

#include <chrono>
#include <map>
#include <mutex>

#include "base/Text.h"
#endif

namespace orvenna {

namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), [](unsigned char c) { return std::tolower(c); });
    return out;
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::string(trimmed(value)) : std::string();
}

std::string environmentProxy(bool https) {
    // Only the lower-case name for http: a CGI program gets the request's "Proxy:" header as
    // HTTP_PROXY, and libcurl does not trust it either.
    std::string proxy = https ? environment("https_proxy") : environment("http_proxy");
    if (proxy.empty() && https) proxy = environment("HTTPS_PROXY");
    if (proxy.empty()) proxy = environment("all_proxy");
    if (proxy.empty()) proxy = environment("ALL_PROXY");
    return proxy;
}

// The host of an http(s) address, lower case, without user, port or brackets.
std::string urlHost(std::string_view url) {
    const std::size_t scheme = url.find("://");
    std::string_view rest = scheme == std::string_view::npos ? url : url.substr(scheme + 3);
    rest = rest.substr(0, std::min(rest.find_first_of("/?#"), rest.size()));
    if (const std::size_t at = rest.rfind('@'); at != std::string_view::npos) rest.remove_prefix(at + 1);
    if (rest.starts_with('[')) return lower(rest.substr(1, std::min(rest.find(']'), rest.size()) - 1));
    return lower(rest.substr(0, std::min(rest.find(':'), rest.size())));
}

// True when `host` is in a no_proxy list: "*", or entries separated by commas, each a host or
// a domain that matches its subdomains too.
bool bypassedByNoProxy(std::string_view host, std::string_view list) {
    if (trimmed(list) == "*") return true;
    std::size_t start = 0;
    while (start <= list.size()) {
        const std::size_t end = std::min(list.find(',', start), list.size());
        std::string entry = lower(trimmed(list.substr(start, end - start)));
        start = end + 1;
        if (entry.starts_with('.')) entry.erase(0, 1);
        if (entry.empty()) continue;
        if (host == entry || (host.size() > entry.size() && host.ends_with("." + entry))) return true;
    }
    return false;
}

#ifdef _WIN32

// '*' stands for any run of characters; the rest compares without regard to case.
bool globMatch(std::string_view pattern, std::string_view text) {
    if (pattern.empty()) return text.empty();
    if (pattern.front() == '*') {
        for (std::size_t skip = 0; skip <= text.size(); ++skip)
            if (globMatch(pattern.substr(1), text.substr(skip))) return true;
        return false;
    }
    return !text.empty() && std::tolower(static_cast<unsigned char>(pattern.front())) == text.front() &&
           globMatch(pattern.substr(1), text.substr(1));
}

// The Internet settings' bypass list: entries separated by ";" or blanks, "*" wildcards, and
// "<local>" for a host name without a dot.
bool bypassedBySystem(const std::string& host, std::string_view list) {
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t end = std::min(list.find_first_of("; \t", start), list.size());
        const std::string entry = lower(trimmed(list.substr(start, end - start)));
        start = end + 1;
        if (entry.empty()) continue;
        if (entry == "<local>" ? host.find('.') == std::string::npos : globMatch(entry, host)) return true;
    }
    return false;
}

// "host:port", or "http=host:port;https=host:port": the entry for the scheme, else the one
// for http, else the first.
std::string proxyForScheme(std::string_view list, bool https) {
    std::string fallback, http;
    std::size_t start = 0;
    while (start < list.size()) {
        const std::size_t end = std::min(list.find_first_of("; ", start), list.size());
        const std::string_view entry = trimmed(list.substr(start, end - start));
        start = end + 1;
        if (entry.empty()) continue;
        const std::size_t equals = entry.find('=');
        if (equals == std::string_view::npos) return std::string(entry);
        const std::string scheme = lower(entry.substr(0, equals));
        const std::string server(entry.substr(equals + 1));
        if (scheme == (https ? "https" : "http")) return server;
        if (scheme == "http") http = server;
        if (fallback.empty()) fallback = server;
    }
    return http.empty() ? fallback : http;
}

std::string narrow(const wchar_t* text) {
    return text ? toUtf8(text) : std::string();
}

// Strings of the WinHTTP structures belong to the caller and go with GlobalFree.
struct GlobalText {
    wchar_t* text = nullptr;
    ~GlobalText() {
        if (text) GlobalFree(text);
    }
};

// What an automatic configuration (WPAD or a script's address) gives for `url`; empty when
// it gives no proxy or cannot be had within a few seconds.
std::string automaticProxy(const std::string& url, bool detect, const wchar_t* script, bool https) {
    HINTERNET session =
        WinHttpOpen(L"Orvenna", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (!session) return {};
    WinHttpSetTimeouts(session, 3000, 3000, 3000, 3000);
    WINHTTP_AUTOPROXY_OPTIONS options{};
    options.dwFlags = (detect ? WINHTTP_AUTOPROXY_AUTO_DETECT : 0) | (script ? WINHTTP_AUTOPROXY_CONFIG_URL : 0);
    options.dwAutoDetectFlags = detect ? WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A : 0;
    options.lpszAutoConfigUrl = script;
    options.fAutoLogonIfChallenged = TRUE;
    WINHTTP_PROXY_INFO info{};
    std::string proxy;
    if (WinHttpGetProxyForUrl(session, fromUtf8(url).c_str(), &options, &info)) {
        GlobalText list{info.lpszProxy}, bypass{info.lpszProxyBypass};
        if (info.dwAccessType == WINHTTP_ACCESS_TYPE_NAMED_PROXY) proxy = proxyForScheme(narrow(list.text), https);
    }
    WinHttpCloseHandle(session);
    return proxy;
}

std::string askSystemProxy(const std::string& url, const std::string& host, bool https) {
    WINHTTP_CURRENT_USER_IE_PROXY_CONFIG config{};
    if (!WinHttpGetIEProxyConfigForCurrentUser(&config)) return {};
    GlobalText script{config.lpszAutoConfigUrl}, list{config.lpszProxy}, bypass{config.lpszProxyBypass};
    if (config.fAutoDetect || script.text) {
        if (std::string proxy = automaticProxy(url, config.fAutoDetect, script.text, https); !proxy.empty())
            return proxy;
    }
    if (!list.text || bypassedBySystem(host, narrow(bypass.text))) return {};
    return proxyForScheme(narrow(list.text), https);
}

// Automatic detection can take seconds where no network offers a configuration, and the
// draw is asked for every few seconds: an answer is kept for a while per scheme and host.
std::string systemProxy(const std::string& url, const std::string& host, bool https) {
    using Clock = std::chrono::steady_clock;
    struct Kept {
        std::string proxy;
        Clock::time_point until;
    };
    static std::mutex mutex;
    static std::map<std::string, Kept> kept;
    const std::string key = (https ? "https://" : "http://") + host;
    {
        const std::lock_guard lock(mutex);
        if (const auto found = kept.find(key); found != kept.end() && found->second.until > Clock::now())
            return found->second.proxy;
    }
    std::string proxy = askSystemProxy(url, host, https);
    const std::lock_guard lock(mutex);
    kept[key] = {proxy, Clock::now() + std::chrono::minutes(10)};
    return proxy;
}

#endif

}  // namespace

std::string proxyFor(const std::string& url) {
    const std::string host = urlHost(url);
    const bool https = lower(url.substr(0, 8)) == "https://";
    std::string noProxy = environment("no_proxy");
    if (noProxy.empty()) noProxy = environment("NO_PROXY");
    if (bypassedByNoProxy(host, noProxy)) return {};
    if (std::string proxy = environmentProxy(https); !proxy.empty()) return proxy;
#ifdef _WIN32
    return systemProxy(url, host, https);
#else
    return {};
#endif
}

}  // namespace orvenna
