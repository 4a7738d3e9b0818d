// Stands in on Windows for the commands the Linux tests find in the system or write as shell
// scripts. What it does depends on the name it is copied under:
//   true.exe   ends with 0              false.exe  ends with 1
//   sleep.exe  runs for 30 seconds      any other  an installer: writes installed.txt beside itself
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

int main() {
    std::wstring self(32768, L'\0');
    self.resize(GetModuleFileNameW(nullptr, self.data(), static_cast<DWORD>(self.size())));
    const std::filesystem::path program(self);
    const std::wstring name = program.filename().wstring();
    if (_wcsicmp(name.c_str(), L"true.exe") == 0) return 0;
    if (_wcsicmp(name.c_str(), L"false.exe") == 0) return 1;
    if (_wcsicmp(name.c_str(), L"sleep.exe") == 0) {
        Sleep(30000);
        return 0;
    }
    std::ofstream(program.parent_path() / "installed.txt") << "installed\n";
    return 0;
}
