// 排盘详情: the full chart of the cast on show, on one screen, with 复制 (the chart as aligned
// text), 保存图片… (a PNG drawn at twice the size) and 打印… (one page, through a preview).
// One window, showing the last chart it was given; Esc closes it.
#pragma once

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/scrolwin.h>

#include "engine/AnalysisRun.h"
#include "ui/words/ChartText.h"

namespace orvenna {

class ChartWin : public wxDialog {
public:
    explicit ChartWin(wxWindow* owner);

    // Shows the chart of `analysis` and brings the window to the front.
    void show(const Analysis& analysis);

    const ChartSheet& sheet() const { return sheet_; }
    // The chart as 复制 puts it on the clipboard.
    std::wstring text() const { return chartText(sheet_); }

    // What the buttons do, without their dialogs: false, with nothing written, where the
    // clipboard or the file cannot be had.
    bool copyText();
    bool savePicture(const wxString& path);

    wxWindow* canvas() const { return canvas_; }
    wxButton* copyButton() const { return copy_; }
    wxButton* saveButton() const { return save_; }
    wxButton* printButton() const { return print_; }

private:
    void layout();
    void placeContent();
    void choosePictureFile();
    void preview();

    ChartSheet sheet_;
    wxScrolledWindow* view_;
    wxWindow* canvas_;
    wxWindow* buttons_;
    wxButton* copy_;
    wxButton* save_;
    wxButton* print_;
};

}  // namespace orvenna
