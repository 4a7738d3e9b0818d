// Runs a piece of a test in a real child process and reports its exit code.
#pragma once

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

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

}  // namespace orvenna
