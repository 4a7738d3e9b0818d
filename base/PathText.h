// A path as UTF-8 text, as SQLite, messages and JSON take it.
#pragma once

#include <filesystem>
#include <string>

#include "Text.h"

namespace orvenna {

// On Windows made from the wide path: its narrow form would be in another code page.
// Elsewhere the bytes the system gave, as they are.
inline std::string pathUtf8(const std::filesystem::path& path) {
#ifdef _WIN32
    return toUtf8(path.wstring());
#else
    return path.string();
#endif
}

}  // namespace orvenna
