// The PTT lines on a real serial port: reading DSR and driving RTS through QSerialPort.
// Pseudo-terminals have no modem lines, so these run only where a real port is named.
#include "platform/qt/qt_serial_port.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace kelvora::platform {
namespace {

// KELVORA_TEST_SERIAL_PORT names a real port (e.g. /dev/ttyUSB0) that may be opened and toggled;
// KELVORA_TEST_SERIAL_LOOPBACK=rts-dsr says a plug wires its RTS output to its DSR input.
std::string realPort() {
    const char* port = std::getenv("KELVORA_TEST_SERIAL_PORT");
    return port != nullptr ? port : "";
}

bool rtsWiredToDsr() {
    const char* loopback = std::getenv("KELVORA_TEST_SERIAL_LOOPBACK");
    return loopback != nullptr && std::string(loopback) == "rts-dsr";
}

constexpr const char* kNoPort = "needs a real serial port: pseudo-terminals carry no DSR or RTS "
                                "line; set KELVORA_TEST_SERIAL_PORT=/dev/ttyUSB0 to run it";

TEST(PttSerialLines, OpenWithRtsReadDsrAndToggleRts) {
    if (realPort().empty()) {
        GTEST_SKIP() << kNoPort;
    }
    QtSerialPort port;
    std::string error;
    ASSERT_TRUE(port.open(realPort(), {19200, 'N', 8, 1}, /*rtsOnOpen=*/true, error)) << error;
    // Reading the input line and driving the output line must leave the port working.
    for (int i = 0; i < 4; ++i) {
        port.dsr();
        port.setRts(i % 2 == 0);
    }
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.lostReason(), "");
    port.close();
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.dsr()); // a closed line reads as not asserted
}

TEST(PttSerialLines, RtsLoopedBackShowsAsDsr) {
    if (realPort().empty()) {
        GTEST_SKIP() << kNoPort;
    }
    if (!rtsWiredToDsr()) {
        GTEST_SKIP() << "needs a plug wiring RTS to DSR on " << realPort()
                     << "; set KELVORA_TEST_SERIAL_LOOPBACK=rts-dsr to run it";
    }
    QtSerialPort port;
    std::string error;
    ASSERT_TRUE(port.open(realPort(), {19200, 'N', 8, 1}, /*rtsOnOpen=*/true, error)) << error;
    EXPECT_TRUE(port.dsr()); // asserted from the moment the line opened
    port.setRts(false);
    EXPECT_FALSE(port.dsr());
    port.setRts(true);
    EXPECT_TRUE(port.dsr());
}

} // namespace
} // namespace kelvora::platform
