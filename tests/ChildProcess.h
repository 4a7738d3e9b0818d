// Child processes for tests: a program started from an argument vector, and a part of a test
// that runs in a process of its own (a "role"). Windows cannot fork, so a role runs in a new
// copy of the test program, started to run the current test with the role's name in its
// environment; the copy runs the role before any test and ends with the role's exit code.
// Linux starts roles the same way, so that both systems run the same code.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#include <cwchar>
#else
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "Environment.h"
#include "system/Process.h"

#ifndef _WIN32
extern char** environ;
#endif

namespace orvenna {

class ChildProcess {
public:
    struct Options {
        // Variables set or replaced for the child; it has the rest of this process's too.
        std::vector<std::pair<std::string, std::string>> environment;
        // Files that take its standard output and error; both go nowhere when not given.
        std::filesystem::path output;
        std::filesystem::path errors;
        // On Linux, in a test run as root: the child runs as the user "nobody", so that file
        // permissions bind it as they bind an ordinary user.
        bool unprivileged = false;
    };

    // Starts arguments[0], looked for on PATH when it names no folder, with the rest as its
    // arguments (UTF-8). Returns once the program runs, or has failed to start.
    ChildProcess(const std::vector<std::string>& arguments, const Options& options) { start(arguments, options); }
    explicit ChildProcess(const std::vector<std::string>& arguments) : ChildProcess(arguments, Options()) {}
    ~ChildProcess() { kill(); }
    ChildProcess(ChildProcess&& other) noexcept
        : process_(std::exchange(other.process_, NoProcess)), exitCode_(other.exitCode_), killed_(other.killed_) {}
    ChildProcess& operator=(ChildProcess&&) = delete;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Runs the role `name` with `argument` in a new copy of this test program.
    static ChildProcess role(const std::string& name, const std::filesystem::path& argument = {},
                             bool unprivileged = false) {
        const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
        // The copy must run one test, or it would never set up the environment that runs the role.
        const std::string filter =
            test != nullptr ? std::string(test->test_suite_name()) + "." + test->name() : std::string("*");
        Options options;
        options.environment = {{RoleVariable, name}, {ArgumentVariable, utf8Path(argument)}};
        options.unprivileged = unprivileged;
        return ChildProcess({utf8Path(testProgram()), "--gtest_filter=" + filter}, options);
    }

    bool started() const { return process_ != NoProcess || exitCode_.has_value(); }
    bool running() { return process_ != NoProcess && !exitWithin(std::chrono::milliseconds(0)).has_value(); }

    // The exit code once the child has ended within `limit`; nothing while it still runs.
    // -1 when it did not start or was killed.
    std::optional<int> exitWithin(std::chrono::milliseconds limit) {
        if (process_ == NoProcess) return exitCode_.value_or(-1);
#ifdef _WIN32
        const auto milliseconds = static_cast<DWORD>(std::min<long long>(limit.count(), INFINITE));
        if (WaitForSingleObject(process_, milliseconds) != WAIT_OBJECT_0) return std::nullopt;
        DWORD code = 0;
        exitCode_ = GetExitCodeProcess(process_, &code) && !killed_ ? static_cast<int>(code) : -1;
        CloseHandle(std::exchange(process_, NoProcess));
#else
        const auto end = std::chrono::steady_clock::now() + limit;
        for (;;) {
            int status = 0;
            const pid_t done = waitpid(process_, &status, WNOHANG);
            if (done == process_ || (done < 0 && errno != EINTR)) {
                exitCode_ = done == process_ && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                process_ = NoProcess;
                break;
            }
            if (std::chrono::steady_clock::now() >= end) return std::nullopt;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
#endif
        return exitCode_;
    }

    // Waits for the child to end; its exit code, -1 when it did not start or was killed.
    int wait() {
        return *exitWithin(std::chrono::hours(24 * 365));
    }

    // Ends the child at once, as a crash or the task manager would, and waits for it.
    void kill() {
        if (process_ == NoProcess) return;
        killed_ = true;
#ifdef _WIN32
        TerminateProcess(process_, 1);
#else
        ::kill(process_, SIGKILL);
#endif
        wait();
    }

private:
    static constexpr const char* RoleVariable = "ORVENNA_TEST_ROLE";
    static constexpr const char* ArgumentVariable = "ORVENNA_TEST_ROLE_ARGUMENT";
    friend class ChildRoleRunner;

    static std::filesystem::path testProgram() {
#ifdef _WIN32
        std::wstring name(32768, L'\0');
        name.resize(GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size())));
        return name;
#else
        return std::filesystem::read_symlink("/proc/self/exe");
#endif
    }

#ifdef _WIN32
    using Process = HANDLE;
    static constexpr Process NoProcess = nullptr;

    // This process's environment with `changes` made, as CreateProcessW takes it: sorted by
    // name without regard to case, each entry ended by a null, the block by another.
    static std::wstring environmentBlock(const std::vector<std::pair<std::string, std::string>>& changes) {
        const auto nameOf = [](const std::wstring& entry) { return entry.substr(0, entry.find(L'=', 1)); };
        std::vector<std::wstring> entries;
        for (const auto& [name, value] : changes) entries.push_back(wideFromUtf8(name) + L"=" + wideFromUtf8(value));
        wchar_t* own = GetEnvironmentStringsW();
        for (const wchar_t* entry = own; *entry != L'\0'; entry += std::wcslen(entry) + 1) {
            const std::wstring text(entry);
            const bool changed = std::any_of(changes.begin(), changes.end(), [&](const auto& change) {
                return _wcsicmp(nameOf(text).c_str(), wideFromUtf8(change.first).c_str()) == 0;
            });
            if (!changed) entries.push_back(text);
        }
        FreeEnvironmentStringsW(own);
        std::sort(entries.begin(), entries.end(), [&](const std::wstring& a, const std::wstring& b) {
            return _wcsicmp(nameOf(a).c_str(), nameOf(b).c_str()) < 0;
        });
        std::wstring block;
        for (const std::wstring& entry : entries) block += entry + L'\0';
        return block + L'\0';
    }

    void start(const std::vector<std::string>& arguments, const Options& options) {
        std::wstring commandLine;
        for (const std::string& argument : arguments)
            commandLine += (commandLine.empty() ? L"" : L" ") + quotedArgument(wideFromUtf8(argument));
        std::wstring environment = environmentBlock(options.environment);
        SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        const auto openStd = [&](const std::filesystem::path& file, bool write) {
            return CreateFileW(file.empty() ? L"NUL" : file.c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, &inheritable, write ? CREATE_ALWAYS : OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        };
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = openStd({}, false);
        startup.hStdOutput = openStd(options.output, true);
        startup.hStdError = openStd(options.errors, true);
        PROCESS_INFORMATION info{};
        // Handles are inherited as Windows programs usually start others, so that whatever
        // this process lets be inherited does reach the child.
        if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                           CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW, environment.data(), nullptr, &startup,
                           &info)) {
            CloseHandle(info.hThread);
            process_ = info.hProcess;
        }
        for (HANDLE handle : {startup.hStdInput, startup.hStdOutput, startup.hStdError})
            if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
#else
    using Process = pid_t;
    static constexpr Process NoProcess = -1;

    void start(const std::vector<std::string>& arguments, const Options& options) {
        // Everything the child needs is made before the fork: after it, the child may only make
        // calls that are safe in a copy of a process with threads.
        std::vector<std::string> argumentCopies = arguments;
        std::vector<char*> argv;
        for (std::string& argument : argumentCopies) argv.push_back(argument.data());
        argv.push_back(nullptr);
        std::vector<std::string> entries;
        for (const auto& [name, value] : options.environment) entries.push_back(name + "=" + value);
        for (char** entry = environ; *entry != nullptr; ++entry) {
            const std::string text(*entry);
            const std::string name = text.substr(0, text.find('='));
            bool changed = false;
            for (const auto& change : options.environment) changed = changed || change.first == name;
            if (!changed) entries.push_back(text);
        }
        std::vector<char*> envp;
        for (std::string& entry : entries) envp.push_back(entry.data());
        envp.push_back(nullptr);
        const std::string output = options.output.empty() ? "/dev/null" : options.output.string();
        const std::string errors = options.errors.empty() ? "/dev/null" : options.errors.string();
        const bool dropPrivileges = options.unprivileged && geteuid() == 0;

        // Closed by a successful exec; otherwise it carries the reason the child could not start.
        int report[2];
        if (pipe2(report, O_CLOEXEC) != 0) return;
        const pid_t pid = fork();
        if (pid == 0) {
            close(report[0]);
            const gid_t nobodyGroup = 65534;
            const uid_t nobody = 65534;
            bool ready =
                !dropPrivileges || (setgroups(0, nullptr) == 0 && setgid(nobodyGroup) == 0 && setuid(nobody) == 0);
            const int in = open("/dev/null", O_RDONLY);
            const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int err = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ready =
                ready && in >= 0 && out >= 0 && err >= 0 && dup2(in, 0) == 0 && dup2(out, 1) == 1 && dup2(err, 2) == 2;
            if (ready) execvpe(argv[0], argv.data(), envp.data());
            const int error = errno;
            [[maybe_unused]] const ssize_t written = write(report[1], &error, sizeof error);
            _exit(127);
        }
        close(report[1]);
        int error = 0;
        ssize_t got = 0;
        do {
            got = read(report[0], &error, sizeof error);
        } while (got < 0 && errno == EINTR);
        close(report[0]);
        if (pid < 0) return;
        process_ = pid;
        if (got > 0) {
            wait();
            exitCode_.reset();
            process_ = NoProcess;
        }
    }
#endif

    Process process_ = NoProcess;
    std::optional<int> exitCode_;
    bool killed_ = false;
};

// The exit code of the role `name` run in a child process.
inline int exitCodeInChild(const std::string& name, const std::filesystem::path& argument = {},
                           bool unprivileged = false) {
    return ChildProcess::role(name, argument, unprivileged).wait();
}

// A part of a test that runs in a child process, registered at namespace scope in the test's
// source: const ChildRole holder("name", [](const std::filesystem::path& argument) { ... });
// The body's return value is the child's exit code.
using ChildRoleBody = std::function<int(const std::filesystem::path&)>;

inline std::map<std::string, ChildRoleBody>& childRoles() {
    static std::map<std::string, ChildRoleBody> roles;
    return roles;
}

struct ChildRole {
    ChildRole(const std::string& name, ChildRoleBody body) { childRoles()[name] = std::move(body); }
};

// In a copy started for a role: runs the role, then ends the process before any test runs.
class ChildRoleRunner : public ::testing::Environment {
public:
    void SetUp() override {
        const std::optional<std::string> name = getEnv(ChildProcess::RoleVariable);
        if (!name) return;
        const auto found = childRoles().find(*name);
        // An unknown role ends the copy too: it must never run the test that started it.
        int code = 98;
        if (found != childRoles().end()) {
#ifdef _WIN32
            const std::filesystem::path argument(wideFromUtf8(getEnv(ChildProcess::ArgumentVariable).value_or("")));
#else
            const std::filesystem::path argument(getEnv(ChildProcess::ArgumentVariable).value_or(""));
#endif
            code = found->second(argument);
        }
        std::fflush(nullptr);
        std::_Exit(code);
    }
};
inline ::testing::Environment* const childRoleRunner = ::testing::AddGlobalTestEnvironment(new ChildRoleRunner);

// A role tells the test that it has got somewhere by writing `text` into `file`; the file
// appears whole, never half written.
inline void announce(const std::filesystem::path& file, const std::string& text) {
    std::filesystem::path part = file;
    part += ".part";
    std::ofstream(part, std::ios::binary) << text;
    std::filesystem::rename(part, file);
}

// What a role announced in `file`; nothing when it did not within `limit`.
inline std::optional<std::string> announcement(const std::filesystem::path& file,
                                               std::chrono::milliseconds limit = std::chrono::seconds(30)) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!std::filesystem::exists(file)) {
        if (std::chrono::steady_clock::now() > end) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Where a program's standard output goes.
// Where a program's standard output goes: captured, a full disk, no stream at all, or a pipe
// whose reader has gone (as `| head` leaves it).
enum class StdoutTo { Captured, DevFull, Closed, ClosedPipe };

struct ProgramRun {
    int code = -1;  // the exit code, or 128 + the signal that ended the program
    std::string out;
    std::string err;
};

#ifndef _WIN32
// Runs `program` with `args` as a real child process: `input` on its standard input, its
// standard error captured, its standard output captured, sent to /dev/full or closed.
inline ProgramRun runProgram(const std::string& program, const std::vector<std::string>& args,
                             const std::string& input = "", StdoutTo stdoutTo = StdoutTo::Captured) {
    static std::atomic<int> runs{0};
    const std::string base = std::filesystem::temp_directory_path() /
                             ("orvenna_run_" + std::to_string(getpid()) + "_" + std::to_string(++runs));
    const std::string inFile = base + ".in", outFile = base + ".out", errFile = base + ".err";
    std::ofstream(inFile, std::ios::binary) << input;
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    // The reading end is closed before the child starts, so its first write meets no reader.
    int pipeEnds[2] = {-1, -1};
    if (stdoutTo == StdoutTo::ClosedPipe && pipe(pipeEnds) == 0) close(pipeEnds[0]);
    const pid_t pid = fork();
    if (pid == 0) {  // only calls that are safe between fork and exec
        const int in = open(inFile.c_str(), O_RDONLY);
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || err < 0 || dup2(in, 0) < 0 || dup2(err, 2) < 0) _exit(126);
        if (stdoutTo == StdoutTo::Closed) {
            close(1);
        } else if (stdoutTo == StdoutTo::ClosedPipe) {
            // As a shell starts it: SIGPIPE at its default, which ends a program that writes.
            signal(SIGPIPE, SIG_DFL);
            if (pipeEnds[1] < 0 || dup2(pipeEnds[1], 1) < 0) _exit(126);
            close(pipeEnds[1]);
        } else {
            const int out = stdoutTo == StdoutTo::DevFull ? open("/dev/full", O_WRONLY)
                                                          : open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            if (out < 0 || dup2(out, 1) < 0) _exit(126);
            close(out);
        }
        close(in);
        close(err);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    if (pipeEnds[1] >= 0) close(pipeEnds[1]);
    ProgramRun run;
    int status = 0;
    if (pid > 0 && waitpid(pid, &status, 0) == pid)
        run.code = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
    const auto read = [](const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    run.out = read(outFile);
    run.err = read(errFile);
    for (const std::string& file : {inFile, outFile, errFile}) std::filesystem::remove(file);
    return run;
}

#endif

}  // namespace orvenna
