// A tiny HTTP server on the loopback address: it accepts connections on its
// own thread, records each request's bytes and lets a test handler answer.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace nettest {

class LoopbackServer {
public:
    struct Connection {
        int fd;
        std::string request;
        const std::atomic<bool>& stopping;

        // Writes all bytes; a client that went away ends the write quietly.
        bool send(std::string_view bytes) const {
            while (!bytes.empty()) {
                ssize_t n = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
                if (n <= 0) return false;
                bytes.remove_prefix(size_t(n));
            }
            return true;
        }
        // Holds the connection open without answering until the server stops.
        void stall() const {
            while (!stopping) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    };
    using Handler = std::function<void(const Connection&)>;

    explicit LoopbackServer(Handler handler) : handler_(std::move(handler)) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        int on = 1;
        ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(listener_, 8);
        socklen_t length = sizeof address;
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { serve(); });
    }

    ~LoopbackServer() {
        stopping_ = true;
        thread_.join();
        ::close(listener_);
    }

    uint16_t port() const { return port_; }
    std::string url(std::string_view pathAndMore) const {
        return "http://127.0.0.1:" + std::to_string(port_) + std::string(pathAndMore);
    }
    std::vector<std::string> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }

    // A response with the given status line, headers (each ending in CR LF) and body.
    static std::string response(std::string_view status, std::string_view headers, std::string_view body) {
        return "HTTP/1.0 " + std::string(status) + "\r\n" + std::string(headers) + "\r\n" + std::string(body);
    }

private:
    void serve() {
        while (!stopping_) {
            pollfd waiting{listener_, POLLIN, 0};
            if (::poll(&waiting, 1, 20) <= 0) continue;
            int fd = ::accept(listener_, nullptr, nullptr);
            if (fd < 0) continue;
            Connection connection{fd, readRequest(fd), stopping_};
            {
                std::lock_guard lock(mutex_);
                requests_.push_back(connection.request);
            }
            handler_(connection);
            ::shutdown(fd, SHUT_RDWR);
            ::close(fd);
        }
    }

    // The bytes up to the blank line after the headers; a TLS client's first
    // record, which never has one, is taken as it comes.
    std::string readRequest(int fd) {
        std::string request;
        char buffer[4096];
        while (request.find("\r\n\r\n") == std::string::npos && !stopping_) {
            pollfd readable{fd, POLLIN, 0};
            if (::poll(&readable, 1, 20) <= 0) continue;
            ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0) break;
            request.append(buffer, size_t(n));
            if (static_cast<unsigned char>(request[0]) == 0x16) break;
        }
        return request;
    }

    Handler handler_;
    int listener_ = -1;
    uint16_t port_ = 0;
    std::atomic<bool> stopping_{false};
    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    std::thread thread_;
};

// A loopback port on which nothing listens.
inline uint16_t closedPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return ntohs(address.sin_port);
}

}  // namespace nettest
