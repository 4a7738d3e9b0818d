#include "UpdateOffer.h"

#include "Installer.h"
#include "base/Version.h"

namespace orvenna {

UpdateOffer makeUpdateOffer(const UpdateIndex& index, const OfferDecision& decision,
                            const std::filesystem::path& programDir, const std::filesystem::path& keyFile) {
    UpdateOffer offer;
    offer.productName = L"Orvenna";
    offer.currentVersion = std::wstring(ProgramVersionText);
    offer.verns = index.verns;
    offer.day = index.day;
    offer.size = index.size;
    offer.installerPath = programDir / installerFileName(index.md5);
    offer.md5 = index.md5;
    offer.body = index.body;
    offer.signature = index.sig;
    offer.keyFile = keyFile;
    offer.address = decision.address;
    return offer;
}

}  // namespace orvenna
