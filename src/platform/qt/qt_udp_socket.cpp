#include "platform/qt/qt_udp_socket.h"

#include <QNetworkDatagram>

namespace kelvora::platform {

namespace {

QHostAddress hostAddress(const std::string& address) {
    return address == "localhost" ? QHostAddress(QHostAddress::LocalHost)
                                  : QHostAddress(QString::fromStdString(address));
}

} // namespace

bool QtUdpSocket::bind(const std::string& address, std::uint16_t port, std::string& error) {
    close();
    QHostAddress host = hostAddress(address);
    if (host.isNull()) {
        error = "\"" + address + "\" is not a numeric address";
        return false;
    }
    // Shared, so that a logger or a second listener can read the same stream beside us.
    constexpr auto kShared = QAbstractSocket::ShareAddress | QAbstractSocket::ReuseAddressHint;
    bool multicast = host.isMulticast();
    QHostAddress any = host.protocol() == QAbstractSocket::IPv6Protocol
                           ? QHostAddress(QHostAddress::AnyIPv6)
                           : QHostAddress(QHostAddress::AnyIPv4);
    if (!m_socket.bind(multicast ? any : host, port, kShared)) {
        error = m_socket.errorString().toStdString();
        return false;
    }
    if (multicast && !m_socket.joinMulticastGroup(host)) {
        error = "cannot join " + address + ": " + m_socket.errorString().toStdString();
        m_socket.close();
        return false;
    }
    return true;
}

void QtUdpSocket::close() {
    m_socket.close();
}

std::uint16_t QtUdpSocket::localPort() const {
    return m_socket.localPort();
}

std::optional<UdpDatagram> QtUdpSocket::receive() {
    if (m_socket.state() != QAbstractSocket::BoundState || !m_socket.hasPendingDatagrams()) {
        return std::nullopt;
    }
    // A bound on the size spares the system call that would ask for it first; WSJT-X's
    // messages are far smaller, and a longer datagram is cut and then refused by the reader.
    constexpr qint64 kMaxDatagram = 8192;
    QNetworkDatagram d = m_socket.receiveDatagram(kMaxDatagram);
    if (!d.isValid()) {
        return std::nullopt;
    }
    QHostAddress sender = d.senderAddress();
    // An IPv4 sender on a dual-stack socket reads as ::ffff:a.b.c.d; answer it as a.b.c.d.
    bool ok = false;
    quint32 v4 = sender.toIPv4Address(&ok);
    if (ok) {
        sender = QHostAddress(v4);
    }
    QByteArray data = d.data();
    return UdpDatagram{std::string(data.constData(), static_cast<std::size_t>(data.size())),
                       sender.toString().toStdString(), static_cast<std::uint16_t>(d.senderPort())};
}

bool QtUdpSocket::send(std::string_view bytes, const std::string& address, std::uint16_t port) {
    if (m_socket.state() != QAbstractSocket::BoundState) {
        return false;
    }
    qint64 size = static_cast<qint64>(bytes.size());
    return m_socket.writeDatagram(bytes.data(), size, hostAddress(address), port) == size;
}

} // namespace kelvora::platform
