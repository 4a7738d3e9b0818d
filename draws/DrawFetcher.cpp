#include "DrawFetcher.h"

#include "TableDraw.h"
#include "base/Text.h"
#include "framework/Gb18030.h"
#include "framework/HttpClient.h"
#include "framework/Process.h"

namespace orvenna {

const std::wstring_view DrawUpdatedText =
    L"开奖数据已更新，与实时开奖数据存在相差两小时左右的误差,此不会影响推演数据，本软件不参照历史数据.";

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

// The page of a completed 200 answer as UTF-8; an error for another answer or a page that is
// not GB18030.
Result<std::string> pageText(const HttpResponse& response) {
    if (response.code != 200)
        return Error{static_cast<int>(response.code), "response " + std::to_string(response.code)};
    auto text = gb18030ToUtf8(response.body);
    if (!text) return Error{0, "the page is not GB18030"};
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

std::string fetchFrontResultsPage(const std::string& url, const std::atomic<bool>* cancel) {
    Result<std::string> page = fetchPage(url, cancel);
    return page ? std::move(page).value() : std::string();
}

DrawResult parseSevenStarDraw(const std::string& utf8Page) {
    return parseTableDraw(2, 6, L"七星彩", L"yellow", utf8Page);
}

RefreshOutcome refreshOnce(const DrawSource& source, const std::atomic<bool>* cancel) {
    RefreshOutcome outcome;
    outcome.networkUp = checkNetwork(source, cancel);
    if (!outcome.networkUp) return outcome;
    const HttpResponse response = getResultsPage(source.pageUrl, cancel);
    if (!response.completed()) {
        // Nothing arrived whole: no draw, and the timer asks again.
        outcome.draw.status = DrawPageUnreadable;
        outcome.draw.errorText = fromUtf8(response.error.message);
        return outcome;
    }
    const Result<std::string> page = pageText(response);
    outcome.draw = parseSevenStarDraw(page ? page.value() : std::string());
    return outcome;
}

}  // namespace orvenna
