#include "Process.h"

#include "SystemError.h"
#include "base/Text.h"

#ifdef _WIN32
#include <windows.h>

#include "WinHandle.h"
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "FileDescriptor.h"
#endif

namespace orvenna {

#ifdef _WIN32

std::filesystem::path systemProgram(SystemFolder folder, std::wstring_view name) {
    const auto ask = folder == SystemFolder::Windows ? GetSystemWindowsDirectoryW : GetSystemDirectoryW;
    std::wstring directory(MAX_PATH, L'\0');
    // Too small a buffer gets the length the folder needs, its terminating NUL counted.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const UINT length = ask(directory.data(), static_cast<UINT>(directory.size()));
        if (length == 0) return {};
        if (length < directory.size()) {
            directory.resize(length);
            return std::filesystem::path(directory) / name;
        }
        directory.resize(length);
    }
    return {};
}

std::wstring quotedArgument(std::wstring_view argument) {
    // A plain word stays as it is: some programs (setup programs among them) look for their
    // switches unquoted.
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring_view::npos)
        return std::wstring(argument);
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        out.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(2 * backslashes, L'\\');
    out += L'"';
    return out;
}

Status startDetached(const LockedFile& program, const std::vector<std::wstring>& arguments) {
    std::wstring commandLine = quotedArgument(program.path().wstring());
    for (const std::wstring& argument : arguments) commandLine += L' ' + quotedArgument(argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    // By name, while the caller's handle keeps the file from being replaced until this returns.
    if (!CreateProcessW(program.path().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info))
        return systemError("cannot start " + program.path().string());
    WinHandle process(info.hProcess), thread(info.hThread);
    WaitForInputIdle(process.get(), 500);
    return success();
}

#else

namespace {

// Runs the descriptor itself, never a name, which may point elsewhere by now. The child keeps
// it open (the duplication onto itself clears close-on-exec there), so that a script's
// interpreter can read it too. posix_spawn's error code; 0 once the program runs.
int spawnDescriptor(int fd, std::vector<char*>& argv) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fd, fd);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return failed;
}

// True when both descriptors hold the same `size` bytes, read from the start.
bool sameBytes(int first, int second, std::int64_t size) {
    constexpr std::size_t Piece = std::size_t{1} << 16;
    std::vector<char> a(Piece), b(Piece);
    for (off_t offset = 0; offset < size;) {
        const auto wanted = static_cast<std::size_t>(std::min<std::int64_t>(size - offset, Piece));
        if (::pread(first, a.data(), wanted, offset) != static_cast<ssize_t>(wanted) ||
            ::pread(second, b.data(), wanted, offset) != static_cast<ssize_t>(wanted) ||
            std::memcmp(a.data(), b.data(), wanted) != 0)
            return false;
        offset += static_cast<off_t>(wanted);
    }
    return true;
}

// Where memory files may not run (vm.memfd_noexec, a security module): a copy of the held
// bytes in a folder of this user's alone (0700), checked again against them through the
// descriptor that then runs it. The folder goes once the program runs, which keeps the file
// open as long as it needs it. `refusal` is why the memory file did not run.
Status startPrivateCopy(const LockedFile& program, std::vector<char*>& argv, int refusal) {
    const std::string name = program.path().string();
    const auto failure = [&](const std::string& step, int code) {
        return Error{ErrorSource::System, code,
                     "cannot start " + name + ": the system runs no program from memory (" + systemErrorText(refusal) +
                         "), and " + step + " (" + systemErrorText(code) + ")"};
    };
    const char* given = std::getenv("TMPDIR");
    const std::filesystem::path base = given != nullptr && *given != '\0' ? given : "/tmp";
    std::string folderName = (base / "orvenna-installer-XXXXXX").string();
    if (::mkdtemp(folderName.data()) == nullptr)
        return failure("no private folder can be made in " + base.string(), errno);
    const std::filesystem::path folder = folderName;
    const std::filesystem::path copy = folder / "installer";
    struct Cleanup {
        const std::filesystem::path& copy;
        const std::filesystem::path& folder;
        ~Cleanup() {
            ::unlink(copy.c_str());
            ::rmdir(folder.c_str());
        }
    } cleanup{copy, folder};

    FileDescriptor out(::open(copy.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRWXU));
    if (!out) return failure("no private copy can be made in " + folder.string(), errno);
    int writeError = 0;
    const Status copied = program.read([&](const char* data, std::size_t size) {
        if (writeAll(out.get(), std::string_view(data, size))) return true;
        writeError = errno;
        return false;
    });
    if (!copied || !out.close())
        return failure("its private copy in " + folder.string() + " cannot be written",
                       writeError ? writeError : errno);
    // A file open for writing cannot run: the copy is run through a reading descriptor of its
    // own, which is what is checked.
    const FileDescriptor in(::open(copy.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    struct stat status {};
    if (!in || ::fstat(in.get(), &status) != 0) return failure("its private copy cannot be opened", errno);
    if (!S_ISREG(status.st_mode) || status.st_uid != ::geteuid() || (status.st_mode & (S_IRWXG | S_IRWXO)) != 0 ||
        status.st_size != program.size() || !sameBytes(program.descriptor(), in.get(), program.size()))
        return failure("its private copy in " + folder.string() + " is not what was checked", EPERM);
    if (const int failed = spawnDescriptor(in.get(), argv); failed != 0)
        return failure("its private copy in " + folder.string() + " cannot run either", failed);
    return success();
}

}  // namespace

Status startDetached(const LockedFile& program, const std::vector<std::wstring>& arguments) {
    const int fd = program.descriptor();
    std::string name = program.path().string();
    std::vector<std::string> texts;
    for (const std::wstring& argument : arguments) texts.push_back(toUtf8(argument));
    std::vector<char*> argv{name.data()};
    for (std::string& text : texts) argv.push_back(text.data());
    argv.push_back(nullptr);
    // A memory file sealed against execution (vm.memfd_noexec) refuses the mode; whether it can
    // run all the same is for the start to tell.
    if (::fchmod(fd, S_IRWXU) != 0 && errno != EPERM && errno != EACCES)
        return systemError("cannot make " + name + " executable");
    const int failed = spawnDescriptor(fd, argv);
    if (failed == 0) return success();
    if (failed == EACCES || failed == EPERM) return startPrivateCopy(program, argv, failed);
    return systemError("cannot start " + name, failed);
}

#endif

}  // namespace orvenna
