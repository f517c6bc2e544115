// Fakes of the platform interfaces: they record every call and make time controllable.
#pragma once

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/serial_port.h"
#include "platform/tcp_socket.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kelvora::fakes {

// Time stands still until a test or a sleep moves it.
class FakeClock : public platform::Clock {
public:
    int secondOfMinute() override { return static_cast<int>(wallSeconds) % 60; }
    double monotonicSeconds() override { return monotonic; }
    std::string localDateTimeText() override { return dateTimeText; }
    void sleepFor(double seconds) override {
        sleeps.push_back(seconds);
        advance(seconds);
    }
    void advance(double seconds) {
        monotonic += seconds;
        wallSeconds += seconds;
    }

    double monotonic = 1000.0;
    double wallSeconds = 0.0; // seconds since midnight; secondOfMinute() follows it
    std::string dateTimeText = "08/12/2026 01:02:03";
    std::vector<double> sleeps;
};

// Records each write call separately; input is scripted, optionally due at a clock time.
class FakeSerialPort : public platform::SerialPort {
public:
    explicit FakeSerialPort(FakeClock* clock = nullptr) : m_clock(clock) {}

    bool open(const std::string& device, const platform::LineSettings& line, bool rtsOnOpen,
              std::string& error) override;
    void close() override {
        m_open = false;
        m_lost.clear();
    }
    bool isOpen() const override { return m_open; }
    void setHandshaking(platform::Handshaking mode) override { handshakingMode = mode; }
    bool write(std::string_view bytes) override;
    std::size_t bytesWaiting() override;
    std::string readAll() override;
    bool waitForInput(double seconds) override;
    bool dsr() override { return dsrSequence.empty() ? dsrLevel : popDsr(); }
    void setRts(bool on) override { rts = on; }
    std::string lostReason() const override { return m_lost; }

    // Input that arrives at once, or at a monotonic time of the fake clock.
    void arrive(std::string bytes) { m_input += bytes; }
    void arriveAt(double monotonicTime, std::string bytes) {
        m_scheduled.push_back({monotonicTime, std::move(bytes)});
    }
    // The device goes away: later writes fail.
    void unplug(std::string reason = "device removed") {
        m_lost = std::move(reason);
        m_open = false;
    }

    // The concatenation of every write.
    std::string written() const;

    std::vector<std::string> writes; // one entry per write call
    std::string openedDevice;
    platform::LineSettings openedLine;
    bool rtsOnOpen = false;
    int openCount = 0;
    std::optional<std::string> failOpenWith; // the next open fails with this reason
    std::optional<platform::Handshaking> handshakingMode;
    bool dsrLevel = false;
    std::deque<bool> dsrSequence; // successive dsr() answers, before dsrLevel applies
    bool rts = false;
    std::function<void(std::string_view)> onWrite; // a simulator may answer here
    std::vector<double> waits;                     // every waitForInput time-out asked for

private:
    bool popDsr() {
        bool level = dsrSequence.front();
        dsrSequence.pop_front();
        return level;
    }
    void deliverDue();

    FakeClock* m_clock;
    bool m_open = false;
    std::string m_input;
    std::vector<std::pair<double, std::string>> m_scheduled;
    std::string m_lost;
};

class FakeTcpSocket : public platform::TcpSocket {
public:
    void close() override {
        ++closeCount;
        currentState = platform::TcpState::Closed;
    }
    void connectToHost(const std::string& host, const std::string& port) override {
        connects.push_back({host, port});
        currentState = stateAfterConnect;
    }
    platform::TcpState state() override { return currentState; }
    bool send(std::string_view bytes) override {
        if (currentState != platform::TcpState::Connected || !acceptSends) {
            return false;
        }
        sends.emplace_back(bytes);
        return true;
    }
    std::string receive() override {
        std::string bytes;
        bytes.swap(incoming);
        return bytes;
    }

    platform::TcpState currentState = platform::TcpState::Closed;
    platform::TcpState stateAfterConnect = platform::TcpState::Connected;
    bool acceptSends = true; // false: the peer takes nothing now, sends are dropped
    std::string incoming;    // what receive() hands over next
    std::vector<std::pair<std::string, std::string>> connects;
    std::vector<std::string> sends;
    int closeCount = 0;
};

class FakeDialogs : public platform::Dialogs {
public:
    void messageBox(const std::string& text) override { messages.push_back(text); }
    bool askYesNo(const std::string& text, const std::string& title) override {
        questions.push_back({text, title});
        return answerYes;
    }
    void beep() override { ++beeps; }
    std::optional<std::string> openFile(const std::string& title,
                                        const std::string& filter) override {
        fileDialogs.push_back({title, filter});
        return chosenFile;
    }
    void processEventsWhile(const std::function<bool()>& condition) override {
        ++nestedLoops;
        // A test decides what happens in the nested loop, typically pressing OK.
        while (condition()) {
            if (!duringNestedLoop) {
                break;
            }
            duringNestedLoop();
        }
    }

    std::vector<std::string> messages;
    std::vector<std::pair<std::string, std::string>> questions;
    std::vector<std::pair<std::string, std::string>> fileDialogs;
    bool answerYes = true;
    std::optional<std::string> chosenFile;
    int beeps = 0;
    int nestedLoops = 0;
    std::function<void()> duringNestedLoop;
};

} // namespace kelvora::fakes
