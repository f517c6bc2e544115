// The five serial lines: opening them from the settings, the byte primitives and the pace-down.
#pragma once

#include "platform/serial_port.h"
#include "ports/line.h"
#include "state/parsed.h"

#include <optional>
#include <string>
#include <string_view>

namespace kelvora {
struct Kelv;
}

namespace kelvora::ports {

// The port number of a "COMn" text: the number in the two characters after "COM"; std::nullopt
// when the text does not begin with "COM" or is "None".
std::optional<int> portNumber(std::string_view portText);

// The device of port number n: the key "COMn" of the section "Ports" of the settings file, or
// /dev/ttyS(n-1) without one.
std::string portDevice(const std::string& iniPath, int n);

// Line parameters from the settings texts ("9600", "N", "8", "1"); the reason when a text is not
// valid.
Parsed<platform::LineSettings> lineSettings(std::string_view baud, std::string_view parity,
                                            std::string_view bits, std::string_view stopBits);

// "None" 0, "Xon/Xoff" 1, "RTS/CTS" 2, "RTS&XOnXOff" 3; std::nullopt leaves the mode unchanged.
std::optional<platform::Handshaking> handshaking(std::string_view flowText);

// Opens the radio, second radio, rotor and virtual PTT lines the settings name. A line that
// cannot be opened is left closed and named in one message box; the others still open.
void OpenCom(Kelv& k);

// The device name the settings give one of the lines OpenCom opens (a [Ports] name such as a
// /dev/serial/by-id/ link is kept as written); empty when the line is not configured.
std::string configuredDevice(Kelv& k, const platform::SerialPort& port);
// Opens one of the lines OpenCom opens again, as OpenCom does; false with the failure text when
// it did not open (or is no longer configured).
bool reopenLine(Kelv& k, platform::SerialPort& port, std::string& failure);

// Closes MSComm1 to MSComm5, in this order, where open.
void closeAllPorts(Kelv& k);

// Write primitives: hand the whole text to the port at once; a closed port drops it silently.
// A port that fails while writing is reported once in the status line and closed.
void WriteToRtxPort(Kelv& k, std::string_view text);
void WriteToRtxPort2(Kelv& k, std::string_view text);
void WriteToRotorPort(Kelv& k, std::string_view text);
// Bytes as the LastCommand field shows them: text with <CR> and <LF>, or hex when binary.
std::string commandBytesText(std::string_view bytes);

// Every byte waiting on the rotor port (none when it is closed).
std::string ReadFromRotorPort(Kelv& k);

// Waits until more than `seconds` have passed, sleeping in the OS.
void KVRotorPaceDown(Kelv& k, double seconds);

// The lines as protocol procedures use them; the reply time-out is Rotor_timeout.
Line rotorLine(Kelv& k);
Line radioLine(Kelv& k);
Line radio2Line(Kelv& k);

// Reports a lost port in the status line and closes it; true when `port` was lost.
bool checkLost(Kelv& k, platform::SerialPort& port, const char* role);

} // namespace kelvora::ports
