#include "ChartPicture.h"

#include <algorithm>
#include <cmath>

#include <wx/bitmap.h>
#include <wx/dcmemory.h>

namespace orvenna {

namespace {

constexpr wchar_t Bar = L'▅';

// Where every part of the chart goes, measured once for a drawing.
struct Geometry {
    wxFont titleFont;
    int margin = 0;
    int pad = 0;         // blank left and right of a cell's text
    int lineHeight = 0;  // one line of the heading
    int rowHeight = 0;   // one row of the table
    int titleHeight = 0;
    int tableTop = 0;
    std::array<int, ChartColumns + 1> columnLeft{};  // the last entry is the table's right edge
    wxSize size;
};

int scaled(double unit, int pixels) {
    return std::max(1, static_cast<int>(std::lround(unit * pixels)));
}

// The width of a cell's text; the picture column counts its bars as the bars drawn.
int textWidth(wxDC& dc, const std::wstring& text) {
    return text.empty() ? 0 : dc.GetTextExtent(text).x;
}

Geometry measure(wxDC& dc, const ChartSheet& sheet, const wxFont& font, double unit) {
    Geometry g;
    g.margin = scaled(unit, 16);
    g.pad = scaled(unit, 6);
    g.titleFont = font.Bold().Scaled(1.4f);
    dc.SetFont(g.titleFont);
    const wxSize title = dc.GetTextExtent(sheet.title);
    g.titleHeight = title.y;
    dc.SetFont(font);
    const wxSize cell = dc.GetTextExtent(L"卦");
    g.lineHeight = cell.y + scaled(unit, 3);
    g.rowHeight = cell.y + scaled(unit, 10);
    int width = title.x;
    for (const std::wstring& line : sheet.heading) width = std::max(width, dc.GetTextExtent(line).x);
    std::array<int, ChartColumns> widths{};
    auto widen = [&](const ChartRow& row) {
        for (std::size_t c = 0; c < ChartColumns; ++c) widths[c] = std::max(widths[c], textWidth(dc, row[c]));
    };
    widen(sheet.captions);
    for (const ChartRow& row : sheet.rows) widen(row);
    int x = 0;
    for (std::size_t c = 0; c < ChartColumns; ++c) {
        g.columnLeft[c] = x;
        if (widths[c] > 0) x += widths[c] + 2 * g.pad;
    }
    g.columnLeft[ChartColumns] = x;
    width = std::max(width, x);
    g.tableTop = g.margin + g.titleHeight + scaled(unit, 8) + static_cast<int>(sheet.heading.size()) * g.lineHeight +
                 scaled(unit, 8);
    g.size = wxSize(width + 2 * g.margin, g.tableTop + 7 * g.rowHeight + g.margin);
    return g;
}

// The line's picture: a solid bar, or two with a gap, as wide as three bar glyphs; the moving
// mark written after it.
void drawLinePicture(wxDC& dc, const std::wstring& cell, wxRect box) {
    const bool yang = cell.rfind(L"▅▅▅", 0) == 0;
    const bool yin = cell.rfind(L"▅ ▅", 0) == 0;
    if (!yang && !yin) return;
    const int width = dc.GetTextExtent(std::wstring(3, Bar)).x;
    const int height = std::max(2, box.height / 4);
    const int top = box.y + (box.height - height) / 2;
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(*wxBLACK_BRUSH);
    if (yang) {
        dc.DrawRectangle(box.x, top, width, height);
    } else {
        const int part = width * 2 / 5;
        dc.DrawRectangle(box.x, top, part, height);
        dc.DrawRectangle(box.x + width - part, top, part, height);
    }
    const std::wstring move = cell.substr(3);
    if (!move.empty()) {
        dc.SetTextForeground(wxColour(200, 0, 0));
        dc.DrawText(move, box.x + width, box.y + (box.height - dc.GetTextExtent(move).y) / 2);
        dc.SetTextForeground(*wxBLACK);
    }
}

}  // namespace

wxSize chartPictureSize(wxDC& dc, const ChartSheet& sheet, const wxFont& font, double unit) {
    return measure(dc, sheet, font, unit).size;
}

void drawChart(wxDC& dc, const ChartSheet& sheet, const wxFont& font, double unit, wxPoint origin) {
    const Geometry g = measure(dc, sheet, font, unit);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(origin, g.size);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.SetTextForeground(*wxBLACK);
    const int left = origin.x + g.margin;
    int y = origin.y + g.margin;
    dc.SetFont(g.titleFont);
    dc.DrawText(sheet.title, left, y);
    y += g.titleHeight + scaled(unit, 8);
    dc.SetFont(font);
    for (const std::wstring& line : sheet.heading) {
        dc.DrawText(line, left, y);
        y += g.lineHeight;
    }

    const int top = origin.y + g.tableTop;
    const int tableRight = left + g.columnLeft[ChartColumns];
    dc.SetBrush(wxBrush(wxColour(236, 236, 236)));
    dc.DrawRectangle(left, top, tableRight - left, g.rowHeight);
    auto drawRow = [&](const ChartRow& row, int rowTop) {
        for (std::size_t c = 0; c < ChartColumns; ++c) {
            if (row[c].empty() || g.columnLeft[c + 1] == g.columnLeft[c]) continue;
            const wxRect box(left + g.columnLeft[c] + g.pad, rowTop, g.columnLeft[c + 1] - g.columnLeft[c] - 2 * g.pad,
                             g.rowHeight);
            if (static_cast<ChartColumn>(c) == ChartColumn::Picture && &row != &sheet.captions) {
                drawLinePicture(dc, row[c], box);
                continue;
            }
            dc.DrawText(row[c], box.x, rowTop + (g.rowHeight - dc.GetTextExtent(row[c]).y) / 2);
        }
    };
    drawRow(sheet.captions, top);
    for (std::size_t r = 0; r < sheet.rows.size(); ++r)
        drawRow(sheet.rows[r], top + static_cast<int>(r + 1) * g.rowHeight);

    // Rules between the rows, and between the groups 六神 | 伏神 | 本卦 | 变卦.
    dc.SetPen(wxPen(wxColour(160, 160, 160), scaled(unit, 1)));
    for (int r = 0; r <= 7; ++r) dc.DrawLine(left, top + r * g.rowHeight, tableRight, top + r * g.rowHeight);
    const int bottomEdge = top + 7 * g.rowHeight;
    for (const ChartColumn c : {ChartColumn::Spirit, ChartColumn::Hidden, ChartColumn::Line, ChartColumn::Changed}) {
        const int x = left + g.columnLeft[static_cast<std::size_t>(c)];
        dc.DrawLine(x, top, x, bottomEdge);
    }
    dc.DrawLine(tableRight, top, tableRight, bottomEdge);
}

wxImage chartImage(const ChartSheet& sheet, const wxFont& font, double scale, double fontScale) {
    const wxFont big = font.Scaled(static_cast<float>(fontScale));
    wxBitmap probe(1, 1);
    wxMemoryDC measuring(probe);
    const wxSize size = chartPictureSize(measuring, sheet, big, scale);
    measuring.SelectObject(wxNullBitmap);
    wxBitmap bitmap(size, 24);
    {
        wxMemoryDC dc(bitmap);
        drawChart(dc, sheet, big, scale);
    }
    return bitmap.ConvertToImage();
}

ChartPrintout::ChartPrintout(ChartSheet sheet, const wxFont& font)
    : wxPrintout(L"排盘详情"), sheet_(std::move(sheet)), font_(font) {}

bool ChartPrintout::OnPrintPage(int page) {
    wxDC* dc = GetDC();
    if (!dc || page != 1) return false;
    // Measured in the printer's own pixels, the fixed distances grown from 96 DPI to the
    // printer's, then scaled onto the page inside its margins.
    dc->SetUserScale(1, 1);
    int ppiX = 0;
    int ppiY = 0;
    GetPPIPrinter(&ppiX, &ppiY);
    const double unit = ppiY > 0 ? ppiY / 96.0 : 1.0;
    const wxSize size = chartPictureSize(*dc, sheet_, font_, unit);
    FitThisSizeToPageMargins(size, wxPageSetupDialogData());
    drawChart(*dc, sheet_, font_, unit);
    return true;
}

void ChartPrintout::GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) {
    *minPage = *maxPage = *pageFrom = *pageTo = 1;
}

}  // namespace orvenna
