#include "UpdateCheck.h"

#include "base/DayCount.h"
#include "base/Text.h"
#include "framework/Clock.h"
#include "framework/SecureAddress.h"
#include "framework/Settings.h"

namespace orvenna {

std::wstring todayText() {
    const DateTimeFields now = fieldsFromDayCount(localNow());
    return updateDayText(now.year, now.month, now.day);
}

void UpdateCheck::configure(std::string updateUrl, std::filesystem::path programDir, std::filesystem::path keyFile) {
    updateUrl_ = std::move(updateUrl);
    programDir_ = std::move(programDir);
    keyFile_ = std::move(keyFile);
}

bool UpdateCheck::dueToday() const {
    return !updateUrl_.empty() && readSetting(configFile(), L"update_day", L"") != todayText();
}

void UpdateCheck::start() {
    if (updateUrl_.empty()) return;
    if (!isSecureAddress(updateUrl_)) {
        observer_.showUpdateNotice(std::wstring(InsecureUpdateAddressText));
        return;
    }
    task_.start(
        [base = updateUrl_](const std::atomic<bool>& cancelled) {
            return fetchUpdateIndex(base, [&cancelled] { return cancelled.load(); });
        },
        [this](const std::optional<UpdateIndex>& index) { answer(index); });
}

void UpdateCheck::answer(const std::optional<UpdateIndex>& index) {
    if (!index) return;
    const OfferDecision decision = decideOffer(*index, readMinisignKey(keyFile_));
    if (decision.verdict == OfferVerdict::InsecureAddress)
        observer_.showUpdateNotice(std::wstring(InsecureUpdateAddressText));
    if (!decision.offered()) return;
    const std::wstring fileName = installerFileName(index->md5);
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
    offer.signature = index->sig;
    offer.keyFile = keyFile_;
    offer.address = toUtf8(*decodeUpdateAddress(index->url));
    observer_.showUpdateOffer(std::move(offer));
    writeSetting(configFile(), L"update_day", todayText());
}

}  // namespace orvenna
