// A real HTTP/1.1 server on 127.0.0.1 for tests: fixed replies by path, one request per
// connection, each connection on its own thread. It can send slowly or stop sending midway, so
// that time-outs and cancellation meet a live socket. Nothing else is reachable through it.
#pragma once

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <strings.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace orvenna {

class LocalHttpServer {
public:
    struct Reply {
        int status = 200;
        // Sent as given; "Content-Length" is added with the body's size unless given here.
        std::vector<std::pair<std::string, std::string>> headers;
        std::string body;
        int chunkDelayMs = 0;                             // a pause after each chunkBytes of the body
        std::size_t stallAfterBytes = std::string::npos;  // then silence until the server stops
        std::size_t chunkBytes = 4096;
    };

    // Listening at once on an ephemeral port; throws std::runtime_error when it cannot.
    LocalHttpServer() {
        int ends[2];
        if (pipe2(ends, O_CLOEXEC) != 0) throw std::runtime_error("pipe2 failed");
        stopRead_ = Descriptor(ends[0]), stopWrite_ = Descriptor(ends[1]);
        listener_ = Descriptor(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in address = loopback(0);
        socklen_t length = sizeof address;
        if (listener_.fd < 0 || bind(listener_.fd, asGeneric(address), sizeof address) != 0 ||
            listen(listener_.fd, 64) != 0 || getsockname(listener_.fd, asGeneric(address), &length) != 0) {
            throw std::runtime_error("cannot listen on 127.0.0.1");
        }
        port_ = ntohs(address.sin_port);
        // A proxy from the environment would carry the tests' requests away from 127.0.0.1.
        const char* bypass = std::getenv("no_proxy");
        if (bypass == nullptr || std::string_view(bypass) != "*") setenv("no_proxy", "*", 1);
        acceptor_ = std::thread([this] { acceptConnections(); });
    }

    // Wakes every connection thread, a stalled one too, and waits for all of them.
    ~LocalHttpServer() {
        // The byte, never read, keeps the pipe readable for every poll even while a forked
        // child still holds a copy of the write end.
        [[maybe_unused]] const ssize_t written = write(stopWrite_.fd, "x", 1);
        stopWrite_ = Descriptor();
        acceptor_.join();
        std::vector<std::thread> finishing;
        {
            const std::lock_guard lock(mutex_);
            finishing.swap(connections_);
        }
        for (auto& connection : finishing) connection.join();
    }

    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    void route(const std::string& path, Reply reply) {
        const std::lock_guard lock(mutex_);
        routes_[path] = std::move(reply);
    }
    int port() const { return port_; }
    std::string url(std::string_view path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
    }
    // Requests for `path` (the query left out) so far.
    int requests(const std::string& path) const {
        const std::lock_guard lock(mutex_);
        const auto found = requestCounts_.find(path);
        return found == requestCounts_.end() ? 0 : found->second;
    }
    // The request line and headers of the latest request for `path`; empty when none came.
    std::string lastRequest(const std::string& path) const {
        const std::lock_guard lock(mutex_);
        const auto found = lastRequests_.find(path);
        return found == lastRequests_.end() ? std::string() : found->second;
    }

    // A port on 127.0.0.1 that nobody listens on: one the system just handed out and took back.
    static int unusedPort() {
        const Descriptor probe(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
        sockaddr_in address = loopback(0);
        socklen_t length = sizeof address;
        if (bind(probe.fd, asGeneric(address), sizeof address) != 0 ||
            getsockname(probe.fd, asGeneric(address), &length) != 0) {
            throw std::runtime_error("cannot find a free port");
        }
        return ntohs(address.sin_port);
    }

private:
    struct Descriptor {
        int fd = -1;
        Descriptor() = default;
        explicit Descriptor(int opened) : fd(opened) {}
        Descriptor(Descriptor&& other) noexcept : fd(std::exchange(other.fd, -1)) {}
        Descriptor& operator=(Descriptor&& other) noexcept {
            if (this != &other) {
                if (fd >= 0) close(fd);
                fd = std::exchange(other.fd, -1);
            }
            return *this;
        }
        ~Descriptor() {
            if (fd >= 0) close(fd);
        }
    };

    static sockaddr_in loopback(int port) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return address;
    }
    static sockaddr* asGeneric(sockaddr_in& address) { return reinterpret_cast<sockaddr*>(&address); }

    // 1 when `fd` is ready for `events` (or has failed, which the next call reports), 0 after
    // `timeoutMs`, -1 once the server stops. fd -1 just waits.
    int waitFor(int fd, short events, int timeoutMs) const {
        pollfd watched[2] = {{stopRead_.fd, POLLIN, 0}, {fd, events, 0}};
        for (;;) {
            const int ready = poll(watched, 2, timeoutMs);
            if (ready < 0 && errno == EINTR) continue;
            if (ready < 0 || watched[0].revents != 0) return -1;
            return ready == 0 ? 0 : 1;
        }
    }

    bool sendAll(int fd, std::string_view data) const {
        while (!data.empty()) {
            const ssize_t sent = send(fd, data.data(), data.size(), MSG_NOSIGNAL);
            if (sent > 0) {
                data.remove_prefix(static_cast<std::size_t>(sent));
            } else if (sent < 0 && errno == EINTR) {
                continue;
            } else if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                if (waitFor(fd, POLLOUT, -1) <= 0) return false;
            } else {
                return false;
            }
        }
        return true;
    }

    void acceptConnections() {
        while (waitFor(listener_.fd, POLLIN, -1) > 0) {
            const int fd = accept4(listener_.fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            if (fd < 0) continue;  // EINTR, or a client that gave up before it was taken
            const std::lock_guard lock(mutex_);
            connections_.emplace_back(&LocalHttpServer::serve, this, Descriptor(fd));
        }
    }

    static std::string reason(int status) {
        static const std::map<int, std::string> phrases = {{200, "OK"},
                                                           {301, "Moved Permanently"},
                                                           {302, "Found"},
                                                           {404, "Not Found"},
                                                           {500, "Internal Server Error"}};
        const auto found = phrases.find(status);
        return found == phrases.end() ? "Status" : found->second;
    }

    void serve(Descriptor connection) {
        const int fd = connection.fd;
        std::string request;
        std::size_t headEnd = std::string::npos;
        while ((headEnd = request.find("\r\n\r\n")) == std::string::npos) {
            if (request.size() > 65536 || waitFor(fd, POLLIN, -1) <= 0) return;
            char buffer[4096];
            const ssize_t got = recv(fd, buffer, sizeof buffer, 0);
            if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) return;
            if (got > 0) request.append(buffer, static_cast<std::size_t>(got));
        }
        const std::string head = request.substr(0, headEnd);
        const std::size_t targetStart = head.find(' ') + 1;
        const std::string target = head.substr(targetStart, head.find(' ', targetStart) - targetStart);
        const std::string path = target.substr(0, target.find('?'));

        Reply reply{.status = 404, .headers = {{"Content-Type", "text/plain"}}, .body = "not found"};
        {
            const std::lock_guard lock(mutex_);
            ++requestCounts_[path];
            lastRequests_[path] = head;
            if (const auto found = routes_.find(path); found != routes_.end()) {
                reply = found->second;
            }
        }

        std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " " + reason(reply.status) + "\r\n";
        bool lengthGiven = false;
        for (const auto& [name, value] : reply.headers) {
            out += name + ": " + value + "\r\n";
            lengthGiven = lengthGiven || strcasecmp(name.c_str(), "Content-Length") == 0;
        }
        if (!lengthGiven) out += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
        out += "Connection: close\r\n\r\n";
        if (!sendAll(fd, out)) return;

        std::string_view body(reply.body);
        body = body.substr(0, std::min(body.size(), reply.stallAfterBytes));
        const std::size_t piece =
            reply.chunkDelayMs > 0 ? std::max<std::size_t>(reply.chunkBytes, 1) : std::max<std::size_t>(body.size(), 1);
        while (!body.empty()) {
            const std::string_view chunk = body.substr(0, piece);
            if (!sendAll(fd, chunk)) return;
            body.remove_prefix(chunk.size());
            if (reply.chunkDelayMs > 0 && waitFor(-1, 0, reply.chunkDelayMs) < 0) return;
        }
        if (reply.stallAfterBytes < reply.body.size()) {
            waitFor(-1, 0, -1);
            return;
        }
        // Closing with the client's bytes still unread would reset the connection and could
        // destroy the end of the reply in flight; so first wait for the client to hang up.
        shutdown(fd, SHUT_WR);
        char drain[1024];
        while (waitFor(fd, POLLIN, 2000) > 0) {
            const ssize_t got = recv(fd, drain, sizeof drain, 0);
            if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) break;
        }
    }

    Descriptor stopRead_, stopWrite_, listener_;
    int port_ = 0;
    std::thread acceptor_;
    mutable std::mutex mutex_;
    std::vector<std::thread> connections_;
    std::map<std::string, Reply> routes_;
    std::map<std::string, int> requestCounts_;
    std::map<std::string, std::string> lastRequests_;
};

}  // namespace orvenna
