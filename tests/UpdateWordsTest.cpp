#include "ui/words/UpdateWords.h"

#include <gtest/gtest.h>

#include "update/Installer.h"

namespace orvenna {
namespace {

TEST(UpdateWordsTest, SizesInMegabytesToTwoDecimals) {
    EXPECT_EQ(megabytesText(1572864), L"1.5");
    EXPECT_EQ(megabytesText(1048576), L"1");
    EXPECT_EQ(megabytesText(0), L"0");
    EXPECT_EQ(megabytesText(5242), L"0");     // 0.004999 MB
    EXPECT_EQ(megabytesText(5243), L"0.01");  // 0.0050001 MB
    EXPECT_EQ(megabytesText(-5243), L"-0.01");
    EXPECT_EQ(megabytesText(123456789012), L"117737.57");
    EXPECT_EQ(noRoomText(1572864), L"磁盘空间不足，需要1.5MB可用空间");
}

TEST(UpdateWordsTest, EachDownloadEndingHasItsStatusLine) {
    const struct {
        DownloadOutcome outcome;
        std::wstring_view said;
    } rows[] = {
        {DownloadOutcome::Complete, L"恭喜您！更新已下载成功!"},
        {DownloadOutcome::Failed, L"对不起！下载失败请检查网络稍候再试"},
        {DownloadOutcome::Short, L"下载的文件不完整，请稍候重新下载"},
        {DownloadOutcome::TooSlow, L"下载过慢已停止，请检查网络稍候再试"},
        {DownloadOutcome::NotWritable, L"无法写入下载文件，请检查程序目录"},
    };
    for (const auto& row : rows) EXPECT_EQ(downloadText(row.outcome), row.said) << static_cast<int>(row.outcome);
}

// Only the check's own refusals name a fault: a system error with the same number is a file
// that could not be read.
TEST(UpdateWordsTest, EachInstallerRefusalHasItsStatusLine) {
    const struct {
        Error refusal;
        std::wstring_view said;
    } rows[] = {
        {{ErrorSource::Program, InstallerWrongFingerprint, ""}, L"文件指纹不正确，请重新下载"},
        {{ErrorSource::Program, InstallerWrongSignature, ""}, L"文件签名不正确，请重新下载"},
        {{ErrorSource::Program, InstallerWrongSize, ""}, L"文件大小不正确，请重新下载"},
        {{ErrorSource::Program, InstallerUnreadable, ""}, L"无法读取下载的文件，请重新下载"},
        {{ErrorSource::System, InstallerWrongFingerprint, "I/O error"}, L"无法读取下载的文件，请重新下载"},
    };
    for (const auto& row : rows) EXPECT_EQ(installerRefusalText(row.refusal), row.said) << row.refusal.code;
}

}  // namespace
}  // namespace orvenna
