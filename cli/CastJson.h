// The JSON form of one analysis, as `orvenna-cli cast --json` and every line of a batch print it.
#pragma once

#include <json/value.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "engine/CastPipeline.h"
#include "engine/ChartMarks.h"

namespace orvenna::cli {

// Writes casts and batch errors as compact JSON objects straight into one byte buffer, which
// a batch fills with many lines before handing it to the output in one piece. Nothing is
// built in between: RapidJSON's writer lays out the objects, arrays and numbers, and each
// text goes into the buffer converted to UTF-8 and escaped in one pass.
//
// The bytes are those of jsoncpp's compact writer for the same values, which the update index
// and the small commands still use: keys in byte order, UTF-8 unescaped, a control character
// as \u00xx in lower-case hex.
class CastJsonWriter {
public:
    // One analysis as one object appended to `out`, without a line end. "ysname" is the title
    // the cast would be saved under, for `title`; "id" is written when a saved row's id is given.
    void writeCast(rapidjson::StringBuffer& out, const CastResult& result, std::wstring_view title = L"T",
                   std::optional<std::int64_t> id = std::nullopt);

    // {"error":message} appended to `out`, without a line end. `message` is UTF-8, or bytes
    // as they came.
    void writeError(rapidjson::StringBuffer& out, std::string_view message);

private:
    // RapidJSON's writer with the texts written as described above.
    class Writer : public rapidjson::Writer<rapidjson::StringBuffer> {
    public:
        // A key that needs no escaping (the names written are plain ASCII words).
        template <std::size_t N>
        void key(const char (&name)[N]) {
            Prefix(rapidjson::kStringType);
            char* p = os_->Push(N + 1);
            *p = '"';
            std::memcpy(p + 1, name, N - 1);
            p[N] = '"';
            EndValue(true);
        }
        void text(std::wstring_view value);
        void bytes(std::string_view value);
        // A key and its value.
        template <std::size_t N>
        void field(const char (&name)[N], std::wstring_view value) {
            key(name);
            text(value);
        }
        template <std::size_t N>
        void field(const char (&name)[N], int value) {
            key(name);
            Int(value);
        }
        template <std::size_t N>
        void flag(const char (&name)[N], bool value) {
            key(name);
            Bool(value);
        }

    private:
        template <typename Char>
        void escapedString(std::basic_string_view<Char> value);
    };

    // A chart; with `marks`, the primary's, whose lines carry them.
    void hexagram(const Hexagram& h, const LineArray<int>& moveMarks, std::wstring_view shape, const ChartMarks* marks);
    void lineMarks(const LineMarks& line);
    void chartMarks(const ChartMarks& marks);

    Writer writer_;
    std::wstring wide_;  // a title put together before it is written
};

// The analysis as one compact JSON object (no line end), as CastJsonWriter writes it.
std::string castJson(const CastResult& result, std::wstring_view title = L"T",
                     std::optional<std::int64_t> id = std::nullopt);

// One compact line of UTF-8 JSON of a jsoncpp value (no line end), for the small commands.
// With `decimals`, real numbers are written to at most that many places (0.6, not
// 0.59999999999999998).
std::string compactJson(const Json::Value& value, int decimals = 0);

}  // namespace orvenna::cli
