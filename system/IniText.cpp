#include "IniText.h"

#include <algorithm>
#include <vector>

#include "base/Text.h"

namespace orvenna {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view trimmedRight(std::string_view text) {
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Names compare without regard to ASCII case; the bytes of other UTF-8 characters are all
// above 0x7F, so they compare exactly.
bool sameName(std::string_view a, std::string_view b) {
    return equalsIgnoringAsciiCase(a, b);
}

std::string_view withoutBom(std::string_view content) {
    if (content.starts_with(Utf8Bom)) content.remove_prefix(Utf8Bom.size());
    return content;
}

// One line of the text and, apart from it, its line break ("\n", "\r\n" or none on a last
// line without one), so that lines nobody changes are written back byte for byte.
struct IniLine {
    std::string_view text;
    std::string_view lineBreak;
};

std::vector<IniLine> splitLines(std::string_view content) {
    std::vector<IniLine> lines;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        if (end == std::string_view::npos) {
            lines.push_back({content, {}});
            break;
        }
        const std::size_t textEnd = end > 0 && content[end - 1] == '\r' ? end - 1 : end;
        lines.push_back({content.substr(0, textEnd), content.substr(textEnd, end + 1 - textEnd)});
        content.remove_prefix(end + 1);
    }
    return lines;
}

// The name of a section header "[ name ]"; nothing for any other line.
std::optional<std::string_view> sectionName(std::string_view text) {
    text = trimControl(text);
    if (text.empty() || text.front() != '[') return std::nullopt;
    text.remove_prefix(1);
    return trimControl(text.substr(0, text.find(']')));
}

// A line inside a section is "key = value"; a line without "=" is a key with an empty value.
std::string_view keyOf(std::string_view text) {
    return trimControl(text.substr(0, text.find('=')));
}

std::string_view valueOf(std::string_view text) {
    const std::size_t equals = text.find('=');
    return equals == std::string_view::npos ? std::string_view() : trimControl(text.substr(equals + 1));
}

// A value in a matching pair of quotes reads without them.
std::string_view unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// Where the key stands. Only the first section of the name counts, as with the Windows calls:
// a repeated section further down is neither read nor written.
struct KeyPlace {
    std::optional<std::size_t> section;  // the header line
    std::size_t sectionEnd = 0;          // one past the section's last line
    std::optional<std::size_t> key;      // the first line with the key
};

KeyPlace findKey(const std::vector<IniLine>& lines, std::string_view section, std::string_view key) {
    KeyPlace place;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(lines[i].text);
        if (place.section) {
            if (name) break;
            place.sectionEnd = i + 1;
            if (!place.key && sameName(keyOf(lines[i].text), key)) place.key = i;
        } else if (name && sameName(*name, section)) {
            place.section = i;
            place.sectionEnd = i + 1;
        }
    }
    return place;
}

}  // namespace

std::optional<std::string_view> iniValue(std::string_view content, std::string_view section, std::string_view key) {
    if (key.empty()) return std::nullopt;
    const std::vector<IniLine> lines = splitLines(withoutBom(content));
    const KeyPlace place = findKey(lines, section, key);
    if (!place.key) return std::nullopt;
    return unquoted(valueOf(lines[*place.key].text));
}

std::string withIniValue(std::string_view content, std::string_view section, std::string_view key,
                         std::string_view value) {
    std::string out;
    out.reserve(content.size() + key.size() + value.size() + 16);
    if (content.starts_with(Utf8Bom)) out += Utf8Bom;
    const std::vector<IniLine> lines = splitLines(withoutBom(content));

    std::string_view lineBreak = "\n";
    const auto withBreak =
        std::find_if(lines.begin(), lines.end(), [](const IniLine& l) { return !l.lineBreak.empty(); });
    if (withBreak != lines.end()) lineBreak = withBreak->lineBreak;
    const auto appendKeyLine = [&] { out.append(key).append("=").append(value).append(lineBreak); };

    const KeyPlace place = findKey(lines, section, key);
    std::optional<std::size_t> insertAfter;
    if (place.section && !place.key) {
        insertAfter = *place.section;
        for (std::size_t i = *place.section + 1; i < place.sectionEnd; ++i) {
            if (!trimControl(lines[i].text).empty()) insertAfter = i;
        }
    }

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const IniLine& line = lines[i];
        if (place.key == i) {
            // Keep the key's spelling and the spacing around "=" as the user wrote them.
            const std::size_t equals = line.text.find('=');
            if (equals == std::string_view::npos) {
                out.append(trimmedRight(line.text)).append("=");
            } else {
                std::size_t valueStart = equals + 1;
                while (valueStart < line.text.size() && isBlank(line.text[valueStart])) {
                    ++valueStart;
                }
                out.append(line.text.substr(0, valueStart));
            }
            out.append(value).append(line.lineBreak);
        } else {
            out.append(line.text).append(line.lineBreak);
        }
        if (insertAfter == i) {
            if (line.lineBreak.empty()) out += lineBreak;
            appendKeyLine();
        }
    }

    if (!place.section) {
        if (!lines.empty()) {
            if (lines.back().lineBreak.empty()) out += lineBreak;
            // A blank line between the last section and the new one.
            if (!trimControl(lines.back().text).empty()) out += lineBreak;
        }
        out.append("[").append(section).append("]").append(lineBreak);
        appendKeyLine();
    }
    return out;
}

}  // namespace orvenna
