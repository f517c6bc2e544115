// QTcpServer used by polling: zero waits only, bounded output per client.
#include "platform/qt/qt_tcp_server.h"

#include <QHostAddress>

namespace kelvora::platform {

QtTcpServer::~QtTcpServer() {
    close();
}

bool QtTcpServer::listen(const std::string& address, std::uint16_t port, std::string& error) {
    close();
    QHostAddress host;
    if (!host.setAddress(QString::fromStdString(address))) {
        error = "\"" + address + "\" is not a numeric address";
        return false;
    }
    if (!m_server.listen(host, port)) {
        error = m_server.errorString().toStdString();
        return false;
    }
    return true;
}

void QtTcpServer::close() {
    for (auto& [id, socket] : m_clients) {
        socket->abort();
    }
    m_clients.clear();
    m_server.close();
}

std::vector<TcpClientId> QtTcpServer::accept() {
    std::vector<TcpClientId> ids;
    if (!m_server.isListening()) {
        return ids;
    }
    // A zero wait takes connections the event loop has not delivered yet.
    m_server.waitForNewConnection(0);
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        socket->setParent(nullptr); // owned here, not by the server
        TcpClientId id = m_next++;
        m_clients.emplace(id, std::unique_ptr<QTcpSocket>(socket));
        ids.push_back(id);
    }
    return ids;
}

QTcpSocket* QtTcpServer::find(TcpClientId client) {
    auto it = m_clients.find(client);
    return it == m_clients.end() ? nullptr : it->second.get();
}

std::string QtTcpServer::read(TcpClientId client, std::size_t maxBytes) {
    QTcpSocket* socket = find(client);
    if (!socket || maxBytes == 0 || socket->state() != QAbstractSocket::ConnectedState) {
        return {};
    }
    if (socket->bytesAvailable() == 0) {
        socket->waitForReadyRead(0); // takes what arrived, sees a close, writes what is queued
    }
    QByteArray bytes = socket->read(static_cast<qint64>(maxBytes));
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool QtTcpServer::write(TcpClientId client, std::string_view bytes) {
    QTcpSocket* socket = find(client);
    if (!socket || socket->state() != QAbstractSocket::ConnectedState) {
        return false;
    }
    if (static_cast<std::size_t>(socket->bytesToWrite()) + bytes.size() > kMaxQueued) {
        return false;
    }
    qint64 size = static_cast<qint64>(bytes.size());
    if (socket->write(bytes.data(), size) != size) {
        return false;
    }
    socket->flush(); // hands the bytes to the system now; never blocks
    return true;
}

std::size_t QtTcpServer::queued(TcpClientId client) {
    QTcpSocket* socket = find(client);
    return socket ? static_cast<std::size_t>(socket->bytesToWrite()) : 0;
}

bool QtTcpServer::isOpen(TcpClientId client) {
    QTcpSocket* socket = find(client);
    return socket && socket->state() == QAbstractSocket::ConnectedState;
}

std::string QtTcpServer::peer(TcpClientId client) {
    QTcpSocket* socket = find(client);
    if (socket == nullptr) {
        return {};
    }
    return socket->peerAddress().toString().toStdString() + ":" +
           std::to_string(socket->peerPort());
}

void QtTcpServer::disconnect(TcpClientId client) {
    auto it = m_clients.find(client);
    if (it == m_clients.end()) {
        return;
    }
    it->second->flush();
    it->second->abort();
    m_clients.erase(it);
}

} // namespace kelvora::platform
