#include "UpdatePanel.h"

#include <algorithm>
#include <cmath>

#include "base/Text.h"
#include "gui/Layout.h"
#include "ui/words/UpdateWords.h"
#include "update/Installer.h"

namespace orvenna {

namespace {

std::wstring withValue(std::wstring_view format, const std::wstring& value) {
    std::wstring text(format);
    text.replace(text.find(L"{0}"), 3, value);
    return text;
}

// A distance of the panel's geometry: character cells (u high) plus 96-DPI pixels.
struct CellsAndPx {
    int cells;
    int px;
};

// The panel's geometry. The five detail rows are a cell and LabelPitchPx apart, from
// LabelPitchPx down; then the notes, the progress bar, the status line and the buttons, each
// at least BelowPx below what is above it; every row SideMarginPx in from both sides.
constexpr int SideMarginPx = 5;
constexpr int LabelPitchPx = 6;
constexpr int BelowPx = 6;
constexpr int TextPaddingPx = 10;  // beside a text, within its row
constexpr int ButtonGapPx = 10;    // between the two buttons
constexpr int ButtonPairPaddingPx = 30;
constexpr int MinWidthCells = 20;
constexpr int ButtonMinCells = 6;
constexpr int NotesCells = 8;
constexpr int BottomMarginPx = 10;
constexpr CellsAndPx NotesTop{5, 36};
constexpr CellsAndPx ProgressTop{13, 42};
constexpr CellsAndPx ProgressHeight{1, 8};
constexpr CellsAndPx StatusTop{14, 56};
constexpr CellsAndPx ButtonTop{15, 62};
constexpr CellsAndPx ButtonHeight{1, 12};
constexpr CellsAndPx PanelHeight{16, 82};

}  // namespace

UpdatePanel::UpdatePanel(wxWindow* parent, const wxFont& font, UpdateOffer offered)
    : wxPanel(parent), download_(*this, *this, std::move(offered)) {
    SetFont(font);
    const std::wstring values[5] = {offer().productName, offer().currentVersion, offer().verns, offer().day,
                                    megabytesText(offer().size)};
    const std::wstring_view formats[5] = {L"软件名称:{0}", L"当前版本:{0}", L"最新版本:{0}", L"发布日期:{0}",
                                          L"文件大小:{0}MB"};
    for (int row = 0; row < 5; ++row) {
        labels_[row] = new wxStaticText(this, wxID_ANY, withValue(formats[row], values[row]), wxDefaultPosition,
                                        wxDefaultSize, wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
    }
    notes_ = new wxTextCtrl(this, wxID_ANY, withValue(L"更新内容:{0}", offer().body), wxDefaultPosition, wxDefaultSize,
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
    const auto at = [&](CellsAndPx distance) { return distance.cells * u + px(distance.px); };
    const int buttonWidth = std::max({ButtonMinCells * c, later_->GetBestSize().x, main_->GetBestSize().x});
    int width = std::max(MinWidthCells * c, 2 * buttonWidth + px(ButtonPairPaddingPx));
    const auto fitText = [&](const std::wstring& text) {
        width = std::max(width, layout.extent(text).x + px(TextPaddingPx));
    };
    for (wxStaticText* label : labels_) fitText(label->GetLabel().ToStdWstring());
    fitText(concat(L"文件大小:", megabytesText(offer().size), L"/已下载:", megabytesText(offer().size), L"MB"));
    // The longest things the status line can say after a download.
    for (const auto outcome : {DownloadOutcome::Short, DownloadOutcome::TooSlow, DownloadOutcome::NotWritable})
        fitText(std::wstring(downloadText(outcome)));
    fitText(noRoomText(offer().size + DownloadSpareBytes));
    const int left = px(SideMarginPx), inner = width - px(2 * SideMarginPx);
    for (int row = 0; row < 5; ++row)
        place(labels_[row], left, row * (u + px(LabelPitchPx)) + px(LabelPitchPx), inner, u, Floor::BestHeight);
    notes_->SetMargins(px(4), -1);
    place(notes_, left, at(NotesTop), inner, NotesCells * u, Floor::Exact);
    place(progress_, left, at(ProgressTop), inner, at(ProgressHeight), Floor::BestHeight);
    place(status_, left, std::max(at(StatusTop), bottom(progress_) + px(BelowPx)), inner, u, Floor::BestHeight);
    const int buttonTop = std::max(at(ButtonTop), bottom(status_) + px(BelowPx));
    const int buttonsLeft = (width - 2 * buttonWidth - px(ButtonGapPx)) / 2;
    const wxRect later = place(later_, buttonsLeft, buttonTop, buttonWidth, at(ButtonHeight));
    place(main_, later.GetRight() + 1 + px(ButtonGapPx), buttonTop, buttonWidth, at(ButtonHeight));
    SetSize(width, std::max(at(PanelHeight), bottom(main_) + px(BottomMarginPx)));
}

UpdatePanel::~UpdatePanel() {
    cancelDownload();
}

void UpdatePanel::pressLater() {
    laterChosen.raise(1);
}

// The caption follows the state.
void UpdatePanel::showState() {
    switch (state()) {
        case UpdateState::Downloading:
            main_->SetLabel(L"…下载中…");
            break;
        case UpdateState::Downloaded:
            main_->SetLabel(L"立即安装");
            break;
        case UpdateState::Idle:
        case UpdateState::Failed:
            main_->SetLabel(L"立即下载");
            break;
    }
}

// A press does what the state calls for. Nothing is written to a disk that cannot take the
// whole installer and some to spare: the user frees space and presses 立即下载 again.
void UpdatePanel::pressMain() {
    const UpdateState now = state();
    if (now == UpdateState::Idle || now == UpdateState::Failed) {
        if (const auto needed = download_.missingRoom()) {
            status_->SetLabel(noRoomText(*needed));
            return;
        }
        download_.startDownload();
    } else if (now == UpdateState::Downloaded) {
        // Both buttons stay disabled until the check has ended.
        later_->Disable();
        main_->Disable();
        status_->SetLabel(L"正在检查下载的文件…");
        download_.checkInstaller();
    }
}

// The installer is checked and started through one held handle. A refused file is gone
// and may be downloaded again; a start that fails says why and leaves "立即安装" to try again.
void UpdatePanel::installerChecked(const Result<LockedFile>& checked) {
    if (!checked) {
        status_->SetLabel(std::wstring(installerRefusalText(checked.error())));
        showState();
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

void UpdatePanel::downloadStarted() {
    showState();
    later_->Disable();
    main_->Disable();
    progress_->SetRange(100);
    progress_->SetValue(0);
    stateChanged.raise(UpdateState::Downloading);
}

void UpdatePanel::downloadProgressed(std::int64_t received, std::int64_t total) {
    if (total <= 0 || received <= 0 || total < received) return;
    progress_->SetValue(static_cast<int>(std::floor(static_cast<double>(received) / static_cast<double>(total) * 100)));
    status_->SetLabel(concat(L"文件大小:", megabytesText(total), L"/已下载:", megabytesText(received), L"MB"));
}

void UpdatePanel::downloadFinished(DownloadOutcome outcome) {
    stateChanged.raise(state());
    showState();
    // A full bar beside "下载失败" would say the opposite.
    if (outcome != DownloadOutcome::Complete) progress_->SetValue(0);
    status_->SetLabel(std::wstring(downloadText(outcome)));
    main_->Enable();
    later_->Enable();
    downloadEnded.raise();
}

}  // namespace orvenna
