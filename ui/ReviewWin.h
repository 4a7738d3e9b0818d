// 往期对照: every saved cast beside the draw it was cast for, one row a cast; below them the
// totals over the drawn ones against what picking at random gives, whether the difference is
// more than chance, and a picture of the hits adding up draw by draw. A virtual list: ten
// thousand rows cost no more to open than ten. The window follows the store: the main window
// hands it a new review after every save, delete or import.
#pragma once

#include <optional>
#include <vector>

#include <wx/button.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>
#include <wx/weakref.h>

#include "engine/CastReview.h"
#include "engine/ReviewOrder.h"
#include "gui/Event.h"

namespace orvenna {

class CastDetailWin;
class ReviewChart;

class ReviewList : public wxListCtrl {
public:
    explicit ReviewList(wxWindow* parent);
    // Shows `casts` (which outlive the list) in the order of `rows`.
    void show(const std::vector<ReviewedCast>* casts, const std::vector<std::size_t>* rows);
    // The text of a cell, as the list shows it.
    wxString cellText(long row, long column) const;

protected:
    wxString OnGetItemText(long item, long column) const override;

private:
    const std::vector<ReviewedCast>* casts_ = nullptr;
    const std::vector<std::size_t>* rows_ = nullptr;
};

class ReviewWin : public wxFrame {
public:
    // A window over `owner`, in the owner's font, that shows `review`.
    ReviewWin(wxWindow* owner, CastReview review);

    // Shows a new review of the store, in the order and with the cast selected as before.
    void showReview(CastReview review);
    // Sorts the rows by `column`; the same column again reverses the order. The selected cast
    // stays selected.
    void sortBy(ReviewColumn column);
    // Opens the cast of list row `row`: its own digits and their hits.
    void openCast(long row);

    ReviewList* list() const { return list_; }
    wxStaticText* totals() const { return totals_; }
    wxStaticText* chance() const { return chance_; }
    wxStaticText* emptyNote() const { return emptyNote_; }
    ReviewChart* chart() const { return chart_; }
    wxButton* drawsButton() const { return draws_; }
    CastDetailWin* castWindow() const { return detail_.get(); }
    const std::vector<std::size_t>& order() const { return rows_; }
    // The list row of the selected cast; -1 for none.
    long selectedRow() const;

    // 开奖数据…: the stored draws, to mend a wrong one.
    Event<> drawsRequested;

private:
    void fillTexts();
    void layout();
    void arrange();
    void showMenu(wxPoint at);
    void select(long row);

    CastReview review_;
    std::vector<std::size_t> rows_;
    std::optional<ReviewColumn> sortedBy_;
    bool descending_ = false;
    wxStaticText* hint_;
    ReviewList* list_;
    wxStaticText* emptyNote_;
    wxStaticText* totals_;
    wxStaticText* chance_;
    ReviewChart* chart_;
    wxButton* draws_;
    wxButton* close_;
    std::wstring totalsLine_;
    std::wstring chanceLine_;
    wxWeakRef<CastDetailWin> detail_;
};

// The totals line at the bottom of the window.
std::wstring totalsText(const CastReview& review);

}  // namespace orvenna
