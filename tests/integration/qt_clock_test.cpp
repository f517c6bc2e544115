// The trace's time stamps: the locale's date and always the time of day to the second.
#include "platform/qt/qt_clock.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

namespace kelvora::platform {
namespace {

TEST(QtClockTest, TraceTimeCarriesSecondsInEveryLocale) {
    const QDateTime when(QDate(2026, 12, 8), QTime(8, 13, 5));
    const struct {
        const char* locale;
        const char* text;
    } cases[] = {
        {"C", "8 Dec 2026 08:13:05"}, // as the short date-time format always gave
        {"de_DE", "08.12.26 08:13:05"},
        {"en_GB", "08/12/2026 08:13:05"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(dateTimeText(when, QLocale(c.locale)), c.text) << c.locale;
    }
    // The clock itself follows the process's locale, set in-process (no system locale needed).
    const QLocale before;
    QLocale::setDefault(QLocale("de_DE"));
    std::string now = QtClock().localDateTimeText();
    QLocale::setDefault(before);
    EXPECT_TRUE(QRegularExpression(R"(^\d\d\.\d\d\.\d\d \d\d:\d\d:\d\d$)")
                    .match(QString::fromStdString(now))
                    .hasMatch())
        << now;
}

} // namespace
} // namespace kelvora::platform
