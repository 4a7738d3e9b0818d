// The text of an INI file as the configuration store reads and rewrites it where Windows'
// profile functions are not there to do it, by their rules: section and key names match
// without regard to ASCII case, blanks around names and values do not count, only the first
// section of a name counts, and a value in a matching pair of quotes reads without them.
// Text only, no file: the store reads and writes the bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvenna {

// The value of `key` in `section` of `content` (UTF-8, with or without its byte-order mark);
// nothing when the section or the key is missing. A line without "=" is a key with an empty
// value; an empty key is never found.
std::optional<std::string_view> iniValue(std::string_view content, std::string_view section, std::string_view key);

// `content` with `key` set to `value` in `section`: the key's line is rewritten in place
// (its spelling and the spacing before the value kept), or a new line goes after the last
// non-blank line of the section, or the section is added at the end. Every other byte stays
// as it was; new lines use the text's own line break ("\n" when it has none). `key` and
// `value` must fit on one line.
std::string withIniValue(std::string_view content, std::string_view section, std::string_view key,
                         std::string_view value);

}  // namespace orvenna
