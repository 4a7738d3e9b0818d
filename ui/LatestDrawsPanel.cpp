#include "LatestDrawsPanel.h"

#include <algorithm>

#include "base/Text.h"
#include "gui/FontText.h"
#include "gui/Layout.h"
#include "gui/PictureButton.h"
#include "gui/Pictures.h"

namespace orvenna {

namespace {

const wxColour Red(255, 0, 0);
const wxColour Blue(0, 0, 255);
const wxColour Orange(255, 128, 0);

constexpr int DigitCount = 7;
constexpr int PiecesPerRow = 10;
// The page's date and period take the room their text needs, up to these many characters;
// a longer text is cut with "…" so that the row, and its refresh button, stay in the window.
constexpr int DateMaxChars = 22;
constexpr int PeriodMaxChars = 10;

}  // namespace

LatestDrawsPanel::LatestDrawsPanel(wxWindow* parent) : wxPanel(parent) {}

void LatestDrawsPanel::showDraw(const std::wstring& numbers, const std::wstring& drawDate, const std::wstring& period,
                                const std::wstring& fontText, int messageMode) {
    for (wxStaticText* label : texts_) label->Destroy();
    for (wxStaticText* label : numbers_) label->Destroy();
    texts_.clear();
    numbers_.clear();
    // A draw that arrives while the keyboard is on the button leaves it on the new one.
    const bool refreshFocused = refresh_ && refresh_->HasFocus();
    if (refresh_) refresh_->Destroy();
    shown_ = {numbers, drawDate, period, fontText, messageMode};

    const wxFont font = fontFromText(fontText);
    SetFont(font);
    const LayoutContext layout(this);
    const wxSize cell = layout.cell(L'款');
    const int cw = cell.x, ch = cell.y;
    const int gap = layout.gap();
    auto label = [&](const std::wstring& text, int left, int top, int width, long style = 0) {
        auto* made =
            new wxStaticText(this, wxID_ANY, text, wxDefaultPosition, wxDefaultSize, wxST_NO_AUTORESIZE | style);
        made->SetFont(font);
        place(made, left, top, width, ch, Floor::BestHeight);
        return made;
    };
    // A text takes a cell a character, or what it measures where the face is wider.
    auto textWidth = [&](const std::wstring& text, int maxChars = 1 << 20) {
        const int chars = static_cast<int>(text.size());
        if (chars > maxChars) return cw * maxChars;
        return std::max(cw * chars, layout.extent(text).x);
    };

    const std::wstring heading = L"七星彩最新开奖:";
    wxStaticText* head = label(heading, gap, gap, textWidth(heading));
    wxStaticText* date = label(drawDate, right(head) + gap, gap, textWidth(drawDate, DateMaxChars), wxST_ELLIPSIZE_END);
    wxStaticText* issue = label(period, right(date) + gap, gap, textWidth(period, PeriodMaxChars), wxST_ELLIPSIZE_END);
    const std::wstring captionText = L"开奖号码:";
    const int rowTop[2] = {ch + 2 * gap, 2 * ch + 3 * gap};
    wxStaticText* caption = label(captionText, gap, rowTop[0], cw * 5);
    texts_ = {head, date, issue, caption};

    const int firstLeft = right(caption) + gap;
    const int rows = messageMode == 1 ? 2 : 1;
    const int perRow = messageMode == 1 ? PiecesPerRow : DigitCount;
    for (int row = 0; row < rows; ++row) {
        int left = firstLeft;
        for (int k = 1; k <= perRow; ++k) {
            std::wstring piece;
            wxColour colour;
            if (messageMode == 1) {
                // Label k of row 1 holds characters 2k-1 and 2k, of row 2 characters 2k+19 and 2k+20.
                piece = std::wstring(clampedSubstr(numbers, (2 * k - 2) + row * 2 * PiecesPerRow, 2));
                colour = Red;
            } else {
                piece = std::wstring(clampedSubstr(numbers, k - 1, 1));
                colour = k == DigitCount ? Blue : Orange;
            }
            wxStaticText* number = label(piece, left, rowTop[row], textWidth(piece));
            number->SetForegroundColour(colour);
            numbers_.push_back(number);
            left = right(number) + gap;
        }
    }

    const wxSize buttonSize = layout.px(wxSize(32, 32));
    const wxBitmap normal = pictureBitmap("refresh-normal.png", buttonSize);
    refresh_ = new PictureButton(this, buttonSize, normal, pictureBitmap("refresh-hover.png", buttonSize),
                                 pictureBitmap("refresh-disabled.png", buttonSize), normal);
    // Right of the period, and of the number rows where the notice's rows reach further.
    int buttonLeft = right(issue) + layout.px(50);
    for (const wxStaticText* number : numbers_) buttonLeft = std::max(buttonLeft, right(number) + gap);
    refresh_->Move(buttonLeft, issue->GetPosition().y);
    refresh_->clicked.connect([this] { refreshRequested.raise(); });
    refresh_->setAccessibleName(L"刷新开奖");
    if (refreshFocused) refresh_->SetFocus();

    SetSize(sizeAroundChildren(this, 0, 0, gap));
}

void LatestDrawsPanel::layout() {
    const Shown shown = shown_;
    const bool enabled = !refresh_ || refresh_->IsEnabled();
    showDraw(shown.numbers, shown.drawDate, shown.period, shown.fontText, shown.messageMode);
    refresh_->Enable(enabled);
}

void LatestDrawsPanel::showNotice(std::wstring_view notice, const std::wstring& fontText) {
    std::wstring spaced;
    for (const wchar_t c : notice) {
        if (!spaced.empty()) spaced += L' ';
        spaced += c;
    }
    showDraw(spaced, L"开奖最后日期", L"开奖最后期号", fontText, 1);
}

}  // namespace orvenna
