// One check for a failure: where it came from and what its message says. When it does not hold,
// it prints the error as it is (source, code, message), where a bare find() says only "false".
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "base/Result.h"

namespace orvenna {

inline const char* sourceName(ErrorSource source) {
    switch (source) {
        case ErrorSource::None:
            return "None";
        case ErrorSource::System:
            return "System";
        case ErrorSource::Sqlite:
            return "Sqlite";
        case ErrorSource::Curl:
            return "Curl";
        case ErrorSource::CurlMulti:
            return "CurlMulti";
        case ErrorSource::HttpStatus:
            return "HttpStatus";
        case ErrorSource::Program:
            return "Program";
    }
    return "(not a source)";
}

inline std::string describe(const Error& error) {
    return std::string(sourceName(error.source)) + " error " + std::to_string(error.code) + ": \"" + error.message +
           '"';
}

// Holds when the error came from `source` and its message contains `text`.
inline ::testing::AssertionResult failsWith(const Error& error, ErrorSource source, std::string_view text) {
    if (error.source == source && error.message.find(text) != std::string::npos) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the failure is " << describe(error) << "\n  expected "
                                         << sourceName(source) << " error saying \"" << text << '"';
}

// Holds when the result failed, as above; a success is named as one.
template <typename T>
::testing::AssertionResult failsWith(const Result<T>& result, ErrorSource source, std::string_view text) {
    if (result.ok())
        return ::testing::AssertionFailure()
               << "it succeeded\n  expected " << sourceName(source) << " error saying \"" << text << '"';
    return failsWith(result.error(), source, text);
}

}  // namespace orvenna

// EXPECT_FAILS_WITH(writeSetting(...), ErrorSource::System, "config.ini")
#define EXPECT_FAILS_WITH(failure, source, text) EXPECT_TRUE(::orvenna::failsWith(failure, source, text))
