// Runs the window tests inside a real wxWidgets application. Without a display the
// process starts its own Xvfb server and stops it at the end.
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/init.h>

namespace {

pid_t xvfb = 0;

bool startXvfb() {
    int fds[2];
    if (pipe(fds) != 0) return false;
    xvfb = fork();
    if (xvfb == 0) {
        close(fds[0]);
        const int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, STDERR_FILENO);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-dpi", "96",
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    char buffer[32] = {};
    std::size_t length = 0;
    while (length < sizeof buffer - 1) {
        const ssize_t got = read(fds[0], buffer + length, 1);
        if (got <= 0 || buffer[length] == '\n') break;
        ++length;
    }
    close(fds[0]);
    if (length == 0) return false;
    buffer[length] = '\0';
    setenv("DISPLAY", (std::string(":") + buffer).c_str(), 1);
    return true;
}

void stopXvfb() {
    if (xvfb <= 0) return;
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
}

class TestApp : public wxApp {
public:
    bool OnInit() override { return true; }
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no display.
    for (int i = 0; i < argc; ++i)
        if (std::strcmp(argv[i], "--gtest_list_tests") == 0) return RUN_ALL_TESTS();

    setenv("NO_AT_BRIDGE", "1", 1);  // no accessibility bus under a test server
    if (!std::getenv("DISPLAY") && !startXvfb()) {
        std::fprintf(stderr, "no display and Xvfb could not be started\n");
        return 1;
    }
    wxApp::SetInstance(new TestApp);
    if (!wxEntryStart(argc, argv) || !wxTheApp->CallOnInit()) {
        stopXvfb();
        return 1;
    }
    const int status = RUN_ALL_TESTS();
    wxTheApp->OnExit();
    wxEntryCleanup();
    stopXvfb();
    return status;
}
