#include "system/Settings.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "base/PathText.h"
#include "base/Text.h"
#include "system/ProgramDirectory.h"
#include "system/SystemError.h"

#ifdef _WIN32
#include <windows.h>

#include <atomic>
#include <optional>
#include <string>

#include "system/WinHandle.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "system/FileDescriptor.h"
#endif

namespace orvenna {

namespace {

bool hasLineBreakOrNul(std::wstring_view text) {
    return text.find_first_of(std::wstring_view(L"\r\n\0", 3)) != std::wstring_view::npos;
}

// What one "key=value" line can hold: a line break would split it, and a key with "=" or a
// leading "[" would read back as something else.
Error notStorable() {
    return {ErrorSource::System, EINVAL, "a key or value that one line of config.ini cannot hold"};
}

[[maybe_unused]] Error fileError(int code, std::string_view what, const std::filesystem::path& file) {
    return {ErrorSource::System, code, std::string(what) + file.string() + ": " + std::strerror(code)};
}

bool isStorable(std::wstring_view key, std::wstring_view value) {
    return !key.empty() && key.front() != L'[' && key.find(L'=') == std::wstring_view::npos &&
           !hasLineBreakOrNul(key) && !hasLineBreakOrNul(value);
}

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

// Removes the temporary file on every way out that does not put it in place.
class TemporaryName {
public:
    explicit TemporaryName(std::filesystem::path path) : path_(std::move(path)) {}
    TemporaryName(TemporaryName&& other) noexcept : path_(std::exchange(other.path_, {})) {}
    ~TemporaryName() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove(path_, ignored);
    }
    TemporaryName(const TemporaryName&) = delete;
    TemporaryName& operator=(const TemporaryName&) = delete;
    const std::filesystem::path& path() const { return path_; }
    void keep() { path_.clear(); }

private:
    std::filesystem::path path_;
};

// A name beside `target` for the file that is to replace it: hidden on Linux, unique to this
// process and call.
std::filesystem::path temporaryNameFor(const std::filesystem::path& target, unsigned attempt) {
    static std::atomic<unsigned> serial{0};
#ifdef _WIN32
    const unsigned long process = GetCurrentProcessId();
#else
    const unsigned long process = static_cast<unsigned long>(::getpid());
#endif
    std::string suffix = ".";
    suffix.append(std::to_string(process)).append(".").append(std::to_string(serial++));
    suffix.append(".").append(std::to_string(attempt)).append(".tmp");
    std::filesystem::path name = ".";
    name += target.filename();
    name += suffix;
    return (target.has_parent_path() ? target.parent_path() : std::filesystem::path(".")) / name;
}

#ifdef _WIN32

constexpr std::string_view Utf16Bom = "\xFF\xFE";
// A config.ini is a few lines; anything far larger is not one to convert.
constexpr LONGLONG MaxConvertedSize = 16 << 20;

Error windowsError(DWORD code, std::string_view what, const std::filesystem::path& file) {
    return {ErrorSource::System, static_cast<int>(code),
            std::string(what) + pathUtf8(file) + ": " + systemErrorText(static_cast<int>(code))};
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

// Writes `bytes` to a new temporary file beside `target` and flushes it; empty on failure.
std::optional<TemporaryName> writtenTemporary(const std::filesystem::path& target, std::string_view bytes) {
    for (unsigned attempt = 0; attempt < 100; ++attempt) {
        TemporaryName temporary(temporaryNameFor(target, attempt));
        const WinHandle file(CreateFileW(temporary.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            temporary.keep();  // nothing was made
            return std::nullopt;
        }
        DWORD written = 0;
        if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
            written != bytes.size() || !FlushFileBuffers(file.get()))
            return std::nullopt;
        return std::optional<TemporaryName>(std::move(temporary));
    }
    return std::nullopt;
}

// Puts the temporary file in place of `target` in one step, so the old file survives any
// failure; false with GetLastError() telling why.
bool putInPlace(TemporaryName& temporary, const std::filesystem::path& target, bool targetExists) {
    const bool replaced = targetExists
                              ? ReplaceFileW(target.c_str(), temporary.path().c_str(), nullptr,
                                             REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0
                              : MoveFileExW(temporary.path().c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
    if (replaced) temporary.keep();
    return replaced;
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
    if (std::optional<TemporaryName> temporary = writtenTemporary(iniFile, utf16))
        putInPlace(*temporary, iniFile, true);
}

#else

constexpr std::string_view SectionName = "sys";

bool isBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view trimmedRight(std::string_view text) {
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Names compare without regard to ASCII case; the bytes of other UTF-8 characters are all
// above 0x7F, so they compare exactly.
bool sameName(std::string_view a, std::string_view b) {
    return equalsIgnoringAsciiCase(a, b);
}

std::string_view withoutBom(std::string_view content) {
    if (content.starts_with(Utf8Bom)) content.remove_prefix(Utf8Bom.size());
    return content;
}

// One line of the file: its text and, apart from it, its line break ("\n", "\r\n" or none
// on a last line without one), so that lines nobody changes are written back byte for byte.
struct IniLine {
    std::string_view text;
    std::string_view lineBreak;
};

std::vector<IniLine> splitLines(std::string_view content) {
    std::vector<IniLine> lines;
    while (!content.empty()) {
        const std::size_t end = content.find('\n');
        if (end == std::string_view::npos) {
            lines.push_back({content, {}});
            break;
        }
        const std::size_t textEnd = end > 0 && content[end - 1] == '\r' ? end - 1 : end;
        lines.push_back({content.substr(0, textEnd), content.substr(textEnd, end + 1 - textEnd)});
        content.remove_prefix(end + 1);
    }
    return lines;
}

// The name of a section header "[ name ]"; nothing for any other line.
std::optional<std::string_view> sectionName(std::string_view text) {
    text = trimControl(text);
    if (text.empty() || text.front() != '[') return std::nullopt;
    text.remove_prefix(1);
    return trimControl(text.substr(0, text.find(']')));
}

// A line inside a section is "key = value"; a line without "=" is a key with an empty value.
std::string_view keyOf(std::string_view text) {
    return trimControl(text.substr(0, text.find('=')));
}

std::string_view valueOf(std::string_view text) {
    const std::size_t equals = text.find('=');
    return equals == std::string_view::npos ? std::string_view() : trimControl(text.substr(equals + 1));
}

// A value in a matching pair of quotes reads without them.
std::string_view unquoted(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

// Where the key stands. Only the first "sys" section counts, as with the Windows calls: a
// repeated section further down is neither read nor written.
struct KeyPlace {
    std::optional<std::size_t> section;  // the header line
    std::size_t sectionEnd = 0;          // one past the section's last line
    std::optional<std::size_t> key;      // the first line with the key
};

KeyPlace findKey(const std::vector<IniLine>& lines, std::string_view key) {
    KeyPlace place;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(lines[i].text);
        if (place.section) {
            if (name) break;
            place.sectionEnd = i + 1;
            if (!place.key && sameName(keyOf(lines[i].text), key)) place.key = i;
        } else if (name && sameName(*name, SectionName)) {
            place.section = i;
            place.sectionEnd = i + 1;
        }
    }
    return place;
}

// The file's text with `key` set to `value`: the key's line is rewritten in place, or a new
// line goes after the last non-blank line of section "sys", or the section is added at the
// end. Every other byte stays as it was; new lines use the file's own line break.
std::string withSetting(std::string_view content, std::string_view key, std::string_view value) {
    std::string out;
    out.reserve(content.size() + key.size() + value.size() + 16);
    if (content.starts_with(Utf8Bom)) out += Utf8Bom;
    const std::vector<IniLine> lines = splitLines(withoutBom(content));

    std::string_view lineBreak = "\n";
    const auto withBreak =
        std::find_if(lines.begin(), lines.end(), [](const IniLine& l) { return !l.lineBreak.empty(); });
    if (withBreak != lines.end()) lineBreak = withBreak->lineBreak;
    const auto appendKeyLine = [&] { out.append(key).append("=").append(value).append(lineBreak); };

    const KeyPlace place = findKey(lines, key);
    std::optional<std::size_t> insertAfter;
    if (place.section && !place.key) {
        insertAfter = *place.section;
        for (std::size_t i = *place.section + 1; i < place.sectionEnd; ++i) {
            if (!trimControl(lines[i].text).empty()) insertAfter = i;
        }
    }

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const IniLine& line = lines[i];
        if (place.key == i) {
            // Keep the key's spelling and the spacing around "=" as the user wrote them.
            const std::size_t equals = line.text.find('=');
            if (equals == std::string_view::npos) {
                out.append(trimmedRight(line.text)).append("=");
            } else {
                std::size_t valueStart = equals + 1;
                while (valueStart < line.text.size() && isBlank(line.text[valueStart])) {
                    ++valueStart;
                }
                out.append(line.text.substr(0, valueStart));
            }
            out.append(value).append(line.lineBreak);
        } else {
            out.append(line.text).append(line.lineBreak);
        }
        if (insertAfter == i) {
            if (line.lineBreak.empty()) out += lineBreak;
            appendKeyLine();
        }
    }

    if (!place.section) {
        if (!lines.empty()) {
            if (lines.back().lineBreak.empty()) out += lineBreak;
            // A blank line between the last section and the new one.
            if (!trimControl(lines.back().text).empty()) out += lineBreak;
        }
        out.append("[").append(SectionName).append("]").append(lineBreak);
        appendKeyLine();
    }
    return out;
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

// Puts `content` in place of `target` so that the old file survives every failure: a new
// file beside it is written and synced, then renamed over it in one step. `mode` keeps the
// old file's permissions when `keepMode`; a new file gets the usual ones for the process's umask.
// 0, or the errno of the step that failed.
int replaceFile(const std::filesystem::path& target, std::string_view content, bool keepMode, mode_t mode) {
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::filesystem::path name;
    FileDescriptor fd;
    for (unsigned attempt = 0; attempt < 100 && !fd; ++attempt) {
        name = temporaryNameFor(target, attempt);
        fd = FileDescriptor(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (!fd && errno != EEXIST) return errno;
    }
    if (!fd) return EEXIST;
    TemporaryName temporary(name);

    if (keepMode) ::fchmod(fd.get(), mode);  // best effort: the content matters more than its mode
    if (!writeAll(fd.get(), content) || ::fsync(fd.get()) != 0 || !fd.close()) return errno;
    if (::rename(temporary.path().c_str(), target.c_str()) != 0) return errno;
    temporary.keep();

    // Make the rename itself durable; the new file is already complete either way.
    const FileDescriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory) ::fsync(directory.get());
    return 0;
}

#endif

}  // namespace

std::filesystem::path settingsFile() {
    return programDirectory() / "config.ini";
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
    std::optional<TemporaryName> temporary = writtenTemporary(iniFile, Utf16Bom);
    if (!temporary) return windowsError(GetLastError(), "cannot write beside ", iniFile);
    if (exists && !CopyFileW(iniFile.c_str(), temporary->path().c_str(), FALSE))
        return windowsError(GetLastError(), "cannot read ", iniFile);
    if (!WritePrivateProfileStringW(L"sys", keyText.c_str(), valueText.c_str(), temporary->path().c_str()))
        return windowsError(GetLastError(), "cannot write ", iniFile);
    if (const WinHandle written(CreateFileW(temporary->path().c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        !written || !FlushFileBuffers(written.get()))
        return windowsError(GetLastError(), "cannot write ", iniFile);
    if (!putInPlace(*temporary, iniFile, exists)) return windowsError(GetLastError(), "cannot replace ", iniFile);
    return success();
}

#else

std::wstring readSetting(const std::filesystem::path& iniFile, std::wstring_view key, std::wstring_view defaultText) {
    std::wstring result(defaultText);
    const std::string keyText = toUtf8(trimControl(key));
    std::string content;
    if (!keyText.empty() && readWholeFile(iniFile, content) == 0) {
        const std::vector<IniLine> lines = splitLines(withoutBom(content));
        if (const KeyPlace place = findKey(lines, keyText); place.key) {
            result = fromUtf8(unquoted(valueOf(lines[*place.key].text)));
        }
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
    const int written = replaceFile(target, withSetting(content, toUtf8(keyText), toUtf8(value)), readError == 0, mode);
    if (written != 0) return fileError(written, "cannot write ", target);
    return success();
}

#endif

std::wstring readSetting(std::wstring_view key, std::wstring_view defaultText) {
    return readSetting(settingsFile(), key, defaultText);
}

Status writeSetting(std::wstring_view key, std::wstring_view value) {
    return writeSetting(settingsFile(), key, value);
}

}  // namespace orvenna
