#include "UpdateIndexFetch.h"

#include "net/HttpClient.h"

namespace orvenna {

std::string updateIndexUrl(std::string_view base) {
    std::string url(base);
    while (!url.empty() && url.back() == '/') url.pop_back();
    std::string path = "/update/{0}/index.json";
    path.replace(path.find("{0}"), 3, UpdateProductKey);
    return url + path;
}

namespace {

// One small file of the update server, whole, with a 200 answer, or why not.
Result<std::string> fetchSmall(const std::string& url, std::size_t maxBytes, const std::function<bool()>& cancelled) {
    HttpOptions options;
    options.connectTimeoutMs = UpdateIndexConnectTimeoutMs;
    options.totalTimeoutMs = UpdateIndexTotalTimeoutMs;
    options.maxBodyBytes = maxBytes;
    options.httpsRedirectsOnly = true;
    options.onProgress = [&cancelled](std::int64_t, std::int64_t) { return !cancelled(); };
    HttpResponse response = HttpClient().get(url, options);
    // A file cut short is no file, even where what arrived happens to read.
    if (!response.completed())
        return Error{response.error.source, response.error.code, url + ": " + response.error.message};
    if (response.code != 200)
        return Error{ErrorSource::HttpStatus, static_cast<int>(response.code),
                     url + ": the server answered " + std::to_string(response.code)};
    return std::move(response.body);
}

}  // namespace

Result<SignedIndexText> fetchUpdateIndex(std::string_view base, const std::function<bool()>& cancelled) {
    const std::string url = updateIndexUrl(base);
    Result<std::string> json = fetchSmall(url, UpdateIndexMaxBytes, cancelled);
    if (!json) return json.error();
    // An index without a signature is still fetched: the decision says why it offers nothing.
    Result<std::string> signature = fetchSmall(url + ".minisig", UpdateSignatureMaxBytes, cancelled);
    if (!signature && cancelled()) return signature.error();
    return SignedIndexText{std::move(*json), signature ? std::move(*signature) : std::string()};
}

}  // namespace orvenna
