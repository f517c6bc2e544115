// Local time, a monotonic clock and sleeping in the OS.
#pragma once

#include "platform/clock.h"

namespace kelvora::platform {

class QtClock : public Clock {
public:
    int secondOfMinute() override;
    double monotonicSeconds() override;
    std::string localDateTimeText() override;
    void sleepFor(double seconds) override;
};

} // namespace kelvora::platform
