#include "SystemError.h"

#include "base/Text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#endif

namespace orvenna {

#ifdef _WIN32

Error systemError(const std::string& what) {
    return systemError(what, static_cast<int>(GetLastError()));
}

Error systemError(const std::string& what, int code) {
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring reason = length > 0 ? std::wstring(text, length) : L"error " + std::to_wstring(code);
    LocalFree(text);
    // The system's texts end in a line break; an Error is one line.
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L' '))
        reason.pop_back();
    return Error{code, what + ": " + toUtf8(reason)};
}

#else

Error systemError(const std::string& what) {
    return systemError(what, errno);
}

Error systemError(const std::string& what, int code) {
    return Error{code, what + ": " + std::strerror(code)};
}

#endif

}  // namespace orvenna
