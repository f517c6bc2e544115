// The serial line on QSerialPort, used synchronously: writes go out at once, waits block in poll.
#pragma once

#include "platform/serial_port.h"

#include <QSerialPort>

#include <functional>

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

    // Runs from the event loop when the port found on its own that its device went away (the
    // port is closed by then and lostReason() says why), so the loss is reported at once.
    std::function<void()> onLost;

private:
    // An error seen by Qt's read notifier, in the event loop: checked once it has returned.
    void checkSoon(QSerialPort::SerialPortError error);
    // Turns a resource error (device gone, hang-up) into the lost state.
    bool checkResource();
    // The descriptor reports a hang-up (the other end of the line is gone).
    bool hungUp();

    QSerialPort m_port;
    std::string m_device;
    std::string m_lost;
    bool m_checkQueued = false;
};

} // namespace kelvora::platform
