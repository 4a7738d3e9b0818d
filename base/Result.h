// The program's one way of saying that something failed: an Error carries where it came from,
// that library's own code and a one-line message; a Result holds either a value or an Error.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <variant>

namespace orvenna {

// Whose table an Error's code belongs to: the same number means EPERM to the system, SQLITE_ERROR
// to SQLite and a refused installer to the program, so a code is only read with its source.
enum class ErrorSource {
    None,        // no error
    System,      // errno, or GetLastError() on Windows
    Sqlite,      // SQLite's extended result code
    Curl,        // libcurl's CURLcode
    CurlMulti,   // libcurl's CURLMcode, a failure of the transfer loop itself
    HttpStatus,  // the status a server answered with
    Program,     // the program's own refusal: one of its constants (such as InstallerFault), or 0
};

struct Error {
    ErrorSource source = ErrorSource::None;
    int code = 0;         // the source's own code; 0 for none
    std::string message;  // one line, fit for the status bar or stderr

    bool operator==(const Error&) const = default;
};

// What the last-resort report shows when an Error escapes as an exception: asking a failed
// Result for its value throws one.
class FrameworkError : public std::runtime_error {
public:
    explicit FrameworkError(const Error& error) : FrameworkError(error.code, error.message) {}
    FrameworkError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

template <typename T>
class [[nodiscard]] Result {
public:
    Result(T value) : value_(std::move(value)) {}
    Result(Error error) : error_(std::move(error)) {}

    bool ok() const { return value_.has_value(); }
    explicit operator bool() const { return ok(); }

    // The value; a failed result throws its error.
    const T& value() const& { return checked(); }
    T& value() & { return const_cast<T&>(checked()); }
    T&& value() && { return std::move(const_cast<T&>(checked())); }
    const T& operator*() const& { return checked(); }
    T& operator*() & { return value(); }
    const T* operator->() const { return &checked(); }
    T* operator->() { return &value(); }

    // Empty for a result that holds a value.
    const Error& error() const { return error_; }

private:
    const T& checked() const {
        if (!value_) throw FrameworkError(error_);
        return *value_;
    }

    std::optional<T> value_;
    Error error_;
};

// Success without a value, or the error.
using Status = Result<std::monostate>;
inline Status success() {
    return Status(std::monostate{});
}

}  // namespace orvenna
