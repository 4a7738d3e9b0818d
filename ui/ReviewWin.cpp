#include "ReviewWin.h"

#include <algorithm>
#include <numeric>

#include <wx/menu.h>
#include <wx/panel.h>

#include "CastDetailWin.h"
#include "ReviewChart.h"
#include "base/DayCount.h"
#include "base/Text.h"
#include "engine/ReviewCurve.h"
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
    {L"起卦时间", L"2026-12-31 23:59 开奖后", 0},
    {L"期号", L"无开奖数据", 0},
    {L"开奖号码", L"000000+14", 0},
    {L"对位命中", L"●●●●●● 6/6", 0},
    {L"蓝号", L"未中", 0},
    {L"可能号", L"6/6", 0},
    {L"随机期望", L"6.0/6 蓝1.0", 0},
};
constexpr int ListLines = 12;   // rows the list shows as planned
constexpr int FewestLines = 4;  // rows it shows at the smallest size

constexpr int OpenCastId = wxID_HIGHEST + 1;
constexpr int DrawsId = wxID_HIGHEST + 2;
constexpr int SortIdBase = wxID_HIGHEST + 10;

const wchar_t* const HintText =
    L"回车或双击一行:查看该次起卦的号码与命中。右键菜单(或菜单键、Shift+F10):排序、开奖数据。";
const wchar_t* const EmptyText =
    L"还没有保存的起卦。起卦后填写名称并点\u201c保存\u201d;开奖后在历史记录的右键菜单中选\u201c导入开奖数据…\u201d,"
    L"或等最新开奖自动取回,这里就逐期对照每次起卦的命中。";

std::wstring cell(const ReviewedCast& cast, ReviewColumn column) {
    const bool drawn = cast.match == DrawMatch::Matched;
    const CastScore& s = cast.score;
    switch (column) {
        case ReviewColumn::Title:
            return cast.title;
        case ReviewColumn::CastTime:
            // A cast made after its day's draw is scored against the next one: the row says so,
            // and the cast opened says it in full.
            return dateTimeText(cast.castTime).substr(0, 16) + (cast.afterDraw ? L" 开奖后" : L"");
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

// Gives a text line `text` broken to `width` and returns its height.
int wrapTo(wxStaticText* label, const LayoutContext& layout, const std::wstring& text, int width) {
    label->SetLabel(layout.wrap(text, width));
    const wxSize best = label->GetBestSize();
    label->SetSize(label->GetPosition().x, label->GetPosition().y, std::max(best.x, 1), best.y);
    return best.y;
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
    : wxListCtrl(parent, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT | wxLC_VIRTUAL | wxLC_SINGLE_SEL) {
    SetName(L"往期对照");
}

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
              wxDEFAULT_FRAME_STYLE | wxFRAME_FLOAT_ON_PARENT) {
    SetFont(owner->GetFont());
    auto* panel = new wxPanel(this);
    // The hint comes before the list: a screen reader names the list by it.
    hint_ = new wxStaticText(panel, wxID_ANY, HintText);
    list_ = new ReviewList(panel);
    for (const Column& column : Columns) list_->AppendColumn(column.caption);
    emptyNote_ = new wxStaticText(panel, wxID_ANY, EmptyText);
    totals_ = new wxStaticText(panel, wxID_ANY, L"");
    chance_ = new wxStaticText(panel, wxID_ANY, L"");
    chart_ = new ReviewChart(panel);
    draws_ = makeButton(panel, L"开奖数据(&D)…");
    close_ = makeButton(panel, L"关闭");

    list_->Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent& event) {
        if (const std::optional<ReviewColumn> column = reviewColumnAt(event.GetColumn())) sortBy(*column);
    });
    list_->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent& event) { openCast(event.GetIndex()); });
    list_->Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent& event) { showMenu(event.GetPosition()); });
    draws_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { drawsRequested.raise(); });
    close_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); });
    panel->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        arrange();
        event.Skip();
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
    showReview(std::move(review));
    layout();
    list_->SetFocus();
}

void ReviewWin::showReview(CastReview review) {
    const long selected = selectedRow();
    const std::optional<std::int64_t> selectedId =
        selected >= 0 ? std::optional(review_.casts[rows_[static_cast<std::size_t>(selected)]].id) : std::nullopt;
    review_ = std::move(review);
    rows_.resize(review_.casts.size());
    std::iota(rows_.begin(), rows_.end(), std::size_t{0});
    if (sortedBy_) sortReview(review_.casts, rows_, *sortedBy_, descending_);
    list_->show(&review_.casts, &rows_);
    long row = -1;
    for (std::size_t i = 0; selectedId && i < rows_.size(); ++i)
        if (review_.casts[rows_[i]].id == *selectedId) row = static_cast<long>(i);
    select(row >= 0 ? row : (rows_.empty() ? -1 : 0));
    chart_->show(reviewCurve(review_.casts));
    fillTexts();
    if (list_->GetParent()->GetSize().x > 0) arrange();
}

void ReviewWin::fillTexts() {
    const bool empty = review_.casts.empty();
    totalsLine_ = empty ? std::wstring() : totalsText(review_);
    chanceLine_.clear();
    if (!empty)
        for (const std::wstring& line : chanceLines(review_.totals.scores))
            chanceLine_ += (chanceLine_.empty() ? L"" : L";") + line;
    list_->Show(!empty);
    hint_->Show(!empty);
    chart_->Show(!empty);
    totals_->Show(!empty);
    chance_->Show(!empty && !chanceLine_.empty());
    emptyNote_->Show(empty);
}

long ReviewWin::selectedRow() const {
    return list_->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
}

void ReviewWin::select(long row) {
    if (row < 0) return;
    list_->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                        wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    list_->EnsureVisible(row);
}

// The planned size: every column whole, ListLines rows, the texts below broken to the list's
// width. The smallest size keeps FewestLines rows and every text whole at a narrower width.
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
    const auto clientFor = [&](int textWidth, int lines) {
        const int rowHeight = cell.y + layout.px(6);
        const int texts = wrapTo(hint_, layout, HintText, textWidth) + wrapTo(totals_, layout, totalsLine_, textWidth) +
                          (chanceLine_.empty() ? 0 : wrapTo(chance_, layout, chanceLine_, textWidth) + gap / 2);
        const int body = review_.casts.empty()
                             ? wrapTo(emptyNote_, layout, EmptyText, textWidth)
                             : texts + lines * rowHeight + layout.px(30) + chart_->plannedHeight() + 3 * gap;
        return wxSize(textWidth + 2 * gap, gap + body + gap + draws_->GetBestSize().y + gap);
    };
    const int narrowest = std::max(layout.px(420), 2 * layout.px(120) + 3 * gap);
    SetMinClientSize(clientFor(narrowest, FewestLines));
    fitOnScreen(this, clientFor(listWidth, ListLines), GetParent());
    arrange();
}

// Places the controls in the client area as it is now: the buttons at the bottom, the picture
// and the texts above them, and the list takes the rest.
void ReviewWin::arrange() {
    const LayoutContext layout(list_);
    const int gap = layout.gap();
    const wxSize client = list_->GetParent()->GetClientSize();
    const int width = std::max(1, client.x - 2 * gap);
    const int buttonWidth = std::max(layout.px(120), draws_->GetBestSize().x);
    const int buttonTop = client.y - gap - draws_->GetBestSize().y;
    place(close_, client.x - gap - layout.px(80), buttonTop, layout.px(80), -1);
    place(draws_, close_->GetPosition().x - gap - buttonWidth, buttonTop, buttonWidth, -1);
    if (review_.casts.empty()) {
        emptyNote_->Move(gap, gap);
        wrapTo(emptyNote_, layout, EmptyText, width);
        return;
    }
    int y = buttonTop - gap;
    const int chartHeight = chart_->plannedHeight();
    place(chart_, gap, y - chartHeight, width, chartHeight, Floor::Exact);
    y = chart_->GetPosition().y - gap;
    if (!chanceLine_.empty()) {
        const int height = wrapTo(chance_, layout, chanceLine_, width);
        chance_->Move(gap, y - height);
        y -= height + gap / 2;
    }
    const int totalsHeight = wrapTo(totals_, layout, totalsLine_, width);
    totals_->Move(gap, y - totalsHeight);
    y -= totalsHeight + gap;
    hint_->Move(gap, gap);
    const int hintHeight = wrapTo(hint_, layout, HintText, width);
    const int listTop = gap + hintHeight + gap / 2;
    place(list_, gap, listTop, width, std::max(1, y - listTop), Floor::Exact);
}

void ReviewWin::sortBy(ReviewColumn column) {
    const long selected = selectedRow();
    const std::size_t cast = selected >= 0 ? rows_[static_cast<std::size_t>(selected)] : rows_.size();
    descending_ = column == sortedBy_ ? !descending_ : false;
    sortedBy_ = column;
    sortReview(review_.casts, rows_, column, descending_);
    list_->show(&review_.casts, &rows_);
    list_->ShowSortIndicator(static_cast<int>(column), !descending_);
    const auto at = std::find(rows_.begin(), rows_.end(), cast);
    if (at != rows_.end()) select(static_cast<long>(at - rows_.begin()));
}

void ReviewWin::openCast(long row) {
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return;
    if (!detail_) detail_ = new CastDetailWin(this);
    detail_->show(review_.casts[rows_[static_cast<std::size_t>(row)]]);
}

// A menu asked for by the keyboard (the Menu key, Shift+F10) comes without a place: it opens at
// the selected row, where the user's eyes are, not at the mouse.
void ReviewWin::showMenu(wxPoint at) {
    wxMenu menu;
    const long row = selectedRow();
    menu.Append(OpenCastId, L"查看号码与命中\tEnter");
    menu.Enable(OpenCastId, row >= 0);
    auto* sort = new wxMenu;
    for (int i = 0; i < ReviewColumnCount; ++i) {
        sort->AppendCheckItem(SortIdBase + i, Columns[i].caption);
        if (sortedBy_ && static_cast<int>(*sortedBy_) == i) sort->Check(SortIdBase + i, true);
    }
    menu.AppendSubMenu(sort, L"排序");
    menu.AppendSeparator();
    menu.Append(DrawsId, L"开奖数据…");
    wxPoint where;
    if (at == wxDefaultPosition) {
        wxRect item;
        if (row >= 0 && list_->GetItemRect(row, item))
            where = wxPoint(item.x + item.height, item.GetBottom());
        else
            where = wxPoint(0, 0);
    } else {
        where = list_->ScreenToClient(at);
    }
    const int chosen = list_->GetPopupMenuSelectionFromUser(menu, where);
    if (chosen == OpenCastId)
        openCast(row);
    else if (chosen == DrawsId)
        drawsRequested.raise();
    else if (chosen >= SortIdBase && chosen < SortIdBase + ReviewColumnCount)
        sortBy(static_cast<ReviewColumn>(chosen - SortIdBase));
}

}  // namespace orvenna
