#include "UpdateWords.h"

#include <cmath>
#include <cstdio>

#include "base/Text.h"
#include "update/Installer.h"

namespace orvenna {

std::wstring megabytesText(std::int64_t bytes) {
    const double megabytes = static_cast<double>(bytes) / 1024 / 1024;
    const double rounded = std::round(megabytes * 100) / 100;  // std::round takes halves away from zero
    if (std::fabs(rounded) < 0.000001) return L"0";
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", rounded);
    return fromUtf8(text);
}

std::wstring_view downloadText(DownloadOutcome outcome) {
    switch (outcome) {
        case DownloadOutcome::Complete:
            return L"恭喜您！更新已下载成功!";
        case DownloadOutcome::Short:
            return L"下载的文件不完整，请稍候重新下载";
        case DownloadOutcome::TooSlow:
            return L"下载过慢已停止，请检查网络稍候再试";
        case DownloadOutcome::NotWritable:
            return L"无法写入下载文件，请检查程序目录";
        case DownloadOutcome::Failed:
            break;
    }
    return L"对不起！下载失败请检查网络稍候再试";
}

std::wstring noRoomText(std::int64_t needed) {
    return concat(L"磁盘空间不足，需要", megabytesText(needed), L"MB可用空间");
}

std::wstring_view installerRefusalText(const Error& refusal) {
    // Only the check's own refusals name a fault; a system's code of the same number does not.
    if (refusal.source != ErrorSource::Program) return L"无法读取下载的文件，请重新下载";
    switch (refusal.code) {
        case InstallerWrongFingerprint:
            return L"文件指纹不正确，请重新下载";
        case InstallerWrongSignature:
            return L"文件签名不正确，请重新下载";
        case InstallerWrongSize:
            return L"文件大小不正确，请重新下载";
        default:
            return L"无法读取下载的文件，请重新下载";
    }
}

}  // namespace orvenna
