#include "CastJson.h"

#include <json/writer.h>

#include <memory>

#include "base/Text.h"
#include "engine/Report.h"
#include "engine/Tables.h"
#include "records/ResultText.h"
#include "records/YsModel.h"

namespace orvenna::cli {

namespace {

Json::Value text(std::wstring_view value) {
    return Json::Value(toUtf8(value));
}

Json::Value hexagramJson(const Hexagram& h, const LineArray<int>& moveMarks) {
    Json::Value out(Json::objectValue);
    out["title"] = text(hexagramTitle(h));
    out["name"] = text(hexagramName(hexagramNumber(h)));
    out["palace"] = h.palace;
    out["palaceRank"] = h.palaceRank;
    out["soulType"] = h.soulType;
    out["worldLine"] = h.worldLine;
    out["responseLine"] = h.responseLine;
    out["upperTrigram"] = h.upperTrigram;
    out["lowerTrigram"] = h.lowerTrigram;
    out["upperCode"] = text(h.upperCode);
    out["lowerCode"] = text(h.lowerCode);
    out["movingLine"] = h.movingLine;
    Json::Value lines(Json::arrayValue);
    for (std::size_t i = 0; i < 6; ++i) {
        Json::Value line(Json::objectValue);
        line["mark"] = text(lineEntry(h.lineMarks, i));
        line["spirit"] = text(lineEntry(h.spirits, i));
        line["relation"] = text(lineEntry(h.relations, i));
        line["stemBranch"] = text(lineEntry(h.stemBranches, i));
        line["element"] = text(lineEntry(h.elementNames, i));
        line["moving"] = lineEntry(moveMarks, i);
        lines.append(std::move(line));
    }
    out["lines"] = std::move(lines);
    return out;
}

}  // namespace

Json::Value castJson(const CastResult& result, std::wstring_view title) {
    const Analysis& analysis = result.analysis;
    const AnalysisRecord& r = analysis.record;
    Json::Value out(Json::objectValue);
    out["header"] = text(analysis.header);
    out["dayPillar"] = text(r.dayPillar);
    out["hourPillar"] = text(r.hourPillar);
    out["zodiacBranch"] = text(r.zodiacBranch);
    out["primary"] = hexagramJson(analysis.primary, r.moveMarks);
    out["changed"] = hexagramJson(analysis.changed, {});
    Json::Value report(Json::arrayValue);
    for (const std::wstring& line : result.report) report.append(text(line));
    out["report"] = std::move(report);
    Json::Value digits(Json::arrayValue);
    for (const std::wstring& list : result.suggestion) digits.append(text(list));
    out["suggestion"] = std::move(digits);
    out["resultText"] = text(result.resultText);
    out["ysname"] = text(savedTitle(title, r.castTime));
    return out;
}

void writeCompactJson(const Json::Value& value, std::ostream& out) {
    static const std::unique_ptr<Json::StreamWriter> writer = [] {
        Json::StreamWriterBuilder builder;
        builder["indentation"] = "";
        builder["emitUTF8"] = true;
        return std::unique_ptr<Json::StreamWriter>(builder.newStreamWriter());
    }();
    writer->write(value, &out);
}

std::string compactJson(const Json::Value& value) {
    std::ostringstream out;
    writeCompactJson(value, out);
    return out.str();
}

}  // namespace orvenna::cli
