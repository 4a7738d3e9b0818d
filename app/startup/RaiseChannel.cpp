#include "RaiseChannel.h"

#include <cstddef>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace orvenna {

#ifdef _WIN32

unsigned raiseMessage() {
    static const unsigned message = RegisterWindowMessageW(L"Orvenna.ShowTheRunningWindow");
    return message;
}

RaiseListener::RaiseListener(const std::filesystem::path&) {}
RaiseListener::~RaiseListener() = default;

bool RaiseListener::asked() {
    return false;  // the main window hears the message itself
}

void askRunningCopyToShow(const std::filesystem::path&) {
    // The copy that runs is in the background: it may take the foreground only when the
    // process the user just started lets it.
    AllowSetForegroundWindow(ASFW_ANY);
    PostMessageW(HWND_BROADCAST, raiseMessage(), 0, 0);
}

#else

namespace {

// An abstract socket (Linux's namespace of socket names that are no files) named after the
// lock file: it goes with the process that made it, so a copy that crashed leaves nothing
// stale behind, and no folder's depth can make the name too long.
sockaddr_un addressOf(const std::filesystem::path& lockFile, socklen_t& length) {
    sockaddr_un address;
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    char name[64];
    const int size = std::snprintf(name, sizeof name, "orvenna-raise-%016zx",
                                   std::hash<std::string>{}(std::filesystem::absolute(lockFile).string()));
    std::memcpy(address.sun_path + 1, name, static_cast<std::size_t>(size));
    length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + static_cast<std::size_t>(size));
    return address;
}

}  // namespace

RaiseListener::RaiseListener(const std::filesystem::path& lockFile) {
    socklen_t length = 0;
    const sockaddr_un address = addressOf(lockFile, length);
    FileDescriptor listening(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!listening || bind(listening.get(), reinterpret_cast<const sockaddr*>(&address), length) != 0 ||
        listen(listening.get(), 4) != 0)
        return;
    socket_ = std::move(listening);
}

RaiseListener::~RaiseListener() = default;

bool RaiseListener::asked() {
    bool asked = false;
    while (socket_) {
        const int connection = accept4(socket_.get(), nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0) break;
        close(connection);
        asked = true;
    }
    return asked;
}

void askRunningCopyToShow(const std::filesystem::path& lockFile) {
    socklen_t length = 0;
    const sockaddr_un address = addressOf(lockFile, length);
    const FileDescriptor connection(socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    // Nobody listening refuses the connection: then nobody is asked, and nothing happens.
    if (connection) connect(connection.get(), reinterpret_cast<const sockaddr*>(&address), length);
}

#endif

}  // namespace orvenna
