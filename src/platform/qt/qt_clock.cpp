// The system clocks.
#include "platform/qt/qt_clock.h"

#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <chrono>
#include <thread>

namespace kelvora::platform {

int QtClock::secondOfMinute() {
    return QTime::currentTime().second();
}

double QtClock::monotonicSeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

std::string QtClock::localDateTimeText() {
    return QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat).toStdString();
}

void QtClock::sleepFor(double seconds) {
    if (seconds > 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
}

} // namespace kelvora::platform
