#include "AnalysisPanel.h"

#include "LinePicture.h"
#include "engine/Report.h"
#include "gui/Layout.h"

namespace orvenna {

namespace {

// The report box never shows fewer lines than this: the window grows, or scrolls, instead.
constexpr int MinimumReportLines = 8;

constexpr bool isPictureColumn(int column) {
    return column == 4 || column == 10;
}

wxStaticText* newLabel(wxWindow* parent, long style = 0) {
    return new wxStaticText(parent, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                            style | wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
}

}  // namespace

AnalysisPanel::AnalysisPanel(wxWindow* parent) : wxPanel(parent) {
    header_ = newLabel(this);
    primaryTitle_ = newLabel(this);
    changedTitle_ = newLabel(this);
    const auto titles = chartHeaders();
    for (int column = 0; column < 12; ++column) {
        headers_[column] = newLabel(this, wxALIGN_CENTRE_HORIZONTAL);
        headers_[column]->SetLabel(wxString(titles[column].data(), titles[column].size()));
    }
    for (auto& row : cells_)
        for (int column = 0; column < 12; ++column) {
            if (isPictureColumn(column))
                row[column] = new LinePicture(this);
            else
                row[column] = newLabel(this, wxALIGN_CENTRE_HORIZONTAL);
        }
    caption_ = newLabel(this, wxALIGN_CENTRE_HORIZONTAL);
    caption_->SetLabel(wxString(ChartCaption.data(), ChartCaption.size()));
    caption_->SetForegroundColour(*wxBLACK);
    text_ = new wxTextCtrl(this, wxID_ANY, wxEmptyString, wxDefaultPosition, wxDefaultSize,
                           wxTE_MULTILINE | wxTE_READONLY | wxTE_DONTWRAP);

    measure();
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        layoutControls();
        event.Skip();
    });
}

void AnalysisPanel::measure() {
    const LayoutContext layout(this);
    a_ = layout.extent(L"长度").x;
    h_ = layout.cell(L'卦').y;
    SetSize(16 * a_ + layout.px(250), -1);
    layoutControls();
}

// The chart's positions in character cells (a: the width of "长度", h: the height of "卦")
// plus fixed pixel distances, which grow with the display's scale.
void AnalysisPanel::layoutControls() {
    const int a = a_, h = h_;
    const LayoutContext layout(this);
    const auto px = [&layout](int pixels) { return layout.px(pixels); };
    // Column k's left edge: every column is a wide but the two picture columns (3a), 20 apart.
    std::array<int, 12> left{};
    std::array<int, 12> width{};
    for (int column = 0, x = px(30); column < 12; ++column) {
        left[column] = x;
        width[column] = isPictureColumn(column) ? 3 * a : a;
        x += width[column] + px(20);
    }
    const int titleTop = h + px(20);
    place(changedTitle_, left[8], titleTop, left[11] - left[8], h, Floor::Exact);
    place(primaryTitle_, left[3], titleTop, left[7] - left[3], h, Floor::Exact);
    place(header_, left[3], px(10), right(changedTitle_) - left[3], h, Floor::Exact);
    for (int column = 0; column < 12; ++column) {
        place(headers_[column], left[column], 2 * h + px(30), width[column], h, Floor::Exact);
        for (int row = 0; row < 6; ++row)
            place(cells_[row][column], left[column], (h + px(10)) * row + 3 * h + px(50), width[column], h,
                  Floor::Exact);
    }
    showHeader();
    place(caption_, px(30), 9 * h + px(110), 15 * a + px(220), h, Floor::Exact);
    // The box ends 10 above the panel's bottom, and keeps a few lines.
    const int boxHeight = std::max(GetClientSize().y - 10 * h - px(120), MinimumReportLines * h);
    place(text_, px(10), 10 * h + px(110), 16 * a + px(240), boxHeight, Floor::Exact);
}

// A number too long for the header is shortened in its middle, so that the zodiac, the day and
// the hour after it still show; the whole header is the label's tooltip.
void AnalysisPanel::showHeader() {
    if (headerText_.empty()) return;
    std::wstring shown = headerText_;
    const std::size_t at = headerNumber_.empty() ? std::wstring::npos : headerText_.find(headerNumber_);
    const LayoutContext layout(header_);
    const int room = header_->GetSize().x;
    for (std::size_t keep = headerNumber_.size() / 2;
         at != std::wstring::npos && keep > 0 && layout.extent(shown).x > room; --keep) {
        shown = headerText_.substr(0, at) + headerNumber_.substr(0, keep) + L"…" +
                headerNumber_.substr(headerNumber_.size() - keep) + headerText_.substr(at + headerNumber_.size());
    }
    header_->SetLabel(shown);
    if (shown != headerText_)
        header_->SetToolTip(headerText_);
    else
        header_->UnsetToolTip();
}

int AnalysisPanel::requiredHeight() const {
    const LayoutContext layout(this);
    return (10 + MinimumReportLines) * h_ + layout.px(120);
}

std::wstring AnalysisPanel::cellText(int row, int column) const {
    if (isPictureColumn(column)) return static_cast<LinePicture*>(cell(row, column))->mark();
    return static_cast<wxStaticText*>(cell(row, column))->GetLabel().ToStdWstring();
}

void AnalysisPanel::runAnalysis(CastRequest& request, const CastClock& clock) {
    const bool cast = runCast(request, clock, result_);
    headerText_ = result_.analysis.header;
    headerNumber_ = request.method == NumberCasting ? request.numberText : std::wstring();
    showHeader();
    if (!cast) return;
    render();
    analysisDone.raise(result_);
}

void AnalysisPanel::render() {
    const Analysis& analysis = result_.analysis;
    primaryTitle_->SetLabel(primaryTitleText(analysis.primary));
    changedTitle_->SetLabel(changedTitleText(analysis.changed));
    const auto grid = chartGrid(analysis.record, analysis.primary, analysis.changed);
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 12; ++column) {
            if (isPictureColumn(column))
                static_cast<LinePicture*>(cells_[row][column])->setMark(grid[row][column]);
            else
                static_cast<wxStaticText*>(cells_[row][column])->SetLabel(grid[row][column]);
        }
    std::wstring text;
    for (const std::wstring& line : result_.report) {
        if (!text.empty()) text += L'\n';
        text += line;
    }
    text_->ChangeValue(text);
}

void AnalysisPanel::clear() {
    headerText_.clear();
    header_->UnsetToolTip();
    for (wxStaticText* label : {header_, primaryTitle_, changedTitle_}) label->SetLabel(wxEmptyString);
    for (int row = 0; row < 6; ++row)
        for (int column = 0; column < 12; ++column) {
            if (isPictureColumn(column))
                static_cast<LinePicture*>(cells_[row][column])->setMark(L"");
            else
                static_cast<wxStaticText*>(cells_[row][column])->SetLabel(wxEmptyString);
        }
    text_->Clear();
}

}  // namespace orvenna
