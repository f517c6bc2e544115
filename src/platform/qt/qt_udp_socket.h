// The UDP socket on QUdpSocket, polled by the logic and never waited on.
#pragma once

#include "platform/udp_socket.h"

#include <QUdpSocket>

namespace kelvora::platform {

class QtUdpSocket : public UdpSocket {
public:
    bool bind(const std::string& address, std::uint16_t port, std::string& error) override;
    void close() override;
    std::uint16_t localPort() const override;
    std::optional<UdpDatagram> receive() override;
    bool send(std::string_view bytes, const std::string& address, std::uint16_t port) override;

private:
    QUdpSocket m_socket;
};

} // namespace kelvora::platform
