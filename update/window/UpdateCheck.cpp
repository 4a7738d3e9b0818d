#include "UpdateCheck.h"

#include "base/DayCount.h"
#include "base/Text.h"
#include "net/SecureAddress.h"
#include "system/Clock.h"
#include "system/Settings.h"
#include "update/Installer.h"
#include "update/UpdateDay.h"
#include "update/UpdateIndexFetch.h"

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
    return !updateUrl_.empty() && readSetting(configFile(), Setting::UpdateDay) != todayText();
}

void UpdateCheck::start() {
    if (updateUrl_.empty()) return;
    if (!isSecureAddress(updateUrl_)) {
        observer_.showUpdateNotice(std::wstring(InsecureUpdateAddressText));
        return;
    }
    // The key is read and the index verified and parsed beside the window too: the window's
    // thread only shows the decision.
    task_.start(
        [base = updateUrl_, keyFile = keyFile_](const std::atomic<bool>& cancelled) -> Result<IndexDecision> {
            const Result<SignedIndexText> text = fetchUpdateIndex(base, [&cancelled] { return cancelled.load(); });
            if (!text) return text.error();
            return decideSignedIndex(*text, readMinisignKey(keyFile));
        },
        [this](const Result<IndexDecision>& decided) { answer(decided); });
}

void UpdateCheck::answer(const Result<IndexDecision>& checked) {
    if (!checked) {
        observer_.showUpdateNotice(L"无法检查更新:" + fromUtf8(checked.error().message));
        return;
    }
    const IndexDecision& decided = *checked;
    const OfferDecision& decision = decided.decision;
    switch (decision.verdict) {
        case OfferVerdict::Offered:
        case OfferVerdict::NotNewer:
            break;
        case OfferVerdict::InsecureAddress:
            observer_.showUpdateNotice(std::wstring(InsecureUpdateAddressText));
            break;
        default:
            observer_.showUpdateNotice(L"更新信息未通过验证,已忽略:" + fromUtf8(decision.reason));
            break;
    }
    if (!decision.offered()) return;
    const UpdateOffer offer = makeUpdateOffer(*decided.index, decision, programDir_, keyFile_);
    // Written before the window is built: whatever the offer does to the window, the next
    // start does not ask again today. A configuration that cannot be written does not hold
    // back the offer, but the user learns why the next start asks again.
    const Status fileWritten = writeSetting(configFile(), Setting::UpdateFile, installerFileName(decided.index->md5));
    const Status dayWritten = writeSetting(configFile(), Setting::UpdateDay, todayText());
    if (const Status& failed = fileWritten ? dayWritten : fileWritten; !failed)
        observer_.showUpdateNotice(L"无法写入配置文件:" + fromUtf8(failed.error().message));
    observer_.showUpdateOffer(offer);
}

}  // namespace orvenna
