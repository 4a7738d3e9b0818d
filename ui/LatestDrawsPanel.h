// The strip at the top left of the main window: the latest 七星彩 draw (heading, date and
// period on one line, the seven digits below in coloured labels) and a refresh button. Until
// a draw has arrived it shows a notice spread over two rows of labels.
#pragma once

#include <string>
#include <vector>

#include <wx/panel.h>
#include <wx/stattext.h>

#include "gui/Event.h"

namespace orvenna {

class PictureButton;

// The numbers text of the placeholder: one character of the notice in every label.
inline constexpr std::wstring_view DrawPlaceholder = L"最 新 开 奖 数 据 正 在 更 新 请 确 认 您 已 连 接 网 络 ！";
// What the strip says instead when there will be no draw for now (at most twenty characters).
inline constexpr std::wstring_view DrawOffNotice = L"已关闭开奖数据：配置未设置开奖页面地址";
inline constexpr std::wstring_view DrawUnreadableNotice = L"开奖页面无法读取，页面格式或编码有误";

class LatestDrawsPanel : public wxPanel {
public:
    explicit LatestDrawsPanel(wxWindow* parent);

    // Removes every label and the button and lays the draw out anew. messageMode 1 spreads
    // the numbers text over twenty red labels in two rows; 0 shows seven digits.
    void showDraw(const std::wstring& numbers, const std::wstring& drawDate, const std::wstring& period,
                  const std::wstring& fontText, int messageMode);

    // Lays out what is shown again, in cells of its font on the panel's screen.
    void layout();

    // The placeholder's layout with `notice` in place of its text, one character a label.
    void showNotice(std::wstring_view notice, const std::wstring& fontText);

    // Heading, date, period, then the row caption.
    const std::vector<wxStaticText*>& textLabels() const { return texts_; }
    const std::vector<wxStaticText*>& numberLabels() const { return numbers_; }
    PictureButton* refreshButton() const { return refresh_; }

    Event<> refreshRequested;

private:
    struct Shown {
        std::wstring numbers, drawDate, period, fontText;
        int messageMode = 1;
    };
    Shown shown_;
    std::vector<wxStaticText*> texts_;
    std::vector<wxStaticText*> numbers_;
    PictureButton* refresh_ = nullptr;
};

}  // namespace orvenna
