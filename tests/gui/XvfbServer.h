// A private X server for window tests and benchmarks run without a display. Windows draws its
// windows itself and needs none (under Wine, the runner gives the X display: scripts/wine-run.sh).
#pragma once

#ifndef _WIN32
#include <csignal>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace orvenna {

class XvfbServer {
public:
    XvfbServer() = default;
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;
#ifdef _WIN32
    bool start() {
        return true;
    }
#else
    ~XvfbServer() {
        if (pid_ <= 0) return;
        kill(pid_, SIGTERM);
        waitpid(pid_, nullptr, 0);
    }

    // Starts Xvfb at 96 DPI and points DISPLAY at it; false when it could not start.
    bool start() {
        int fds[2];
        if (pipe(fds) != 0) return false;
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            // Nothing of the server's may hold the test's output open after the test ends.
            const int devnull = open("/dev/null", O_WRONLY);
            dup2(devnull, STDOUT_FILENO);
            dup2(devnull, STDERR_FILENO);
            const std::string fd = std::to_string(fds[1]);
            setpgid(0, 0);                     // not in the test's process group: a terminal's ^C stops the test only
            prctl(PR_SET_PDEATHSIG, SIGTERM);  // and a test that dies takes its server with it
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-dpi", "96", "-nolisten",
                   "tcp", static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        // Xvfb writes its display number, then a newline, once it accepts clients.
        std::string number;
        char c = 0;
        while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (pid_ < 0 || number.empty()) return false;
        setenv("DISPLAY", (":" + number).c_str(), 1);
        return true;
    }

private:
    pid_t pid_ = 0;
#endif
};

}  // namespace orvenna
