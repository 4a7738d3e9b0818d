#include "Console.h"

#ifdef _WIN32
#include <windows.h>
// Needs the types of windows.h.
#include <shellapi.h>
#endif

#include "base/Text.h"

namespace orvenna {

std::vector<std::string> utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
    int count = 0;
    if (LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        std::vector<std::string> arguments;
        for (int i = 1; i < count; ++i) arguments.push_back(toUtf8(wide[i]));
        LocalFree(wide);
        return arguments;
    }
#endif
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

std::filesystem::path utf8Path(std::string_view text) {
#ifdef _WIN32
    return std::filesystem::path(fromUtf8(text));
#else
    return std::filesystem::path(std::string(text));
#endif
}

}  // namespace orvenna
