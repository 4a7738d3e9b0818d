// The last resort: an exception that escaped the message loop is shown to the user before
// the program ends with exit code -1.
#pragma once

#include <exception>
#include <string>

#include "base/Result.h"

namespace orvenna {

inline constexpr int ExceptionExitCode = -1;

// "俘获到异常,代码值为: 7, 描述为: ..." for the program's own exceptions; a fixed
// sentence for anything else, followed by the description of a standard exception.
std::wstring errorReportText(std::exception_ptr error);

// A message box captioned "运行时异常" with an error icon.
void showErrorReport(std::exception_ptr error);

// The exit code of a start that could not take the single-instance lock for a reason of the
// system's (not another copy running).
inline constexpr int LockFailureExitCode = 1;

// What the user is told then: that Orvenna cannot start, and the system's reason with the path.
std::wstring lockFailureText(const Error& error);

// A message box captioned "Orvenna" with an error icon.
void showLockFailure(const Error& error);

}  // namespace orvenna
