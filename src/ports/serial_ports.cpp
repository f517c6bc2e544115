// Opening the serial lines from the settings, and the byte primitives every protocol uses.
#include "ports/serial_ports.h"

#include "config/ini_file.h"
#include "config/settings.h"
#include "state/kelv.h"
#include "state/numbers.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

namespace kelvora::ports {

std::optional<int> portNumber(std::string_view portText) {
    if (portText.substr(0, 3) != "COM" || portText == "None") {
        return std::nullopt;
    }
    int n = static_cast<int>(numbers::leadingNumber(portText.substr(3, 2)));
    if (n < 1 || n > 99) {
        return std::nullopt;
    }
    return n;
}

std::string portDevice(const std::string& iniPath, int n) {
    std::string mapped = config::ReadStringIni("Ports", "COM" + std::to_string(n), iniPath);
    if (!mapped.empty()) {
        return mapped;
    }
    return "/dev/ttyS" + std::to_string(n - 1);
}

Parsed<platform::LineSettings> lineSettings(std::string_view baud, std::string_view parity,
                                            std::string_view bits, std::string_view stopBits) {
    auto fail = [](std::string why) {
        return parseFailure<platform::LineSettings>(std::move(why));
    };
    platform::LineSettings line;
    std::optional<double> b = numbers::strictNumber(baud);
    std::optional<double> d = numbers::strictNumber(bits);
    std::optional<double> s = numbers::strictNumber(stopBits);
    if (!b || *b < 50 || *b > 4000000 || *b != std::floor(*b)) {
        return fail("invalid baud rate \"" + std::string(baud) + "\"");
    }
    line.baud = static_cast<int>(*b);
    char p = parity.size() == 1 ? static_cast<char>(std::toupper(parity[0])) : '?';
    if (p != 'E' && p != 'N' && p != 'O') {
        return fail("invalid parity \"" + std::string(parity) + "\"");
    }
    line.parity = p;
    if (!d || *d < 4 || *d > 8 || *d != std::floor(*d)) {
        return fail("invalid data bits \"" + std::string(bits) + "\"");
    }
    line.dataBits = static_cast<int>(*d);
    if (!s || (*s != 1 && *s != 2)) {
        return fail("invalid stop bits \"" + std::string(stopBits) + "\"");
    }
    line.stopBits = static_cast<int>(*s);
    return {line, {}};
}

std::optional<platform::Handshaking> handshaking(std::string_view flowText) {
    if (flowText == "None") {
        return platform::Handshaking::None;
    }
    if (flowText == "Xon/Xoff") {
        return platform::Handshaking::XonXoff;
    }
    if (flowText == "RTS/CTS") {
        return platform::Handshaking::RtsCts;
    }
    if (flowText == "RTS&XOnXOff") {
        return platform::Handshaking::RtsCtsXonXoff;
    }
    return std::nullopt;
}

namespace {

struct OpenRequest {
    platform::SerialPort& port;
    const char* setting;
    std::string portText;
    bool deviceConfigured;
    std::string baud, parity, bits, stopBits;
    bool setModes; // read mode and handshaking; the virtual PTT line gets neither
};

// Opens one line; returns the failure text for the message, empty on success or when the line
// is not configured. `device` receives the device name the settings give, when they give one.
std::string openOne(Kelv& k, const OpenRequest& r, std::string& device) {
    if (!r.deviceConfigured) {
        return {};
    }
    std::optional<int> n = portNumber(r.portText);
    if (!n) {
        // "None" and an empty text leave the line unconfigured; any other text is a fault of the
        // settings file the operator must hear about.
        if (r.portText.empty() || r.portText == "None") {
            return {};
        }
        return std::string(r.setting) + " " + r.portText + ": not a COM port number";
    }
    device = portDevice(k.iniPath(), *n);
    Parsed<platform::LineSettings> line = lineSettings(r.baud, r.parity, r.bits, r.stopBits);
    std::string reason = line.error;
    if (line && r.port.open(device, *line.value, false, reason)) {
        if (r.setModes) {
            if (std::optional<platform::Handshaking> mode =
                    handshaking(k.settings().Contollo_Flusso)) {
                r.port.setHandshaking(*mode);
            }
        }
        return {};
    }
    return std::string(r.setting) + " " + r.portText + " (" + device + "): " + reason;
}

std::vector<OpenRequest> openRequests(Kelv& k) {
    config::Settings& s = k.settings();
    // Start learned from the rows which devices are on serial lines (not "None", not network).
    bool radio = k.rs.devices.radioLine;
    bool rotor = k.rs.devices.rotorLine;
    return {
        {k.MSComm1, "RtxPort", s.RtxPort, radio, s.RtxBaud, s.Parity, s.Bits, s.StopBit, true},
        {k.MSComm5, "RtxPort2", s.RtxPort2, radio, s.RtxBaud, s.Parity, s.Bits, s.StopBit, true},
        {k.MSComm2, "RotorPort", s.RotorPort, rotor, s.RotorBaud, s.RotorParity, s.RotorBits,
         s.RotorStopbit, true},
        {k.MSComm3, "Virtual_PTT", s.Virtual_PTT, true, "19200", "n", "8", "1", false},
    };
}

} // namespace

std::string configuredDevice(Kelv& k, const platform::SerialPort& port) {
    for (const OpenRequest& r : openRequests(k)) {
        if (&r.port == &port && r.deviceConfigured) {
            std::optional<int> n = portNumber(r.portText);
            return n ? portDevice(k.iniPath(), *n) : std::string();
        }
    }
    return {};
}

bool reopenLine(Kelv& k, platform::SerialPort& port, std::string& failure) {
    for (const OpenRequest& r : openRequests(k)) {
        if (&r.port == &port) {
            std::string device;
            failure = openOne(k, r, device);
            return failure.empty() && port.isOpen();
        }
    }
    failure = "not a line that is opened at Start";
    return false;
}

void OpenCom(Kelv& k) {
    std::vector<OpenRequest> requests = openRequests(k);
    std::string failures;
    for (const OpenRequest& request : requests) {
        std::string device;
        std::string failure = openOne(k, request, device);
        if (!failure.empty()) {
            failures += (failures.empty() ? "" : "\n") + failure;
        }
    }
    if (!failures.empty()) {
        k.dialogs.messageBox("Cannot open serial port:\n" + failures +
                             "\n\nTracking goes on without it.");
    }
}

void closeAllPorts(Kelv& k) {
    for (platform::SerialPort* port :
         {&k.MSComm1, &k.MSComm2, &k.MSComm3, &k.MSComm4, &k.MSComm5}) {
        if (port->isOpen()) {
            port->close();
        }
    }
}

Line rotorLine(Kelv& k) {
    return Line{k.MSComm2, k.clock, "Rotor", k.ui.RotorAZ.caption, k.rs.Rotor_timeout};
}
Line radioLine(Kelv& k) {
    return Line{k.MSComm1, k.clock, "Radio", k.ui.RotorAZ.caption, k.rs.Rotor_timeout};
}
Line radio2Line(Kelv& k) {
    return Line{k.MSComm5, k.clock, "Radio 2", k.ui.RotorAZ.caption, k.rs.Rotor_timeout};
}

bool checkLost(Kelv& k, platform::SerialPort& port, const char* role) {
    Line line{port, k.clock, role, k.ui.RotorAZ.caption};
    return reportIfLost(line);
}

std::string commandBytesText(std::string_view bytes) {
    bool binary = std::any_of(bytes.begin(), bytes.end(), [](char c) {
        auto b = static_cast<unsigned char>(c);
        return (b < 0x20 && b != '\r' && b != '\n') || b >= 0x7F;
    });
    std::string out;
    for (char c : bytes) {
        auto b = static_cast<unsigned char>(c);
        if (binary) {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%02X ", b);
            out += hex;
        } else if (c == '\r' || c == '\n') {
            out += c == '\r' ? "<CR>" : "<LF>";
        } else {
            out += c;
        }
    }
    if (binary && !out.empty()) {
        out.pop_back();
    }
    return out;
}

namespace {

// The last command's bytes, shown apart from the state line; the trace keeps them all.
void showCommand(Kelv& k, const Line& line, std::string_view bytes) {
    if (!line.port.isOpen()) {
        return;
    }
    // A command sent in pieces (GS-232's "C2" and then CR) is shown whole.
    std::string& shown = k.ui.LastCommand.caption;
    std::string prefix = std::string(line.role) + ": ";
    bool endOnly = bytes.find_first_not_of("\r\n") == std::string_view::npos;
    if (endOnly && shown.starts_with(prefix) && !shown.ends_with(">")) {
        shown += commandBytesText(bytes);
    } else {
        shown = prefix + commandBytesText(bytes);
    }
}

} // namespace

void WriteToRtxPort(Kelv& k, std::string_view text) {
    Line line = radioLine(k);
    showCommand(k, line, text);
    write(line, text);
}
void WriteToRtxPort2(Kelv& k, std::string_view text) {
    Line line = radio2Line(k);
    showCommand(k, line, text);
    write(line, text);
}
void WriteToRotorPort(Kelv& k, std::string_view text) {
    Line line = rotorLine(k);
    showCommand(k, line, text);
    write(line, text);
}

std::string ReadFromRotorPort(Kelv& k) {
    Line line = rotorLine(k);
    return readAll(line);
}

void KVRotorPaceDown(Kelv& k, double seconds) {
    paceDown(k.clock, seconds);
}

} // namespace kelvora::ports
