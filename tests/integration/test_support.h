// Shared pieces of the integration tests: a clock whose second the test sets, a pseudo-terminal
// standing in for a device, and hex text of bytes for readable failures.
#pragma once

#include "fakes/hex.h"
#include "platform/clock.h"

#include <chrono>
#include <cstdio>
#include <poll.h>
#include <pty.h>
#include <string>
#include <string_view>
#include <thread>
#include <unistd.h>

namespace kelvora::testkit {

// Real time for waits and sleeps; the tick's second of the minute is the test's to set, so no
// test depends on the wall-clock second.
class SteppedClock : public platform::Clock {
public:
    int secondOfMinute() override { return second; }
    double monotonicSeconds() override {
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }
    std::string localDateTimeText() override { return "08/12/2026 01:02:03"; }
    void sleepFor(double seconds) override {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
    int second = 0;
};

// The device side of a pseudo-terminal; the program opens `name()`.
class PtyDevice {
public:
    PtyDevice() {
        char path[256] = {};
        if (::openpty(&m_master, &m_slave, path, nullptr, nullptr) == 0) {
            m_name = path;
        }
    }
    ~PtyDevice() { close(); }
    PtyDevice(const PtyDevice&) = delete;
    PtyDevice& operator=(const PtyDevice&) = delete;

    bool ok() const { return m_master >= 0; }
    const std::string& name() const { return m_name; }
    int slave() const { return m_slave; }

    // What the device has received so far, without waiting.
    std::string received() {
        std::string out;
        pollfd p{m_master, POLLIN, 0};
        while (::poll(&p, 1, 0) == 1 && (p.revents & POLLIN)) {
            char buffer[512];
            ssize_t n = ::read(m_master, buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            out.append(buffer, static_cast<std::size_t>(n));
        }
        return out;
    }
    bool send(std::string_view bytes) {
        return ::write(m_master, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }
    // The device goes away: both ends close, the program's side sees a hang-up.
    void close() {
        for (int* fd : {&m_master, &m_slave}) {
            if (*fd >= 0) {
                ::close(*fd);
                *fd = -1;
            }
        }
    }

private:
    int m_master = -1;
    int m_slave = -1;
    std::string m_name;
};

using fakes::hex;

} // namespace kelvora::testkit
