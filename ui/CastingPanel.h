// The row in which the user asks for a cast: method, the method's own input, zodiac,
// "演算", "重设" and 详细排盘 (the full chart of the cast on show), with the disclaimer below. It validates a cast and
// hands the request on; it never computes one.
#pragma once

#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/panel.h>
#include <wx/stattext.h>

#include "engine/CastRequest.h"
#include "gui/Event.h"
#include "gui/Layout.h"

namespace orvenna {

class ChoiceButtons;
class LabeledCombo;
class NumberBox;

class CastingPanel : public wxPanel {
public:
    explicit CastingPanel(wxWindow* parent);

    // Creates the controls, in the font the panel inherited, and lays them out.
    void build();

    // Puts a saved request back on the panel and presses "演算".
    void restore(const CastRequest& saved);

    // Checks the request, says what the check found and casts it when it can, as the button
    // does.
    void pressCast();
    void pressReset();

    // Places every control for the method chosen, in cells of the panel's font on its screen,
    // and sizes the panel.
    void layout();

    // The panel's width with the widest of the three input controls.
    int widestWidth() const { return widest_; }

    CastRequest& request() { return request_; }
    const CastRequest& request() const { return request_; }

    LabeledCombo* methodChoice() const { return methodChoice_; }
    LabeledCombo* zodiacChoice() const { return zodiacChoice_; }
    // The method's input control: a NumberBox, the "点击自己装卦" button, a ChoiceButtons, or null.
    wxWindow* inputControl() const { return inputControl_; }
    NumberBox* numberBox() const;
    wxButton* lineEntryButton() const;
    ChoiceButtons* timeChoice() const;
    wxButton* castButton() const { return castButton_; }
    wxButton* resetButton() const { return resetButton_; }
    // 详细排盘: enabled while a chart is on show (enableChart).
    wxButton* chartButton() const { return chartButton_; }
    void enableChart(bool shown) { chartButton_->Enable(shown); }
    wxStaticText* disclaimer() const { return disclaimer_; }

    // A notice for the status bar: what "演算" found, or characters the number box refused.
    Event<const std::wstring&> notice;
    Event<> panelChanged;
    Event<> openLineEntry;
    Event<> openChart;
    // A request that casts: the panel's own, which the casting dispatch completes.
    Event<CastRequest&> castRequested;

private:
    enum class InputKind { None, Number, LineEntry, TimeChoice };

    void onMethodChosen(int index);
    void onZodiacChosen(int index);
    void replaceInput(InputKind kind);
    void placeInput(const LayoutContext& layout, int left, int height);
    void fitSize(const LayoutContext& layout);
    void measureWidest(const LayoutContext& layout);

    LabeledCombo* methodChoice_ = nullptr;
    wxWindow* inputControl_ = nullptr;
    InputKind inputKind_ = InputKind::None;
    bool restoring_ = false;  // a saved request is being put back, not chosen by the user
    LabeledCombo* zodiacChoice_ = nullptr;
    wxButton* castButton_ = nullptr;
    wxButton* resetButton_ = nullptr;
    wxButton* chartButton_ = nullptr;
    wxStaticText* disclaimer_ = nullptr;
    wxFont font_;
    int widest_ = 0;
    CastRequest request_;
};

}  // namespace orvenna
