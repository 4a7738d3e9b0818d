#include "app/startup/PendingInstaller.h"

#include "update/Installer.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>

#include "base/Text.h"
#endif

namespace orvenna {

namespace {

std::filesystem::path pathOf(std::wstring_view name) {
#ifdef _WIN32
    return std::filesystem::path(std::wstring(name));
#else
    // Converted here rather than by std::filesystem, whose wide conversion follows the C
    // locale and fails on Chinese file names.
    return std::filesystem::path(toUtf8(name));
#endif
}

}  // namespace

void removePendingInstaller(const std::filesystem::path& programDir, std::wstring_view updateFile) {
    if (programDir.empty() || updateFile.empty()) return;
    if (updateFile.find(L'\0') != std::wstring_view::npos) return;
    const std::filesystem::path name = pathOf(updateFile);
    // Only the program's own name for a downloaded installer: anything else (src\data\ssq.db)
    // is not the download's to delete.
    if (!isInstallerFileName(name)) return;
    const std::filesystem::path file = programDir / name;
    // Only a plain file is the download's own; a link left at that name is someone else's.
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::symlink_status(file, error))) return;
        // Both calls delete files only (a symbolic link itself, not what it points to).
#ifdef _WIN32
    DeleteFileW(file.c_str());
#else
    ::unlink(file.c_str());
#endif
}

void removeLeftoverDownloads(const std::filesystem::path& programDir) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(programDir, error)) {
        if (!isPartialDownloadName(entry.path().filename())) continue;
        // The entry itself, not what a link at that name points to: only a plain file is the
        // download's own.
        if (!std::filesystem::is_regular_file(entry.symlink_status(error))) continue;
        std::filesystem::remove(entry.path(), error);
    }
}

}  // namespace orvenna
