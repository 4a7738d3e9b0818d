#include "ReviewChart.h"

#include <algorithm>
#include <cmath>

#include <wx/dcbuffer.h>
#include <wx/settings.h>

#include "base/DayCount.h"
#include "gui/Layout.h"

namespace orvenna {

namespace {

// One of the two plots: a running count against its running chance expectation.
struct Series {
    const wchar_t* caption;
    int (*hits)(const CurvePoint&);
    double (*expected)(const CurvePoint&);
};
constexpr Series Plots[] = {
    {L"对位命中(累计)", [](const CurvePoint& p) { return p.positionHits; },
     [](const CurvePoint& p) { return p.expectedPositionHits; }},
    {L"蓝号命中(累计)", [](const CurvePoint& p) { return p.blueHits; },
     [](const CurvePoint& p) { return p.expectedBlueHits; }},
};

// The hits line in the desktop's selection colour, the chance line dashed in the grey of
// inactive text: both readable on a light and a dark theme.
wxColour hitsColour() {
    return wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
}
wxColour chanceColour() {
    return wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT);
}

std::wstring shortDate(std::int64_t day) {
    return dateText(static_cast<double>(day));
}

void drawPlot(wxDC& dc, const LayoutContext& layout, const wxRect& area, const Series& series,
              const std::vector<CurvePoint>& curve) {
    const wxColour text = wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT);
    dc.SetTextForeground(text);
    const int line = dc.GetCharHeight();
    dc.DrawText(series.caption, area.x, area.y);

    double top = 1;
    for (const CurvePoint& p : curve) top = std::max({top, double(series.hits(p)), series.expected(p)});
    const wxString topText = wxString::Format("%d", static_cast<int>(std::ceil(top)));
    const int axisLeft = area.x + dc.GetTextExtent(topText).x + layout.px(4);
    const wxRect plot(axisLeft, area.y + line + layout.px(4), area.GetRight() - axisLeft,
                      area.height - 2 * line - layout.px(8));
    if (plot.width < 10 || plot.height < 10) return;

    dc.SetPen(wxPen(text, 1));
    dc.DrawLine(plot.GetLeft(), plot.GetTop(), plot.GetLeft(), plot.GetBottom());
    dc.DrawLine(plot.GetLeft(), plot.GetBottom(), plot.GetRight(), plot.GetBottom());
    dc.DrawText(topText, area.x, plot.GetTop() - line / 2);
    dc.DrawText(L"0", axisLeft - dc.GetTextExtent(L"0").x - layout.px(4), plot.GetBottom() - line / 2);
    const std::wstring first = shortDate(curve.front().day), last = shortDate(curve.back().day);
    dc.DrawText(first, plot.GetLeft(), plot.GetBottom() + layout.px(2));
    if (curve.size() > 1)
        dc.DrawText(last, plot.GetRight() - dc.GetTextExtent(last).x, plot.GetBottom() + layout.px(2));

    // Dates spread by their day, so a gap of weeks without a cast shows as one.
    const double firstDay = static_cast<double>(curve.front().day);
    const double span = std::max(1.0, static_cast<double>(curve.back().day) - firstDay);
    const auto at = [&](const CurvePoint& p, double value) {
        const double x = curve.size() > 1 ? (static_cast<double>(p.day) - firstDay) / span : 0.5;
        return wxPoint(plot.GetLeft() + static_cast<int>(std::lround(x * (plot.width - 1))),
                       plot.GetBottom() - static_cast<int>(std::lround(value / top * (plot.height - 1))));
    };
    const auto polyline = [&](auto value) {
        std::vector<wxPoint> points;
        for (const CurvePoint& p : curve) points.push_back(at(p, value(p)));
        if (points.size() == 1) points.push_back(points.front() + wxPoint(1, 0));
        dc.DrawLines(static_cast<int>(points.size()), points.data());
    };
    const int width = std::max(1, layout.px(2));
    dc.SetPen(wxPen(chanceColour(), width, wxPENSTYLE_SHORT_DASH));
    polyline([&](const CurvePoint& p) { return series.expected(p); });
    dc.SetPen(wxPen(hitsColour(), width));
    polyline([&](const CurvePoint& p) { return double(series.hits(p)); });
}

}  // namespace

ReviewChart::ReviewChart(wxWindow* parent) : wxWindow(parent, wxID_ANY) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    Bind(wxEVT_PAINT, [this](wxPaintEvent&) { paint(); });
    Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        Refresh();
        event.Skip();
    });
}

void ReviewChart::show(std::vector<CurvePoint> curve) {
    curve_ = std::move(curve);
    Refresh();
}

int ReviewChart::plannedHeight() const {
    const LayoutContext layout(this);
    return 7 * GetCharHeight() + layout.px(16);
}

void ReviewChart::paint() {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
    dc.Clear();
    dc.SetFont(GetFont());
    const LayoutContext layout(this);
    const wxSize size = GetClientSize();
    const int line = dc.GetCharHeight();
    if (curve_.empty()) {
        dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
        dc.DrawText(L"尚无已开奖的起卦,开奖后这里画出累计命中与随机期望。", 0, 0);
        return;
    }
    // The legend on the first line, the two plots side by side below it.
    const int gap = layout.gap();
    int x = 0;
    const int mark = 3 * line;
    dc.SetPen(wxPen(hitsColour(), std::max(1, layout.px(2))));
    dc.DrawLine(x, line / 2, x + mark, line / 2);
    x += mark + layout.px(4);
    dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
    dc.DrawText(L"实际命中", x, 0);
    x += dc.GetTextExtent(L"实际命中").x + gap;
    dc.SetPen(wxPen(chanceColour(), std::max(1, layout.px(2)), wxPENSTYLE_SHORT_DASH));
    dc.DrawLine(x, line / 2, x + mark, line / 2);
    x += mark + layout.px(4);
    dc.DrawText(L"随机期望", x, 0);

    const int top = line + layout.px(6);
    const int half = (size.x - gap) / 2;
    drawPlot(dc, layout, wxRect(0, top, half, size.y - top), Plots[0], curve_);
    drawPlot(dc, layout, wxRect(half + gap, top, size.x - half - gap, size.y - top), Plots[1], curve_);
}

}  // namespace orvenna
