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

// The locale's short date-time format drops the seconds in most locales (en_US, de_DE, en_GB),
// which a trace needs; its short date with a 24-hour time to the second keeps it readable
// everywhere and, in the C locale, is exactly the short date-time format.
std::string dateTimeText(const QDateTime& when, const QLocale& locale) {
    return (locale.toString(when.date(), QLocale::ShortFormat) + u' ' +
            locale.toString(when.time(), u"HH:mm:ss"))
        .toStdString();
}

std::string QtClock::localDateTimeText() {
    return dateTimeText(QDateTime::currentDateTime(), QLocale());
}

void QtClock::sleepFor(double seconds) {
    if (seconds > 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
}

} // namespace kelvora::platform
