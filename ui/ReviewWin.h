// 往期对照: every saved cast beside the draw it was cast for, one row a cast, and at the
// bottom the totals over the drawn ones against what picking at random gives. A virtual list:
// ten thousand rows cost no more to open than ten.
#pragma once

#include <optional>
#include <vector>

#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>

#include "engine/CastReview.h"
#include "engine/ReviewOrder.h"

namespace orvenna {

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

    // Sorts the rows by `column`; the same column again reverses the order.
    void sortBy(ReviewColumn column);
    ReviewList* list() const { return list_; }
    wxStaticText* totals() const { return totals_; }
    const std::vector<std::size_t>& order() const { return rows_; }

private:
    void layout();

    CastReview review_;
    std::vector<std::size_t> rows_;
    std::optional<ReviewColumn> sortedBy_;
    bool descending_ = false;
    ReviewList* list_;
    wxStaticText* totals_;
};

// The totals line at the bottom of the window.
std::wstring totalsText(const CastReview& review);

}  // namespace orvenna
