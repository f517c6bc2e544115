// The scripted serial port.
#include "fakes/fakes.h"

#include <algorithm>

namespace kelvora::fakes {

bool FakeSerialPort::open(const std::string& device, const platform::LineSettings& line,
                          bool rtsAtOpen, std::string& error) {
    if (failOpenWith) {
        error = *failOpenWith;
        failOpenWith.reset();
        return false;
    }
    openedDevice = device;
    openedLine = line;
    rtsOnOpen = rtsAtOpen;
    rts = rtsAtOpen;
    m_open = true;
    m_lost.clear();
    ++openCount;
    return true;
}

bool FakeSerialPort::write(std::string_view bytes) {
    if (!m_lost.empty() || !m_open) {
        return false;
    }
    writes.emplace_back(bytes);
    if (onWrite) {
        onWrite(bytes);
    }
    return true;
}

void FakeSerialPort::deliverDue() {
    if (m_clock == nullptr) {
        return;
    }
    for (auto it = m_scheduled.begin(); it != m_scheduled.end();) {
        if (it->first <= m_clock->monotonic) {
            m_input += it->second;
            it = m_scheduled.erase(it);
        } else {
            ++it;
        }
    }
}

std::size_t FakeSerialPort::bytesWaiting() {
    deliverDue();
    return m_input.size();
}

std::string FakeSerialPort::readAll() {
    deliverDue();
    std::string bytes;
    bytes.swap(m_input);
    return bytes;
}

bool FakeSerialPort::waitForInput(double seconds) {
    waits.push_back(seconds);
    deliverDue();
    if (!m_input.empty()) {
        return true;
    }
    if (m_clock == nullptr) {
        return false;
    }
    // Jump to the next scheduled arrival if it comes within the wait, else to the wait's end.
    double until = m_clock->monotonic + seconds;
    double next = until;
    for (const auto& [at, bytes] : m_scheduled) {
        if (at < next) {
            next = at;
        }
    }
    m_clock->advance(std::max(next - m_clock->monotonic, 0.0));
    deliverDue();
    return !m_input.empty();
}

std::string FakeSerialPort::written() const {
    std::string all;
    for (const std::string& w : writes) {
        all += w;
    }
    return all;
}

} // namespace kelvora::fakes
