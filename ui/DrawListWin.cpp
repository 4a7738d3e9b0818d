#include "DrawListWin.h"

#include <algorithm>

#include <wx/msgdlg.h>
#include <wx/panel.h>

#include "base/DayCount.h"
#include "base/Text.h"
#include "gui/Layout.h"
#include "system/Clock.h"
#include "ui/words/HistoryWords.h"
#include "ui/words/StoreReason.h"

namespace orvenna {

namespace {

struct Column {
    const wchar_t* caption;
    const wchar_t* widest;
};
constexpr Column Columns[] = {
    {L"期号", L"2026999"},
    {L"开奖日期", L"2026-12-31"},
    {L"开奖号码", L"000000+14"},
    {L"来源", L"导入"},
    {L"不计原因", L"期号序号为0或超过当年到开奖日期的开奖次数"},
};
constexpr int ListLines = 14;

std::wstring originText(DrawOrigin origin) {
    return origin == DrawOrigin::Imported ? L"导入" : L"开奖页";
}

}  // namespace

DrawListWin::DrawListWin(wxWindow* owner, EasyDb& store)
    : wxDialog(owner, wxID_ANY, L"开奖数据", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      store_(store) {
    SetFont(owner->GetFont());
    auto* panel = new wxPanel(this);
    note_ = new wxStaticText(panel, wxID_ANY, L"");
    list_ = new wxListCtrl(panel, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT | wxLC_SINGLE_SEL);
    for (const Column& column : Columns) list_->AppendColumn(column.caption);
    delete_ = makeButton(panel, L"删除(&D)");
    close_ = makeButton(panel, L"关闭");
    close_->SetId(wxID_CANCEL);
    SetEscapeId(wxID_CANCEL);
    delete_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { deleteSelected(); });
    close_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); });
    list_->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent&) { updateButtons(); });
    list_->Bind(wxEVT_LIST_ITEM_DESELECTED, [this](wxListEvent&) { updateButtons(); });
    list_->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_DELETE && !event.HasAnyModifiers())
            deleteSelected();
        else
            event.Skip();
    });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Destroy(); });
    Bind(wxEVT_DPI_CHANGED, [this](wxDPIChangedEvent& event) {
        layout();
        event.Skip();
    });
    panel->Bind(wxEVT_SIZE, [this, panel](wxSizeEvent& event) {
        const LayoutContext layout(list_);
        const int gap = layout.gap();
        const wxSize client = panel->GetClientSize();
        const int buttonTop = client.y - gap - close_->GetSize().y;
        place(close_, client.x - gap - close_->GetSize().x, buttonTop, -1, -1);
        place(delete_, close_->GetPosition().x - gap - delete_->GetSize().x, buttonTop, -1, -1);
        const int listTop = bottom(note_) + gap / 2;
        place(list_, gap, listTop, std::max(1, client.x - 2 * gap), std::max(1, buttonTop - gap - listTop),
              Floor::Exact);
        event.Skip();
    });
    reload();
    layout();
    list_->SetFocus();
}

void DrawListWin::reload() {
    Result<std::vector<StoredDraw>> listed = DrawStore(store_).list(localDay(systemClock()));
    list_->DeleteAllItems();
    if (!listed) {
        draws_.clear();
        note_->SetLabel(L"无法读取开奖数据:" + storeReason(listed.error()));
        updateButtons();
        return;
    }
    draws_ = std::move(listed).value();
    // The newest first: a wrong import is most often the last one.
    std::stable_sort(draws_.begin(), draws_.end(),
                     [](const StoredDraw& a, const StoredDraw& b) { return a.draw.day > b.draw.day; });
    long row = 0;
    for (const StoredDraw& stored : draws_) {
        list_->InsertItem(row, stored.draw.period);
        list_->SetItem(row, 1, dateText(static_cast<double>(stored.draw.day)));
        list_->SetItem(row, 2, drawNumbersText(stored.draw));
        list_->SetItem(row, 3, originText(stored.source));
        list_->SetItem(row, 4, drawIgnoredText(stored.ignored));
        ++row;
    }
    note_->SetLabel(draws_.empty() ? std::wstring(L"还没有保存的开奖数据。")
                                   : concat(L"共", static_cast<int>(draws_.size()),
                                            L"期。选中一期后按\u201c删除\u201d可将其移除。"));
    if (!draws_.empty())
        list_->SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                            wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    updateButtons();
}

void DrawListWin::updateButtons() {
    delete_->Enable(list_->GetSelectedItemCount() > 0);
}

void DrawListWin::deleteSelected() {
    const long row = list_->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    if (row < 0 || static_cast<std::size_t>(row) >= draws_.size()) return;
    const Draw& draw = draws_[static_cast<std::size_t>(row)].draw;
    // Enter alone must not delete: the default answer is 否.
    wxMessageDialog question(this,
                             concat(L"确定删除第", draw.period, L"期(", dateText(static_cast<double>(draw.day)), L" ",
                                    drawNumbersText(draw), L")吗?"),
                             L"询问:", wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION);
    question.SetYesNoLabels(L"是", L"否");
    if (question.ShowModal() != wxID_YES) return;
    if (const Status removed = DrawStore(store_).remove(draw.period); !removed) {
        note_->SetLabel(L"删除失败:" + storeReason(removed.error()));
        return;
    }
    reload();
    const long next = std::min(row, static_cast<long>(draws_.size()) - 1);
    if (next >= 0) {
        list_->SetItemState(next, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                            wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
        list_->EnsureVisible(next);
    }
    drawsChanged.raise();
}

void DrawListWin::layout() {
    const LayoutContext layout(list_);
    const int gap = layout.gap();
    int width = 0;
    for (int i = 0; i < static_cast<int>(std::size(Columns)); ++i) {
        const int column = std::max(layout.extent(Columns[i].caption).x, layout.extent(Columns[i].widest).x) + 2 * gap;
        list_->SetColumnWidth(i, column);
        width += column;
    }
    width += layout.px(30);
    const int rowHeight = layout.cell(L'框').y + layout.px(6);
    place(note_, gap, gap, width, -1, Floor::BestHeight);
    place(list_, gap, bottom(note_) + gap / 2, width, ListLines * rowHeight + layout.px(30), Floor::Exact);
    place(close_, gap + width - layout.px(80), bottom(list_) + gap, layout.px(80), -1);
    place(delete_, close_->GetPosition().x - gap - layout.px(80), bottom(list_) + gap, layout.px(80), -1);
    const wxSize client(gap + width + gap, bottom(close_) + gap);
    SetMinClientSize(
        wxSize(client.x / 2, bottom(note_) + gap + 4 * rowHeight + layout.px(30) + close_->GetSize().y + 2 * gap));
    fitOnScreen(this, client, GetParent());
}

}  // namespace orvenna
