// One offered update as the update window shows and downloads it, and where its window stands.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "OfferDecision.h"
#include "UpdateIndex.h"

namespace orvenna {

// Everything the window shows of one offered update.
struct UpdateOffer {
    std::wstring productName;
    std::wstring currentVersion;
    std::wstring verns;
    std::wstring day;
    std::int64_t size = 0;
    std::filesystem::path installerPath;
    std::wstring md5;
    std::wstring body;
    std::string address;            // decoded, https (or http to a loopback host)
    std::string signature;          // the installer's minisign signature, as the index gave it
    std::filesystem::path keyFile;  // the trusted public key it must verify against
};

// The offer of an index whose decision offered it: the installer goes into `programDir`
// under its fingerprint's name.
UpdateOffer makeUpdateOffer(const UpdateIndex& index, const OfferDecision& decision,
                            const std::filesystem::path& programDir, const std::filesystem::path& keyFile);

// Where the update window stands: what "立即下载"/"立即安装" does next and what it says.
enum class UpdateState {
    Idle,         // nothing downloaded yet, or a refused installer deleted
    Downloading,  // the installer is coming
    Downloaded,   // the installer is here, to be checked and started
    Failed,       // the download failed; it may be tried again
};

// True while closing the window would leave the update half done: the user is asked first.
inline bool updateUnfinished(UpdateState state) {
    return state == UpdateState::Downloading || state == UpdateState::Downloaded;
}

}  // namespace orvenna
