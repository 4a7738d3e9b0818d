#include "system/Settings.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>

#include "base/PathText.h"
#include "base/Text.h"
#include "system/FileReplacement.h"
#include "system/ProgramDirectory.h"
#include "system/SystemError.h"

#ifdef _WIN32
#include <windows.h>

#include "system/WinHandle.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

#include "system/FileDescriptor.h"
#include "system/IniText.h"
#endif

namespace orvenna {

namespace {

static_assert([] {
    for (std::size_t i = 0; i < std::size(SettingKeys); ++i)
        if (static_cast<std::size_t>(SettingKeys[i].setting) != i) return false;
    return true;
}());

constexpr std::string_view SettingsFileName = "config.ini";

bool hasLineBreakOrNul(std::wstring_view text) {
    return text.find_first_of(std::wstring_view(L"\r\n\0", 3)) != std::wstring_view::npos;
}

// What one "key=value" line can hold: a line break would split it, and a key with "=" or a
// leading "[" would read back as something else.
Error notStorable() {
    return {ErrorSource::System, EINVAL,
            "a key or value that one line of " + std::string(SettingsFileName) + " cannot hold"};
}

bool isStorable(std::wstring_view key, std::wstring_view value) {
    return !key.empty() && key.front() != L'[' && key.find(L'=') == std::wstring_view::npos &&
           !hasLineBreakOrNul(key) && !hasLineBreakOrNul(value);
}

#ifdef _WIN32

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view Utf16Bom = "\xFF\xFE";
// A config.ini is a few lines; anything far larger is not one to convert.
constexpr LONGLONG MaxConvertedSize = 16 << 20;

Error windowsError(DWORD code, std::string_view what, const std::filesystem::path& file) {
    return {ErrorSource::System, static_cast<int>(code),
            std::string(what) + pathUtf8(file) + ": " + systemErrorText(static_cast<int>(code))};
}

// The same for a failure of the file replacement, which carries the system's code.
Error windowsError(const Error& failed, std::string_view what, const std::filesystem::path& file) {
    return windowsError(static_cast<DWORD>(failed.code), what, file);
}

// The whole file, or nothing when it cannot be read (or is missing).
std::optional<std::string> fileBytes(const std::filesystem::path& file) {
    const WinHandle handle(CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!handle || !GetFileSizeEx(handle.get(), &size) || size.QuadPart > MaxConvertedSize) return std::nullopt;
    std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() && (!ReadFile(handle.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                           read != bytes.size()))
        return std::nullopt;
    return bytes;
}

std::optional<std::wstring> decoded(std::string_view bytes, UINT codePage, DWORD flags) {
    if (bytes.empty()) return std::wstring();
    const int length = MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0) return std::nullopt;
    std::wstring text(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), text.data(), length);
    return text;
}

// The text of a profile file the profile calls would misread: UTF-8 (the mark they take for
// part of the first line, the characters for ANSI ones) or the ANSI code page (which a later
// write of Chinese text would not hold). Nothing for a file already in UTF-16.
std::optional<std::wstring> textToConvert(std::string_view bytes) {
    if (bytes.starts_with(Utf16Bom) || bytes.starts_with("\xFE\xFF")) return std::nullopt;
    if (bytes.starts_with(Utf8Bom)) bytes.remove_prefix(Utf8Bom.size());
    if (auto text = decoded(bytes, CP_UTF8, MB_ERR_INVALID_CHARS)) return text;
    return decoded(bytes, CP_ACP, 0);
}

// Converts a config.ini the user wrote in UTF-8 or ANSI to UTF-16 with its mark, keeping every
// key and value, so that the profile calls read all of it and keep the Chinese they write.
// Done once: the converted file is left alone from then on. Best effort: a file that cannot
// be replaced is read as it is.
void convertToUtf16(const std::filesystem::path& iniFile) {
    const std::optional<std::string> bytes = fileBytes(iniFile);
    if (!bytes) return;
    const std::optional<std::wstring> text = textToConvert(*bytes);
    if (!text) return;
    std::string utf16(Utf16Bom);
    utf16.append(reinterpret_cast<const char*>(text->data()), text->size() * sizeof(wchar_t));
    static_cast<void>(replaceFileContent(iniFile, utf16));
}

#else

constexpr std::string_view SectionName = "sys";

Error fileError(int code, std::string_view what, const std::filesystem::path& file) {
    return {ErrorSource::System, code, std::string(what) + file.string() + ": " + std::strerror(code)};
}

// Reads the whole file into `content`; 0, or the errno of the failure. `mode` receives the
// file's permission bits.
int readWholeFile(const std::filesystem::path& file, std::string& content, mode_t* mode = nullptr) {
    const FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (!fd) return errno;
    if (mode != nullptr) {
        struct stat status {};
        if (::fstat(fd.get(), &status) != 0) return errno;
        *mode = status.st_mode & 07777;
    }
    content.clear();
    char buffer[16384];
    for (;;) {
        const ssize_t count = ::read(fd.get(), buffer, sizeof buffer);
        if (count > 0) {
            content.append(buffer, static_cast<std::size_t>(count));
        } else if (count == 0) {
            return 0;
        } else if (errno != EINTR) {
            return errno;
        }
    }
}

#endif

}  // namespace

std::filesystem::path settingsFileIn(const std::filesystem::path& programDir) {
    return programDir / SettingsFileName;
}

std::filesystem::path settingsFile() {
    return settingsFileIn(programDirectory());
}

#ifdef _WIN32

std::wstring readSetting(const std::filesystem::path& iniFile, std::wstring_view key, std::wstring_view defaultText) {
    convertToUtf16(iniFile);
    const std::wstring keyText(trimControl(key));
    const std::wstring defaultCopy(defaultText);
    std::wstring buffer(MaxSettingLength + 1, L'\0');
    const DWORD length = GetPrivateProfileStringW(L"sys", keyText.c_str(), defaultCopy.c_str(), buffer.data(),
                                                  static_cast<DWORD>(buffer.size()), iniFile.c_str());
    buffer.resize(std::min<std::size_t>(length, MaxSettingLength));
    return buffer;
}

// The profile call writes a copy, which then replaces the file in one step, as on Linux: a
// write that breaks off (a full disk, the power gone) leaves the old file whole.
Status writeSetting(const std::filesystem::path& iniFile, std::wstring_view key, std::wstring_view value) {
    const std::wstring keyText(trimControl(key));
    if (!isStorable(keyText, value)) return notStorable();
    const std::wstring valueText(value);

    const DWORD attributes = GetFileAttributesW(iniFile.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && GetLastError() != ERROR_FILE_NOT_FOUND)
        return windowsError(GetLastError(), "cannot write ", iniFile);
    // A file the user made read-only is refused, as the profile calls refuse it, rather than
    // replaced around its attribute.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0)
        return windowsError(ERROR_ACCESS_DENIED, "cannot write ", iniFile);
    convertToUtf16(iniFile);

    // A new file starts with a UTF-16 byte-order mark: the profile functions then keep it in
    // UTF-16, where they would write the ANSI code page and lose the Chinese of the update day
    // on a system set to another one.
    Result<FileReplacement> replacement = FileReplacement::beside(iniFile);
    if (!replacement) return windowsError(replacement.error(), "cannot write beside ", iniFile);
    FileReplacement& copy = replacement.value();
    if (!copy.write(Utf16Bom)) return windowsError(copy.writeError(), "cannot write beside ", iniFile);
    if (const Status closed = copy.finish(); !closed)
        return windowsError(closed.error(), "cannot write beside ", iniFile);
    if (exists && !CopyFileW(iniFile.c_str(), copy.partialPath().c_str(), FALSE))
        return windowsError(GetLastError(), "cannot read ", iniFile);
    if (!WritePrivateProfileStringW(L"sys", keyText.c_str(), valueText.c_str(), copy.partialPath().c_str()))
        return windowsError(GetLastError(), "cannot write ", iniFile);
    if (const Status flushed = copy.finish(); !flushed) return windowsError(flushed.error(), "cannot write ", iniFile);
    if (const Status replaced = copy.commit(); !replaced)
        return windowsError(replaced.error(), "cannot replace ", iniFile);
    return success();
}

#else

std::wstring readSetting(const std::filesystem::path& iniFile, std::wstring_view key, std::wstring_view defaultText) {
    std::wstring result(defaultText);
    std::string content;
    if (readWholeFile(iniFile, content) == 0) {
        if (const auto value = iniValue(content, SectionName, toUtf8(trimControl(key)))) result = fromUtf8(*value);
    }
    if (result.size() > MaxSettingLength) result.resize(MaxSettingLength);
    return result;
}

Status writeSetting(const std::filesystem::path& iniFile, std::wstring_view key, std::wstring_view value) {
    const std::wstring_view keyText = trimControl(key);
    if (!isStorable(keyText, value)) return notStorable();

    // Through a symbolic link, the file it points to is the one to replace.
    std::error_code error;
    std::filesystem::path target = std::filesystem::canonical(iniFile, error);
    if (error) target = iniFile;

    std::string content;
    mode_t mode = 0;
    const int readError = readWholeFile(target, content, &mode);
    // A file nobody may write to was made read-only on purpose: it is refused, as the Windows
    // profile calls refuse a read-only file, rather than replaced by a rename around it.
    if (readError == 0 && (mode & 0222) == 0) return fileError(EACCES, "cannot write ", target);
    if (readError != 0 && readError != ENOENT)
        return fileError(readError, "cannot read ", target);  // never replace what we could not read
    FileReplacement::Options options;
    if (readError == 0) options.permissions = mode;  // a new file gets the usual ones for the umask
    const Status written =
        replaceFileContent(target, withIniValue(content, SectionName, toUtf8(keyText), toUtf8(value)), options);
    if (!written) return fileError(written.error().code, "cannot write ", target);
    return success();
}

#endif

std::wstring readSetting(const std::filesystem::path& iniFile, Setting setting) {
    return readSetting(iniFile, settingName(setting), settingDefault(setting));
}

Status writeSetting(const std::filesystem::path& iniFile, Setting setting, std::wstring_view value) {
    return writeSetting(iniFile, settingName(setting), value);
}

std::wstring readSetting(Setting setting) {
    return readSetting(settingsFile(), setting);
}

Status writeSetting(Setting setting, std::wstring_view value) {
    return writeSetting(settingsFile(), setting, value);
}

}  // namespace orvenna
