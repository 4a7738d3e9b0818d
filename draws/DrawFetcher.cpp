#include "DrawFetcher.h"
#include "TableDraw.h"
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

}  // namespace

bool checkNetwork(const DrawSource& source, const std::atomic<bool>* cancel) {
    return source.pingHost.empty() || pingOnce(source.pingCommand, source.pingHost, cancel);
}

Result<std::string> fetchPage(const std::string& url, const std::atomic<bool>* cancel) {
    HttpClient client;
    HttpOptions options;
    options.connectTimeoutMs = DrawConnectTimeoutMs;
    options.totalTimeoutMs = DrawTotalTimeoutMs;
    options.onProgress = [cancel](std::int64_t, std::int64_t) { return !cancelled(cancel); };
    const HttpResponse response = client.get(url, options);
    if (response.code != 200) {
        if (!response.completed()) return response.error;
        return Error{static_cast<int>(response.code), "response " + std::to_string(response.code)};
    }
    auto text = gb18030ToUtf8(response.body);
    if (!text) return Error{0, "the page is not GB18030"};
    return std::move(*text);
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
    outcome.draw = parseSevenStarDraw(fetchFrontResultsPage(source.pageUrl, cancel));
    return outcome;
}

}  // namespace orvenna
