// What the update window says of the update's figures and of how a download and the check
// of the downloaded installer ended.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "base/Result.h"
#include "update/InstallerDownload.h"

namespace orvenna {

// Bytes as megabytes to two decimals (halves away from zero), without trailing zeros:
// 1572864 gives "1.5", 0 gives "0".
std::wstring megabytesText(std::int64_t bytes);

// The status line after a download, by how it ended: "恭喜您！更新已下载成功!", ...
std::wstring_view downloadText(DownloadOutcome outcome);

// "磁盘空间不足，需要1.5MB可用空间": the download did not start for want of `needed` bytes.
std::wstring noRoomText(std::int64_t needed);

// Why the downloaded installer is not started, from checkInstaller's refusal: its
// fingerprint, signature or size; anything else is a file that could not be read.
std::wstring_view installerRefusalText(const Error& refusal);

}  // namespace orvenna
