// Wall-clock and monotonic time, and sleeping, as the logic needs them.
#pragma once

#include <chrono>
#include <string>

namespace kelvora::platform {

// Responsibilities:
// - sleepFor() blocks in the OS (no spinning, no window events).
// - Fakes make time controllable: their sleepFor() advances their own time.
class Clock {
public:
    virtual ~Clock() = default;
    // Second of the current local minute, 0 to 59.
    virtual int secondOfMinute() = 0;
    // Seconds since some fixed moment; never goes backwards.
    virtual double monotonicSeconds() = 0;
    // Local date and time of day as the trace log writes it.
    virtual std::string localDateTimeText() = 0;
    virtual void sleepFor(double seconds) = 0;
    // Seconds since 1970-01-01T00:00:00 UTC, leap seconds not counted (the built-in Moon and
    // Sun are computed for it).
    virtual double utcSeconds() {
        using namespace std::chrono;
        return duration<double>(system_clock::now().time_since_epoch()).count();
    }
};

} // namespace kelvora::platform
