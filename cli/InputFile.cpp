#include "InputFile.h"

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "system/Console.h"

namespace orvenna::cli {

namespace {

Error unreadable(const std::string& name, int code) {
    std::string message = "cannot read " + name;
    if (code != 0) message += std::string(": ") + std::strerror(code);
    return {ErrorSource::System, code, message};
}

}  // namespace

Status openInputFile(const std::string& name, std::ifstream& file) {
    const std::filesystem::path path = utf8Path(name);
    std::error_code ignored;
    // Opening a directory succeeds on Linux; reading it is what fails.
    if (std::filesystem::is_directory(path, ignored))
        return Error{ErrorSource::System, EISDIR, name + " is a directory, not a file"};
    errno = 0;
    file.open(path, std::ios::binary);
    if (!file) return unreadable(name, errno);
    return success();
}

Result<std::string> readInputFile(const std::string& name, std::size_t maxBytes) {
    std::ifstream file;
    if (const Status opened = openInputFile(name, file); !opened) return opened.error();
    std::string bytes;
    char buffer[65536];
    errno = 0;
    // read() turns a failing read into the stream's bad state instead of an exception.
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(file.gcount()));
        if (maxBytes > 0 && bytes.size() > maxBytes)
            return Error{ErrorSource::System, EFBIG, name + " is longer than " + std::to_string(maxBytes) + " bytes"};
        if (!file) break;
    }
    if (file.bad()) return unreadable(name, errno);
    return bytes;
}

}  // namespace orvenna::cli
