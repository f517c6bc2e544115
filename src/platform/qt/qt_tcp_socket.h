// The TCP client connection on QTcpSocket, polled by the logic and never waited on.
#pragma once

#include "platform/tcp_socket.h"

#include <QTcpSocket>

#include <optional>

namespace kelvora::platform {

// Responsibilities:
// - Host lookup and connecting run in the background (Qt's lookup thread and the socket
//   notifiers of the event loop the tick runs in); no call here waits for them.
// - state(), send() and receive() also move a connected socket on by themselves: they read
//   incoming bytes (keeping at most kMaxReceivedBytes for receive(), discarding the rest), notice
//   a peer that went away and push queued bytes out, without blocking.
// - send() drops a message while more than kMaxQueuedBytes wait to leave, so a peer that
//   accepts but never reads cannot make the program wait or grow without bound.
class QtTcpSocket : public TcpSocket {
public:
    QtTcpSocket();
    ~QtTcpSocket() override;

    void close() override;
    void connectToHost(const std::string& host, const std::string& port) override;
    TcpState state() override;
    bool send(std::string_view bytes) override;
    std::string receive() override;

    static constexpr qint64 kMaxQueuedBytes = 4096;
    static constexpr std::size_t kMaxReceivedBytes = 4096;

    // The port number of a port text: a whole number 1 to 65535, blanks around it allowed.
    static std::optional<quint16> portNumber(const std::string& port);

private:
    // Reads what arrived, notices a closed peer, writes what is queued.
    void poll();
    // Moves what arrived into m_received, discarding what does not fit.
    void takeIncoming();

    QTcpSocket m_socket;
    // Set by connectToHost, cleared by close: a socket that is unconnected after an attempt
    // reports the error state, as one that was never asked to connect reports closed.
    bool m_attempted = false;
    std::string m_received;
};

} // namespace kelvora::platform
