#include "CastingPanel.h"

#include <wx/wupdlock.h>

#include "NumberBox.h"
#include "base/Text.h"
#include "gui/ChoiceButtons.h"
#include "gui/LabeledCombo.h"

namespace orvenna {

namespace {

// The width of eight of the face's widest digit, and two more: a box not yet on screen
// (GTK's) may not know all of its padding yet.
int eightDigits(const LayoutContext& layout) {
    int widest = 0;
    for (wchar_t digit = L'0'; digit <= L'9'; ++digit) widest = std::max(widest, layout.cell(digit).x);
    return 10 * widest;
}

// The row's geometry in 96-DPI pixels, and the buttons' width in cells of the font.
constexpr int NumberBoxWidth = 56;     // the least width of the number box
constexpr int ZodiacAfterNumber = 40;  // the zodiac choice was planned this far right of the box's left
constexpr int LineEntryWidth = 140;    // "点击自己装卦"
constexpr int TimeChoiceTop = 3;       // the time choice sits this much below the row's top
constexpr int ButtonCells = 4;         // "演算" and "重设"

constexpr std::wstring_view Disclaimer = L"————传统文化创新,仅为游戏娱乐,结果数据仅供参考,彩市有风险,切勿着迷————";

}  // namespace

CastingPanel::CastingPanel(wxWindow* parent) : wxPanel(parent) {}

void CastingPanel::build() {
    font_ = GetFont();

    methodChoice_ =
        new LabeledCombo(this, font_, L"起卦方式:", {L"选择起卦方式", L"数字起卦", L"自己装卦", L"超时空起卦"});
    zodiacChoice_ = new LabeledCombo(this, font_, L"卦主生肖:",
                                     {L"选择生肖", L"子鼠", L"丑牛", L"寅虎", L"卯兔", L"辰龙", L"巳蛇", L"午马",
                                      L"未羊", L"申猴", L"酉鸡", L"戌狗", L"亥猪"});
    castButton_ = makeButton(this, L"演算");
    resetButton_ = makeButton(this, L"重设");
    // Its key, Alt+X, is the main window's: "(X)" beside the caption would widen the row past a
    // 1366-pixel screen at 125 % text.
    chartButton_ = makeButton(this, L"详细排盘");
    chartButton_->SetToolTip(L"详细排盘(Alt+X)");
    chartButton_->Disable();  // until a chart is on show
    disclaimer_ = new wxStaticText(this, wxID_ANY, wxString(Disclaimer.data(), Disclaimer.size()), wxDefaultPosition,
                                   wxDefaultSize, wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
    disclaimer_->SetForegroundColour(wxColour(128, 128, 128));
    layout();

    methodChoice_->selectionChanged.connect([this](int index, const std::wstring&) { onMethodChosen(index); });
    zodiacChoice_->selectionChanged.connect([this](int index, const std::wstring&) { onZodiacChosen(index); });
    castButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { pressCast(); });
    resetButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { pressReset(); });
    chartButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { openChart.raise(); });
}

void CastingPanel::layout() {
    const LayoutContext layout(this);
    const int gap = layout.gap();
    methodChoice_->layout();
    zodiacChoice_->layout();
    moveTo(methodChoice_, 0, 0);
    const int inputLeft = right(methodChoice_) + gap;
    const int cw = layout.cell(L'数').x;
    const int buttonHeight = zodiacChoice_->GetSize().y;
    if (inputControl_) placeInput(layout, inputLeft, buttonHeight);

    int zodiacLeft = inputLeft;
    switch (inputKind_) {
        case InputKind::Number:
            // The zodiac choice would start 40 into the 56-wide box and the box would hide
            // the first character of its caption; it starts 10 right of the box instead.
            zodiacLeft = std::max(inputLeft + layout.px(ZodiacAfterNumber), right(inputControl_) + gap);
            break;
        case InputKind::LineEntry:
            zodiacLeft = std::max(inputLeft + layout.px(LineEntryWidth), right(inputControl_)) + gap;
            break;
        case InputKind::TimeChoice:
            zodiacLeft = right(inputControl_) + gap;
            break;
        case InputKind::None:
            break;
    }
    moveTo(zodiacChoice_, zodiacLeft, 0);
    place(castButton_, right(zodiacChoice_) + gap, 0, ButtonCells * cw, buttonHeight);
    place(resetButton_, right(castButton_) + gap, 0, ButtonCells * cw, buttonHeight);
    // Its caption's own width, half a gap after 重设: at 125 % text the row still fits a
    // 1366-pixel screen beside the result column.
    place(chartButton_, right(resetButton_) + gap / 2, 0, 0, buttonHeight);
    fitSize(layout);
    measureWidest(layout);
}

NumberBox* CastingPanel::numberBox() const {
    return inputKind_ == InputKind::Number ? static_cast<NumberBox*>(inputControl_) : nullptr;
}

wxButton* CastingPanel::lineEntryButton() const {
    return inputKind_ == InputKind::LineEntry ? static_cast<wxButton*>(inputControl_) : nullptr;
}

ChoiceButtons* CastingPanel::timeChoice() const {
    return inputKind_ == InputKind::TimeChoice ? static_cast<ChoiceButtons*>(inputControl_) : nullptr;
}

void CastingPanel::onMethodChosen(int index) {
    panelChanged.raise();
    request_.method = index;
    switch (index) {
        case NumberCasting:
            if (inputKind_ == InputKind::Number) {
                if (!restoring_) inputControl_->SetFocus();
                return;
            }
            replaceInput(InputKind::Number);
            break;
        case LineCasting:
            if (inputKind_ != InputKind::LineEntry) replaceInput(InputKind::LineEntry);
            break;
        case TimeCasting:
            if (inputKind_ != InputKind::TimeChoice) {
                replaceInput(InputKind::TimeChoice);
                request_.drawTimeChoice = DrawTime;
            }
            break;
        default:
            return;
    }
    layout();
}

// The row is frozen while the new control is made and every control takes its final place,
// then painted again whole: nothing of the old control, or of the new one at a passing
// place, is left on screen. (A control is measured shown: GTK knows a hidden entry's
// margins only once it is realised.)
void CastingPanel::replaceInput(InputKind kind) {
    Freeze();
    if (inputControl_) inputControl_->Destroy();
    inputControl_ = nullptr;
    inputKind_ = kind;
    switch (kind) {
        case InputKind::Number: {
            auto* box = new NumberBox(this);
            box->SetFont(font_);
            box->textChanged.connect(
                [this](const std::wstring& text) { request_.numberText = std::wstring(trimControl(text)); });
            box->refused.connect([this](const std::wstring& message) { notice.raise(message); });
            // Enter presses 演算. Seen before the box handles it: a box that asked for Enter
            // itself would keep Tab from moving on, on Windows.
            box->Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
                if (event.GetKeyCode() == WXK_RETURN || event.GetKeyCode() == WXK_NUMPAD_ENTER)
                    pressCast();
                else
                    event.Skip();
            });
            inputControl_ = box;
            break;
        }
        case InputKind::LineEntry: {
            auto* button = makeButton(this, L"点击自己装卦");
            button->SetFont(font_);
            button->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
                request_.replayId = 0;
                panelChanged.raise();
                openLineEntry.raise();
            });
            inputControl_ = button;
            break;
        }
        case InputKind::TimeChoice: {
            auto* choice = new ChoiceButtons(this, font_, {L"当前时间", L"开奖时间"});
            choice->chosen.connect([this](int id) { request_.drawTimeChoice = id; });
            choice->cleared.connect([this] { request_.drawTimeChoice = NoTimeChoice; });
            inputControl_ = choice;
            break;
        }
        case InputKind::None:
            break;
    }
    // Tab reaches the input where the eye does: right after the method.
    if (inputControl_) inputControl_->MoveAfterInTabOrder(methodChoice_);
    layout();
    Thaw();
    Refresh();
}

// The number box shows an eight-digit number whole: 56 pixels was that width in SimSun 9 pt.
void CastingPanel::placeInput(const LayoutContext& layout, int left, int height) {
    switch (inputKind_) {
        case InputKind::Number: {
            auto* box = static_cast<NumberBox*>(inputControl_);
            const int digits = box->GetSizeFromTextSize(eightDigits(layout)).x;
            place(box, left, 0, std::max(layout.px(NumberBoxWidth), digits), height, Floor::BestHeight);
            break;
        }
        case InputKind::LineEntry:
            place(inputControl_, left, 0, layout.px(LineEntryWidth), height);
            break;
        case InputKind::TimeChoice:
            static_cast<ChoiceButtons*>(inputControl_)->layout();
            moveTo(inputControl_, left, layout.px(TimeChoiceTop));
            break;
        case InputKind::None:
            break;
    }
}

void CastingPanel::fitSize(const LayoutContext& layout) {
    // The disclaimer spans the row above it; a row taller than its buttons (a time choice
    // set lower) pushes it down.
    int rowBottom = bottom(castButton_);
    for (const wxWindow* child : GetChildren())
        if (child != disclaimer_ && child->IsShown()) rowBottom = std::max(rowBottom, bottom(child));
    const int width = std::max(right(chartButton_) + layout.gap(), layout.extent(disclaimer_->GetLabel()).x);
    place(disclaimer_, 0, rowBottom + layout.gap(), width, castButton_->GetSize().y, Floor::Exact);
    SetSize(width, bottom(disclaimer_) + layout.gap());
}

// The main window keeps the result column clear of the casting row in every method, so it
// asks for the widest row before any method is chosen: each input control is made once
// to be measured.
void CastingPanel::measureWidest(const LayoutContext& layout) {
    const wxWindowUpdateLocker frozen(this);
    const int gap = layout.gap();
    auto* box = new NumberBox(this);
    box->SetFont(font_);
    const int digits = box->GetSizeFromTextSize(eightDigits(layout)).x;
    int input = std::max(std::max(layout.px(NumberBoxWidth), digits) + gap, layout.px(ZodiacAfterNumber));
    box->Destroy();
    wxButton* button = makeButton(this, L"点击自己装卦");
    button->SetFont(font_);
    input = std::max(input, std::max(layout.px(LineEntryWidth), button->GetBestSize().x) + gap);
    button->Destroy();
    auto* times = new ChoiceButtons(this, font_, {L"当前时间", L"开奖时间"});
    input = std::max(input, times->GetSize().x + gap);
    times->Destroy();
    widest_ = std::max(GetSize().x, right(methodChoice_) + gap + input + zodiacChoice_->GetSize().x + gap +
                                        castButton_->GetSize().x + gap + resetButton_->GetSize().x + gap / 2 +
                                        chartButton_->GetSize().x + gap);
}

void CastingPanel::onZodiacChosen(int index) {
    panelChanged.raise();
    request_.zodiac = index;
}

// The status bar says how the request casts, or what it lacks, before the cast runs.
void CastingPanel::pressCast() {
    const CastCheck check = checkRequest(request_);
    if (check.problem == CastProblem::UnknownMethod) return;
    notice.raise(std::wstring(check.message));
    if (check.casts()) return castRequested.raise(request_);
    // A missing number puts the cursor where it is typed.
    const bool numberMissing = check.problem == CastProblem::NoNumber || check.problem == CastProblem::NotANumber;
    if (numberMissing && inputKind_ == InputKind::Number) inputControl_->SetFocus();
}

void CastingPanel::pressReset() {
    panelChanged.raise();
    methodChoice_->setSelection(0);
    zodiacChoice_->setSelection(0);
    request_.upperCode.clear();
    request_.lowerCode.clear();
    request_.numberText.clear();
    // The row returns to how it started, so that the keys do the same thing every time: with
    // no method chosen there is no input, and Down on the method walks the list from the top.
    if (inputControl_) replaceInput(InputKind::None);
    request_.zodiac = -1;
    request_.method = -1;
    request_.replayId = 0;
}

void CastingPanel::restore(const CastRequest& saved) {
    // A replay leaves the keyboard where the user is (on the history list, for the next item):
    // only a method the user chose sends it to the number box.
    restoring_ = true;
    if (saved.method >= 0 && saved.method <= TimeCasting) methodChoice_->setSelection(saved.method);
    restoring_ = false;
    if (saved.zodiac >= 0 && saved.zodiac <= 12) zodiacChoice_->setSelection(saved.zodiac);
    // After the choices' own handlers: what casts is the saved request as it was.
    request_ = saved;
    if (NumberBox* box = numberBox(); box && saved.method == NumberCasting) box->ChangeValue(saved.numberText);
    if (ChoiceButtons* choice = timeChoice(); choice && saved.method == TimeCasting)
        choice->choose(saved.drawTimeChoice);
    pressCast();
}

}  // namespace orvenna
