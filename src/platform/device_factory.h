// Makes the connections the device layers open beyond the main window's fixed ports.
#pragma once

#include "platform/serial_port.h"
#include "platform/tcp_server.h"
#include "platform/tcp_socket.h"
#include "platform/udp_socket.h"

#include <memory>

namespace kelvora::platform {

class DeviceFactory {
public:
    virtual ~DeviceFactory() = default;
    virtual std::unique_ptr<TcpSocket> makeTcpSocket() = 0;
    virtual std::unique_ptr<TcpServer> makeTcpServer() = 0;
    virtual std::unique_ptr<UdpSocket> makeUdpSocket() = 0;
};

} // namespace kelvora::platform
