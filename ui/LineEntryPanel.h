// The content of the manual casting dialog: the six lines of an offline coin cast and the
// moment of the cast, checked and handed back as trigram codes, moving flags and a time.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/panel.h>
#include <wx/stattext.h>

#include "base/DayCount.h"
#include "gui/Event.h"

namespace orvenna {

enum LineEntryCode : int { LineEntryConfirmed = 1, LineEntryCancelled = 2 };

class LineEntryPanel : public wxPanel {
public:
    // Builds the controls; the time choices offer `now` (today's date only).
    LineEntryPanel(wxWindow* parent, const DateTimeFields& now);

    // line 1..6
    wxChoice* lineChoice(int line) const { return lineChoices_.at(static_cast<std::size_t>(line - 1)); }
    // 0 year, 1 month, 2 day, 3 hour, 4 minute, 5 second
    wxChoice* timeChoice(int part) const { return timeChoices_.at(static_cast<std::size_t>(part)); }
    wxButton* okButton() const { return ok_; }
    wxButton* cancelButton() const { return cancel_; }
    wxStaticText* tip() const { return tip_; }

    // Places every control in cells of the panel's font on its screen and sizes the panel.
    void layout();

    void pressOk();
    void pressCancel();

    // The first item from the top whose text begins with `prefix`, as the list's own
    // search by beginning finds it; wxNOT_FOUND when none does.
    static int prefixIndex(const wxChoice* list, std::wstring_view prefix);

    // code, upperCode, lowerCode, movingFlags, cast time
    Event<int, const std::wstring&, const std::wstring&, const std::vector<int>&, double> lineEntryResult;

private:
    void createTimeChoices(const DateTimeFields& now);
    // The chosen time; nothing, after saying which, when a part of it is not chosen.
    std::optional<DateTimeFields> chosenTime();

    DateTimeFields today_;  // the date the date lists offer, at midnight

    std::array<wxStaticText*, 6> lineCaptions_{};  // top to bottom: line 6 first
    std::array<wxChoice*, 6> lineChoices_{};       // line 1 first
    wxStaticText* timeCaption_ = nullptr;
    std::array<wxChoice*, 6> timeChoices_{};
    wxStaticText* tip_ = nullptr;
    wxButton* ok_ = nullptr;
    wxButton* cancel_ = nullptr;
};

}  // namespace orvenna
