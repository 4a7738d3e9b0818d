#include "LineEntryPanel.h"

#include <wx/msgdlg.h>

#include "base/Text.h"
#include "engine/CastRequest.h"
#include "gui/FontText.h"
#include "gui/Layout.h"

namespace orvenna {

namespace {

constexpr std::array<std::wstring_view, 5> LineItems = {L"选择爻相", L"阳爻---", L"阴爻——", L"阳动---○", L"阴动——×"};
// Top to bottom on screen: line 6 first.
constexpr std::array<std::wstring_view, 6> LineCaptions = {L"六爻:", L"五爻:", L"四爻:", L"三爻:", L"二爻:", L"初爻:"};
// The names an unset time part is reported by; "秒种" is spelled so on purpose.
constexpr std::array<std::wstring_view, 6> TimePartNames = {L"年份", L"月份", L"日期", L"小时", L"分钟", L"秒种"};

constexpr std::wstring_view Tip =
    L"提示:线下摇卦此项属内行者知晓，古以三枚铜钱放入掌心合掌,心诚默念所测之事,摇动铜钱数下放到桌面上，"
    L"如此六循，即成一卦象；其中字面为阳,反面为阴,三个正面为阳动,两个正为阳，两个反面为阴，三个反面为阴动;";

// The dialog's geometry, in cells of its font ('四'), 10-pixel gaps and 96-DPI pixels.
constexpr int CaptionCells = 3;   // "六爻:", or what it measures
constexpr int LineListCells = 8;  // a line's list
constexpr int ListRaisePx = 3;    // a list stands this much above its row
constexpr int ListSpacingPx = 4;  // below a list taller than a text line
constexpr int TipCells = 24;      // the tip's width: 24 cells and TipExtraPx
constexpr int TipExtraPx = 20;
constexpr int TipMinLines = 4;    // the tip's least height
constexpr int YearListCells = 6;  // the year's list; the other time lists are 5 cells
constexpr int TimeListCells = 5;
constexpr int ButtonCells = 5;  // 确定 and 取消: 5 cells wide, 2 lines high
constexpr int ButtonLines = 2;
constexpr int BottomMarginGaps = 4;  // below the buttons

wxString wx(std::wstring_view text) {
    return wxString(text.data(), text.size());
}

std::wstring numbered(int value, wchar_t unit) {
    std::wstring text = decimalText(value);
    text += unit;
    return text;
}

void showInformation(wxWindow* parent, const std::wstring& text) {
    wxMessageDialog box(parent, text, L"信息:", wxOK | wxICON_NONE);
    box.ShowModal();
}

}  // namespace

LineEntryPanel::LineEntryPanel(wxWindow* parent, const DateTimeFields& now) : wxPanel(parent) {
    today_.year = now.year, today_.month = now.month, today_.day = now.day;
    // This panel is given no font description: it uses the system's GUI font.
    SetFont(fontFromText(L""));
    // Made from the bottom line up: a cast is written down from 初爻, so the dialog opens
    // on it and Tab goes upwards, then on to the time and the buttons.
    for (int line = 1; line <= 6; ++line) {
        lineCaptions_[6 - line] = new wxStaticText(this, wxID_ANY, wx(LineCaptions[6 - line]));
        auto* list = new wxChoice(this, wxID_ANY);
        for (std::wstring_view item : LineItems) list->Append(wx(item));
        list->SetSelection(0);
        lineChoices_[line - 1] = list;
    }
    tip_ = new wxStaticText(this, wxID_ANY, wx(Tip));
    tip_->SetForegroundColour(*wxRED);
    timeCaption_ = new wxStaticText(this, wxID_ANY, L"线下摇卦时间:");
    createTimeChoices(now);
    ok_ = makeButton(this, L"确定");
    cancel_ = makeButton(this, L"取消");
    // Said outright: left to itself, GTK would go by the positions, from the top line down.
    std::vector<wxWindow*> order(lineChoices_.begin(), lineChoices_.end());
    order.insert(order.end(), timeChoices_.begin(), timeChoices_.end());
    order.push_back(ok_);
    order.push_back(cancel_);
    for (std::size_t i = 1; i < order.size(); ++i) order[i]->MoveAfterInTabOrder(order[i - 1]);
    layout();

    ok_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { pressOk(); });
    cancel_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { pressCancel(); });
}

void LineEntryPanel::createTimeChoices(const DateTimeFields& now) {
    const int units[6] = {L'年', L'月', L'日', L'时', L'分', L'秒'};
    const std::wstring_view unsetItems[6] = {L"年份", L"月份", L"日期", L"小时", L"分钟", L"秒钟"};
    const int today[3] = {today_.year, today_.month, today_.day};
    const int clockNow[3] = {now.hour, now.minute, now.second};
    for (int part = 0; part < 6; ++part) {
        auto* list = new wxChoice(this, wxID_ANY);
        list->Append(wx(unsetItems[part]));
        if (part < 3) {
            list->Append(numbered(today[part], static_cast<wchar_t>(units[part])));
            list->SetSelection(1);
        } else {
            const int count = part == 3 ? 24 : 60;
            for (int value = 0; value < count; ++value)
                list->Append(numbered(value, static_cast<wchar_t>(units[part])));
            list->SetSelection(prefixIndex(list, decimalText(clockNow[part - 3])));
        }
        timeChoices_[part] = list;
    }
}

void LineEntryPanel::layout() {
    const LayoutContext layout(this);
    const wxSize cell = layout.cell(L'四');
    const int cw = cell.x, ch = cell.y;
    const int gap = layout.gap();

    // Rows are ch + 10 apart, or further where a list is taller than a text line.
    int pitch = ch + gap;
    for (wxChoice* list : lineChoices_) pitch = std::max(pitch, list->GetBestSize().y + layout.px(ListSpacingPx));
    const int captionWidth = std::max(CaptionCells * cw, layout.extent(wx(LineCaptions[0])).x);
    for (int i = 0; i < 6; ++i) {
        const wxRect listRect =
            place(lineChoices_[5 - i], captionWidth, i * pitch + gap - layout.px(ListRaisePx), LineListCells * cw, ch);
        // The caption sits level with the text of its list.
        place(lineCaptions_[i], 0, listRect.y + (listRect.height - ch) / 2, captionWidth, ch, Floor::BestHeight);
    }

    wxChoice* first = lineChoices_[5];
    const int tipWidth = TipCells * cw + layout.px(TipExtraPx);
    tip_->SetLabel(layout.wrap(wx(Tip), tipWidth));
    place(tip_, right(first) + gap, first->GetPosition().y, tipWidth,
          std::max(TipMinLines * ch, layout.extent(tip_->GetLabel()).y), Floor::Exact);
    place(timeCaption_, tip_->GetPosition().x, bottom(tip_) + gap, tipWidth, ch, Floor::BestHeight);

    const int firstRowTop = bottom(timeCaption_) + gap;
    int left = timeCaption_->GetPosition().x;
    for (int part = 0; part < 3; ++part) {
        place(timeChoices_[part], left, firstRowTop, (part == 0 ? YearListCells : TimeListCells) * cw, ch);
        left = right(timeChoices_[part]) + gap;
    }
    const int secondRowTop = bottom(timeChoices_[0]) + gap;
    left = timeCaption_->GetPosition().x;
    for (int part = 3; part < 6; ++part) {
        place(timeChoices_[part], left, secondRowTop, TimeListCells * cw, ch);
        left = right(timeChoices_[part]) + gap;
    }

    ok_->SetPosition(wxPoint(0, 0));
    cancel_->SetPosition(wxPoint(0, 0));
    const int width = std::max(right(timeChoices_[4]) + gap, sizeAroundChildren(this, 0, 0, gap).x);
    const int buttonTop = std::max(bottom(timeChoices_[3]), bottom(timeChoices_[5])) + gap;
    const int buttonWidth = ButtonCells * cw, buttonHeight = ButtonLines * ch;
    const wxRect okRect = place(ok_, (width - 2 * buttonWidth - gap) / 2, buttonTop, buttonWidth, buttonHeight);
    place(cancel_, okRect.GetRight() + 1 + gap, buttonTop, buttonWidth, buttonHeight);
    SetSize(width, std::max(buttonTop + buttonHeight + BottomMarginGaps * gap, bottom(cancel_) + gap));
}

int LineEntryPanel::prefixIndex(const wxChoice* list, std::wstring_view prefix) {
    const wxString wanted = wx(prefix);
    for (unsigned i = 0; i < list->GetCount(); ++i)
        if (list->GetString(i).StartsWith(wanted)) return static_cast<int>(i);
    return wxNOT_FOUND;
}

void LineEntryPanel::pressOk() {
    std::array<int, 6> items{};
    for (int line = 1; line <= 6; ++line) {
        items[line - 1] = lineChoice(line)->GetSelection();
        if (items[line - 1] <= 0) {
            showInformation(this, concat(L"在第:", decimalText(line), L"爻没有设定!"));
            return;
        }
    }
    // Every item is 1..4 here: the lists hold nothing else.
    const ManualLines lines = *manualLines(items);
    const std::optional<DateTimeFields> time = chosenTime();
    if (!time) return;
    const double castTime = dayCountFromFields(*time);
    lineEntryResult.raise(LineEntryConfirmed, lines.upperCode, lines.lowerCode, lines.movingFlags, castTime);
}

void LineEntryPanel::pressCancel() {
    lineEntryResult.raise(LineEntryCancelled, L"", L"", {}, 0.0);
}

// The date lists offer today only; hour, minute and second item k is the value k - 1.
std::optional<DateTimeFields> LineEntryPanel::chosenTime() {
    DateTimeFields time = today_;
    int* const clock[3] = {&time.hour, &time.minute, &time.second};
    for (int part = 0; part < 6; ++part) {
        const int item = timeChoice(part)->GetSelection();
        if (item <= 0) {
            showInformation(this, concat(L"时间的", TimePartNames[part], L"未设定"));
            return std::nullopt;
        }
        if (part >= 3) *clock[part - 3] = item - 1;
    }
    return time;
}

}  // namespace orvenna
