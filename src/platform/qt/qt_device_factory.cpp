#include "platform/qt/qt_device_factory.h"

#include "platform/qt/qt_tcp_server.h"
#include "platform/qt/qt_tcp_socket.h"
#include "platform/qt/qt_udp_socket.h"

namespace kelvora::platform {

std::unique_ptr<TcpSocket> QtDeviceFactory::makeTcpSocket() {
    return std::make_unique<QtTcpSocket>();
}

std::unique_ptr<TcpServer> QtDeviceFactory::makeTcpServer() {
    return std::make_unique<QtTcpServer>();
}

std::unique_ptr<UdpSocket> QtDeviceFactory::makeUdpSocket() {
    return std::make_unique<QtUdpSocket>();
}

} // namespace kelvora::platform
