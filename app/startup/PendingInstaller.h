// Clean-up of an update installer downloaded during an earlier run.
#pragma once

#include <filesystem>
#include <string_view>

namespace orvenna {

// Deletes programDir / updateFile, the installer an earlier run downloaded; nothing when
// updateFile is empty. The name comes from the configuration file, which anyone can edit, so
// only the name the download gives an installer (32 upper-case hexadecimal digits + ".exe",
// no folder) is deleted; any other makes the call do nothing. Only plain files are deleted,
// never folders or links. Failures (the file is already gone, for instance) are ignored; the
// setting itself is not changed.
void removePendingInstaller(const std::filesystem::path& programDir, std::wstring_view updateFile);

// Deletes the partial downloads an earlier run left in programDir when it was ended during
// an update's download: plain files named as a download names them, nothing else, and
// nothing in the folders below.
void removeLeftoverDownloads(const std::filesystem::path& programDir);

}  // namespace orvenna
