#include "SecureAddress.h"

#include <curl/curl.h>

#include <memory>
#include <string_view>

#include "base/Text.h"

namespace orvenna {

namespace {

struct UrlFree {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
struct PartFree {
    void operator()(char* part) const { curl_free(part); }
};

std::string urlPart(CURLU* url, CURLUPart which) {
    char* raw = nullptr;
    if (curl_url_get(url, which, &raw, 0) != CURLUE_OK) return {};
    const std::unique_ptr<char, PartFree> part(raw);
    return raw;
}

// 127.x.y.z written as four decimal numbers of at most three digits each, up to 255.
bool isLoopbackIpv4(std::string_view host) {
    int parts = 0;
    while (true) {
        std::size_t digits = 0;
        int value = 0;
        while (digits < host.size() && host[digits] >= '0' && host[digits] <= '9' && digits < 3)
            value = value * 10 + (host[digits++] - '0');
        if (digits == 0 || value > 255 || (parts == 0 && value != 127)) return false;
        ++parts;
        host.remove_prefix(digits);
        if (host.empty()) return parts == 4;
        if (host.front() != '.' || parts == 4) return false;
        host.remove_prefix(1);
    }
}

}  // namespace

bool isSecureAddress(const std::string& url) {
    const std::unique_ptr<CURLU, UrlFree> parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return false;
    const std::string scheme = urlPart(parsed.get(), CURLUPART_SCHEME);
    return equalsIgnoringAsciiCase(std::string_view(scheme), std::string_view("https")) || isLoopbackHttpAddress(url);
}

bool isLoopbackHttpAddress(const std::string& url) {
    const std::unique_ptr<CURLU, UrlFree> parsed(curl_url());
    if (!parsed || curl_url_set(parsed.get(), CURLUPART_URL, url.c_str(), 0) != CURLUE_OK) return false;
    const std::string scheme = urlPart(parsed.get(), CURLUPART_SCHEME);
    if (!equalsIgnoringAsciiCase(std::string_view(scheme), std::string_view("http"))) return false;
    const std::string host = urlPart(parsed.get(), CURLUPART_HOST);
    return equalsIgnoringAsciiCase(std::string_view(host), std::string_view("localhost")) || host == "[::1]" ||
           isLoopbackIpv4(host);
}

}  // namespace orvenna
