// The QTcpSocket connection against listeners on 127.0.0.1: it never blocks the caller, drops
// what a peer that reads nothing cannot take, discards what it receives and notices a closed peer.
#include "integration/loopback_listener.h"
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

using Listener = kelvora::testkit::LoopbackListener;
using kelvora::testkit::pumpUntil;

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
        // Bounds a loaded machine keeps; a blocking resolve or connect takes many seconds.
        EXPECT_LT(timed([&] { socket.connectToHost(host, "49812"); }), 1000);
        QDeadlineTimer deadline(300);
        while (!deadline.hasExpired()) {
            TcpState state = TcpState::Closed;
            EXPECT_LT(timed([&] { state = socket.state(); }), 1000);
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
