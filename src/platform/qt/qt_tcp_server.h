// The TCP listener on QTcpServer and QTcpSocket, polled from the tick and never waited on.
#pragma once

#include "platform/tcp_server.h"

#include <QTcpServer>
#include <QTcpSocket>

#include <map>
#include <memory>

namespace kelvora::platform {

// Responsibilities:
// - accept() and read() look at the sockets without waiting (a zero wait, as QtTcpSocket does),
//   so they work from the tick whether or not the event loop has run since.
// - write() queues at most kMaxQueued bytes per client and pushes them out without blocking.
class QtTcpServer : public TcpServer {
public:
    QtTcpServer() = default;
    ~QtTcpServer() override;

    bool listen(const std::string& address, std::uint16_t port, std::string& error) override;
    void close() override;
    bool isListening() const override { return m_server.isListening(); }
    std::uint16_t port() const override { return m_server.serverPort(); }
    std::vector<TcpClientId> accept() override;
    std::string read(TcpClientId client, std::size_t maxBytes) override;
    bool write(TcpClientId client, std::string_view bytes) override;
    std::size_t queued(TcpClientId client) override;
    bool isOpen(TcpClientId client) override;
    void disconnect(TcpClientId client) override;
    std::string peer(TcpClientId client) override;

private:
    QTcpSocket* find(TcpClientId client);

    QTcpServer m_server;
    std::map<TcpClientId, std::unique_ptr<QTcpSocket>> m_clients;
    TcpClientId m_next = 1;
};

} // namespace kelvora::platform
