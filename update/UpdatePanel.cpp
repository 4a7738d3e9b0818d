#include "UpdatePanel.h"

#include <algorithm>
#include <cmath>

#include "Installer.h"
#include "UpdateIndex.h"
#include "base/Text.h"
#include "gui/Layout.h"

namespace orvenna {

namespace {

std::wstring withValue(std::wstring_view format, const std::wstring& value) {
    std::wstring text(format);
    text.replace(text.find(L"{0}"), 3, value);
    return text;
}

// What the status line says after a download, by how it ended.
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

}  // namespace

UpdatePanel::UpdatePanel(wxWindow* parent, const wxFont& font, UpdateOffer offer)
    : wxPanel(parent), offer_(std::move(offer)) {
    SetFont(font);
    const std::wstring values[5] = {offer_.productName, offer_.currentVersion, offer_.verns, offer_.day,
                                    megabytesText(offer_.size)};
    const std::wstring_view formats[5] = {L"软件名称:{0}", L"当前版本:{0}", L"最新版本:{0}", L"发布日期:{0}",
                                          L"文件大小:{0}MB"};
    for (int row = 0; row < 5; ++row) {
        labels_[row] = new wxStaticText(this, wxID_ANY, withValue(formats[row], values[row]), wxDefaultPosition,
                                        wxDefaultSize, wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    }
    notes_ = new wxTextCtrl(this, wxID_ANY, withValue(L"更新内容:{0}", offer_.body), wxDefaultPosition, wxDefaultSize,
                            wxTE_MULTILINE | wxTE_READONLY | wxVSCROLL);
    progress_ = new wxGauge(this, wxID_ANY, 100);
    status_ = new wxStaticText(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize, wxST_NO_AUTORESIZE);
    later_ = makeButton(this, L"下次再说");
    main_ = makeButton(this, L"立即下载");
    layout();

    later_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { pressLater(); });
    main_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { pressMain(); });
}

// Positions in character cells (c wide, u high) plus fixed pixel distances, at the panel's
// DPI. The panel is as wide as its longest text, its two buttons side by side, or the 20
// cells that a date's width gave it, whichever is widest; the status line's longest text
// ("文件大小:…/已下载:…MB") is among them.
void UpdatePanel::layout() {
    const LayoutContext layout(this);
    const wxSize cell = layout.cell(L'新');
    const int c = cell.x, u = cell.y;
    const auto px = [&layout](int pixels) { return layout.px(pixels); };
    const int buttonWidth = std::max({6 * c, later_->GetBestSize().x, main_->GetBestSize().x});
    int width = std::max(20 * c, 2 * buttonWidth + px(30));
    for (wxStaticText* label : labels_) width = std::max(width, layout.extent(label->GetLabel()).x + px(10));
    width = std::max(width, layout.extent(concat(L"文件大小:", megabytesText(offer_.size), L"/已下载:",
                                                 megabytesText(offer_.size), L"MB"))
                                    .x +
                                px(10));
    // The longest things the status line can say after a download.
    for (const auto outcome : {DownloadOutcome::Short, DownloadOutcome::TooSlow, DownloadOutcome::NotWritable})
        width = std::max(width, layout.extent(std::wstring(downloadText(outcome))).x + px(10));
    width = std::max(width, layout.extent(noRoomText(offer_.size + DownloadSpareBytes)).x + px(10));
    for (int row = 0; row < 5; ++row)
        place(labels_[row], px(5), row * (u + px(6)) + px(6), width - px(10), u, Floor::BestHeight);
    notes_->SetMargins(px(4), -1);
    place(notes_, px(5), 5 * u + px(36), width - px(10), 8 * u, Floor::Exact);
    place(progress_, px(5), 13 * u + px(42), width - px(10), u + px(8), Floor::BestHeight);
    place(status_, px(5), std::max(14 * u + px(56), bottom(progress_) + px(6)), width - px(10), u, Floor::BestHeight);
    const int buttonTop = std::max(15 * u + px(62), bottom(status_) + px(6));
    const int left = (width - 2 * buttonWidth - px(10)) / 2;
    const wxRect later = place(later_, left, buttonTop, buttonWidth, u + px(12));
    place(main_, later.GetRight() + 1 + px(10), buttonTop, buttonWidth, u + px(12));
    SetSize(width, std::max(16 * u + px(82), bottom(main_) + px(10)));
}

UpdatePanel::~UpdatePanel() {
    cancelDownload();
}

void UpdatePanel::pressLater() {
    laterChosen.raise(1);
}

// The caption follows the state; a press does what the state calls for.
void UpdatePanel::setState(UpdateState state) {
    state_ = state;
    switch (state) {
        case UpdateDownloading:
            main_->SetLabel(L"…下载中…");
            break;
        case UpdateDownloaded:
            main_->SetLabel(L"立即安装");
            break;
        case UpdateIdle:
        case UpdateFailed:
            main_->SetLabel(L"立即下载");
            break;
    }
}

void UpdatePanel::pressMain() {
    if (state_ == UpdateIdle || state_ == UpdateFailed) {
        if (!hasRoomForDownload()) return;
        setState(UpdateDownloading);
        later_->Disable();
        main_->Disable();
        startDownload();
    } else if (state_ == UpdateDownloaded) {
        later_->Disable();
        main_->Disable();
        install();
    }
}

namespace {

std::wstring_view refusalText(const Error& refusal) {
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

}  // namespace

// Nothing is written to a disk that cannot take the whole installer and some to spare: the
// user frees space and presses 立即下载 again. Where the system cannot tell, the download's
// cap still bounds it.
bool UpdatePanel::hasRoomForDownload() {
    const Result<std::int64_t> free = freeDiskBytes(offer_.installerPath.parent_path());
    const std::int64_t needed = offer_.size + DownloadSpareBytes;
    if (!free || *free >= needed) return true;
    status_->SetLabel(noRoomText(needed));
    return false;
}

// The check reads the whole installer (up to UpdateInstallerMaxBytes), so it runs beside the
// window's thread, with both buttons disabled until it has ended.
void UpdatePanel::install() {
    status_->SetLabel(L"正在检查下载的文件…");
    check_.start(
        [verify = verifyRequested, offer = offer_](const std::atomic<bool>& cancelled) {
            return std::make_shared<Result<LockedFile>>(
                verify ? verify(offer, cancelled)
                       : Result<LockedFile>(Error{ErrorSource::Program, InstallerUnreadable, "no check"}));
        },
        [this](const std::shared_ptr<Result<LockedFile>>& checked) { finishInstall(*checked); });
}

// The installer is checked and started through one held handle. A refused file is deleted
// and may be downloaded again; a start that fails says why and leaves "立即安装" to try again.
void UpdatePanel::finishInstall(const Result<LockedFile>& checked) {
    if (!checked) {
        status_->SetLabel(std::wstring(refusalText(checked.error())));
        std::error_code error;
        std::filesystem::remove(offer_.installerPath, error);
        setState(UpdateIdle);
    } else {
        status_->SetLabel(L"文件指纹正确，立即进行安装");
        const Status started = installRequested ? installRequested(*checked) : success();
        if (started) return;
        status_->SetLabel(L"无法启动安装程序:" + fromUtf8(started.error().message));
    }
    later_->Enable();
    main_->Enable();
    checkEnded.raise();
}

// The worker touches no control: progress and the end come back to the window's thread.
void UpdatePanel::startDownload() {
    progress_->SetRange(100);
    progress_->SetValue(0);
    stateChanged.raise(UpdateDownloading);
    download_.start(
        [this, address = offer_.address, installer = offer_.installerPath, size = offer_.size,
         limits = limits_](const std::atomic<bool>& cancelled) {
            auto lastShown = std::chrono::steady_clock::now() - std::chrono::seconds(1);
            const auto progress = [&](std::int64_t received, std::int64_t total) {
                const auto now = std::chrono::steady_clock::now();
                if (now - lastShown >= ProgressInterval || (total > 0 && received == total)) {
                    lastShown = now;
                    download_.post([this, received, total] { showProgress(received, total); });
                }
                return true;
            };
            return downloadInstaller(address, installer, size, limits, progress, cancelled);
        },
        [this](const DownloadResult& result) { finishDownload(result); });
}

void UpdatePanel::showProgress(std::int64_t received, std::int64_t total) {
    if (total <= 0 || received <= 0 || total < received) return;
    progress_->SetValue(static_cast<int>(std::floor(static_cast<double>(received) / static_cast<double>(total) * 100)));
    status_->SetLabel(concat(L"文件大小:", megabytesText(total), L"/已下载:", megabytesText(received), L"MB"));
}

void UpdatePanel::finishDownload(const DownloadResult& result) {
    const bool ok = result.outcome == DownloadOutcome::Complete;
    stateChanged.raise(ok ? UpdateDownloaded : UpdateFailed);
    setState(ok ? UpdateDownloaded : UpdateFailed);
    // A full bar beside "下载失败" would say the opposite.
    if (!ok) progress_->SetValue(0);
    status_->SetLabel(std::wstring(downloadText(result.outcome)));
    main_->Enable();
    later_->Enable();
    downloadEnded.raise();
}

}  // namespace orvenna
