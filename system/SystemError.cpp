#include "SystemError.h"

#ifdef _WIN32
#include <windows.h>

#include "base/Text.h"
#else
#include <cerrno>
#include <cstring>
#endif

namespace orvenna {

std::string systemErrorText(int code) {
#ifdef _WIN32
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message(text != nullptr ? text : L"", length);
    LocalFree(text);
    // The system ends its sentences with a line break.
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    if (message.empty()) return "error " + std::to_string(code);
    return toUtf8(message);
#else
    return std::strerror(code);
#endif
}

Error systemError(const std::string& what) {
#ifdef _WIN32
    return systemError(what, static_cast<int>(GetLastError()));
#else
    return systemError(what, errno);
#endif
}

Error systemError(const std::string& what, int code) {
    return Error{ErrorSource::System, code, what + ": " + systemErrorText(code)};
}

}  // namespace orvenna
