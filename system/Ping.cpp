#include "Ping.h"

#include <chrono>
#include <thread>

#include "base/Text.h"

#ifdef _WIN32
#include <windows.h>

#include <filesystem>

#include "Process.h"
#include "WinHandle.h"
#else
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#endif

namespace orvenna {

namespace {

// ping itself gives up after 2 seconds; this is the limit for a command that hangs.
constexpr auto PingLimit = std::chrono::seconds(4);
constexpr auto PollInterval = std::chrono::milliseconds(10);

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load();
}

#ifdef _WIN32

// The system's own ping.exe for the default command: a bare "ping" would be looked for in
// the current directory first.
std::wstring pingProgram(const std::string& command) {
    if (command != "ping") return fromUtf8(command);
    const std::filesystem::path ping = systemProgram(SystemFolder::System, L"ping.exe");
    return ping.empty() ? L"ping.exe" : ping.wstring();
}

// Reads what is waiting in the pipe and drops it, so that the child never blocks on a full pipe.
void drain(HANDLE pipe) {
    char buffer[512];
    DWORD waiting = 0;
    while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
        DWORD read = 0;
        if (!ReadFile(pipe, buffer, sizeof buffer, &read, nullptr) || read == 0) return;
    }
}

#endif

}  // namespace

#ifdef _WIN32

bool pingOnce(const std::string& command, const std::string& host, const std::atomic<bool>* cancel) {
    const std::wstring wideHost = fromUtf8(host);
    if (wideHost.find(L'\0') != std::wstring::npos) return false;  // would end the command line early
    // One echo request waiting 2 seconds, as on Linux.
    std::wstring commandLine = quotedArgument(pingProgram(command)) + L" -n 1 -w 2000 " + quotedArgument(wideHost);

    // The child writes into a pipe whose reading end stays here; it inherits only the writing end.
    SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    HANDLE readRaw = nullptr, writeRaw = nullptr;
    if (!CreatePipe(&readRaw, &writeRaw, &inheritable, 0)) return false;
    WinHandle readEnd(readRaw), writeEnd(writeRaw);
    SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = nullptr;
    startup.hStdOutput = writeEnd.get();
    startup.hStdError = writeEnd.get();
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &info)) {
        return false;  // no ping command: the network counts as down
    }
    WinHandle process(info.hProcess), thread(info.hThread);
    writeEnd = WinHandle();  // the child holds the only writing end now

    const auto end = std::chrono::steady_clock::now() + PingLimit;
    bool finished = false;
    while (true) {
        drain(readEnd.get());
        const DWORD waited = WaitForSingleObject(process.get(), static_cast<DWORD>(PollInterval.count()));
        if (waited == WAIT_OBJECT_0) {
            finished = true;
            break;
        }
        if (waited != WAIT_TIMEOUT || cancelled(cancel) || std::chrono::steady_clock::now() > end) break;
    }
    DWORD exitCode = 1;
    if (!finished) {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 1000);
    } else if (!GetExitCodeProcess(process.get(), &exitCode)) {
        exitCode = 1;
    }
    return finished && exitCode == 0;
}

#else

bool pingOnce(const std::string& command, const std::string& host, const std::atomic<bool>* cancel) {
    // An argument vector and no shell: the host is configuration, never a command line.
    std::string program = command, count = "-c", one = "1", wait = "-W", seconds = "2", target = host;
    char* argv[] = {program.data(), count.data(), one.data(), wait.data(), seconds.data(), target.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, program.c_str(), &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return false;  // no ping command: the network counts as down

    const auto end = std::chrono::steady_clock::now() + PingLimit;
    while (true) {
        int status = 0;
        const pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
        if (done < 0 && errno != EINTR) return false;
        if (cancelled(cancel) || std::chrono::steady_clock::now() > end) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(PollInterval);
    }
}

#endif

}  // namespace orvenna
