// The right-hand column: the saved predictions with tick boxes, the result text of the
// current cast (and its QR code for a phone), the note and the title for saving.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/panel.h>
#include <wx/textctrl.h>

#include "gui/Event.h"
#include "records/EasyDb.h"

namespace orvenna {

class LabeledEdit;
class QrView;

class ResultPanel : public wxPanel, public HistoryList {
public:
    // Creates the controls, in the font the panel inherits from `parent`, and lays them out in
    // the panel's size.
    explicit ResultPanel(wxWindow* parent);
    // Lays the controls out again for the panel's current size.
    void layoutControls();
    // The height the controls need at the least (the result box at its full 16 lines).
    int requiredHeight() const { return requiredHeight_; }

    // The history list, as the record store fills it.
    HistoryList& history() { return *this; }
    void clearItems() override;
    void appendItem(std::wstring_view title, std::int64_t id) override;
    int itemCount() const { return static_cast<int>(ids_.size()); }
    std::int64_t itemId(int index) const { return ids_.at(static_cast<std::size_t>(index)); }
    // The whole title of an item, as its tooltip shows it; the row may show it shortened.
    std::wstring itemTitle(int index) const;
    // A saved cast's draw and score by record id, shown under its title in the tooltip. Asked
    // for only when an item's tooltip is first shown, and kept until forgetScores().
    std::function<std::wstring(std::int64_t id)> scoreLineOf;
    void forgetScores() { scoreLines_.clear(); }
    // The tooltip of item `index`: its whole title, and its draw and score where known.
    std::wstring itemTip(int index) const;
    bool isTicked(int index) const { return list_->IsChecked(static_cast<unsigned>(index)); }
    // The ids of the ticked items, from the top.
    std::vector<std::int64_t> tickedIds() const;
    // Removes every ticked item at once (their rows are gone from the store).
    void removeTicked();
    // "删除" is live exactly while some item is ticked: it deletes the ticked items only.
    void updateDeleteButton();

    void setResultText(const std::wstring& text);
    std::wstring resultText() const;
    // Empties the result and the note (a new cast or a reset).
    void clearResult();
    // Empties the note and the title (after a save).
    void clearEntry();

    wxCheckListBox* historyList() const { return list_; }
    wxCheckBox* selectAll() const { return selectAll_; }
    wxButton* deleteButton() const { return delete_; }
    LabeledEdit* resultEdit() const { return result_; }
    wxTextCtrl* resultBox() const;
    wxButton* phoneButton() const { return phone_; }
    LabeledEdit* noteEdit() const { return note_; }
    LabeledEdit* titleEdit() const { return title_; }
    wxButton* saveButton() const { return save_; }
    wxButton* helpButton() const { return help_; }
    QrView* qrView() const { return qrView_; }

    // 删除 (or Delete in the list) with some item ticked; it has not asked yet.
    Event<> deleteRequested;
    // 保存 (or Enter in the title) with a title given.
    Event<> saveRequested;
    Event<> helpRequested;
    // A double click or Enter on an item, with its record id.
    Event<std::int64_t> replayRequested;
    // The list's context menu: 往期对照, and 导入开奖数据….
    Event<> reviewRequested;
    Event<> importRequested;

    // Takes the history list's tooltip off the screen, leaving the list's hint for the next
    // time: a menu or a window opening over the list must not sit under an item's tooltip.
    void hideTip();

private:
    void createHistory(const wxFont& font);
    void createDetails(const wxFont& font);
    void onPhoneButton();
    void hideQr();
    void onSave();
    int titleWidth() const;
    wxString fittedTitle(const wxString& title) const;
    // Shortens the rows again for the list's width.
    void fitTitles();
    // The tooltip for item `index`, the list's hint for wxNOT_FOUND.
    void showTitleTip(int index);

    wxCheckListBox* list_;
    // The record id of each item, kept beside the list: SQLite's row ids are 64 bits wide,
    // wider than an int and, in a 32-bit build, than an item's client data.
    std::vector<std::int64_t> ids_;
    // Each item's whole title; its row shows it shortened where the list is too narrow.
    std::vector<wxString> titles_;
    mutable std::unordered_map<std::int64_t, std::wstring> scoreLines_;
    int fittedWidth_ = 0;
    wxCheckBox* selectAll_;
    wxButton* delete_;
    LabeledEdit* result_ = nullptr;
    // The text in the result box as it was set: the Windows box gives its line breaks back
    // as "\n" alone, and the phone's code must carry the text's own "\r\n".
    std::wstring resultText_;
    wxButton* phone_ = nullptr;
    LabeledEdit* note_ = nullptr;
    LabeledEdit* title_ = nullptr;
    wxButton* save_ = nullptr;
    wxButton* help_ = nullptr;
    int requiredHeight_ = 0;
    // Taken while the boxes are new: GTK's answers change once a box is on screen (a scroll
    // bar, a realised entry), and the column's height must not change with them.
    int boxFrame_ = 0;
    int titleBoxHeight_ = 0;
    // The height of the result component (caption and box) that shows a whole result text.
    int wholeResultHeight() const;
    QrView* qrView_ = nullptr;
    // The code is asked for (the button offers to hide it), even where the text was too long
    // for a symbol and nothing is drawn.
    bool qrShown_ = false;
};

}  // namespace orvenna
