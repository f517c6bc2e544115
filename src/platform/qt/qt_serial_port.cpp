// QSerialPort driven without the event loop, so protocol waits never run window events.
#include "platform/qt/qt_serial_port.h"

#include <optional>
#include <poll.h>
#include <termios.h>

namespace kelvora::platform {

namespace {

std::optional<QSerialPort::DataBits> dataBits(int bits) {
    switch (bits) {
    case 5:
        return QSerialPort::Data5;
    case 6:
        return QSerialPort::Data6;
    case 7:
        return QSerialPort::Data7;
    case 8:
        return QSerialPort::Data8;
    default:
        return std::nullopt;
    }
}

QSerialPort::Parity parity(char p) {
    switch (p) {
    case 'E':
    case 'e':
        return QSerialPort::EvenParity;
    case 'O':
    case 'o':
        return QSerialPort::OddParity;
    default:
        return QSerialPort::NoParity;
    }
}

} // namespace

QtSerialPort::QtSerialPort() {
    // A line whose other end went away keeps its descriptor readable: Qt's read notifier then
    // wakes the event loop again and again, each time reading nothing. The port is closed as soon
    // as that is seen, which also ends the notifier.
    QObject::connect(&m_port, &QSerialPort::errorOccurred, &m_port,
                     [this](QSerialPort::SerialPortError error) { checkSoon(error); });
}

void QtSerialPort::checkSoon(QSerialPort::SerialPortError error) {
    if (error == QSerialPort::NoError || m_checkQueued) {
        return;
    }
    m_checkQueued = true;
    // Not from inside the notifier's own call: closing the port deletes the notifier.
    QMetaObject::invokeMethod(
        &m_port,
        [this] {
            m_checkQueued = false;
            if (m_port.isOpen()) {
                checkResource();
            }
            if (!m_lost.empty() && onLost) {
                onLost();
            }
        },
        Qt::QueuedConnection);
}

QtSerialPort::~QtSerialPort() {
    close();
}

bool QtSerialPort::open(const std::string& device, const LineSettings& line, bool rtsOnOpen,
                        std::string& error) {
    close();
    m_lost.clear();
    m_device = device;
    std::optional<QSerialPort::DataBits> bits = dataBits(line.dataBits);
    if (!bits) {
        error = std::to_string(line.dataBits) + " data bits are not supported on this system";
        return false;
    }
    m_port.setPortName(QString::fromStdString(device));
    m_port.setBaudRate(line.baud);
    m_port.setDataBits(*bits);
    m_port.setParity(parity(line.parity));
    m_port.setStopBits(line.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop);
    m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port.open(QIODevice::ReadWrite)) {
        error = m_port.errorString().toStdString();
        m_port.clearError();
        return false;
    }
    // Opening a line raises RTS on most systems; set it the way the caller asks for.
    m_port.setRequestToSend(rtsOnOpen);
    return true;
}

void QtSerialPort::close() {
    if (m_port.isOpen()) {
        m_port.close();
    }
    m_port.clearError();
    m_lost.clear(); // the loss has been dealt with; the port is simply closed now
}

bool QtSerialPort::isOpen() const {
    return m_port.isOpen() && m_lost.empty();
}

void QtSerialPort::setHandshaking(Handshaking mode) {
    if (!isOpen()) {
        return;
    }
    switch (mode) {
    case Handshaking::None:
        m_port.setFlowControl(QSerialPort::NoFlowControl);
        break;
    case Handshaking::XonXoff:
        m_port.setFlowControl(QSerialPort::SoftwareControl);
        break;
    case Handshaking::RtsCts:
        m_port.setFlowControl(QSerialPort::HardwareControl);
        break;
    case Handshaking::RtsCtsXonXoff: {
        // Qt offers one flow control at a time; add XON/XOFF to RTS/CTS on the descriptor.
        m_port.setFlowControl(QSerialPort::HardwareControl);
        termios tio{};
        int fd = static_cast<int>(m_port.handle());
        if (fd >= 0 && ::tcgetattr(fd, &tio) == 0) {
            tio.c_iflag |= IXON | IXOFF;
            ::tcsetattr(fd, TCSANOW, &tio);
        }
        break;
    }
    }
}

bool QtSerialPort::hungUp() {
    pollfd p{static_cast<int>(m_port.handle()), POLLIN, 0};
    return p.fd >= 0 && ::poll(&p, 1, 0) == 1 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
}

bool QtSerialPort::checkResource() {
    if (!m_lost.empty()) {
        return true;
    }
    QSerialPort::SerialPortError e = m_port.error();
    if (e == QSerialPort::ResourceError || e == QSerialPort::DeviceNotFoundError ||
        e == QSerialPort::PermissionError) {
        m_lost = m_device + ": " + m_port.errorString().toStdString();
        m_port.close();
        return true;
    }
    if (e == QSerialPort::ReadError && hungUp()) {
        // A line whose other end went away reads as end of file, which Qt reports as a plain
        // read error; left alone, every wait would return at once and spin.
        m_lost = m_device + ": the device hung up";
        m_port.close();
        return true;
    }
    if (e != QSerialPort::NoError) {
        m_port.clearError();
    }
    return false;
}

bool QtSerialPort::write(std::string_view bytes) {
    if (!isOpen()) {
        return false;
    }
    if (m_port.write(bytes.data(), static_cast<qint64>(bytes.size())) < 0) {
        checkResource();
        return false;
    }
    // Push the bytes to the device now, not on a later turn of the event loop.
    while (m_port.bytesToWrite() > 0) {
        if (!m_port.waitForBytesWritten(kWriteTimeoutMs)) {
            if (!checkResource()) {
                m_lost = m_device + ": the port takes no more output";
                m_port.close();
            }
            return false;
        }
    }
    return true;
}

std::size_t QtSerialPort::bytesWaiting() {
    if (!isOpen()) {
        return 0;
    }
    // Bytes reach Qt's buffer only when something reads the descriptor.
    m_port.waitForReadyRead(0);
    checkResource();
    return isOpen() ? static_cast<std::size_t>(m_port.bytesAvailable()) : 0;
}

std::string QtSerialPort::readAll() {
    if (!isOpen()) {
        return {};
    }
    m_port.waitForReadyRead(0);
    QByteArray bytes = m_port.readAll();
    checkResource();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool QtSerialPort::waitForInput(double seconds) {
    if (!isOpen()) {
        return false;
    }
    if (m_port.bytesAvailable() > 0) {
        return true;
    }
    int ms = seconds <= 0 ? 0 : static_cast<int>(seconds * 1000.0 + 0.999);
    bool ready = m_port.waitForReadyRead(ms);
    checkResource();
    return ready && isOpen();
}

bool QtSerialPort::dsr() {
    if (!isOpen()) {
        return false;
    }
    return (m_port.pinoutSignals() & QSerialPort::DataSetReadySignal) != 0;
}

void QtSerialPort::setRts(bool on) {
    if (isOpen()) {
        m_port.setRequestToSend(on);
    }
}

void QtSerialPort::setDtr(bool on) {
    if (isOpen()) {
        m_port.setDataTerminalReady(on);
    }
}

} // namespace kelvora::platform
