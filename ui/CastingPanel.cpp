#include "CastingPanel.h"

#include "ChoiceButtons.h"
#include "LabeledCombo.h"
#include "NumberBox.h"
#include "base/Text.h"
#include "framework/FontText.h"
#include "framework/Layout.h"

namespace orvenna {

namespace {

constexpr std::wstring_view Disclaimer = L"————传统文化创新,仅为游戏娱乐,结果数据仅供参考,彩市有风险,切勿着迷————";

}  // namespace

CastingPanel::CastingPanel(wxWindow* parent) : wxPanel(parent) {}

void CastingPanel::build(const std::wstring& fontText) {
    fontText_ = fontText;
    font_ = fontFromText(fontText_);
    SetFont(font_);

    methodChoice_ =
        new LabeledCombo(this, font_, L"起卦方式:", {L"选择起卦方式", L"数字起卦", L"自己装卦", L"超时空起卦"});
    moveTo(methodChoice_, 0, 0);
    zodiacChoice_ = new LabeledCombo(this, font_, L"卦主生肖:",
                                     {L"选择生肖", L"子鼠", L"丑牛", L"寅虎", L"卯兔", L"辰龙", L"巳蛇", L"午马",
                                      L"未羊", L"申猴", L"酉鸡", L"戌狗", L"亥猪"});
    moveTo(zodiacChoice_, right(methodChoice_) + scaled(10), 0);

    cw_ = measureChar(font_, L'数').x;
    const int buttonHeight = zodiacChoice_->GetSize().y;
    castButton_ = makeButton(this, L"演算");
    place(castButton_, right(zodiacChoice_) + scaled(10), 0, cw_ * 4, buttonHeight);
    resetButton_ = makeButton(this, L"重设");
    place(resetButton_, right(castButton_) + scaled(10), 0, cw_ * 4, buttonHeight);

    disclaimer_ = new wxStaticText(this, wxID_ANY, wxString(Disclaimer.data(), Disclaimer.size()), wxDefaultPosition,
                                   wxDefaultSize, wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
    disclaimer_->SetForegroundColour(wxColour(192, 192, 192));
    fitSize();
    measureWidest();

    methodChoice_->selectionChanged.connect([this](int index, const std::wstring&) { onMethodChosen(index); });
    zodiacChoice_->selectionChanged.connect([this](int index, const std::wstring&) { onZodiacChosen(index); });
    castButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { pressCast(); });
    resetButton_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { pressReset(); });
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

    const int inputLeft = right(methodChoice_) + scaled(10);
    switch (index) {
        case NumberCasting:
            if (inputKind_ == InputKind::Number) {
                inputControl_->SetFocus();
                return;
            }
            replaceInput(InputKind::Number);
            // The zodiac choice would start 40 into the 56-wide box and the box would hide
            // the first character of its caption; it starts 10 right of the box instead.
            moveTo(zodiacChoice_,
                   std::max(inputControl_->GetPosition().x + scaled(40), right(inputControl_) + scaled(10)), 0);
            break;
        case LineCasting:
            if (inputKind_ != InputKind::LineEntry) replaceInput(InputKind::LineEntry);
            moveTo(zodiacChoice_, std::max(inputLeft + scaled(140), right(inputControl_)) + scaled(10), 0);
            break;
        case TimeCasting:
            if (inputKind_ != InputKind::TimeChoice) {
                replaceInput(InputKind::TimeChoice);
                request_.drawTimeChoice = DrawTime;
            }
            moveTo(zodiacChoice_, inputLeft + inputControl_->GetSize().x + scaled(10), 0);
            break;
        default:
            return;
    }
    moveTo(castButton_, right(zodiacChoice_) + scaled(10), 0);
    moveTo(resetButton_, right(castButton_) + scaled(10), 0);
    fitSize();
}

void CastingPanel::replaceInput(InputKind kind) {
    if (inputControl_) inputControl_->Destroy();
    inputControl_ = nullptr;
    inputKind_ = kind;
    const int left = right(methodChoice_) + scaled(10);
    const int height = castButton_->GetSize().y;
    switch (kind) {
        case InputKind::Number: {
            auto* box = new NumberBox(this);
            box->SetFont(font_);
            place(box, left, 0, scaled(56), height, Floor::BestHeight);
            box->Bind(wxEVT_TEXT, [this, box](wxCommandEvent&) {
                request_.numberText = std::wstring(trimControl(box->GetValue().ToStdWstring()));
            });
            inputControl_ = box;
            box->SetFocus();
            break;
        }
        case InputKind::LineEntry: {
            auto* button = makeButton(this, L"点击自己装卦");
            button->SetFont(font_);
            place(button, left, 0, scaled(140), height);
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
            moveTo(choice, left, scaled(3));
            choice->chosen.connect([this](int id) { request_.drawTimeChoice = id; });
            choice->cleared.connect([this] { request_.drawTimeChoice = NoTimeChoice; });
            inputControl_ = choice;
            break;
        }
        case InputKind::None:
            break;
    }
}

void CastingPanel::fitSize() {
    // The disclaimer spans the row above it; a row taller than its buttons (a time choice
    // set lower) pushes it down.
    int rowBottom = bottom(castButton_);
    for (const wxWindow* child : GetChildren())
        if (child != disclaimer_) rowBottom = std::max(rowBottom, bottom(child));
    const int width = right(resetButton_) + scaled(10);
    place(disclaimer_, 0, rowBottom + scaled(10), width, castButton_->GetSize().y, Floor::Exact);
    SetSize(width, bottom(disclaimer_) + scaled(10));
}

// The main window keeps the result column clear of the casting row in every method, so it
// asks for the widest row before any method is chosen: each input control is made once
// to be measured.
void CastingPanel::measureWidest() {
    int input = scaled(66);  // the number box and the gap after it
    wxButton* button = makeButton(this, L"点击自己装卦");
    button->SetFont(font_);
    input = std::max(input, std::max(scaled(140), button->GetBestSize().x) + scaled(10));
    button->Destroy();
    auto* times = new ChoiceButtons(this, font_, {L"当前时间", L"开奖时间"});
    input = std::max(input, times->GetSize().x + scaled(10));
    times->Destroy();
    widest_ = right(methodChoice_) + scaled(10) + input + zodiacChoice_->GetSize().x + scaled(10) +
              castButton_->GetSize().x + scaled(10) + resetButton_->GetSize().x + scaled(10);
}

void CastingPanel::onZodiacChosen(int index) {
    panelChanged.raise();
    request_.zodiac = index;
}

void CastingPanel::reportError(int code, const std::wstring& message) {
    CastRequest carrier;
    carrier.isErrorCarrier = true;
    castMessage.raise(code, message, carrier);
}

void CastingPanel::pressCast() {
    const CastCheck check = checkRequest(request_);
    const std::wstring message(check.message);
    if (check.code > 0) return castMessage.raise(check.code, message, request_);
    if (check.code == 0) return;
    reportError(check.code, message);
    // A missing number puts the cursor where it is typed.
    if (check.code == -2 && inputKind_ == InputKind::Number) inputControl_->SetFocus();
}

void CastingPanel::pressReset() {
    panelChanged.raise();
    methodChoice_->setSelection(0);
    zodiacChoice_->setSelection(0);
    request_.upperCode.clear();
    request_.lowerCode.clear();
    request_.numberText.clear();
    // The box shows what the request holds: no number is left on screen that would not cast.
    if (NumberBox* box = numberBox()) box->ChangeValue(wxEmptyString);
    request_.zodiac = -1;
    request_.method = -1;
    request_.replayId = 0;
}

void CastingPanel::restore(const CastRequest& saved) {
    if (saved.method >= 0 && saved.method <= TimeCasting) methodChoice_->setSelection(saved.method);
    if (saved.zodiac >= 0 && saved.zodiac <= 12) zodiacChoice_->setSelection(saved.zodiac);
    // After the choices' own handlers: what casts is the saved request as it was.
    request_ = saved;
    request_.isErrorCarrier = false;
    if (NumberBox* box = numberBox(); box && saved.method == NumberCasting) box->ChangeValue(saved.numberText);
    if (ChoiceButtons* choice = timeChoice(); choice && saved.method == TimeCasting)
        choice->choose(saved.drawTimeChoice);
    pressCast();
}

}  // namespace orvenna
