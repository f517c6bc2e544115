// A plain TCP listener on 127.0.0.1 with an ephemeral port, and the one peer it accepts, for the
// tests of the TCP connection and the Linrad link.
#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>

namespace kelvora::testkit {

// Runs the event loop until `done` holds or the deadline passes.
inline bool pumpUntil(const std::function<bool()>& done, int ms = 30000) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

class LoopbackListener {
public:
    explicit LoopbackListener(int receiveBuffer = 0) {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (receiveBuffer > 0) {
            ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
        }
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ok = ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), length) == 0 &&
             ::listen(m_fd, 4) == 0 &&
             ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) == 0;
        port = ntohs(address.sin_port);
    }
    ~LoopbackListener() { closeAll(); }
    LoopbackListener(const LoopbackListener&) = delete;
    LoopbackListener& operator=(const LoopbackListener&) = delete;

    std::string portText() const { return std::to_string(port); }

    bool accept() {
        return pumpUntil([this] {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 0) == 1) {
                peer = ::accept4(m_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
            }
            return peer >= 0;
        });
    }
    // Exactly n bytes from the peer, running the event loop meanwhile; fewer at the deadline.
    std::string read(std::size_t n) {
        std::string bytes;
        pumpUntil([&] {
            char buffer[256];
            ssize_t got = ::recv(peer, buffer, std::min(sizeof buffer, n - bytes.size()), 0);
            if (got > 0) {
                bytes.append(buffer, static_cast<std::size_t>(got));
            }
            return bytes.size() >= n;
        });
        return bytes;
    }
    // Whatever arrived by now, without waiting for more.
    std::string pending() {
        std::string bytes;
        char buffer[256];
        ssize_t got = 0;
        while ((got = ::recv(peer, buffer, sizeof buffer, 0)) > 0) {
            bytes.append(buffer, static_cast<std::size_t>(got));
        }
        return bytes;
    }
    void say(const std::string& bytes) { ::send(peer, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
    void closePeer() {
        if (peer >= 0) {
            ::close(peer);
            peer = -1;
        }
    }
    void closeAll() {
        closePeer();
        if (m_fd >= 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }

    bool ok = false;
    int port = 0;
    int peer = -1;

private:
    int m_fd = -1;
};

} // namespace kelvora::testkit
