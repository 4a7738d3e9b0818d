// The exception the program's own layers throw: a library's code with a description.
#pragma once

#include <stdexcept>
#include <string>

namespace orvenna {

class FrameworkError : public std::runtime_error {
public:
    FrameworkError(int code, const std::string& description) : std::runtime_error(description), code_(code) {}
    int code() const { return code_; }

private:
    int code_;
};

}  // namespace orvenna
