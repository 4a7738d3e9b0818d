// The last resort: an exception that escaped the message loop is shown to the user before
// the program ends with exit code -1.
#pragma once

#include <exception>
#include <string>

namespace orvenna {

inline constexpr int ExceptionExitCode = -1;

// "俘获到异常,代码值为: 7, 描述为: ..." for the program's own exceptions; a fixed
// sentence for anything else, followed by the description of a standard exception.
std::wstring errorReportText(std::exception_ptr error);

// A message box captioned "运行时异常" with an error icon.
void showErrorReport(std::exception_ptr error);

}  // namespace orvenna
