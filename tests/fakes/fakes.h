// Fakes of the platform interfaces: they record every call and make time controllable.
#pragma once

#include "platform/clock.h"
#include "platform/device_factory.h"
#include "platform/dialogs.h"
#include "platform/serial_port.h"
#include "platform/tcp_server.h"
#include "platform/tcp_socket.h"
#include "platform/udp_socket.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
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
    double utcSeconds() override { return utcMidnight + wallSeconds; }
    void sleepFor(double seconds) override {
        sleeps.push_back(seconds);
        advance(seconds);
    }
    void advance(double seconds) {
        monotonic += seconds;
        wallSeconds += seconds;
    }

    double monotonic = 1000.0;
    double wallSeconds = 0.0;          // seconds since midnight; secondOfMinute() follows it
    double utcMidnight = 1786492800.0; // 2026-08-12T00:00:00 UTC, the day utcSeconds() is in
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
    void setRts(bool on) override {
        rts = on;
        lineChanges.push_back(on ? "RTS+" : "RTS-");
    }
    void setDtr(bool on) override {
        dtr = on;
        lineChanges.push_back(on ? "DTR+" : "DTR-");
    }
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
    bool dtr = false;
    std::vector<std::string> lineChanges;          // "RTS+", "DTR-"... in the order they were set
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

// A listener whose clients the test makes up: connect() one, give it input, read what it got.
class FakeTcpServer : public platform::TcpServer {
public:
    struct Client {
        std::string input;  // what the client sent, not yet read
        std::string output; // everything written to it
        bool open = true;
    };
    bool listen(const std::string& address, std::uint16_t port, std::string&) override {
        listenedOn = address + ":" + std::to_string(port);
        listening = true;
        return true;
    }
    void close() override {
        listening = false;
        clients.clear();
    }
    bool isListening() const override { return listening; }
    std::uint16_t port() const override { return 0; }
    std::vector<platform::TcpClientId> accept() override {
        std::vector<platform::TcpClientId> made;
        made.swap(fresh);
        return made;
    }
    std::string read(platform::TcpClientId id, std::size_t maxBytes) override {
        std::string& in = clients[id].input;
        std::string part = in.substr(0, maxBytes);
        in.erase(0, part.size());
        return part;
    }
    bool write(platform::TcpClientId id, std::string_view bytes) override {
        clients[id].output += bytes;
        return true;
    }
    std::size_t queued(platform::TcpClientId) override { return 0; }
    bool isOpen(platform::TcpClientId id) override { return clients[id].open; }
    std::string peerName(platform::TcpClientId id) override {
        return "10.0.0.2:" + std::to_string(50000 + id);
    }
    void disconnect(platform::TcpClientId id) override { clients[id].open = false; }

    platform::TcpClientId connect() {
        clients[++lastId] = {};
        fresh.push_back(lastId);
        return lastId;
    }
    bool listening = false;
    std::string listenedOn;
    std::map<platform::TcpClientId, Client> clients;
    std::vector<platform::TcpClientId> fresh;
    platform::TcpClientId lastId = 0;
};

// Datagrams a test queues come out of receive(); every send is recorded.
class FakeUdpSocket : public platform::UdpSocket {
public:
    struct Sent {
        std::string bytes, address;
        std::uint16_t port = 0;
    };
    bool bind(const std::string& address, std::uint16_t port, std::string& error) override {
        if (!bindError.empty()) {
            error = bindError;
            return false;
        }
        bound = true;
        boundTo = address + ":" + std::to_string(port);
        return true;
    }
    void close() override { bound = false; }
    std::uint16_t localPort() const override { return 2237; }
    std::optional<platform::UdpDatagram> receive() override {
        if (!bound || incoming.empty()) {
            return std::nullopt;
        }
        platform::UdpDatagram d = std::move(incoming.front());
        incoming.pop_front();
        return d;
    }
    bool send(std::string_view bytes, const std::string& address, std::uint16_t port) override {
        sent.push_back({std::string(bytes), address, port});
        return bound;
    }

    bool bound = false;
    std::string boundTo, bindError;
    std::deque<platform::UdpDatagram> incoming;
    std::vector<Sent> sent;
};

// Hands out fake sockets and keeps them reachable, in the order they were made.
class FakeDeviceFactory : public platform::DeviceFactory {
public:
    std::unique_ptr<platform::TcpSocket> makeTcpSocket() override {
        auto socket = std::make_unique<FakeTcpSocket>();
        sockets.push_back(socket.get());
        return socket;
    }
    std::unique_ptr<platform::TcpServer> makeTcpServer() override {
        auto server = std::make_unique<FakeTcpServer>();
        servers.push_back(server.get());
        return server;
    }
    std::unique_ptr<platform::UdpSocket> makeUdpSocket() override {
        auto socket = std::make_unique<FakeUdpSocket>();
        udpSockets.push_back(socket.get());
        return socket;
    }
    std::vector<FakeTcpSocket*> sockets;
    std::vector<FakeTcpServer*> servers;
    std::vector<FakeUdpSocket*> udpSockets;
};

class FakeDialogs : public platform::Dialogs {
public:
    void messageBox(const std::string& text) override { messages.push_back(text); }
    void notice(const std::string& text) override { notices.push_back(text); }
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
    std::vector<std::string> notices; // windows that did not wait
    std::vector<std::pair<std::string, std::string>> questions;
    std::vector<std::pair<std::string, std::string>> fileDialogs;
    bool answerYes = true;
    std::optional<std::string> chosenFile;
    int beeps = 0;
    int nestedLoops = 0;
    std::function<void()> duringNestedLoop;
};

} // namespace kelvora::fakes
