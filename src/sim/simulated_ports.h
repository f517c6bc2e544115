// Devices inside the program for trying it without hardware: a rotor controller that turns at a
// realistic rate and a radio that takes frequency commands, each behind the serial-port interface.
#pragma once

#include "platform/clock.h"
#include "platform/serial_port.h"
#include "sim/rotor_model.h"

#include <string>

namespace kelvora::sim {

// Responsibilities (both ports):
// - open() accepts any device name: the line is inside the program.
// - Answers are ready as soon as the command that asks for them is written; waitForInput()
//   without an answer waiting sleeps its time-out on the clock, as a silent line would.
class SimulatedPort : public platform::SerialPort {
public:
    explicit SimulatedPort(platform::Clock& clock) : m_clock(clock) {}

    bool open(const std::string& device, const platform::LineSettings& line, bool rtsOnOpen,
              std::string& error) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    void setHandshaking(platform::Handshaking) override {}
    bool write(std::string_view bytes) override;
    std::size_t bytesWaiting() override { return m_answer.size(); }
    std::string readAll() override;
    bool waitForInput(double seconds) override;
    bool dsr() override { return false; }
    void setRts(bool) override {}
    void setDtr(bool) override {}
    std::string lostReason() const override { return {}; }

protected:
    // The device's answer to the bytes written.
    virtual std::string answer(std::string_view bytes) = 0;
    platform::Clock& m_clock;

private:
    bool m_open = false;
    std::string m_answer;
};

// A rotor controller of one family (the settings' rotor type) turning at `degreesPerSecond`.
class SimulatedRotorPort : public SimulatedPort {
public:
    SimulatedRotorPort(platform::Clock& clock, RotorProtocol protocol, double degreesPerSecond);
    const RotorModel& model() const { return m_model; }
    RotorModel& model() { return m_model; } // its speed and end stops are the test's to set

protected:
    std::string answer(std::string_view bytes) override;

private:
    void turn();

    RotorModel m_model;
    double m_lastTime;
};

// An Icom CI-V radio: acknowledges every complete frame addressed to it with FB, keeps the last
// frequency set (command 0x05).
class SimulatedCivRadioPort : public SimulatedPort {
public:
    using SimulatedPort::SimulatedPort;
    long long frequencyHz() const { return m_frequencyHz; }

protected:
    std::string answer(std::string_view bytes) override;

private:
    std::string m_buffer;
    long long m_frequencyHz = 0;
};

} // namespace kelvora::sim
