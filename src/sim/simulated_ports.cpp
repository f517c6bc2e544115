// The in-program rotor controller and radio.
#include "sim/simulated_ports.h"

namespace kelvora::sim {

bool SimulatedPort::open(const std::string&, const platform::LineSettings&, bool, std::string&) {
    m_open = true;
    m_answer.clear();
    return true;
}

void SimulatedPort::close() {
    m_open = false;
    m_answer.clear();
}

bool SimulatedPort::write(std::string_view bytes) {
    if (!m_open) {
        return false;
    }
    m_answer += answer(bytes);
    return true;
}

std::string SimulatedPort::readAll() {
    std::string out;
    out.swap(m_answer);
    return out;
}

bool SimulatedPort::waitForInput(double seconds) {
    if (!m_answer.empty()) {
        return true;
    }
    if (seconds > 0) {
        m_clock.sleepFor(seconds);
    }
    return false;
}

SimulatedRotorPort::SimulatedRotorPort(platform::Clock& clock, RotorProtocol protocol,
                                       double degreesPerSecond)
    : SimulatedPort(clock), m_model(protocol), m_lastTime(clock.monotonicSeconds()) {
    m_model.degreesPerSecond = degreesPerSecond;
}

void SimulatedRotorPort::turn() {
    double now = m_clock.monotonicSeconds();
    m_model.advance(now - m_lastTime);
    m_lastTime = now;
}

std::string SimulatedRotorPort::answer(std::string_view bytes) {
    turn(); // where the antenna stands by now answers the request
    return m_model.receive(bytes);
}

namespace {

constexpr char kPreamble = static_cast<char>(0xFE);
constexpr char kEnd = static_cast<char>(0xFD);
constexpr char kOk = static_cast<char>(0xFB);
constexpr unsigned char kSetFrequency = 0x05;

// Five bytes of two BCD digits each, the least significant pair first.
long long bcdFrequency(std::string_view digits) {
    long long value = 0;
    for (std::size_t i = digits.size(); i-- > 0;) {
        auto byte = static_cast<unsigned char>(digits[i]);
        value = value * 100 + (byte >> 4) * 10 + (byte & 0x0F);
    }
    return value;
}

} // namespace

std::string SimulatedCivRadioPort::answer(std::string_view bytes) {
    std::string reply;
    for (char c : bytes) {
        if (m_buffer.empty() && c != kPreamble) {
            continue; // wake-up bytes and noise between frames
        }
        m_buffer += c;
        if (c != kEnd) {
            continue;
        }
        // FE FE to from command data... FD; the frame holds at least to, from and command.
        std::size_t start = m_buffer.find_first_not_of(kPreamble);
        if (start != std::string::npos && m_buffer.size() - start >= 4) {
            std::string_view frame(m_buffer);
            frame = frame.substr(start, frame.size() - start - 1);
            if (static_cast<unsigned char>(frame[2]) == kSetFrequency && frame.size() == 8) {
                m_frequencyHz = bcdFrequency(frame.substr(3));
            }
            reply += std::string{kPreamble, kPreamble, frame[1], frame[0], kOk, kEnd};
        }
        m_buffer.clear();
    }
    return reply;
}

} // namespace kelvora::sim
