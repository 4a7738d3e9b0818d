// The detail chart drawn onto any device context: the window paints it, 保存图片… draws it
// into a bitmap at twice the size for sharp text, and 打印… draws it on a page. One drawing,
// so that the three agree.
#pragma once

#include <wx/dc.h>
#include <wx/font.h>
#include <wx/image.h>
#include <wx/print.h>

#include "ui/words/ChartText.h"

namespace orvenna {

// The size the chart takes on `dc` in `font`, with every fixed distance multiplied by `unit`
// (1 on screen at 96 DPI; what the caller scales the font by, for a sharper picture).
wxSize chartPictureSize(wxDC& dc, const ChartSheet& sheet, const wxFont& font, double unit);

// Draws the chart with its top left corner at `origin`, on a white ground.
void drawChart(wxDC& dc, const ChartSheet& sheet, const wxFont& font, double unit, wxPoint origin = {0, 0});

// The chart as an image, its fixed distances `scale` times their 96-DPI size and `font` grown
// `fontScale` times.
wxImage chartImage(const ChartSheet& sheet, const wxFont& font, double scale, double fontScale);

// The chart on one page, shrunk or grown to the page's margins, kept in proportion.
class ChartPrintout : public wxPrintout {
public:
    ChartPrintout(ChartSheet sheet, const wxFont& font);

    bool OnPrintPage(int page) override;
    bool HasPage(int page) override { return page == 1; }
    void GetPageInfo(int* minPage, int* maxPage, int* pageFrom, int* pageTo) override;

private:
    ChartSheet sheet_;
    wxFont font_;
};

}  // namespace orvenna
