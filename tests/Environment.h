// Environment variables for tests, on Linux and on Windows, where the C runtime has no
// setenv: names and values are UTF-8, and so are paths handed to other programs.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "base/PathText.h"

namespace orvenna {

#ifdef _WIN32
inline std::wstring wideFromUtf8(const std::string& text) {
    if (text.empty()) return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

inline std::string utf8FromWide(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), size, nullptr, nullptr);
    return text;
}
#endif

// A path as UTF-8, as SQLite and the arguments and environment of child processes take it.
inline std::string utf8Path(const std::filesystem::path& path) {
    return pathUtf8(path);
}

// The variable's value; nothing when it is not set.
inline std::optional<std::string> getEnv(const std::string& name) {
#ifdef _WIN32
    // The narrow getenv would give the value in the ANSI code page.
    const wchar_t* value = _wgetenv(wideFromUtf8(name).c_str());
    if (value == nullptr) return std::nullopt;
    return utf8FromWide(value);
#else
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
#endif
}

// Also seen by child processes started afterwards.
inline void setEnv(const std::string& name, const std::string& value) {
#ifdef _WIN32
    // The C runtime's copy (getenv) and the process's own (child processes) both change.
    _wputenv_s(wideFromUtf8(name).c_str(), wideFromUtf8(value).c_str());
#else
    setenv(name.c_str(), value.c_str(), 1);
#endif
}

inline void unsetEnv(const std::string& name) {
#ifdef _WIN32
    _wputenv_s(wideFromUtf8(name).c_str(), L"");  // an empty value removes the variable
#else
    unsetenv(name.c_str());
#endif
}

// Sets (or, with a null value, removes) a variable for the life of the object; then the old
// value comes back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name), saved_(getEnv(name)) {
        if (value != nullptr) {
            setEnv(name, value);
        } else {
            unsetEnv(name);
        }
    }
    ~ScopedEnv() {
        if (saved_) {
            setEnv(name_, *saved_);
        } else {
            unsetEnv(name_);
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> saved_;
};

}  // namespace orvenna
