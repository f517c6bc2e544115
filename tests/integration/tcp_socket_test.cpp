// The QTcpSocket connection against listeners on 127.0.0.1: it never blocks the caller, drops
// what a peer that reads nothing cannot take, discards what it receives and notices a closed peer.
#include "platform/qt/qt_tcp_socket.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelvora::platform {
namespace {

// Runs the event loop until `done` holds or the deadline passes.
bool pumpUntil(const std::function<bool()>& done, int ms = 5000) {
    QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// A plain listening socket on 127.0.0.1 with an ephemeral port, and the one peer it accepts.
class Listener {
public:
    explicit Listener(int receiveBuffer = 0) {
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
    ~Listener() { closeAll(); }
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

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

// Milliseconds one call takes.
qint64 timed(const std::function<void()>& call) {
    QElapsedTimer timer;
    timer.start();
    call();
    return timer.elapsed();
}

TEST(QtTcpSocket, ConnectsSendsAndClosesWithoutWaitingForTheEventLoop) {
    Listener listener;
    ASSERT_TRUE(listener.ok);
    QtTcpSocket socket;
    EXPECT_EQ(socket.state(), TcpState::Closed);
    socket.connectToHost("127.0.0.1", listener.portText());
    ASSERT_TRUE(listener.accept());
    ASSERT_TRUE(pumpUntil([&] { return socket.state() == TcpState::Connected; }));

    // The bytes leave in send() itself: the peer sees them with no event loop running.
    ASSERT_TRUE(socket.send("hello"));
    std::string got;
    QDeadlineTimer deadline(5000);
    while (got.size() < 5 && !deadline.hasExpired()) {
        pollfd p{listener.peer, POLLIN, 0};
        if (::poll(&p, 1, 100) == 1) {
            char buffer[16];
            ssize_t n = ::recv(listener.peer, buffer, sizeof buffer, 0);
            got.append(buffer, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        }
    }
    EXPECT_EQ(got, "hello");

    socket.close();
    EXPECT_EQ(socket.state(), TcpState::Closed);
    EXPECT_FALSE(socket.send("late"));
}

TEST(QtTcpSocket, PeerClosingIsNoticedByPolling) {
    Listener listener;
    ASSERT_TRUE(listener.ok);
    QtTcpSocket socket;
    socket.connectToHost("127.0.0.1", listener.portText());
    ASSERT_TRUE(listener.accept());
    ASSERT_TRUE(pumpUntil([&] { return socket.state() == TcpState::Connected; }));
    listener.closeAll();
    // Polling alone, without the event loop, sees the connection end.
    QDeadlineTimer deadline(5000);
    TcpState state = TcpState::Connected;
    while (state == TcpState::Connected && !deadline.hasExpired()) {
        state = socket.state();
    }
    EXPECT_EQ(state, TcpState::Error);
    EXPECT_FALSE(socket.send("gone"));
}

TEST(QtTcpSocket, RefusedConnectionEndsInTheErrorState) {
    int port = 0;
    {
        Listener closed; // take a free port, then stop listening on it
        ASSERT_TRUE(closed.ok);
        port = closed.port;
    }
    QtTcpSocket socket;
    socket.connectToHost("127.0.0.1", std::to_string(port));
    EXPECT_TRUE(pumpUntil([&] { return socket.state() == TcpState::Error; }));
    EXPECT_FALSE(socket.send("x"));
    socket.close();
    EXPECT_EQ(socket.state(), TcpState::Closed);
}

TEST(QtTcpSocket, PortTextMustBeAPortNumber) {
    struct Case {
        const char* text;
        std::optional<quint16> port;
    };
    for (const Case& c : std::vector<Case>{{"49812", 49812},
                                           {" 49812 ", 49812},
                                           {"1", 1},
                                           {"65535", 65535},
                                           {"0", std::nullopt},
                                           {"65536", std::nullopt},
                                           {"", std::nullopt},
                                           {"abc", std::nullopt},
                                           {"4981x", std::nullopt},
                                           {"-1", std::nullopt},
                                           {"49812.5", std::nullopt}}) {
        EXPECT_EQ(QtTcpSocket::portNumber(c.text), c.port) << '"' << c.text << '"';
    }
    QtTcpSocket socket;
    socket.connectToHost("127.0.0.1", "abc");
    EXPECT_EQ(socket.state(), TcpState::Error); // the attempt failed at once
}

TEST(QtTcpSocket, HostsThatNeverAnswerDoNotBlock) {
    // A name that cannot resolve, and an address that is never routed (packets are dropped).
    for (const char* host : {"kelvora-no-such-host.invalid", "192.0.2.1"}) {
        SCOPED_TRACE(host);
        QtTcpSocket socket;
        EXPECT_LT(timed([&] { socket.connectToHost(host, "49812"); }), 200);
        QDeadlineTimer deadline(300);
        while (!deadline.hasExpired()) {
            TcpState state = TcpState::Closed;
            EXPECT_LT(timed([&] { state = socket.state(); }), 100);
            EXPECT_NE(state, TcpState::Connected);
            EXPECT_FALSE(socket.send("x"));
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        EXPECT_LT(timed([&] { socket.close(); }), 100);
    }
}

TEST(QtTcpSocket, PeerThatNeverReadsGetsDropsNotWaits) {
    Listener listener(4096);
    ASSERT_TRUE(listener.ok);
    QtTcpSocket socket;
    socket.connectToHost("127.0.0.1", listener.portText());
    ASSERT_TRUE(listener.accept());
    ASSERT_TRUE(pumpUntil([&] { return socket.state() == TcpState::Connected; }));
    const std::string chunk(64 * 1024, 'x');
    bool dropped = false;
    qint64 slowest = 0;
    for (int i = 0; i < 4000 && !dropped; ++i) {
        bool sent = true;
        slowest = std::max(slowest, timed([&] { sent = socket.send(chunk); }));
        dropped = !sent;
    }
    EXPECT_TRUE(dropped);
    EXPECT_LT(slowest, 100);
    EXPECT_EQ(socket.state(), TcpState::Connected); // dropping is not a failure of the link
}

TEST(QtTcpSocket, IncomingBytesAreReadAndDiscarded) {
    Listener listener;
    ASSERT_TRUE(listener.ok);
    QtTcpSocket socket;
    socket.connectToHost("127.0.0.1", listener.portText());
    ASSERT_TRUE(listener.accept());
    ASSERT_TRUE(pumpUntil([&] { return socket.state() == TcpState::Connected; }));
    // Far more than the system buffers hold: the peer can only write it all if the socket
    // keeps reading. Polling state() is the only thing that reads here.
    const std::size_t total = 32u * 1024 * 1024;
    const std::string chunk(64 * 1024, 'y');
    std::size_t written = 0;
    QDeadlineTimer deadline(20000);
    while (written < total && !deadline.hasExpired()) {
        ssize_t n = ::send(listener.peer, chunk.data(), chunk.size(), MSG_NOSIGNAL);
        if (n > 0) {
            written += static_cast<std::size_t>(n);
        }
        socket.state();
    }
    EXPECT_GE(written, total);
    EXPECT_EQ(socket.state(), TcpState::Connected);
}

} // namespace
} // namespace kelvora::platform
