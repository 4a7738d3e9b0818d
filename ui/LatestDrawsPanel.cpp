#include "LatestDrawsPanel.h"

#include <algorithm>

#include "base/DayCount.h"
#include "base/Text.h"
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
// The notice's date and period.
constexpr std::wstring_view NoticeDate = L"开奖最后日期";
constexpr std::wstring_view NoticePeriod = L"开奖最后期号";

// The strip's geometry, in cells of its font, 10-pixel gaps and 96-DPI pixels: the heading
// row, then the number rows below it a cell and a gap apart; the caption "开奖号码:" five
// cells wide; the 32-pixel refresh button 50 pixels right of the period.
constexpr int CaptionCells = 5;
constexpr int RefreshButtonPx = 32;
constexpr int ButtonAfterPeriodPx = 50;
int numberRowTop(int row, int cellHeight, int gap) {
    return (row + 1) * cellHeight + (row + 2) * gap;
}

}  // namespace

LatestDrawsPanel::LatestDrawsPanel(wxWindow* parent) : wxPanel(parent) {}

void LatestDrawsPanel::showDraw(const DrawResult& draw) {
    show({draw.mainNumbers + draw.extraNumbers, draw.drawDate, draw.period, false});
}

void LatestDrawsPanel::showStoredDraw(const Draw& draw) {
    std::wstring front;
    for (const int digit : draw.front) front += static_cast<wchar_t>(L'0' + digit);
    show({front + std::to_wstring(draw.blue), dateText(static_cast<double>(draw.day)),
          draw.period + std::wstring(StoredDrawMark), false});
}

void LatestDrawsPanel::showNotice(std::wstring_view notice) {
    std::wstring spaced;
    for (const wchar_t c : notice) {
        if (!spaced.empty()) spaced += L' ';
        spaced += c;
    }
    show({spaced, std::wstring(NoticeDate), std::wstring(NoticePeriod), true});
}

void LatestDrawsPanel::show(const Shown& shown) {
    for (wxStaticText* label : texts_) label->Destroy();
    for (wxStaticText* label : numbers_) label->Destroy();
    texts_.clear();
    numbers_.clear();
    // A draw that arrives while the keyboard is on the button leaves it on the new one.
    const bool refreshFocused = refresh_ && refresh_->HasFocus();
    if (refresh_) refresh_->Destroy();
    shown_ = shown;
    const std::wstring& numbers = shown.numbers;

    const wxFont font = GetFont();
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
    wxStaticText* date =
        label(shown.drawDate, right(head) + gap, gap, textWidth(shown.drawDate, DateMaxChars), wxST_ELLIPSIZE_END);
    wxStaticText* issue =
        label(shown.period, right(date) + gap, gap, textWidth(shown.period, PeriodMaxChars), wxST_ELLIPSIZE_END);
    const std::wstring captionText = L"开奖号码:";
    wxStaticText* caption = label(captionText, gap, numberRowTop(0, ch, gap), cw * CaptionCells);
    texts_ = {head, date, issue, caption};

    const int firstLeft = right(caption) + gap;
    const int rows = shown.notice ? 2 : 1;
    const int perRow = shown.notice ? PiecesPerRow : DigitCount;
    for (int row = 0; row < rows; ++row) {
        int left = firstLeft;
        for (int k = 1; k <= perRow; ++k) {
            std::wstring piece;
            wxColour colour;
            if (shown.notice) {
                // Label k of row 1 holds characters 2k-1 and 2k, of row 2 characters 2k+19 and 2k+20.
                piece = std::wstring(clampedSubstr(numbers, (2 * k - 2) + row * 2 * PiecesPerRow, 2));
                colour = Red;
            } else {
                // The blue number runs to 14: the last label takes up to two digits.
                piece = std::wstring(clampedSubstr(numbers, k - 1, k == DigitCount ? 2 : 1));
                colour = k == DigitCount ? Blue : Orange;
            }
            wxStaticText* number = label(piece, left, numberRowTop(row, ch, gap), textWidth(piece));
            number->SetForegroundColour(colour);
            numbers_.push_back(number);
            left = right(number) + gap;
        }
    }

    const wxSize buttonSize = layout.px(wxSize(RefreshButtonPx, RefreshButtonPx));
    const wxBitmap normal = pictureBitmap("refresh-normal.png", buttonSize);
    refresh_ = new PictureButton(this, buttonSize, normal, pictureBitmap("refresh-hover.png", buttonSize),
                                 pictureBitmap("refresh-disabled.png", buttonSize), normal);
    // Right of the period, and of the number rows where the notice's rows reach further.
    int buttonLeft = right(issue) + layout.px(ButtonAfterPeriodPx);
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
    show(shown);
    refresh_->Enable(enabled);
}

}  // namespace orvenna
