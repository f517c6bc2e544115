// QTcpSocket used without waiting: connecting in the background, sends that never block.
#include "platform/qt/qt_tcp_socket.h"

#include "state/numbers.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace kelvora::platform {

QtTcpSocket::QtTcpSocket() {
    QObject::connect(&m_socket, &QIODevice::readyRead, &m_socket, [this] { takeIncoming(); });
}

QtTcpSocket::~QtTcpSocket() {
    m_socket.abort();
}

std::optional<quint16> QtTcpSocket::portNumber(const std::string& port) {
    std::optional<int> value = numbers::portNumber(port);
    return value ? std::optional<quint16>(static_cast<quint16>(*value)) : std::nullopt;
}

void QtTcpSocket::close() {
    m_socket.abort();
    m_attempted = false;
    m_received.clear();
}

void QtTcpSocket::connectToHost(const std::string& host, const std::string& port) {
    m_socket.abort();
    m_attempted = true;
    m_received.clear();
    std::optional<quint16> number = portNumber(port);
    if (!number) {
        return; // nothing to connect to: the attempt has failed at once
    }
    // Returns at once: a host name is looked up in Qt's lookup thread, the connection completes
    // on the socket's notifiers.
    m_socket.connectToHost(QString::fromStdString(host), *number);
}

void QtTcpSocket::poll() {
    if (m_socket.state() != QAbstractSocket::ConnectedState) {
        return;
    }
    // A zero wait only looks at the socket: it takes what arrived, sees the peer's close and
    // writes queued bytes. Its time-out leaves the connection as it is.
    m_socket.waitForReadyRead(0);
    takeIncoming();
}

void QtTcpSocket::takeIncoming() {
    while (m_socket.bytesAvailable() > 0) {
        QByteArray bytes = m_socket.readAll();
        std::size_t keep = std::min<std::size_t>(static_cast<std::size_t>(bytes.size()),
                                                 kMaxReceivedBytes - m_received.size());
        m_received.append(bytes.constData(), keep);
    }
}

std::string QtTcpSocket::receive() {
    poll();
    std::string bytes;
    bytes.swap(m_received);
    return bytes;
}

TcpState QtTcpSocket::state() {
    poll();
    switch (m_socket.state()) {
    case QAbstractSocket::ConnectedState:
        return TcpState::Connected;
    case QAbstractSocket::HostLookupState:
    case QAbstractSocket::ConnectingState:
        return TcpState::Connecting;
    case QAbstractSocket::UnconnectedState:
        return m_attempted ? TcpState::Error : TcpState::Closed;
    default:
        return TcpState::Error; // closing, or a state a client never enters
    }
}

bool QtTcpSocket::send(std::string_view bytes) {
    poll();
    if (m_socket.state() != QAbstractSocket::ConnectedState) {
        return false;
    }
    if (m_socket.bytesToWrite() > kMaxQueuedBytes) {
        return false; // the peer takes nothing now: drop rather than queue without end
    }
    qint64 size = static_cast<qint64>(bytes.size());
    if (m_socket.write(bytes.data(), size) != size) {
        return false;
    }
    // Hand the bytes to the system now; flush() never blocks.
    m_socket.flush();
    return true;
}

} // namespace kelvora::platform
