#include "UpdateCheck.h"

#include "base/DayCount.h"
#include "base/Text.h"
#include "framework/Clock.h"
#include "framework/HttpClient.h"
#include "framework/Settings.h"

namespace orvenna {

std::wstring todayText() {
    const DateTimeFields now = fieldsFromDayCount(localNow());
    return updateDayText(now.year, now.month, now.day);
}

void UpdateCheck::configure(std::string updateUrl, std::filesystem::path programDir) {
    updateUrl_ = std::move(updateUrl);
    programDir_ = std::move(programDir);
}

bool UpdateCheck::dueToday() const {
    return !updateUrl_.empty() && readSetting(configFile(), L"update_day", L"") != todayText();
}

void UpdateCheck::start() {
    if (updateUrl_.empty()) return;
    task_.start(
        [url = updateIndexUrl(updateUrl_)](const std::atomic<bool>& cancelled) {
            HttpOptions options;
            options.connectTimeoutMs = UpdateIndexConnectTimeoutMs;
            options.totalTimeoutMs = UpdateIndexTotalTimeoutMs;
            options.maxBodyBytes = UpdateIndexMaxBytes;
            options.onProgress = [&cancelled](std::int64_t, std::int64_t) { return !cancelled; };
            // The body is read whatever the answer's code: only a valid, complete index counts.
            const HttpResponse response = HttpClient().get(url, options);
            // An index cut short is no index, even where what arrived happens to parse.
            if (!response.completed()) return std::optional<UpdateIndex>();
            return parseUpdateIndex(response.body);
        },
        [this](const std::optional<UpdateIndex>& index) { answer(index); });
}

void UpdateCheck::answer(const std::optional<UpdateIndex>& index) {
    if (!index || !offersUpdate(*index)) return;
    const std::wstring fileName = index->md5 + L".exe";
    writeSetting(configFile(), L"update_file", fileName);
    UpdateOffer offer;
    offer.productName = L"Orvenna";
    offer.currentVersion = std::wstring(ProgramVersionText);
    offer.verns = index->verns;
    offer.day = index->day;
    offer.size = index->size;
    offer.installerPath = programDir_ / fileName;
    offer.md5 = index->md5;
    offer.body = index->body;
    offer.address = toUtf8(*decodeUpdateAddress(index->url));
    observer_.showUpdateOffer(std::move(offer));
    writeSetting(configFile(), L"update_day", todayText());
}

}  // namespace orvenna
