// The simulated rotor controllers' command parsing and answers.
#include "sim/rotor_model.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kelvora::sim {

namespace {

constexpr char kCr = '\r';
constexpr char kStx = 0x02;
constexpr std::size_t kSpidFrame = 13;
constexpr const char* kPrompt = "\r\nKelvora>>";

std::string format(const char* pattern, double a, double b) {
    char text[96];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}

std::string format4(const char* pattern, double a, double b, double c, double d) {
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b, c, d);
    return text;
}

double number(std::string_view text) {
    return std::strtod(std::string(text).c_str(), nullptr);
}

// The digit characters of a SPID angle field as a number, or -1 when one is not a digit.
int spidDigits(std::string_view field) {
    int value = 0;
    for (char c : field) {
        if (c < '0' || c > '9') {
            return -1;
        }
        value = value * 10 + (c - '0');
    }
    return value;
}

} // namespace

std::span<const SimulatedType> simulatedTypes() {
    // One row per rotor type on the rotor line; the simulators cannot see the rotor-type rows.
    static constexpr std::array<SimulatedType, 9> kTypes{{
        {"Kelvora", RotorProtocol::Kelvora},
        {"GS232", RotorProtocol::Gs232},
        {"GS232-qzr", RotorProtocol::Gs232Qzr},
        {"SpidRak(az)", RotorProtocol::SpidRak},
        {"SpidRas(az/el) 1 deg", RotorProtocol::SpidRas},
        {"SpidRas(az/el) 0.5 deg", RotorProtocol::SpidRas},
        {"D-Prosistel", RotorProtocol::Prosistel},
        {"EasyComm", RotorProtocol::EasyComm},
        {"Radant AZV-1", RotorProtocol::Radant},
    }};
    return kTypes;
}

std::optional<RotorProtocol> protocolFor(std::string_view type) {
    for (const SimulatedType& row : simulatedTypes()) {
        if (row.type == type) {
            return row.protocol;
        }
    }
    return std::nullopt;
}

std::string RotorModel::receive(std::string_view bytes) {
    std::string answer;
    for (char c : bytes) {
        if (m_protocol == RotorProtocol::SpidRak || m_protocol == RotorProtocol::SpidRas) {
            if (m_buffer.empty() && c != 'W') {
                continue; // resynchronise on the start byte
            }
            m_buffer += c;
            if (m_buffer.size() == kSpidFrame) {
                answer += frame(m_buffer);
                m_buffer.clear();
            }
            continue;
        }
        if (m_protocol == RotorProtocol::Kelvora && c == '7' && m_buffer.empty()) {
            commands.emplace_back("7"); // host mode takes no CR
            answer += kelvora("7");
            continue;
        }
        if (c == kCr) {
            std::string command;
            command.swap(m_buffer);
            commands.push_back(command);
            answer += line(command);
            continue;
        }
        if (c != '\n') {
            m_buffer += c;
        }
    }
    return answer;
}

std::string RotorModel::line(const std::string& command) {
    switch (m_protocol) {
    case RotorProtocol::Kelvora:
        return kelvora(command);
    case RotorProtocol::Gs232:
    case RotorProtocol::Gs232Qzr:
        return gs232(command);
    case RotorProtocol::EasyComm:
        if (command == "?") {
            return format("AZ%05.1f EL%05.1f\r\n", az, el);
        }
        if (command == "SA SE") {
            ++stops;
        } else if (command.rfind("AZ", 0) == 0 && command.find(" EL") != std::string::npos) {
            moveTo(number(command.substr(2)), number(command.substr(command.find(" EL") + 3)));
        }
        return {};
    case RotorProtocol::Radant:
        if (command == "Y") {
            return format("OK%05.1f %04.1f\r\n", az, el);
        }
        if (command == "S") {
            ++stops;
        } else if (command.size() > 1 && command[0] == 'Q' &&
                   command.find(' ') != std::string::npos) {
            moveTo(number(command.substr(1)), number(command.substr(command.find(' ') + 1)));
        }
        return {};
    case RotorProtocol::Prosistel:
        if (command == std::string(1, kStx) + "A?") {
            return std::string(1, kStx) + format("A,?,%03.0f,R", az, 0) + kCr;
        }
        if (command == std::string(1, kStx) + "AG999") {
            ++stops;
        } else if (command.rfind(std::string(1, kStx) + "AG", 0) == 0) {
            moveTo(number(command.substr(3)), el);
        }
        return {};
    case RotorProtocol::SpidRak:
    case RotorProtocol::SpidRas:
        return {};
    }
    return {};
}

std::string RotorModel::gs232(const std::string& command) {
    if (command == "C2") {
        return format(m_protocol == RotorProtocol::Gs232 ? "AZ=%03.0f  EL=%03.0f\r\n"
                                                         : "AZ=%05.1f  EL=%05.1f\r\n",
                      az, el);
    }
    if (command.size() >= 8 && command[0] == 'W') {
        moveTo(number(command.substr(1, 3)), number(command.substr(5)));
    } else if (command == "S") {
        ++stops;
    }
    return {};
}

std::string RotorModel::kelvora(const std::string& command) {
    if (command == "7") {
        hostMode = true;
    } else if (command == "Q") {
        hostMode = false;
    } else if (command == "?A") {
        return format4("AZ=%.1f/%.1f EL=%.1f/%.1f", az, az, el, el) + kPrompt;
    } else if (command == "HP" || command == "VP") {
        polarity = command[0];
    } else if (command.empty()) {
        ++stops;
    } else if (command.rfind("AZ", 0) == 0 && command.find(" EL") != std::string::npos) {
        moveTo(number(command.substr(2)), number(command.substr(command.find(" EL") + 3)));
    } else {
        return std::string("\r\nError: unknown command") + kPrompt;
    }
    return kPrompt;
}

std::string RotorModel::spidPosition() const {
    std::string out(1, 'W');
    auto digits = [&out](long value, int count) {
        std::string text = std::to_string(value);
        text.insert(0, count - std::min<std::size_t>(text.size(), count), '0');
        for (char c : text) {
            out += static_cast<char>(c - '0');
        }
    };
    if (m_protocol == RotorProtocol::SpidRak) {
        digits(std::lround(az + 360), 3);
    } else {
        digits(std::lround((az + 360) * 10), 4);
        out += static_cast<char>(m_resolution);
        digits(std::lround((el + 360) * 10), 4);
        out += static_cast<char>(m_resolution);
    }
    out += ' ';
    return out;
}

std::string RotorModel::frame(const std::string& bytes) {
    commands.push_back(bytes);
    char command = bytes[11];
    std::string answer = spidPosition(); // the position before this command acts
    if (command == 0x1F) {
        return answer;
    }
    if (command == 0x0F) {
        ++stops;
        return answer;
    }
    if (command == 0x2F) {
        int resolution = bytes[5] == 2 ? 2 : 1;
        int h =
            spidDigits(m_protocol == RotorProtocol::SpidRak ? std::string_view(bytes).substr(1, 3)
                                                            : std::string_view(bytes).substr(1, 4));
        int v = spidDigits(std::string_view(bytes).substr(6, 4));
        if (h < 0 || (m_protocol == RotorProtocol::SpidRas && v < 0)) {
            return {};
        }
        m_resolution = resolution;
        if (m_protocol == RotorProtocol::SpidRak) {
            moveTo(h - 360, el);
        } else {
            moveTo(static_cast<double>(h) / resolution - 360,
                   static_cast<double>(v) / resolution - 360);
        }
        return answer;
    }
    return {};
}

void RotorModel::moveTo(double toAz, double toEl) {
    if (toAz < azLow || toAz > azHigh || toEl < elLow || toEl > elHigh) {
        ++refused;
        return;
    }
    m_targetAz = toAz;
    m_targetEl = toEl;
    if (degreesPerSecond <= 0) {
        az = toAz;
        el = toEl;
    }
}

void RotorModel::advance(double seconds) {
    if (degreesPerSecond <= 0 || seconds <= 0) {
        return;
    }
    double step = degreesPerSecond * seconds;
    auto towards = [step](double from, double to) {
        return std::abs(to - from) <= step ? to : from + std::copysign(step, to - from);
    };
    // Both axes turn at once, each at the full rate, as the motors of a pair do.
    az = towards(az, m_targetAz);
    el = towards(el, m_targetEl);
}

} // namespace kelvora::sim
