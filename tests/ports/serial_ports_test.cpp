// Opening the serial lines from the settings, the write primitives and the pace-down wait.
#include "config/ini_file.h"
#include "fakes/kelv_fixture.h"
#include "ports/serial_ports.h"
#include "radio/radio_models.h"
#include "rotor/rotor_types.h"
#include "tracking/device_lists.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kelvora::ports {
namespace {

class SerialPortsTest : public ::testing::Test {
protected:
    void SetUp() override {
        config::Settings& s = k().settings();
        s.RtxType = "IC-9700";
        s.RtxBaud = "9600";
        s.Parity = "N";
        s.Bits = "8";
        s.StopBit = "1";
        s.RotorType = "GS232";
        s.RotorBaud = "4800";
        s.RotorParity = "E";
        s.RotorBits = "7";
        s.RotorStopbit = "2";
        s.Contollo_Flusso = "RTS&XOnXOff";
        s.RtxPort = s.RtxPort2 = s.RotorPort = s.Virtual_PTT = "None";
    }
    Kelv& k() { return fx.k; }
    // As Start does: the rows say which types are on serial lines, then the lines open.
    void openCom() {
        learnDeviceFacts(k());
        OpenCom(k());
    }
    fakes::KelvFixture fx;
};

TEST(PortNamesTest, NumbersAndDevices) {
    EXPECT_EQ(portNumber("COM12"), 12);
    EXPECT_EQ(portNumber("COM1"), 1);
    EXPECT_FALSE(portNumber("None"));
    EXPECT_FALSE(portNumber("com3"));
    EXPECT_FALSE(portNumber("COM"));
    EXPECT_FALSE(portNumber("/dev/ttyUSB0"));
    fakes::TempFolder folder;
    std::string ini = folder.file("Kelvora.ini");
    config::WriteStringIni("Ports", "COM3", "/dev/serial/by-id/usb-FTDI-if00", ini);
    EXPECT_EQ(portDevice(ini, 3), "/dev/serial/by-id/usb-FTDI-if00");
    EXPECT_EQ(portDevice(ini, 12), "/dev/ttyS11");
}

TEST(PortNamesTest, LineSettingsAndHandshaking) {
    auto line = lineSettings("4800", "n", "8", "1");
    ASSERT_TRUE(line);
    EXPECT_EQ(line.value->baud, 4800);
    EXPECT_EQ(line.value->parity, 'N');
    EXPECT_NE(lineSettings("fast", "N", "8", "1").error.find("baud"), std::string::npos);
    EXPECT_FALSE(lineSettings("9600", "X", "8", "1"));
    EXPECT_FALSE(lineSettings("9600", "N", "9", "1"));
    EXPECT_FALSE(lineSettings("9600", "N", "8", "3"));
    EXPECT_EQ(handshaking("RTS&XOnXOff"), platform::Handshaking::RtsCtsXonXoff);
    EXPECT_EQ(handshaking("Xon/Xoff"), platform::Handshaking::XonXoff);
    EXPECT_FALSE(handshaking("xon/xoff"));
}

TEST_F(SerialPortsTest, OpensEveryConfiguredLineWithItsParameters) {
    config::Settings& s = k().settings();
    s.RtxPort = "COM12";
    s.RtxPort2 = "COM2";
    s.RotorPort = "COM3";
    s.Virtual_PTT = "COM7";
    openCom();
    EXPECT_EQ(fx.radio.openedDevice, "/dev/ttyS11");
    EXPECT_EQ(fx.radio2.openedDevice, "/dev/ttyS1");
    EXPECT_EQ(fx.rotor.openedDevice, "/dev/ttyS2");
    EXPECT_EQ(fx.rotor.openedLine.baud, 4800);
    EXPECT_EQ(fx.rotor.openedLine.parity, 'E');
    EXPECT_EQ(fx.rotor.openedLine.dataBits, 7);
    EXPECT_EQ(fx.rotor.openedLine.stopBits, 2);
    EXPECT_EQ(fx.virtualPtt.openedLine.baud, 19200);
    EXPECT_EQ(fx.radio.handshakingMode, platform::Handshaking::RtsCtsXonXoff);
    EXPECT_EQ(fx.rotor.handshakingMode, platform::Handshaking::RtsCtsXonXoff);
    EXPECT_FALSE(fx.virtualPtt.handshakingMode) << "no handshaking on the virtual PTT line";
    EXPECT_FALSE(fx.realPtt.isOpen());
    EXPECT_TRUE(fx.dialogs.messages.empty());
}

TEST_F(SerialPortsTest, DeviceTypeNoneLeavesItsLineClosed) {
    config::Settings& s = k().settings();
    s.RotorType = "None";
    s.RotorPort = "COM3";
    s.RtxType = "None";
    s.RtxPort = "COM1";
    openCom();
    EXPECT_FALSE(fx.rotor.isOpen());
    EXPECT_FALSE(fx.radio.isOpen());
    WriteToRotorPort(k(), "W123 045\r");
    EXPECT_TRUE(fx.rotor.writes.empty());
}

// Every row: the line opens unless the row is "None" or a network type.
TEST(SerialLinesPerRow, OnlyTypesOnALineOpenIt) {
    for (const rotor::RotorType& type : rotor::rotorTypes()) {
        fakes::KelvFixture fx;
        fx.k.settings().RotorType = std::string(type.name);
        fx.k.settings().RotorPort = "COM3";
        fx.k.settings().RotorBaud = "9600";
        fx.k.settings().RotorParity = "N";
        fx.k.settings().RotorBits = "8";
        fx.k.settings().RotorStopbit = "1";
        learnDeviceFacts(fx.k);
        OpenCom(fx.k);
        EXPECT_EQ(fx.rotor.isOpen(), !type.noRotor && type.network == nullptr) << type.name;
    }
    for (const radio::RadioModel& model : radio::radioModels()) {
        fakes::KelvFixture fx;
        fx.k.settings().RtxType = std::string(model.name);
        fx.k.settings().RtxPort = "COM1";
        fx.k.settings().RtxBaud = "9600";
        fx.k.settings().Parity = "N";
        fx.k.settings().Bits = "8";
        fx.k.settings().StopBit = "1";
        learnDeviceFacts(fx.k);
        OpenCom(fx.k);
        EXPECT_EQ(fx.radio.isOpen(), model.cat != radio::Cat::Rigctld) << model.name;
    }
}

TEST_F(SerialPortsTest, AFailedLineIsNamedOnceAndTheOthersStillOpen) {
    config::Settings& s = k().settings();
    s.RtxPort = "COM1";
    s.RtxPort2 = "COM2";
    s.RotorPort = "COM3";
    s.Virtual_PTT = "COM4";
    config::WriteStringIni("Ports", "COM2", "/dev/ttyUSB9", k().iniPath());
    fx.radio2.failOpenWith = "No such file or directory";
    s.RotorBaud = "fast";
    openCom();
    EXPECT_TRUE(fx.radio.isOpen());
    EXPECT_FALSE(fx.radio2.isOpen());
    EXPECT_FALSE(fx.rotor.isOpen());
    EXPECT_TRUE(fx.virtualPtt.isOpen());
    ASSERT_EQ(fx.dialogs.messages.size(), 1u);
    const std::string& m = fx.dialogs.messages[0];
    EXPECT_NE(m.find("RtxPort2 COM2 (/dev/ttyUSB9): No such file or directory"), std::string::npos)
        << m;
    EXPECT_NE(m.find("RotorPort COM3 (/dev/ttyS2): invalid baud rate"), std::string::npos) << m;
}

TEST_F(SerialPortsTest, APortTextWithoutAComNumberIsNamedNoneAndEmptyStaySilent) {
    config::Settings& s = k().settings();
    s.RtxPort = "COMx";
    s.RtxPort2 = "";
    s.RotorPort = "COM0";
    openCom();
    EXPECT_FALSE(fx.radio.isOpen());
    EXPECT_FALSE(fx.rotor.isOpen());
    ASSERT_EQ(fx.dialogs.messages.size(), 1u);
    EXPECT_EQ(fx.dialogs.messages[0], "Cannot open serial port:\nRtxPort COMx: not a COM port "
                                      "number\nRotorPort COM0: not a COM port number\n\n"
                                      "Tracking goes on without it.");
}

TEST_F(SerialPortsTest, WritesAreWholeAndClosedPortsDropThem) {
    std::string error;
    fx.radio.open("r", {}, false, error);
    WriteToRtxPort(k(), std::string("\xFE\xFE\x10\xE0", 4));
    WriteToRtxPort2(k(), "FA;");
    ASSERT_EQ(fx.radio.writes.size(), 1u);
    EXPECT_EQ(fx.radio.writes[0], std::string("\xFE\xFE\x10\xE0", 4));
    EXPECT_TRUE(fx.radio2.writes.empty());
}

TEST_F(SerialPortsTest, ALostPortIsReportedOnceAndThenSilent) {
    std::string error;
    fx.rotor.open("/dev/ttyUSB0", {}, false, error);
    fx.rotor.unplug("/dev/ttyUSB0: device removed");
    WriteToRotorPort(k(), "W123 045\r");
    EXPECT_EQ(k().ui.RotorAZ.caption, "Rotor port lost: /dev/ttyUSB0: device removed");
    k().ui.RotorAZ.caption = "later status";
    WriteToRotorPort(k(), "W124 045\r");
    EXPECT_EQ(ReadFromRotorPort(k()), "");
    EXPECT_EQ(k().ui.RotorAZ.caption, "later status") << "reported once";
    EXPECT_TRUE(fx.rotor.writes.empty());
    fx.rotor.open("/dev/ttyUSB0", {}, false, error); // Stop and Start reopen it
    WriteToRotorPort(k(), "W125 045\r");
    EXPECT_EQ(fx.rotor.writes.size(), 1u);
}

TEST_F(SerialPortsTest, PaceDownSleepsMoreThanTheDelay) {
    double start = fx.clock.monotonic;
    KVRotorPaceDown(k(), 0.25);
    EXPECT_GT(fx.clock.monotonic - start, 0.25);
    EXPECT_LT(fx.clock.monotonic - start, 0.26);
    EXPECT_LE(fx.clock.sleeps.size(), 2u) << "sleeps, does not spin";
    start = fx.clock.monotonic;
    KVRotorPaceDown(k(), 0);
    EXPECT_GT(fx.clock.monotonic - start, 0);
    start = fx.clock.monotonic; // milliseconds typed as seconds: a second at most, no spin
    KVRotorPaceDown(k(), 1e300);
    KVRotorPaceDown(k(), std::nan(""));
    EXPECT_LT(fx.clock.monotonic - start, 1.01);
}

TEST_F(SerialPortsTest, StopClosesOnlyOpenPorts) {
    std::string error;
    fx.rotor.open("x", {}, false, error);
    closeAllPorts(k());
    EXPECT_FALSE(fx.rotor.isOpen());
    EXPECT_FALSE(fx.radio.isOpen());
}

} // namespace
} // namespace kelvora::ports
