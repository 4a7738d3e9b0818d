// Owner of one Win32 kernel handle (file, mapping, process, ...): closed exactly once.
// Both "no handle" values the API hands out, null and INVALID_HANDLE_VALUE, count as empty.
#pragma once

#ifdef _WIN32

#include <windows.h>

#include <utility>

namespace orvenna {

class WinHandle {
public:
    WinHandle() = default;
    explicit WinHandle(HANDLE handle) noexcept : handle_(handle) {}
    ~WinHandle() { reset(); }

    WinHandle(WinHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    WinHandle& operator=(WinHandle&& other) noexcept {
        if (this != &other) {
            reset();
            handle_ = std::exchange(other.handle_, nullptr);
        }
        return *this;
    }
    WinHandle(const WinHandle&) = delete;
    WinHandle& operator=(const WinHandle&) = delete;

    HANDLE get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }

private:
    void reset() noexcept {
        if (*this) CloseHandle(handle_);
        handle_ = nullptr;
    }

    HANDLE handle_ = nullptr;
};

}  // namespace orvenna

#endif
