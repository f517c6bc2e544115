// The Qt connections the device layers open beyond the main window's fixed ports.
#pragma once

#include "platform/device_factory.h"

namespace kelvora::platform {

class QtDeviceFactory : public DeviceFactory {
public:
    std::unique_ptr<TcpSocket> makeTcpSocket() override;
    std::unique_ptr<TcpServer> makeTcpServer() override;
    std::unique_ptr<UdpSocket> makeUdpSocket() override;
};

} // namespace kelvora::platform
