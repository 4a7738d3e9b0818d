#include "ReviewWin.h"

#include <algorithm>
#include <numeric>

#include <wx/panel.h>

#include "base/DayCount.h"
#include "base/Text.h"
#include "gui/Layout.h"
#include "ui/words/ReviewText.h"

namespace orvenna {

namespace {

// The columns, each as wide as its caption or its widest text, or the cells of the font ('框')
// given, whichever is wider.
struct Column {
    const wchar_t* caption;
    const wchar_t* widest;
    int cells;
};
constexpr Column Columns[ReviewColumnCount] = {
    {L"名称", L"", 14},
    {L"起卦时间", L"2026-12-31 23:59", 0},
    {L"期号", L"无开奖数据", 0},
    {L"开奖号码", L"000000+14", 0},
    {L"对位命中", L"●●●●●● 6/6", 0},
    {L"蓝号", L"未中", 0},
    {L"可能号", L"6/6", 0},
    {L"随机期望", L"6.0/6 蓝1.0", 0},
};
constexpr int ListLines = 20;  // rows the list shows as planned

std::wstring cell(const ReviewedCast& cast, ReviewColumn column) {
    const bool drawn = cast.match == DrawMatch::Matched;
    const CastScore& s = cast.score;
    switch (column) {
        case ReviewColumn::Title:
            return cast.title;
        case ReviewColumn::CastTime:
            return dateTimeText(cast.castTime).substr(0, 16);
        case ReviewColumn::Period:
            return drawn ? cast.draw.period : matchText(cast.match);
        case ReviewColumn::Numbers:
            return drawn ? drawNumbersText(cast.draw) : std::wstring();
        case ReviewColumn::PositionHits: {
            if (!drawn) return {};
            std::wstring marks;
            for (const bool hit : s.positionHit) marks += hit ? L'●' : L'○';
            return concat(marks, L' ', s.positionHits, L"/6");
        }
        case ReviewColumn::Blue:
            return drawn ? std::wstring(s.blueHit ? L"中" : L"未中") : std::wstring();
        case ReviewColumn::Likely:
            return drawn ? concat(s.likelyHits, L"/6") : std::wstring();
        case ReviewColumn::Chance:
            return drawn ? concat(oneDecimalText(s.expectedPositionHits), L"/6 蓝", oneDecimalText(s.expectedBlue))
                         : L"";
    }
    return {};
}

}  // namespace

std::wstring totalsText(const CastReview& review) {
    const ScoreTotals& t = review.totals.scores;
    return concat(L"已开奖", t.casts, L"次:对位命中", t.positionHits, L"/", 6 * t.casts, L"(随机期望",
                  oneDecimalText(t.expectedPositionHits), L"),蓝号中", t.blueHits, L"次(随机期望",
                  oneDecimalText(t.expectedBlueHits), L"),可能号命中", t.likelyHits, L"(随机期望",
                  oneDecimalText(t.expectedLikelyHits), L");待开奖", review.totals.pending, L"次,无开奖数据",
                  review.totals.noDraw, L"次");
}

ReviewList::ReviewList(wxWindow* parent)
    : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL) {}

void ReviewList::show(const std::vector<ReviewedCast>* casts, const std::vector<std::size_t>* rows) {
    casts_ = casts;
    rows_ = rows;
    SetItemCount(static_cast<long>(rows->size()));
    Refresh();
}

wxString ReviewList::cellText(long row, long column) const {
    return OnGetItemText(row, column);
}

wxString ReviewList::OnGetItemText(long item, long column) const {
    if (!casts_ || item < 0 || static_cast<std::size_t>(item) >= rows_->size()) return {};
    const std::optional<ReviewColumn> shown = reviewColumnAt(static_cast<int>(column));
    if (!shown) return {};
    return cell((*casts_)[(*rows_)[static_cast<std::size_t>(item)]], *shown);
}

ReviewWin::ReviewWin(wxWindow* owner, CastReview review)
    : wxFrame(owner, wxID_ANY, L"往期对照", wxDefaultPosition, wxDefaultSize,
              wxDEFAULT_FRAME_STYLE | wxFRAME_FLOAT_ON_PARENT),
      review_(std::move(review)) {
    SetFont(owner->GetFont());
    auto* panel = new wxPanel(this);
    list_ = new ReviewList(panel);
    for (const Column& column : Columns) list_->AppendColumn(column.caption);
    totals_ = new wxStaticText(panel, wxID_ANY, totalsText(review_));
    rows_.resize(review_.casts.size());
    std::iota(rows_.begin(), rows_.end(), std::size_t{0});
    list_->show(&review_.casts, &rows_);
    list_->Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent& event) {
        if (const std::optional<ReviewColumn> column = reviewColumnAt(event.GetColumn())) sortBy(*column);
    });
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE && !event.HasAnyModifiers())
            Close();
        else
            event.Skip();
    });
    Bind(wxEVT_DPI_CHANGED, [this](wxDPIChangedEvent& event) {
        layout();
        event.Skip();
    });
    layout();
    list_->SetFocus();
}

void ReviewWin::layout() {
    const LayoutContext layout(list_);
    const wxSize cell = layout.cell(L'框');
    const int gap = layout.gap();
    int width = 0;
    for (int i = 0; i < ReviewColumnCount; ++i) {
        const Column& column = Columns[i];
        const int columnWidth = std::max({column.cells * cell.x, layout.extent(column.caption).x + 2 * gap,
                                          layout.extent(column.widest).x + 2 * gap});
        list_->SetColumnWidth(i, columnWidth);
        width += columnWidth;
    }
    // Room for the list's frame and a vertical scroll bar beside the columns.
    const int listWidth = width + layout.px(30);
    list_->SetSize(gap, gap, listWidth, ListLines * (cell.y + layout.px(6)) + layout.px(30));
    totals_->Wrap(listWidth);
    const wxSize totals = totals_->GetBestSize();
    totals_->SetSize(gap, bottom(list_) + gap, std::max(totals.x, 1), totals.y);
    const wxSize client(right(list_) + gap, bottom(totals_) + gap);
    list_->GetParent()->SetSize(client);
    fitOnScreen(this, client, GetParent());
}

void ReviewWin::sortBy(ReviewColumn column) {
    descending_ = column == sortedBy_ ? !descending_ : false;
    sortedBy_ = column;
    sortReview(review_.casts, rows_, column, descending_);
    list_->show(&review_.casts, &rows_);
}

}  // namespace orvenna
