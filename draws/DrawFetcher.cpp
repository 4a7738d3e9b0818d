#include "DrawFetcher.h"

#include <chrono>
#include <csignal>
#include <thread>

#ifdef _WIN32
#include <windows.h>

#include "base/Text.h"
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "TableDraw.h"
#include "framework/Gb18030.h"
#include "framework/HttpClient.h"

namespace orvenna {

const std::wstring_view DrawUpdatedText =
    L"开奖数据已更新，与实时开奖数据存在相差两小时左右的误差,此不会影响推演数据，本软件不参照历史数据.";

namespace {

// ping itself gives up after 2 seconds; this is the limit for a command that hangs.
constexpr auto PingLimit = std::chrono::seconds(4);

bool cancelled(const std::atomic<bool>* cancel) {
    return cancel && cancel->load();
}

#ifdef _WIN32
// One argument as the C runtime reads a command line back: quoted, with the backslashes
// before a quote doubled and the quote escaped, so no host can add arguments of its own.
std::wstring quotedArgument(std::wstring_view argument) {
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

// The system's own ping.exe for the default command: a bare "ping" would be looked for in
// the current directory first.
std::wstring pingProgram(const std::string& command) {
    if (command != "ping") return fromUtf8(command);
    wchar_t directory[MAX_PATH];
    const UINT length = GetSystemDirectoryW(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return L"ping.exe";
    return std::wstring(directory, length) + L"\\ping.exe";
}
#endif

}  // namespace

bool checkNetwork(const DrawSource& source, const std::atomic<bool>* cancel) {
    if (source.pingHost.empty()) return true;
#ifdef _WIN32
    const std::wstring host = fromUtf8(source.pingHost);
    if (host.find(L'\0') != std::wstring::npos) return false;  // would end the command line early
    // One echo request waiting 2 seconds, as on Linux, in a console that is never shown.
    std::wstring commandLine =
        quotedArgument(pingProgram(source.pingCommand)) + L" -n 1 -w 2000 " + quotedArgument(host);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &process)) {
        return false;  // no ping command: the network counts as down
    }
    CloseHandle(process.hThread);

    const auto end = std::chrono::steady_clock::now() + PingLimit;
    bool finished = false;
    while (true) {
        const DWORD waited = WaitForSingleObject(process.hProcess, 10);
        if (waited == WAIT_OBJECT_0) {
            finished = true;
            break;
        }
        if (waited != WAIT_TIMEOUT || cancelled(cancel) || std::chrono::steady_clock::now() > end) break;
    }
    DWORD exitCode = 1;
    if (!finished) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 1000);
    } else if (!GetExitCodeProcess(process.hProcess, &exitCode)) {
        exitCode = 1;
    }
    CloseHandle(process.hProcess);
    return finished && exitCode == 0;
#else
    // An argument vector and no shell: the host is configuration, never a command line.
    std::string command = source.pingCommand, count = "-c", one = "1", wait = "-W", seconds = "2",
                host = source.pingHost;
    char* argv[] = {command.data(), count.data(), one.data(), wait.data(), seconds.data(), host.data(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawnp(&pid, command.c_str(), &actions, nullptr, argv, environ);
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
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
#endif
}

Result<std::string> fetchPage(const std::string& url, const std::atomic<bool>* cancel) {
    HttpClient client;
    HttpOptions options;
    options.connectTimeoutMs = DrawConnectTimeoutMs;
    options.totalTimeoutMs = DrawTotalTimeoutMs;
    options.onProgress = [cancel](std::int64_t, std::int64_t) { return !cancelled(cancel); };
    const HttpResponse response = client.get(url, options);
    if (response.code != 200) {
        if (!response.completed()) return response.error;
        return Error{static_cast<int>(response.code), "response " + std::to_string(response.code)};
    }
    auto text = gb18030ToUtf8(response.body);
    if (!text) return Error{0, "the page is not GB18030"};
    return std::move(*text);
}

std::string fetchFrontResultsPage(const std::string& url, const std::atomic<bool>* cancel) {
    Result<std::string> page = fetchPage(url, cancel);
    return page ? std::move(page).value() : std::string();
}

DrawResult parseSevenStarDraw(const std::string& utf8Page) {
    return parseTableDraw(2, 6, L"七星彩", L"yellow", utf8Page);
}

RefreshOutcome refreshOnce(const DrawSource& source, const std::atomic<bool>* cancel) {
    RefreshOutcome outcome;
    outcome.networkUp = checkNetwork(source, cancel);
    if (!outcome.networkUp) return outcome;
    outcome.draw = parseSevenStarDraw(fetchFrontResultsPage(source.pageUrl, cancel));
    return outcome;
}

}  // namespace orvenna
