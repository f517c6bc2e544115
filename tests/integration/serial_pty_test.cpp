// The QSerialPort line over a pseudo-terminal: bytes leave at once, waits block and time out,
// a hang-up makes the port lost instead of a busy loop.
#include "integration/test_support.h"
#include "platform/qt/qt_serial_port.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

namespace kelvora::platform {
namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

class PtyTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(device.ok());
        std::string error;
        ASSERT_TRUE(port.open(device.name(), LineSettings{9600, 'N', 8, 1}, false, error)) << error;
    }
    std::string drainMaster() { return device.received(); }
    void deviceSends(const std::string& bytes) { ASSERT_TRUE(device.send(bytes)); }

    testkit::PtyDevice device;
    QtSerialPort port;
};

TEST_F(PtyTest, WrittenBytesReachTheDeviceBeforeWriteReturns) {
    std::string all;
    for (int b = 0; b < 256; ++b) {
        all += static_cast<char>(b);
    }
    for (char c : std::string("AZ123 EL45\r")) {
        ASSERT_TRUE(port.write(std::string(1, c)));
    }
    EXPECT_EQ(drainMaster(), "AZ123 EL45\r") << "no event loop ran, yet every byte is there";
    ASSERT_TRUE(port.write(all));
    std::string got = drainMaster();
    EXPECT_EQ(got, all) << "raw bytes, in order, untranslated";
}

TEST_F(PtyTest, WaitingInputIsCountedAndReadWhole) {
    deviceSends("AZ=123  EL=045\r\n");
    EXPECT_TRUE(port.waitForInput(5.0));
    EXPECT_EQ(port.bytesWaiting(), 16u);
    EXPECT_EQ(port.readAll(), "AZ=123  EL=045\r\n");
    EXPECT_EQ(port.bytesWaiting(), 0u);
}

TEST_F(PtyTest, WaitForInputTimesOutOnTimeWithoutSpinning) {
    std::clock_t cpuBefore = std::clock();
    auto start = Clock::now();
    EXPECT_FALSE(port.waitForInput(0.3));
    double elapsed = secondsSince(start);
    EXPECT_GE(elapsed, 0.29);
    EXPECT_LT(elapsed, 3.0); // a loaded machine may be late, never early
    double cpu = static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    EXPECT_LT(cpu, 0.1) << "the wait sleeps in the OS";
}

TEST_F(PtyTest, WaitReturnsAsSoonAsInputArrives) {
    deviceSends("W");
    auto start = Clock::now();
    EXPECT_TRUE(port.waitForInput(20.0));
    EXPECT_LT(secondsSince(start), 10.0);
}

TEST_F(PtyTest, HandshakingBothSetsRtsCtsAndXonXoff) {
    port.setHandshaking(Handshaking::RtsCtsXonXoff);
    termios tio{};
    ASSERT_EQ(::tcgetattr(device.slave(), &tio), 0);
    EXPECT_TRUE(tio.c_cflag & CRTSCTS);
    EXPECT_TRUE(tio.c_iflag & IXON);
    EXPECT_TRUE(tio.c_iflag & IXOFF);
    port.setHandshaking(Handshaking::None);
    ASSERT_EQ(::tcgetattr(device.slave(), &tio), 0);
    EXPECT_FALSE(tio.c_cflag & CRTSCTS);
    EXPECT_FALSE(tio.c_iflag & IXON);
}

TEST_F(PtyTest, AHangUpMakesThePortLostAndWaitsEndAtOnce) {
    device.close();
    auto start = Clock::now();
    for (int i = 0; i < 5; ++i) {
        port.waitForInput(3.0);
        port.readAll();
        port.write("S\r");
    }
    EXPECT_LT(secondsSince(start), 7.5); // waits that did not end at once would take 15 s
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.lostReason().empty());
    EXPECT_NE(port.lostReason().find(device.name()), std::string::npos);
    port.close();
    EXPECT_TRUE(port.lostReason().empty());
}

TEST(SerialOpenTest, AMissingDeviceGivesItsReason) {
    QtSerialPort port;
    std::string error;
    EXPECT_FALSE(port.open("/dev/kelvora-no-such-port", LineSettings{}, false, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.write("x"));
    EXPECT_EQ(port.readAll(), "");
}

TEST(SerialOpenTest, FourDataBitsAreRefusedWithAReason) {
    QtSerialPort port;
    std::string error;
    EXPECT_FALSE(port.open("/dev/null", LineSettings{9600, 'N', 4, 1}, false, error));
    EXPECT_NE(error.find("4 data bits"), std::string::npos);
}

} // namespace
} // namespace kelvora::platform
