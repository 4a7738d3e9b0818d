// The strip at the top left of the main window: the latest 七星彩 draw (heading, date and
// period on one line, the seven digits below in coloured labels) and a refresh button. Until
// a draw has arrived it shows a notice spread over two rows of labels.
#pragma once

#include <string>
#include <vector>

#include <wx/panel.h>
#include <wx/stattext.h>

#include "draws/DrawResult.h"
#include "engine/Draw.h"
#include "gui/Event.h"

namespace orvenna {

class PictureButton;

// What the strip says until the first draw arrives (twenty characters).
inline constexpr std::wstring_view DrawWaitingNotice = L"最新开奖数据正在更新请确认您已连接网络！";
// What the strip says instead when there will be no draw for now (at most twenty characters).
inline constexpr std::wstring_view DrawOffNotice = L"已关闭开奖数据：配置未设置开奖页面地址";
inline constexpr std::wstring_view DrawUnreadableNotice = L"开奖页面无法读取，页面格式或编码有误";
// After the period of a draw the strip shows from the store, not from the results page.
inline constexpr std::wstring_view StoredDrawMark = L"(已存)";

class LatestDrawsPanel : public wxPanel {
public:
    // The strip shows its texts in the font it inherits from `parent`.
    explicit LatestDrawsPanel(wxWindow* parent);

    // Removes every label and the button and lays the draw out anew: its date and period,
    // and its numbers as seven digits, the last in blue.
    void showDraw(const DrawResult& draw);
    // The same for a draw of the store, shown while none comes from the results page: its
    // period marked StoredDrawMark.
    void showStoredDraw(const Draw& draw);

    // The same rows with `notice` in place of a draw: one character to a red label, ten
    // labels a row, in two rows.
    void showNotice(std::wstring_view notice);

    // Lays out what is shown again, in cells of its font on the panel's screen.
    void layout();

    // Heading, date, period, then the row caption.
    const std::vector<wxStaticText*>& textLabels() const { return texts_; }
    const std::vector<wxStaticText*>& numberLabels() const { return numbers_; }
    PictureButton* refreshButton() const { return refresh_; }

    Event<> refreshRequested;

private:
    // What is shown: a draw's texts, or a notice spread over the number rows.
    struct Shown {
        std::wstring numbers, drawDate, period;
        bool notice = true;
    };
    void show(const Shown& shown);

    Shown shown_;
    std::vector<wxStaticText*> texts_;
    std::vector<wxStaticText*> numbers_;
    PictureButton* refresh_ = nullptr;
};

}  // namespace orvenna
