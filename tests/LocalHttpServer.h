// A real HTTP/1.1 server on 127.0.0.1 for tests: fixed replies by path, one request per
// connection, each connection on its own thread. It can send slowly or stop sending midway, so
// that time-outs and cancellation meet a live socket. Nothing else is reachable through it.
#pragma once

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#endif

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "Environment.h"

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
        // The stop signal: a datagram this socket sends to itself, never read, so that it
        // wakes every wait at once and keeps waking them.
        wake_ = Socket(openSocket(SOCK_DGRAM));
        sockaddr_in wakeAddress = loopback(0);
        socklen_t wakeLength = sizeof wakeAddress;
        if (!wake_ || bind(wake_.handle, asGeneric(wakeAddress), sizeof wakeAddress) != 0 ||
            getsockname(wake_.handle, asGeneric(wakeAddress), &wakeLength) != 0 ||
            connect(wake_.handle, asGeneric(wakeAddress), sizeof wakeAddress) != 0) {
            throw std::runtime_error("cannot make the stop signal");
        }
        listener_ = Socket(openSocket(SOCK_STREAM));
        sockaddr_in address = loopback(0);
        socklen_t length = sizeof address;
        if (!listener_ || bind(listener_.handle, asGeneric(address), sizeof address) != 0 ||
            listen(listener_.handle, 64) != 0 || getsockname(listener_.handle, asGeneric(address), &length) != 0) {
            throw std::runtime_error("cannot listen on 127.0.0.1");
        }
        port_ = ntohs(address.sin_port);
        // A proxy from the environment would carry the tests' requests away from 127.0.0.1.
        if (getEnv("no_proxy") != "*") setEnv("no_proxy", "*");
        acceptor_ = std::thread([this] { acceptConnections(); });
    }

    // Wakes every connection thread, a stalled one too, and waits for all of them.
    ~LocalHttpServer() {
        [[maybe_unused]] const auto sent = send(wake_.handle, "x", 1, 0);
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
        [[maybe_unused]] const Sockets sockets{};
        const Socket probe(openSocket(SOCK_STREAM));
        sockaddr_in address = loopback(0);
        socklen_t length = sizeof address;
        if (!probe || bind(probe.handle, asGeneric(address), sizeof address) != 0 ||
            getsockname(probe.handle, asGeneric(address), &length) != 0) {
            throw std::runtime_error("cannot find a free port");
        }
        return ntohs(address.sin_port);
    }

    // Whether something accepts connections on 127.0.0.1:`port`.
    static bool accepts(int port) {
        [[maybe_unused]] const Sockets sockets{};
        const Socket probe(openSocket(SOCK_STREAM));
        sockaddr_in address = loopback(port);
        return probe && connect(probe.handle, asGeneric(address), sizeof address) == 0;
    }

private:
#ifdef _WIN32
    using Native = SOCKET;
    static constexpr Native NoSocket = INVALID_SOCKET;
    using Length = int;  // what send and recv take and give
#else
    using Native = int;
    static constexpr Native NoSocket = -1;
    using Length = std::size_t;
#endif

    // Winsock wants each user to start it and end it again; other systems need nothing.
    struct Sockets {
#ifdef _WIN32
        Sockets() {
            WSADATA data;
            if (WSAStartup(MAKEWORD(2, 2), &data) != 0) throw std::runtime_error("Winsock does not start");
        }
        ~Sockets() {
            WSACleanup();
        }
#else
        Sockets() = default;
#endif
        Sockets(const Sockets&) = delete;
        Sockets& operator=(const Sockets&) = delete;
    };

    struct Socket {
        Native handle = NoSocket;
        Socket() = default;
        explicit Socket(Native opened) : handle(opened) {}
        Socket(Socket&& other) noexcept : handle(std::exchange(other.handle, NoSocket)) {}
        Socket& operator=(Socket&& other) noexcept {
            if (this != &other) {
                closeHandle();
                handle = std::exchange(other.handle, NoSocket);
            }
            return *this;
        }
        ~Socket() { closeHandle(); }
        explicit operator bool() const { return handle != NoSocket; }

    private:
        void closeHandle() {
            if (handle == NoSocket) return;
#ifdef _WIN32
            closesocket(handle);
#else
            close(handle);
#endif
        }
    };

    // A socket that programs the tests start do not inherit.
    static Native openSocket(int type) {
#ifdef _WIN32
        return WSASocketW(AF_INET, type, 0, nullptr, 0, WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
#else
        return socket(AF_INET, type | SOCK_CLOEXEC, 0);
#endif
    }

    static Native acceptNonBlocking(Native listener) {
#ifdef _WIN32
        const Native accepted = accept(listener, nullptr, nullptr);
        if (accepted == NoSocket) return accepted;
        SetHandleInformation(reinterpret_cast<HANDLE>(accepted), HANDLE_FLAG_INHERIT, 0);
        u_long nonBlocking = 1;
        ioctlsocket(accepted, FIONBIO, &nonBlocking);
        return accepted;
#else
        return accept4(listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
#endif
    }

    static int lastError() {
#ifdef _WIN32
        return WSAGetLastError();
#else
        return errno;
#endif
    }
    // A failed call that is worth repeating as it is.
    static bool interrupted(int error) {
#ifdef _WIN32
        return error == WSAEINTR;
#else
        return error == EINTR;
#endif
    }
    static bool wouldBlock(int error) {
#ifdef _WIN32
        return error == WSAEWOULDBLOCK;
#else
        return error == EAGAIN || error == EWOULDBLOCK;
#endif
    }

    static sockaddr_in loopback(int port) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<std::uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        return address;
    }
    static sockaddr* asGeneric(sockaddr_in& address) {
        return reinterpret_cast<sockaddr*>(&address);
    }

    // 1 when `socket` is ready for `events` (or has failed, which the next call reports), 0
    // after `timeoutMs`, -1 once the server stops. NoSocket just waits.
    int waitFor(Native socket, short events, int timeoutMs) const {
        pollfd watched[2] = {{wake_.handle, POLLIN, 0}, {socket, events, 0}};
        const unsigned count = socket == NoSocket ? 1 : 2;
        for (;;) {
#ifdef _WIN32
            const int ready = WSAPoll(watched, count, timeoutMs);
#else
            const int ready = poll(watched, count, timeoutMs);
#endif
            if (ready < 0 && interrupted(lastError())) continue;
            if (ready < 0 || watched[0].revents != 0) return -1;
            return ready == 0 ? 0 : 1;
        }
    }

    bool sendAll(Native socket, std::string_view data) const {
#ifdef _WIN32
        constexpr int flags = 0;  // Windows raises no signal for a closed connection
#else
        constexpr int flags = MSG_NOSIGNAL;
#endif
        while (!data.empty()) {
            const auto size = static_cast<Length>(std::min<std::size_t>(data.size(), 1 << 20));
            const auto sent = send(socket, data.data(), size, flags);
            if (sent > 0) {
                data.remove_prefix(static_cast<std::size_t>(sent));
            } else if (sent < 0 && interrupted(lastError())) {
                continue;
            } else if (sent < 0 && wouldBlock(lastError())) {
                if (waitFor(socket, POLLOUT, -1) <= 0) return false;
            } else {
                return false;
            }
        }
        return true;
    }

    // Reads what is waiting into `buffer`: the byte count, 0 at the end of the stream, -1 when
    // nothing is waiting yet, -2 after a failure.
    static long receive(Native socket, char* buffer, std::size_t size) {
        const auto got = recv(socket, buffer, static_cast<Length>(size), 0);
        if (got >= 0) return static_cast<long>(got);
        const int error = lastError();
        return interrupted(error) || wouldBlock(error) ? -1 : -2;
    }

    void acceptConnections() {
        while (waitFor(listener_.handle, POLLIN, -1) > 0) {
            Socket connection(acceptNonBlocking(listener_.handle));
            if (!connection) continue;  // interrupted, or a client that gave up before it was taken
            const std::lock_guard lock(mutex_);
            connections_.emplace_back(&LocalHttpServer::serve, this, std::move(connection));
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

    static bool sameName(std::string_view a, std::string_view b) {
        return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                          [](unsigned char x, unsigned char y) { return std::tolower(x) == std::tolower(y); });
    }

    void serve(Socket connection) {
        const Native socket = connection.handle;
        std::string request;
        std::size_t headEnd = std::string::npos;
        while ((headEnd = request.find("\r\n\r\n")) == std::string::npos) {
            if (request.size() > 65536 || waitFor(socket, POLLIN, -1) <= 0) return;
            char buffer[4096];
            const long got = receive(socket, buffer, sizeof buffer);
            if (got == 0 || got == -2) return;
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
            lengthGiven = lengthGiven || sameName(name, "Content-Length");
        }
        if (!lengthGiven) out += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
        out += "Connection: close\r\n\r\n";
        if (!sendAll(socket, out)) return;

        std::string_view body(reply.body);
        body = body.substr(0, std::min(body.size(), reply.stallAfterBytes));
        const std::size_t piece =
            reply.chunkDelayMs > 0 ? std::max<std::size_t>(reply.chunkBytes, 1) : std::max<std::size_t>(body.size(), 1);
        while (!body.empty()) {
            const std::string_view chunk = body.substr(0, piece);
            if (!sendAll(socket, chunk)) return;
            body.remove_prefix(chunk.size());
            if (reply.chunkDelayMs > 0 && waitFor(NoSocket, 0, reply.chunkDelayMs) < 0) return;
        }
        if (reply.stallAfterBytes < reply.body.size()) {
            waitFor(NoSocket, 0, -1);
            return;
        }
        // Closing with the client's bytes still unread would reset the connection and could
        // destroy the end of the reply in flight; so first wait for the client to hang up.
#ifdef _WIN32
        shutdown(socket, SD_SEND);
#else
        shutdown(socket, SHUT_WR);
#endif
        char drain[1024];
        while (waitFor(socket, POLLIN, 2000) > 0) {
            const long got = receive(socket, drain, sizeof drain);
            if (got == 0 || got == -2) break;
        }
    }

    // Declared first: Winsock is started before the sockets are made and ended after they go.
    Sockets sockets_;
    Socket wake_, listener_;
    int port_ = 0;
    std::thread acceptor_;
    mutable std::mutex mutex_;
    std::vector<std::thread> connections_;
    std::map<std::string, Reply> routes_;
    std::map<std::string, int> requestCounts_;
    std::map<std::string, std::string> lastRequests_;
};

}  // namespace orvenna
