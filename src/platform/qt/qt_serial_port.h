// The serial line on QSerialPort, used synchronously: writes go out at once, waits block in poll.
#pragma once

#include "platform/serial_port.h"

#include <QSerialPort>

namespace kelvora::platform {

class QtSerialPort : public SerialPort {
public:
    QtSerialPort();
    ~QtSerialPort() override;

    bool open(const std::string& device, const LineSettings& line, bool rtsOnOpen,
              std::string& error) override;
    void close() override;
    bool isOpen() const override;
    void setHandshaking(Handshaking mode) override;
    bool write(std::string_view bytes) override;
    std::size_t bytesWaiting() override;
    std::string readAll() override;
    bool waitForInput(double seconds) override;
    bool dsr() override;
    void setRts(bool on) override;
    void setDtr(bool on) override;
    std::string lostReason() const override { return m_lost; }

    // How long one write may take to leave the port before the device counts as lost.
    static constexpr int kWriteTimeoutMs = 2000;

private:
    // Turns a resource error (device gone, hang-up) into the lost state.
    bool checkResource();
    // The descriptor reports a hang-up (the other end of the line is gone).
    bool hungUp();

    QSerialPort m_port;
    std::string m_device;
    std::string m_lost;
};

} // namespace kelvora::platform
