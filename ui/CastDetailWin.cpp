#include "CastDetailWin.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/panel.h>

#include "gui/Layout.h"
#include "ui/words/CastDetail.h"

namespace orvenna {

namespace {

constexpr const wchar_t* Captions[] = {L"位置", L"本次起卦的号码", L"开奖", L"结果"};
// The widest text each column is planned for.
constexpr const wchar_t* Widest[] = {L"可能号", L"0,1,2,3,4,5,6,7,8,9", L"000000", L"命中6个"};

}  // namespace

CastDetailWin::CastDetailWin(wxWindow* owner)
    : wxDialog(owner, wxID_ANY, L"号码与命中", wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    SetFont(owner->GetFont());
    auto* panel = new wxPanel(this);
    heading_ = new wxStaticText(panel, wxID_ANY, L"");
    rows_ =
        new wxListCtrl(panel, wxID_ANY, wxDefaultPosition, wxDefaultSize, wxLC_REPORT | wxLC_SINGLE_SEL | wxLC_HRULES);
    for (const wchar_t* caption : Captions) rows_->AppendColumn(caption);
    // Esc and the close box answer as 关闭 does.
    close_ = makeButton(panel, L"关闭");
    close_->SetId(wxID_CANCEL);
    SetEscapeId(wxID_CANCEL);
    close_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Close(); });
    Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Hide(); });
    Bind(wxEVT_DPI_CHANGED, [this](wxDPIChangedEvent& event) {
        layout();
        event.Skip();
    });
}

void CastDetailWin::show(const ReviewedCast& cast) {
    heading_->SetLabel(castDetailHeading(cast));
    rows_->DeleteAllItems();
    long row = 0;
    for (const DetailRow& detail : castDetailRows(cast)) {
        rows_->InsertItem(row, detail.place);
        rows_->SetItem(row, 1, detail.suggested);
        rows_->SetItem(row, 2, detail.drawn);
        rows_->SetItem(row, 3, detail.outcome);
        ++row;
    }
    layout();
    Show();
    Raise();
    rows_->SetFocus();
}

void CastDetailWin::layout() {
    const LayoutContext layout(rows_);
    const int gap = layout.gap();
    int width = 0;
    for (int i = 0; i < 4; ++i) {
        const int column = std::max(layout.extent(Captions[i]).x, layout.extent(Widest[i]).x) + 2 * gap;
        rows_->SetColumnWidth(i, column);
        width += column;
    }
    const wxSize cell = layout.cell(L'框');
    width = std::max(width + layout.px(8), layout.extent(heading_->GetLabel()).x);
    place(heading_, gap, gap, width, -1, Floor::BestHeight);
    // Room for the header and every row, with the list's frame: measured on the list itself,
    // whose rows are as high as the desktop makes them.
    int height = 9 * (cell.y + layout.px(8));
    place(rows_, gap, bottom(heading_) + gap, width, height, Floor::Exact);
    if (wxRect first; rows_->GetItemCount() > 0 && rows_->GetItemRect(0, first))
        height = first.y + rows_->GetItemCount() * first.height + (rows_->GetSize().y - rows_->GetClientSize().y) +
                 layout.px(4);
    place(rows_, gap, bottom(heading_) + gap, width, height, Floor::Exact);
    place(close_, gap + width - layout.px(80), bottom(rows_) + gap, layout.px(80), -1);
    const wxSize client(gap + width + gap, bottom(close_) + gap);
    close_->GetParent()->SetSize(client);
    SetClientSize(client);
    SetMinClientSize(client);
    if (!IsShown()) fitOnScreen(this, client, GetParent());
}

}  // namespace orvenna
