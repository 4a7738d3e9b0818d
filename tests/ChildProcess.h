// Runs a piece of a test, or a program, in a real child process and reports how it ended.
#pragma once

#include <fcntl.h>
#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

namespace orvenna {

// The exit code of `body` run in a forked child; -1 when the child did not exit normally.
// With `unprivileged`, a child of root first becomes the user "nobody", so that file
// permissions hold for it as they do for an ordinary user.
inline int exitCodeInChild(const std::function<int()>& body, bool unprivileged = false) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (unprivileged && geteuid() == 0) {
            const gid_t nobodyGroup = 65534;
            const uid_t nobody = 65534;
            if (setgroups(0, nullptr) != 0 || setgid(nobodyGroup) != 0 || setuid(nobody) != 0) {
                _exit(99);
            }
        }
        _exit(body());
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Where a program's standard output goes.
enum class StdoutTo { Captured, DevFull, Closed };

struct ProgramRun {
    int code = -1;  // the exit code, or 128 + the signal that ended the program
    std::string out;
    std::string err;
};

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

    const pid_t pid = fork();
    if (pid == 0) {  // only calls that are safe between fork and exec
        const int in = open(inFile.c_str(), O_RDONLY);
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (in < 0 || err < 0 || dup2(in, 0) < 0 || dup2(err, 2) < 0) _exit(126);
        if (stdoutTo == StdoutTo::Closed) {
            close(1);
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

}  // namespace orvenna
