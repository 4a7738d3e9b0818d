// The results page arrives in GB18030; everything past the network is UTF-8.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace orvenna {

// The UTF-8 text of GB18030 `bytes`; nothing when they hold a byte sequence that is not
// GB18030 or end inside a character. Empty bytes give empty text.
std::optional<std::string> gb18030ToUtf8(std::string_view bytes);

// The UTF-8 text of a file written in either encoding: the bytes themselves when they are
// well-formed UTF-8 (a byte-order mark dropped), else their GB18030 reading; nothing when
// they are neither.
std::optional<std::string> utf8OrGb18030(std::string_view bytes);

}  // namespace orvenna
