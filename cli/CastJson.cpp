#include "CastJson.h"

#include <json/writer.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <sstream>
#include <type_traits>

#include "base/Text.h"
#include "engine/Report.h"
#include "engine/Tables.h"
#include "records/YsModel.h"

namespace orvenna::cli {

namespace {

// How jsoncpp writes an ASCII character in a string: 0 as it is, 'u' as \u00xx, any other
// letter after a backslash.
constexpr std::array<char, 0x80> Escapes = [] {
    std::array<char, 0x80> escapes{};
    for (std::size_t c = 0; c < 0x20; ++c) escapes[c] = 'u';
    escapes['\b'] = 'b';
    escapes['\f'] = 'f';
    escapes['\n'] = 'n';
    escapes['\r'] = 'r';
    escapes['\t'] = 't';
    escapes['"'] = '"';
    escapes['\\'] = '\\';
    return escapes;
}();

// The day's spirits in the byte order of their UTF-8 names, as keys are written.
const std::array<std::size_t, 10> ShenshaKeyOrder = [] {
    std::array<std::size_t, 10> order{};
    std::array<std::string, 10> keys;
    for (std::size_t n = 0; n < order.size(); ++n) {
        order[n] = n;
        keys[n] = toUtf8(ShenshaNames[n]);
    }
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return keys[a] < keys[b]; });
    return order;
}();

// The most bytes one unit of text takes in a JSON string: \u00xx.
constexpr std::size_t MostBytesAUnit = 6;

// Writes the escape of the ASCII character c (Escapes[c] != 0) and returns the end.
char* writeEscape(char* p, std::uint32_t c) {
    static constexpr char Hex[] = "0123456789abcdef";
    const char escape = Escapes[c];
    *p++ = '\\';
    *p++ = escape;
    if (escape == 'u') {
        *p++ = '0';
        *p++ = '0';
        *p++ = Hex[c >> 4];
        *p++ = Hex[c & 0xF];
    }
    return p;
}

}  // namespace

// Units are converted and escaped straight into the output buffer, which is grown for the
// worst case first and given back what was not used.
template <typename Char>
void CastJsonWriter::Writer::escapedString(std::basic_string_view<Char> value) {
    Prefix(rapidjson::kStringType);
    const std::size_t room = value.size() * MostBytesAUnit + 2;
    char* const begin = os_->Push(room);
    char* p = begin;
    *p++ = '"';
    for (std::size_t i = 0; i < value.size(); ++i) {
        const std::uint32_t c = static_cast<std::make_unsigned_t<Char>>(value[i]);
        if (c < 0x80 && Escapes[c] != 0) {
            p = writeEscape(p, c);
        } else if constexpr (sizeof(Char) == 1) {
            // Bytes above ASCII (UTF-8, or whatever a batch line held) stay as they are.
            *p++ = static_cast<char>(c);
        } else if (c < 0xD800 || (c >= 0xE000 && c <= 0xFFFF)) {
            // One to three bytes, chosen without a branch: the text mixes ASCII and Chinese
            // characters too irregularly for a branch to be foreseen. The bytes past the
            // character's own are overwritten by the next.
            const bool two = c >= 0x80;
            const bool three = c >= 0x800;
            const std::uint32_t lead = three ? 0xE0 | (c >> 12) : two ? 0xC0 | (c >> 6) : c;
            const std::uint32_t middle = three ? 0x80 | ((c >> 6) & 0x3F) : 0x80 | (c & 0x3F);
            p[0] = static_cast<char>(lead);
            p[1] = static_cast<char>(middle);
            p[2] = static_cast<char>(0x80 | (c & 0x3F));
            p += 1 + static_cast<int>(two) + static_cast<int>(three);
        } else {
            // A surrogate pair, a character beyond U+FFFF, or no character at all.
            p = writeUtf8At(p, value, i);
        }
    }
    *p++ = '"';
    os_->Pop(room - static_cast<std::size_t>(p - begin));
    EndValue(true);
}

void CastJsonWriter::Writer::text(std::wstring_view value) {
    escapedString(value);
}

void CastJsonWriter::Writer::bytes(std::string_view value) {
    escapedString(value);
}

void CastJsonWriter::lineMarks(const LineMarks& line) {
    writer_.key("change");
    if (line.change) {
        const LineChange& c = *line.change;
        writer_.StartObject();
        writer_.field("advance", c.advance);
        writer_.flag("cut", c.cut);
        writer_.flag("grave", c.grave);
        writer_.flag("monthBreak", c.monthBreak);
        writer_.field("relation", c.relation);
        writer_.flag("void", c.isVoid);
        writer_.EndObject();
    } else {
        writer_.Null();
    }
    writer_.field("dayClash", line.dayClash);
}

void CastJsonWriter::hexagram(const Hexagram& h, const LineArray<int>& moveMarks, std::wstring_view shape,
                              const ChartMarks* marks) {
    writer_.StartObject();
    writer_.key("lines");
    writer_.StartArray();
    for (std::size_t i = 0; i < 6; ++i) {
        writer_.StartObject();
        const LineMarks* line = marks ? &marks->lines[i] : nullptr;
        if (line) lineMarks(*line);
        writer_.field("element", lineEntry(h.elementNames, i));
        if (line) {
            writer_.key("hidden");
            if (line->hidden) {
                const HiddenSpirit& hidden = *line->hidden;
                writer_.StartObject();
                writer_.field("element", hidden.element);
                writer_.field("fly", hidden.fly);
                writer_.field("relation", hidden.relation);
                writer_.field("stemBranch", hidden.stemBranch);
                writer_.EndObject();
            } else {
                writer_.Null();
            }
        }
        writer_.field("mark", lineEntry(h.lineMarks, i));
        if (line) writer_.flag("monthBreak", line->monthBreak);
        writer_.field("moving", lineEntry(moveMarks, i));
        writer_.field("relation", lineEntry(h.relations, i));
        if (line) {
            writer_.key("shensha");
            writer_.StartArray();
            forEachShensha(line->shensha, [&](std::wstring_view name) { writer_.text(name); });
            writer_.EndArray();
        }
        writer_.field("spirit", lineEntry(h.spirits, i));
        writer_.field("stemBranch", lineEntry(h.stemBranches, i));
        if (line) {
            writer_.field("strength", line->strength);
            writer_.flag("void", line->isVoid);
        }
        writer_.EndObject();
    }
    writer_.EndArray();
    writer_.field("lowerCode", h.lowerCode);
    writer_.field("lowerTrigram", h.lowerTrigram);
    writer_.field("movingLine", h.movingLine);
    writer_.field("name", hexagramName(hexagramNumber(h)));
    writer_.field("palace", h.palace);
    writer_.field("palaceRank", h.palaceRank);
    writer_.field("responseLine", h.responseLine);
    writer_.field("shape", shape);
    writer_.field("soulType", h.soulType);
    writer_.key("title");
    wide_.clear();
    appendHexagramTitle(wide_, h);
    writer_.text(wide_);
    writer_.field("upperCode", h.upperCode);
    writer_.field("upperTrigram", h.upperTrigram);
    writer_.field("worldLine", h.worldLine);
    writer_.EndObject();
}

// The keys of every object are written in byte order, as jsoncpp orders them.
void CastJsonWriter::writeCast(rapidjson::StringBuffer& out, const CastResult& result, std::wstring_view title,
                               std::optional<std::int64_t> id) {
    const Analysis& analysis = result.analysis;
    const AnalysisRecord& r = analysis.record;
    const ChartMarks marks = orvenna::chartMarks(analysis);
    writer_.Reset(out);
    writer_.StartObject();
    writer_.key("body");
    writer_.StartObject();
    writer_.field("branch", marks.bodyBranch);
    writer_.key("lines");
    writer_.StartArray();
    for (std::size_t i = 0; i < marks.bodyLines.size(); ++i) {
        if (marks.bodyLines[i]) writer_.Int(static_cast<int>(i) + 1);
    }
    writer_.EndArray();
    writer_.EndObject();
    writer_.key("changed");
    hexagram(analysis.changed, {}, marks.changedShape, nullptr);
    writer_.field("dayPillar", r.dayPillar);
    writer_.field("header", analysis.header);
    writer_.field("hourPillar", r.hourPillar);
    if (id) {
        writer_.key("id");
        writer_.Int64(*id);
    }
    writer_.key("pillars");
    writer_.StartObject();
    writer_.field("day", marks.pillars.day);
    writer_.field("hour", marks.pillars.hour);
    writer_.field("month", marks.pillars.month);
    writer_.field("year", marks.pillars.year);
    writer_.EndObject();
    writer_.key("primary");
    hexagram(analysis.primary, r.moveMarks, marks.primaryShape, &marks);
    writer_.key("report");
    writer_.StartArray();
    for (const std::wstring& line : result.report) writer_.text(line);
    writer_.EndArray();
    writer_.field("resultText", result.resultText);
    writer_.key("shensha");
    writer_.StartObject();
    for (const std::size_t n : ShenshaKeyOrder) {
        writer_.text(ShenshaNames[n]);
        writer_.text(marks.shensha[n]);
    }
    writer_.EndObject();
    writer_.key("suggestion");
    writer_.StartArray();
    for (const std::wstring& list : result.suggestion) writer_.text(list);
    writer_.EndArray();
    writer_.field("void", marks.voidBranches);
    writer_.key("ysname");
    wide_.clear();
    appendSavedTitle(wide_, title, r.castTime);
    writer_.text(wide_);
    writer_.field("zodiacBranch", r.zodiacBranch);
    writer_.EndObject();
}

void CastJsonWriter::writeError(rapidjson::StringBuffer& out, std::string_view message) {
    writer_.Reset(out);
    writer_.StartObject();
    writer_.key("error");
    writer_.bytes(message);
    writer_.EndObject();
}

std::string castJson(const CastResult& result, std::wstring_view title, std::optional<std::int64_t> id) {
    rapidjson::StringBuffer buffer;
    CastJsonWriter().writeCast(buffer, result, title, id);
    return {buffer.GetString(), buffer.GetSize()};
}

std::string compactJson(const Json::Value& value, int decimals) {
    Json::StreamWriterBuilder builder;
    builder["indentation"] = "";
    builder["emitUTF8"] = true;
    if (decimals > 0) {
        builder["precision"] = decimals;
        builder["precisionType"] = "decimal";
    }
    std::ostringstream out;
    std::unique_ptr<Json::StreamWriter>(builder.newStreamWriter())->write(value, &out);
    return out.str();
}

}  // namespace orvenna::cli
