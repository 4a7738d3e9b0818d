// 开奖数据: every stored draw, newest first, with where it came from and, for a row the review
// leaves out, why; 删除 takes a wrong one out of the store, for a user who once imported a
// wrong file. Opened from 往期对照.
#pragma once

#include <vector>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>

#include "gui/Event.h"
#include "records/DrawStore.h"

namespace orvenna {

class DrawListWin : public wxDialog {
public:
    // Lists the draws of `store`, which outlives the window.
    DrawListWin(wxWindow* owner, EasyDb& store);

    // Reads the store again; a failure is said in the window.
    void reload();
    // Asks first, then deletes the selected draw.
    void deleteSelected();

    wxListCtrl* list() const { return list_; }
    wxButton* deleteButton() const { return delete_; }
    wxStaticText* note() const { return note_; }

    // A draw was deleted: the scores that stood on it change.
    Event<> drawsChanged;

private:
    void layout();
    void updateButtons();

    EasyDb& store_;
    std::vector<StoredDraw> draws_;
    wxListCtrl* list_;
    wxStaticText* note_;
    wxButton* delete_;
    wxButton* close_;
};

}  // namespace orvenna
