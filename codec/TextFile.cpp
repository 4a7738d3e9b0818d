#include "TextFile.h"

#include "Gb18030.h"
#include "base/PathText.h"
#include "system/RegularFile.h"

namespace orvenna {

Result<std::string> readTextFile(const std::filesystem::path& file, std::int64_t maxBytes) {
    const Result<std::string> bytes = readRegularFile(file, maxBytes);
    if (!bytes) return bytes.error();
    std::optional<std::string> text = utf8OrGb18030(*bytes);
    if (!text) return Error{ErrorSource::Program, NotTextCode, pathUtf8(file) + " is neither UTF-8 nor GB18030 text"};
    return std::move(*text);
}

}  // namespace orvenna
