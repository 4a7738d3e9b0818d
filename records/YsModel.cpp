#include "YsModel.h"

#include "base/Text.h"
#include "engine/Report.h"

namespace orvenna {

void YsModel::setMovingFlagsText(std::wstring_view text) {
    dong.clear();
    for (const std::int64_t value : listNumbers(text)) {
        // A flag is a small number; a huge piece from a foreign row is clamped, not wrapped.
        dong.push_back(value > 1'000'000 ? 1'000'000 : value < -1'000'000 ? -1'000'000 : static_cast<int>(value));
    }
}

std::wstring YsModel::movingFlagsText() const {
    std::wstring text;
    for (std::size_t i = 0; i < dong.size(); ++i) {
        if (i != 0) text += L',';
        appendDecimal(text, dong[i]);
    }
    return text;
}

YsModel YsModel::fromAnalysis(const AnalysisRecord& record, std::wstring_view title, std::wstring_view note) {
    YsModel model;
    model.ysindex = record.method;
    model.ysnumber = record.numberText;
    model.ysday = record.castTime;
    // The flags are read back from the chart's move marks: ○ is 1, any other mark -1.
    std::wstring flags;
    for (std::size_t i = 0; i < record.moveMarks.size(); ++i) {
        if (i != 0) flags += L',';
        const int mark = record.moveMarks[i];
        appendDecimal(flags, mark == 0 ? 0 : mark == 1 ? 1 : -1);
    }
    model.setMovingFlagsText(flags.empty() ? L"0,0,0,0,0,0" : flags);
    model.gzsxid = record.zodiac;
    model.rot = record.drawTimeChoice;
    model.upstr = record.upperCode;
    model.downstr = record.lowerCode;
    model.uinfo = note;
    model.ysname = savedTitle(title, record.castTime);
    model._id = 0;
    return model;
}

std::wstring savedTitle(std::wstring_view title, double castTime) {
    std::wstring text;
    appendSavedTitle(text, title, castTime);
    return text;
}

void appendSavedTitle(std::wstring& out, std::wstring_view title, double castTime) {
    appendAll(out, title, L'(');
    appendCastTimeText(out, castTime);
    out += L')';
}

CastRequest replayRequest(const YsModel& model) {
    CastRequest request;
    request.replayId = model._id;
    request.method = model.ysindex;
    request.zodiac = model.gzsxid;
    request.castTime = model.ysday;
    request.numberText = model.ysnumber;
    request.upperCode = model.upstr;
    request.lowerCode = model.downstr;
    request.drawTimeChoice = model.rot;
    request.movingFlags = model.dong;
    return request;
}

}  // namespace orvenna
