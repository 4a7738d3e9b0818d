#include "CastJson.h"

#include <json/writer.h>

#include <cstring>
#include <memory>
#include <sstream>

#include "base/Text.h"
#include "engine/Report.h"
#include "engine/Tables.h"
#include "records/YsModel.h"

namespace orvenna::cli {

namespace {

// Whether any byte is below 0x20, eight bytes at a time: a byte b < 0x20 is one whose
// b - 0x20 borrows into its top bit while b itself has that bit clear.
bool hasControlByte(std::string_view text) {
    constexpr std::uint64_t Ones = 0x0101010101010101;
    constexpr std::uint64_t Tops = 0x8080808080808080;
    std::size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        if (((word - Ones * 0x20) & ~word & Tops) != 0) return true;
    }
    for (; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) < 0x20) return true;
    }
    return false;
}

// jsoncpp's escaping: " and \ by a backslash, \b \f \n \r \t by name, any other control
// character as \u00xx in lower case, every other byte as it is.
void appendEscaped(std::string& out, std::string_view text) {
    static constexpr char Hex[] = "0123456789abcdef";
    out += '"';
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    out += "\\u00";
                    out += Hex[(c >> 4) & 0xF];
                    out += Hex[c & 0xF];
                } else {
                    out += c;
                }
        }
    }
    out += '"';
}

}  // namespace

void CastJsonWriter::key(std::string_view name) {
    writer_.Key(name.data(), static_cast<rapidjson::SizeType>(name.size()));
}

void CastJsonWriter::bytes(std::string_view value) {
    // RapidJSON writes the \u00XX of a control character in upper case; such a string (only
    // ever typed text: a number, a title, a bad batch field) is escaped here the old way.
    if (!hasControlByte(value)) {
        writer_.String(value.data(), static_cast<rapidjson::SizeType>(value.size()));
        return;
    }
    escaped_.clear();
    appendEscaped(escaped_, value);
    writer_.RawValue(escaped_.data(), escaped_.size(), rapidjson::kStringType);
}

void CastJsonWriter::text(std::wstring_view value) {
    utf8_.clear();
    appendUtf8(utf8_, value);
    bytes(utf8_);
}

void CastJsonWriter::number(int value) {
    writer_.Int(value);
}

void CastJsonWriter::hexagram(const Hexagram& h, const LineArray<int>& moveMarks) {
    writer_.StartObject();
    key("lines");
    writer_.StartArray();
    for (std::size_t i = 0; i < 6; ++i) {
        writer_.StartObject();
        key("element");
        text(lineEntry(h.elementNames, i));
        key("mark");
        text(lineEntry(h.lineMarks, i));
        key("moving");
        number(lineEntry(moveMarks, i));
        key("relation");
        text(lineEntry(h.relations, i));
        key("spirit");
        text(lineEntry(h.spirits, i));
        key("stemBranch");
        text(lineEntry(h.stemBranches, i));
        writer_.EndObject();
    }
    writer_.EndArray();
    key("lowerCode");
    text(h.lowerCode);
    key("lowerTrigram");
    number(h.lowerTrigram);
    key("movingLine");
    number(h.movingLine);
    key("name");
    text(hexagramName(hexagramNumber(h)));
    key("palace");
    number(h.palace);
    key("palaceRank");
    number(h.palaceRank);
    key("responseLine");
    number(h.responseLine);
    key("soulType");
    number(h.soulType);
    key("title");
    wide_.clear();
    appendHexagramTitle(wide_, h);
    text(wide_);
    key("upperCode");
    text(h.upperCode);
    key("upperTrigram");
    number(h.upperTrigram);
    key("worldLine");
    number(h.worldLine);
    writer_.EndObject();
}

// The keys of every object are written in byte order, as jsoncpp orders them.
void CastJsonWriter::writeCast(rapidjson::StringBuffer& out, const CastResult& result, std::wstring_view title,
                               std::optional<std::int64_t> id) {
    const Analysis& analysis = result.analysis;
    const AnalysisRecord& r = analysis.record;
    writer_.Reset(out);
    writer_.StartObject();
    key("changed");
    hexagram(analysis.changed, {});
    key("dayPillar");
    text(r.dayPillar);
    key("header");
    text(analysis.header);
    key("hourPillar");
    text(r.hourPillar);
    if (id) {
        key("id");
        writer_.Int64(*id);
    }
    key("primary");
    hexagram(analysis.primary, r.moveMarks);
    key("report");
    writer_.StartArray();
    for (const std::wstring& line : result.report) text(line);
    writer_.EndArray();
    key("resultText");
    text(result.resultText);
    key("suggestion");
    writer_.StartArray();
    for (const std::wstring& list : result.suggestion) text(list);
    writer_.EndArray();
    key("ysname");
    wide_.clear();
    appendSavedTitle(wide_, title, r.castTime);
    text(wide_);
    key("zodiacBranch");
    text(r.zodiacBranch);
    writer_.EndObject();
}

void CastJsonWriter::writeError(rapidjson::StringBuffer& out, std::string_view message) {
    writer_.Reset(out);
    writer_.StartObject();
    key("error");
    bytes(message);
    writer_.EndObject();
}

std::string castJson(const CastResult& result, std::wstring_view title, std::optional<std::int64_t> id) {
    rapidjson::StringBuffer buffer;
    CastJsonWriter().writeCast(buffer, result, title, id);
    return {buffer.GetString(), buffer.GetSize()};
}

std::string compactJson(const Json::Value& value) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["emitUTF8"] = true;
    std::ostringstream out;
    std::unique_ptr<Json::StreamWriter>(builder.newStreamWriter())->write(value, &out);
    return out.str();
}

}  // namespace orvenna::cli
