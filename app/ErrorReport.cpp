#include "ErrorReport.h"

#include <wx/msgdlg.h>

#include "base/Result.h"
#include "base/Text.h"

namespace orvenna {

namespace {

constexpr std::wstring_view UnmanagedExceptionText = L"程序在运行时抛出了未被管理的异常";

}  // namespace

std::wstring errorReportText(std::exception_ptr error) {
    try {
        if (error) std::rethrow_exception(error);
    } catch (const FrameworkError& e) {
        return concat(L"俘获到异常,代码值为: ", decimalText(e.code()), L", 描述为: ", fromUtf8(e.what()));
    } catch (const std::exception& e) {
        // Not one of the program's own, but it still says what went wrong.
        return concat(UnmanagedExceptionText, L": ", fromUtf8(e.what()));
    } catch (...) {
    }
    return std::wstring(UnmanagedExceptionText);
}

std::wstring lockFailureText(const Error& error) {
    return concat(L"Orvenna 无法启动: 单实例锁文件无法使用。\n", fromUtf8(error.message));
}

void showLockFailure(const Error& error) {
    wxMessageDialog box(nullptr, lockFailureText(error), L"Orvenna", wxOK | wxICON_ERROR);
    box.ShowModal();
}

void showErrorReport(std::exception_ptr error) {
    wxMessageDialog box(nullptr, errorReportText(error), L"运行时异常", wxOK | wxICON_ERROR);
    box.ShowModal();
}

}  // namespace orvenna
