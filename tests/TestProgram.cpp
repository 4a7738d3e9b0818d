// Stands in on Windows for the commands the Linux tests find in the system or write as shell
// scripts. What it does depends on the name it is copied under:
//   true.exe   ends with 0              false.exe  ends with 1
//   sleep.exe  runs for 30 seconds      any other  an installer: writes installed.txt beside itself
//   click.exe TITLE CAPTION   waits up to 90 seconds for a window titled TITLE to show an enabled
//                             button captioned CAPTION, presses it and ends with 0 (1: none came)
#include <windows.h>

#include <shellapi.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct ButtonSearch {
    const wchar_t* caption;
    HWND found = nullptr;
};

BOOL CALLBACK findButton(HWND child, LPARAM parameter) {
    auto* search = reinterpret_cast<ButtonSearch*>(parameter);
    wchar_t text[256] = L"";
    GetWindowTextW(child, text, 256);
    if (wcscmp(text, search->caption) != 0 || !IsWindowVisible(child) || !IsWindowEnabled(child)) return TRUE;
    search->found = child;
    return FALSE;
}

// Presses the button as a mouse click would: the program sees the same notification.
int click(const wchar_t* title, const wchar_t* caption) {
    for (int tries = 0; tries < 900; ++tries, Sleep(100)) {
        const HWND window = FindWindowW(nullptr, title);
        if (!window) continue;
        ButtonSearch search{caption};
        EnumChildWindows(window, findButton, reinterpret_cast<LPARAM>(&search));
        if (!search.found) continue;
        DWORD_PTR answer = 0;
        SendMessageTimeoutW(search.found, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer);
        return 0;
    }
    return 1;
}

}  // namespace

int main() {
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    const std::filesystem::path program(self);
    const std::wstring name = program.filename().wstring();
    if (_wcsicmp(name.c_str(), L"true.exe") == 0) return 0;
    if (_wcsicmp(name.c_str(), L"false.exe") == 0) return 1;
    if (_wcsicmp(name.c_str(), L"click.exe") == 0) {
        int count = 0;
        wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
        return arguments && count == 3 ? click(arguments[1], arguments[2]) : 2;
    }
    if (_wcsicmp(name.c_str(), L"sleep.exe") == 0) {
        Sleep(30000);
        return 0;
    }
    std::ofstream(program.parent_path() / "installed.txt") << "installed\n";
    return 0;
}
