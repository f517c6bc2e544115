// A serial line as the device protocols see it: open with line settings, write, wait, read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kelvora::platform {

struct LineSettings {
    int baud = 9600;
    char parity = 'N'; // 'E', 'N', 'O' (lower case accepted)
    int dataBits = 8;
    int stopBits = 1;
};

// 0 none, 1 XON/XOFF, 2 RTS/CTS, 3 RTS/CTS and XON/XOFF together.
enum class Handshaking { None = 0, XonXoff = 1, RtsCts = 2, RtsCtsXonXoff = 3 };

// Responsibilities:
// - Bytes written reach the device before write() returns (paced byte-by-byte sending relies on
// it).
// - waitForInput() blocks in the OS, never spins and never runs window events.
// - A device that goes away (USB adapter pulled) turns the port into the lost state: isOpen()
//   answers false from then on, lostReason() tells why, and every call is harmless.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Opens `device` (a path such as /dev/ttyUSB0). On failure returns false and sets `error`.
    // `rtsOnOpen` asserts RTS from the moment the line opens (the real PTT line keys on it).
    virtual bool open(const std::string& device, const LineSettings& line, bool rtsOnOpen,
                      std::string& error) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual void setHandshaking(Handshaking mode) = 0;

    // Returns false when the bytes could not be delivered (the port is then lost or closed).
    virtual bool write(std::string_view bytes) = 0;
    // Number of received bytes waiting to be read.
    virtual std::size_t bytesWaiting() = 0;
    // Returns and removes every waiting byte, one character per byte.
    virtual std::string readAll() = 0;
    // Blocks until input is waiting or `seconds` have passed; true when input is waiting.
    virtual bool waitForInput(double seconds) = 0;

    virtual bool dsr() = 0;
    virtual void setRts(bool on) = 0;
    virtual void setDtr(bool on) = 0;

    // Empty while the port works; the reason once the device was lost, until close().
    virtual std::string lostReason() const = 0;
};

} // namespace kelvora::platform
