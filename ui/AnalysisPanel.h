// The chart of one analysis: header, the titles of both hexagrams, the twelve-column grid
// and the interpretation text (卦解). It keeps the one cast result, which every cast
// overwrites, and shows it.
#pragma once

#include <array>
#include <string>

#include <wx/panel.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "engine/CastPipeline.h"
#include "gui/Event.h"

namespace orvenna {

class LinePicture;

class AnalysisPanel : public wxPanel {
public:
    // The panel draws in the font it inherits from `parent`.
    explicit AnalysisPanel(wxWindow* parent);

    // Completes the request from `clock` and casts it (runCast), shows the chart, then
    // raises analysisDone. A method other than 1..3 shows only the header.
    void runAnalysis(CastRequest& request, const CastClock& clock);
    // Empties the chart and the interpretation text, so that no chart of an earlier cast
    // stands beside choices that it was not cast with.
    void clear();
    // Measures the font's cells on the panel's screen, sets the panel's width from them and
    // lays the chart out.
    void measure();
    // The height the chart and a report box of a few lines need, from the panel's top.
    int requiredHeight() const;
    // Applies the positions again (after the panel was moved or resized).
    void layoutControls();

    const CastResult& result() const { return result_; }
    const AnalysisRecord& record() const { return result_.analysis.record; }
    const Analysis& analysis() const { return result_.analysis; }

    wxStaticText* header() const { return header_; }
    wxStaticText* primaryTitle() const { return primaryTitle_; }
    wxStaticText* changedTitle() const { return changedTitle_; }
    wxStaticText* columnHeader(int column) const { return headers_.at(column); }
    // Row 0 is the top row (line 6). Columns 4 and 10 are line pictures, the others labels.
    wxWindow* cell(int row, int column) const { return cells_.at(row).at(column); }
    std::wstring cellText(int row, int column) const;
    wxStaticText* caption() const { return caption_; }
    wxTextCtrl* interpretation() const { return text_; }

    // Raised at the end of every cast with the panel's own result.
    Event<const CastResult&> analysisDone;

private:
    void render();

    CastResult result_;
    int a_ = 0;  // width of "长度"
    int h_ = 0;  // height of "卦"
    wxStaticText* header_;
    std::wstring headerText_;    // the header as cast; the label may shorten its number
    std::wstring headerNumber_;  // the number as it stands in the header
    void showHeader();
    wxStaticText* primaryTitle_;
    wxStaticText* changedTitle_;
    std::array<wxStaticText*, 12> headers_{};
    std::array<std::array<wxWindow*, 12>, 6> cells_{};
    wxStaticText* caption_;
    wxTextCtrl* text_;
};

}  // namespace orvenna
