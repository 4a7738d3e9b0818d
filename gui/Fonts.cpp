#include "Fonts.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "system/ProgramDirectory.h"

namespace orvenna {

void useProgramFonts() {
#ifndef _WIN32
    if (std::getenv("FONTCONFIG_FILE") != nullptr) return;
    // An installed copy carries it in share/orvenna; a copy run where it was built reads the
    // one in the source tree.
    const std::filesystem::path candidates[] = {
        installedShareDirectory() / "fonts.conf",
#ifdef ORVENNA_FONTS_CONF
        std::filesystem::path(ORVENNA_FONTS_CONF),
#endif
    };
    for (const std::filesystem::path& file : candidates) {
        std::error_code error;
        if (!file.empty() && std::filesystem::is_regular_file(file, error)) {
            setenv("FONTCONFIG_FILE", file.c_str(), 1);
            return;
        }
    }
#endif
}

}  // namespace orvenna
