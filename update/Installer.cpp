#include "Installer.h"

#include "base/Text.h"
#include "framework/Fingerprint.h"
#include "framework/Process.h"

namespace orvenna {

Status verifyInstaller(std::wstring_view expected, const std::filesystem::path& file) {
    const auto actual = md5Hex(file);
    if (!actual) return Error{0, "cannot read " + file.string()};
    if (fromUtf8(*actual) != expected) return Error{0, "the file's MD5 is " + *actual + ", not " + toUtf8(expected)};
    return success();
}

Status startInstaller(const std::filesystem::path& file) {
    return startDetached(file);
}

}  // namespace orvenna
