#include "ResultPanel.h"

#include <wx/menu.h>

#include <algorithm>

#include <wx/dcclient.h>
#include <wx/renderer.h>
#include <wx/settings.h>

#include "QrView.h"
#include "base/Text.h"
#include "engine/ResultText.h"
#include "gui/LabeledEdit.h"
#include "gui/Layout.h"

namespace orvenna {

namespace {

// A title as one row of the list: a line break or an escape stored in it (by another
// program, or pasted) shows as a blank, and a direction control is left out, so that no
// title can turn its row around. The store keeps the title as it was given.
wxString listedTitle(std::wstring_view title) {
    std::wstring shown;
    shown.reserve(title.size());
    for (const wchar_t c : title) {
        if (isDirectionControl(c)) continue;
        shown += isLineBreaking(c) ? L' ' : c;
    }
    return shown;
}

// The entries of the list's context menu, in its order.
constexpr int ReviewMenuId = wxID_HIGHEST + 1;
constexpr int ImportMenuId = wxID_HIGHEST + 2;
struct MenuEntry {
    int id;
    const wchar_t* label;
};
constexpr MenuEntry MenuEntries[] = {{ReviewMenuId, L"往期对照"}, {ImportMenuId, L"导入开奖数据…"}};

// The list's tooltip where no item is under the pointer: what a double click does, and what
// the right button offers, which nothing else on the window shows.
std::wstring listHint() {
    std::wstring hint = L"双击或回车复盘查看;右键菜单:";
    for (const MenuEntry& entry : MenuEntries) {
        if (entry.id != MenuEntries[0].id) hint += L"、";
        hint += entry.label;
    }
    return hint;
}

// The column's geometry: heights in lines of the font's cell ('框'), widths in cells, and
// paddings in 96-DPI pixels.
constexpr int ListLines = 8;         // the history list
constexpr int ButtonLines = 2;       // every button, and 全选
constexpr int SelectAllCells = 4;    // 全选
constexpr int DeleteCells = 3;       // 删除
constexpr int ResultLines = 16;      // the result box as planned
constexpr int LeastResultLines = 6;  // the result box where the column is short
constexpr int PhoneCells = 6;        // 用手机查看
constexpr int NoteLines = 3;         // the note at the least
constexpr int BelowNoteLines = 7;    // below the note: the title and the buttons, as planned
constexpr int SaveCells = 5;         // 保存 and 帮助
constexpr int CaptionGap = 2;        // between a caption and its box
constexpr int NoteBoxPadding = 12;   // the note box's frame around its lines
constexpr int TitleBoxPadding = 8;   // the title box's frame around its line

// A point just under item `index` of `list`, in the list's client coordinates; the top left
// corner where the item is not in view. A list box does not give its items' rectangles, so
// the item's lines are found by asking which item each line shows.
wxPoint belowItem(const wxListBox* list, int index) {
    const wxSize client = list->GetClientSize();
    const int x = std::min(client.x / 2, list->GetCharHeight() * 2);
    int last = -1;
    for (int y = 0; y < client.y; ++y)
        if (list->HitTest(wxPoint(x, y)) == index)
            last = y;
        else if (last >= 0)
            break;
    return last >= 0 ? wxPoint(x, last + 1) : wxPoint(0, 0);
}

}  // namespace

ResultPanel::ResultPanel(wxWindow* parent) : wxPanel(parent) {
    const wxFont font = GetFont();
    createHistory(font);
    createDetails(font);
    layoutControls();
}

void ResultPanel::createHistory(const wxFont& font) {
    list_ = new wxCheckListBox(this, wxID_ANY);
    list_->Bind(wxEVT_LISTBOX_DCLICK, [this](wxCommandEvent&) {
        const int current = list_->GetSelection();
        if (current != wxNOT_FOUND) replayRequested.raise(itemId(current));
    });
    list_->Bind(wxEVT_CHECKLISTBOX, [this](wxCommandEvent&) { updateDeleteButton(); });
    // A title cut short shows whole in the tooltip of the item under the pointer, or of the
    // item chosen with the keys; elsewhere the list keeps its own hint.
    list_->Bind(wxEVT_MOTION, [this](wxMouseEvent& event) {
        showTitleTip(list_->HitTest(event.GetPosition()));
        event.Skip();
    });
    list_->Bind(wxEVT_LEAVE_WINDOW, [this](wxMouseEvent& event) {
        showTitleTip(wxNOT_FOUND);
        event.Skip();
    });
    list_->Bind(wxEVT_LISTBOX, [this](wxCommandEvent& event) {
        showTitleTip(list_->GetSelection());
        event.Skip();
    });
    list_->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        fitTitles();
        event.Skip();
    });
    // The right button, the menu key or Shift+F10: how the saved casts fared, and the draws
    // they are checked against.
    list_->Bind(wxEVT_CONTEXT_MENU, [this](wxContextMenuEvent& event) {
        hideTip();
        wxMenu menu;
        for (const MenuEntry& entry : MenuEntries) menu.Append(entry.id, entry.label);
        menu.Bind(wxEVT_MENU, [this](wxCommandEvent& chosen) {
            if (chosen.GetId() == ReviewMenuId)
                reviewRequested.raise();
            else
                importRequested.raise();
        });
        // Asked for by the keyboard (the Menu key, Shift+F10), the menu opens at the selected
        // item, where the user's eyes are, not at the mouse.
        if (event.GetPosition() == wxDefaultPosition)
            list_->PopupMenu(&menu, belowItem(list_, list_->GetSelection()));
        else
            list_->PopupMenu(&menu);
    });
    // The keys a list user expects: Enter replays the highlighted item as a double click
    // does, Delete presses 删除 (which asks first). Space ticks, as the list itself does.
    // Seen before the list: on Windows the dialog navigation takes Enter from a list.
    list_->Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        const int current = list_->GetSelection();
        if ((event.GetKeyCode() == WXK_RETURN || event.GetKeyCode() == WXK_NUMPAD_ENTER) && current != wxNOT_FOUND)
            replayRequested.raise(itemId(current));
        else if (event.GetKeyCode() == WXK_DELETE && delete_->IsEnabled())
            deleteRequested.raise();
        else
            event.Skip();
    });
    selectAll_ = new wxCheckBox(this, wxID_ANY, L"全选");
    selectAll_->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) {
        const bool tick = selectAll_->GetValue();
        for (unsigned i = 0; i < list_->GetCount(); ++i) list_->Check(i, tick);
        updateDeleteButton();
    });
    delete_ = makeButton(this, L"删除");
    delete_->Disable();
    delete_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { deleteRequested.raise(); });
    SetFont(font);
    list_->SetFont(font);
    selectAll_->SetFont(font);
    delete_->SetFont(font);
}

void ResultPanel::createDetails(const wxFont& font) {
    result_ = new LabeledEdit(this, font, L"演算结果:", LabeledEdit::Lines::Multi, LabeledEdit::Mode::ReadOnly);
    boxFrame_ = result_->box()->GetSizeFromTextSize(-1, 100).y - 100;
    phone_ = makeButton(this, L"用手机查看");
    phone_->Disable();
    note_ = new LabeledEdit(this, font, L"用户备注:", LabeledEdit::Lines::Multi, LabeledEdit::Mode::Normal);
    title_ = new LabeledEdit(this, font, L"名称:", LabeledEdit::Lines::Single, LabeledEdit::Mode::Normal);
    titleBoxHeight_ = title_->box()->GetBestSize().y;
    save_ = makeButton(this, L"保存");
    save_->Disable();
    help_ = makeButton(this, L"帮助");
    for (wxButton* button : {phone_, save_, help_}) button->SetFont(font);
    // The tooltip belongs to the list inside this container.
    list_->SetToolTip(listHint());

    result_->emptyChanged.connect([this](bool empty) { phone_->Enable(!empty); });
    title_->emptyChanged.connect([this](bool empty) {
        // An empty result leaves nothing to save, whatever the title says.
        save_->Enable(!result_->isBlank() && !empty);
    });
    phone_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { onPhoneButton(); });
    save_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { onSave(); });
    // Enter in the title saves, as 保存 does. Seen before the box: on Windows the dialog
    // navigation would take the key first.
    title_->box()->Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if ((event.GetKeyCode() == WXK_RETURN || event.GetKeyCode() == WXK_NUMPAD_ENTER) && save_->IsEnabled())
            onSave();
        else
            event.Skip();
    });
    help_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { helpRequested.raise(); });
}

void ResultPanel::layoutControls() {
    const int width = GetClientSize().x, height = GetClientSize().y;
    const LayoutContext layout(this);
    const wxSize cell = layout.cell(L'框');
    const int gap = layout.gap();
    const int cw = cell.x, ch = cell.y;
    place(list_, 0, 0, width, ListLines * ch, Floor::Exact);
    place(selectAll_, 0, bottom(list_) + gap, SelectAllCells * cw, ButtonLines * ch);
    place(delete_, right(selectAll_) + gap, selectAll_->GetPosition().y, DeleteCells * cw, ButtonLines * ch);
    const int resultTop = std::max(bottom(selectAll_), bottom(delete_)) + gap;

    // Below the result box: its phone button, the note (at least three lines), the title
    // and the buttons. Where the font's cells are larger than the window was planned for,
    // the result box gives up lines first and the panel asks for more height.
    const int buttonHeight = std::max({ButtonLines * ch, phone_->GetBestSize().y, save_->GetBestSize().y});
    const int titleHeight = std::max(ch + layout.px(TitleBoxPadding), titleBoxHeight_);
    const int minimumNote =
        result_->caption()->GetSize().y + layout.px(CaptionGap) + NoteLines * ch + layout.px(NoteBoxPadding);
    const int below = gap + buttonHeight + gap + minimumNote + gap + titleHeight + gap + buttonHeight;
    // The result box is planned for 16 cells; where the platform's lines are taller than a
    // cell, it takes what a whole result text needs: every line of the result is key output.
    const int wholeResult = std::max(ResultLines * ch, wholeResultHeight());
    requiredHeight_ = resultTop + wholeResult + below;
    const int resultHeight = std::clamp(height - resultTop - below, LeastResultLines * ch, wholeResult);
    result_->layout(LabeledEdit::Form::Vertical, 0, resultTop, width, resultHeight);

    // The button ends 10 short of the box's right edge, however wide GTK draws it.
    const wxRect phone = place(phone_, 0, bottom(result_) + gap, PhoneCells * cw, ButtonLines * ch);
    moveTo(phone_, result_->GetSize().x - phone.width - gap, phone.y);
    const int noteTop = bottom(phone_) + gap;
    const int noteHeight = std::max(height - BelowNoteLines * ch - bottom(phone_) - gap, minimumNote);
    note_->layout(LabeledEdit::Form::Vertical, 0, noteTop, result_->GetSize().x, noteHeight);
    title_->layout(LabeledEdit::Form::Horizontal, 0, bottom(note_) + gap, note_->GetSize().x,
                   ch + layout.px(TitleBoxPadding));
    place(save_, 0, bottom(title_) + gap, SaveCells * cw, ButtonLines * ch);
    place(help_, right(save_) + gap, save_->GetPosition().y, SaveCells * cw, ButtonLines * ch);
    if (qrView_) qrView_->SetSize(resultBox()->GetRect());
}

int ResultPanel::wholeResultHeight() const {
    wxTextCtrl* box = result_->box();
    // Every line of the template as it will be drawn (a line with a character that the face
    // lacks takes the taller line of the face that stands in), digits for the fields, and
    // the empty line after the last line break, where the cursor can stand.
    std::wstring lines;
    for (const wchar_t c : SuggestionTemplate)
        if (c != L'\r') lines += c;
    const int textHeight = LayoutContext(box).extent(wxString(lines) + L"\n框").y;
    return result_->caption()->GetSize().y + LayoutContext(this).px(CaptionGap) + textHeight + boxFrame_ +
           2 * result_->focusFrame();
}

// A list filled anew starts with no item ticked, so 全选 no longer holds either.
void ResultPanel::clearItems() {
    list_->Clear();
    ids_.clear();
    titles_.clear();
    selectAll_->SetValue(false);
    showTitleTip(wxNOT_FOUND);
}

void ResultPanel::appendItem(std::wstring_view title, std::int64_t id) {
    titles_.push_back(listedTitle(title));
    const int width = fittedWidth_;
    list_->Append(fittedTitle(titles_.back()));
    ids_.push_back(id);
    // The item brought a scroll bar, and was fitted to the row as it was before it.
    if (fittedWidth_ != width) {
        const auto last = static_cast<unsigned>(list_->GetCount() - 1);
        list_->SetString(last, fittedTitle(titles_.back()));
    }
}

std::wstring ResultPanel::itemTitle(int index) const {
    return titles_.at(static_cast<std::size_t>(index)).ToStdWstring();
}

// The width a row's text has: the list's less its border, its tick box and a scroll bar,
// which may come with the next item.
int ResultPanel::titleWidth() const {
    const wxSize box = wxRendererNative::Get().GetCheckBoxSize(list_);
    const int scrollBar = wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, list_);
    // Measured on the list's outer width, which a scroll bar coming or going does not change:
    // the rows are fitted once, not again (and again) as the list fills.
    return list_->GetSize().x - box.x - std::max(scrollBar, 0) - list_->FromDIP(20);
}

// The saved title ends in the time of its cast, which is what tells the records of one
// title apart: a title too long for its row loses characters from its middle.
wxString ResultPanel::fittedTitle(const wxString& title) const {
    const int width = titleWidth();
    if (width <= 0) return title;
    wxClientDC dc(list_);
    dc.SetFont(list_->GetFont());
    return wxControl::Ellipsize(title, dc, wxELLIPSIZE_MIDDLE, width, wxELLIPSIZE_FLAGS_NONE);
}

void ResultPanel::fitTitles() {
    const int width = titleWidth();
    if (width == fittedWidth_) return;
    fittedWidth_ = width;
    // The list may be short of the titles while it is being filled or set anew (a scroll bar
    // that comes with an item resizes it before the item is in).
    const std::size_t listed = std::min<std::size_t>(titles_.size(), list_->GetCount());
    for (std::size_t i = 0; i < listed; ++i) {
        const wxString shown = fittedTitle(titles_[i]);
        if (list_->GetString(static_cast<unsigned>(i)) != shown) list_->SetString(static_cast<unsigned>(i), shown);
    }
}

std::wstring ResultPanel::itemTip(int index) const {
    std::wstring tip = itemTitle(index);
    const std::int64_t id = itemId(index);
    auto line = scoreLines_.find(id);
    if (line == scoreLines_.end() && scoreLineOf) line = scoreLines_.emplace(id, scoreLineOf(id)).first;
    if (line != scoreLines_.end() && !line->second.empty()) tip += L"\n" + line->second;
    return tip;
}

void ResultPanel::showTitleTip(int index) {
    const wxString tip = index >= 0 && index < itemCount() ? wxString(itemTip(index)) : wxString(listHint());
    if (list_->GetToolTipText() != tip) list_->SetToolTip(tip);
}

std::vector<std::int64_t> ResultPanel::tickedIds() const {
    std::vector<std::int64_t> ticked;
    for (int i = 0; i < itemCount(); ++i)
        if (isTicked(i)) ticked.push_back(ids_[static_cast<std::size_t>(i)]);
    return ticked;
}

// The list is set anew in one go: deleting a thousand items one by one would redraw it a
// thousand times.
void ResultPanel::removeTicked() {
    wxArrayString keptShown;
    std::vector<wxString> keptTitles;
    std::vector<std::int64_t> keptIds;
    for (int i = 0; i < itemCount(); ++i) {
        if (isTicked(i)) continue;
        keptShown.Add(list_->GetString(static_cast<unsigned>(i)));
        keptTitles.push_back(titles_[static_cast<std::size_t>(i)]);
        keptIds.push_back(ids_[static_cast<std::size_t>(i)]);
    }
    list_->Set(keptShown);
    titles_ = std::move(keptTitles);
    ids_ = std::move(keptIds);
    // Nothing left to tick: 全选 cannot stay ticked over an empty list.
    if (ids_.empty()) selectAll_->SetValue(false);
    showTitleTip(wxNOT_FOUND);
    updateDeleteButton();
}

// Taking the tooltip away hides the one on screen; the list's hint comes back at once for the
// next time the pointer rests on it.
void ResultPanel::hideTip() {
    list_->UnsetToolTip();
    list_->SetToolTip(listHint());
}

void ResultPanel::updateDeleteButton() {
    bool anyTicked = false;
    for (unsigned i = 0; i < list_->GetCount() && !anyTicked; ++i) anyTicked = list_->IsChecked(i);
    delete_->Enable(anyTicked);
}

wxTextCtrl* ResultPanel::resultBox() const {
    return result_->box();
}

// A code on screen always shows the text in the box: a new text takes an old code away.
void ResultPanel::setResultText(const std::wstring& text) {
    if (qrView_) hideQr();
    resultText_ = text;
    result_->setText(text);
}

std::wstring ResultPanel::resultText() const {
    return resultText_;
}

void ResultPanel::clearResult() {
    setResultText(L"");
    note_->setText(L"");
}

void ResultPanel::clearEntry() {
    note_->setText(L"");
    title_->setText(L"");
}

void ResultPanel::onPhoneButton() {
    if (!qrShown_) {
        const std::wstring& text = resultText_;
        if (text.empty()) return;
        qrShown_ = true;
        phone_->SetLabel(L"隐藏二维码");
        const auto symbol = encodeQr(toUtf8(text));
        if (!symbol) return;  // too long for any symbol: the caption still offers to go back
        // In the result component, where the box is: the picture stands in for it.
        qrView_ = new QrView(result_, resultBox()->GetRect(), *symbol);
        qrView_->Raise();
        resultBox()->Hide();  // the picture box stands in its place until it is hidden again
    } else {
        hideQr();
    }
}

void ResultPanel::hideQr() {
    qrShown_ = false;
    phone_->SetLabel(L"用手机查看");
    if (qrView_) qrView_->Destroy();
    qrView_ = nullptr;
    resultBox()->Show();
}

void ResultPanel::onSave() {
    if (title_->text().empty()) {
        title_->showBalloonTip(L"提示:", L"请输入保存的标题,标题将自动加上日期");
        title_->focusAndSelectAll();
        return;
    }
    saveRequested.raise();
}

}  // namespace orvenna
