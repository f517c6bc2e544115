// Local time, a monotonic clock and sleeping in the OS.
#pragma once

#include "platform/clock.h"

#include <QDateTime>
#include <QLocale>

namespace kelvora::platform {

// A local date and time as the trace writes it: the locale's short date, then HH:mm:ss.
std::string dateTimeText(const QDateTime& when, const QLocale& locale);

class QtClock : public Clock {
public:
    int secondOfMinute() override;
    double monotonicSeconds() override;
    std::string localDateTimeText() override;
    void sleepFor(double seconds) override;
};

} // namespace kelvora::platform
