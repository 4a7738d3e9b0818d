#include "DrawFetcher.h"

#include <algorithm>
#include <cctype>

#include "TableDraw.h"
#include "base/Text.h"
#include "codec/Gb18030.h"
#include "net/HttpClient.h"
#include "system/Ping.h"

namespace orvenna {

namespace {

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load();
}

HttpResponse getResultsPage(const std::string& url, const std::atomic<bool>* cancel) {
    HttpOptions options;
    options.connectTimeoutMs = DrawConnectTimeoutMs;
    options.totalTimeoutMs = DrawTotalTimeoutMs;
    options.onProgress = [cancel](std::int64_t, std::int64_t) { return !cancelled(cancel); };
    return HttpClient().get(url, options);
}

// The Content-Type names UTF-8 as the charset, in any case and quoting.
bool declaresUtf8(const HttpResponse& response) {
    const auto header = response.headers.find("Content-Type");
    if (header == response.headers.end()) return false;
    std::string type = header->second;
    std::transform(type.begin(), type.end(), type.begin(), [](unsigned char c) { return std::tolower(c); });
    std::erase_if(type, [](char c) { return c == ' ' || c == '"' || c == '\''; });
    return type.find("charset=utf-8") != std::string::npos || type.find("charset=utf8") != std::string::npos;
}

// The page of a completed 200 answer as UTF-8; an error for another answer or a page that is
// not in its encoding.
Result<std::string> pageText(const HttpResponse& response) {
    if (response.code != 200)
        return Error{ErrorSource::HttpStatus, static_cast<int>(response.code),
                     "response " + std::to_string(response.code)};
    if (declaresUtf8(response)) {
        // Invalid sequences would come back as U+FFFD: a text that changes is not UTF-8.
        if (toUtf8(fromUtf8(response.body)) != response.body)
            return Error{ErrorSource::Program, 0, "the page is not the UTF-8 it declares"};
        return response.body;
    }
    auto text = gb18030ToUtf8(response.body);
    if (!text) return Error{ErrorSource::Program, 0, "the page is not GB18030"};
    return std::move(*text);
}

}  // namespace

bool checkNetwork(const DrawSource& source, const std::atomic<bool>* cancel) {
    return source.pingHost.empty() || pingOnce(source.pingCommand, source.pingHost, cancel);
}

// A transfer that did not complete (cut short, timed out, over the size cap) is a failure
// whatever its status code: a page cut after its table row would otherwise count as a draw.
Result<std::string> fetchPage(const std::string& url, const std::atomic<bool>* cancel) {
    const HttpResponse response = getResultsPage(url, cancel);
    if (!response.completed()) return response.error;
    return pageText(response);
}

DrawResult parseSevenStarDraw(const std::string& utf8Page) {
    return parseTableDraw(2, 6, L"七星彩", L"yellow", utf8Page);
}

// Many company networks drop ping while the web works: the page is fetched first, and the
// ping only tells a network that is down from a site that does not answer.
RefreshOutcome refreshOnce(const DrawSource& source, const std::atomic<bool>* cancel) {
    RefreshOutcome outcome;
    const HttpResponse response = getResultsPage(source.pageUrl, cancel);
    if (!response.completed()) {
        outcome.reason = response.error.message;
        outcome.state =
            !cancelled(cancel) && checkNetwork(source, cancel) ? RefreshState::NotFetched : RefreshState::Offline;
        outcome.draw.status = DrawPageUnreadable;
        outcome.draw.errorText = fromUtf8(outcome.reason);
        return outcome;
    }
    const Result<std::string> page = pageText(response);
    if (!page) {
        outcome.reason = page.error().message;
        outcome.state = response.code == 200 ? RefreshState::Unreadable : RefreshState::NoDraw;
        return outcome;
    }
    outcome.draw = parseSevenStarDraw(page.value());
    if (outcome.draw.usable()) {
        outcome.state = RefreshState::Drawn;
    } else if (outcome.draw.status != DrawParsed) {
        outcome.state = RefreshState::Unreadable;
        outcome.reason = "the page could not be parsed";
    } else {
        outcome.state = RefreshState::NoDraw;
        outcome.reason = "the page holds no draw";
    }
    return outcome;
}

}  // namespace orvenna
