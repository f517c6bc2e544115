// Lost lines opened again from the tick: the schedule, the status texts, what goes out again.
#include "config/ini_file.h"
#include "fakes/kelv_fixture.h"
#include "tracking/line_reopen.h"
#include "tracking/startup.h"
#include "tracking/tracking_cycle.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace kelvora {
namespace {

class LineReopenTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string ini = fx.folder.file("Kelvora.ini");
        config::Create_Config_file(ini);
        for (auto [section, key, value] : std::vector<std::array<std::string, 3>>{
                 {"COM_Rotor", "Rotor_type", "GS232"},
                 {"COM_Rotor", "Rotor_com", "COM3"},
                 {"COM_RTX", "Rtx_type", "FT-817"},
                 {"COM_RTX", "Com_Port", "COM1"},
                 {"COM_RTX", "Com_Port2", "COM2"},
                 {"General", "Virtual_PTT", "COM4"},
                 {"General", "Fname", fx.folder.file("azel.dat")},
                 {"Ports", "COM3", "/dev/serial/by-id/usb-rotor"},
                 {"Ports", "COM1", "/dev/serial/by-id/usb-radio"}}) {
            config::WriteStringIni(section, key, value, ini);
        }
        track("123.4");
        mnuStart_Click(fx.k);
        ASSERT_TRUE(fx.rotor.isOpen() && fx.radio.isOpen() && fx.radio2.isOpen() &&
                    fx.virtualPtt.isOpen());
        tick();
    }
    // A tracking file as WSJT-X writes it, with the QSO frequencies and the Doppler line.
    void track(const std::string& az) {
        std::string text = "01:02:03," + az +
                           ", 45.6,Moon\r\n01:02:04,200.1, 10.2,Sun\r\n125,  "
                           "fQSO\r\n125,  fQSO2\r\n";
        std::string doppler = " 144,  -600,  1000,Doppler";
        text += std::string(93 - 1 + 9 - text.size() - doppler.find("Doppler"), ' ');
        fx.folder.write("azel.dat", text + doppler + "\r\n");
    }
    // One tick half a second after the last.
    void tick() {
        fx.clock.advance(0.5);
        tmrRead_Timer(fx.k);
    }
    const std::string& status() { return fx.k.ui.RotorAZ.caption; }
    fakes::KelvFixture fx;
};

TEST_F(LineReopenTest, RetriesAfterTwoSecondsDoublingToThirtyUnderTheConfiguredName) {
    double lostAt = fx.clock.monotonic + 0.5;
    fx.rotor.unplug("/dev/ttyUSB0: the device hung up");
    std::vector<double> attempts;
    while (fx.clock.monotonic < lostAt + 100) {
        fx.rotor.failOpenWith = "No such file or directory";
        tick();
        if (!fx.rotor.failOpenWith) {
            attempts.push_back(fx.clock.monotonic - lostAt);
        }
        EXPECT_EQ(status(), "Rotor port lost: /dev/serial/by-id/usb-rotor (retrying)");
    }
    EXPECT_EQ(attempts, (std::vector<double>{2, 6, 14, 30, 60, 90}));
    fx.rotor.failOpenWith.reset();

    fx.rotor.writes.clear();
    while (!fx.rotor.isOpen() && fx.clock.monotonic < lostAt + 125) {
        tick();
    }
    EXPECT_DOUBLE_EQ(fx.clock.monotonic - lostAt, 120);
    EXPECT_EQ(fx.rotor.openedDevice, "/dev/serial/by-id/usb-rotor");
    EXPECT_EQ(status(), "Rotor port back: /dev/serial/by-id/usb-rotor");
    ASSERT_EQ(fx.rotor.writes.size(), 1u); // the current target, without operator action
    EXPECT_EQ(fx.rotor.writes[0].substr(0, 8), "W123 045");
}

TEST_F(LineReopenTest, EachLineIsNamedAndWhatItCarriesGoesOutAgain) {
    struct Case {
        fakes::FakeSerialPort& port;
        const char* lost;
        const char* back;
        bool resends;
    };
    const Case cases[] = {
        {fx.radio, "Radio port lost: /dev/serial/by-id/usb-radio (retrying)",
         "Radio port back: /dev/serial/by-id/usb-radio", true},
        {fx.radio2, "Second radio port lost: /dev/ttyS1 (retrying)",
         "Second radio port back: /dev/ttyS1", true},
        {fx.virtualPtt, "Virtual PTT port lost: /dev/ttyS3 (retrying)",
         "Virtual PTT port back: /dev/ttyS3", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lost);
        c.port.unplug();
        tick();
        EXPECT_EQ(status(), c.lost);
        fx.radio.writes.clear();
        for (int i = 0; i < 4; ++i) {
            tick();
        }
        EXPECT_TRUE(c.port.isOpen());
        EXPECT_EQ(status(), c.back);
        EXPECT_EQ(!fx.radio.writes.empty(), c.resends) << "the frequency is sent again";
    }
}

TEST_F(LineReopenTest, OffLeavesALostLineClosed) {
    mnuStart_Click(fx.k);
    config::WriteStringIni("Station", "Reopen_Ports", "0", fx.folder.file("Kelvora.ini"));
    mnuStart_Click(fx.k);
    fx.rotor.unplug("/dev/ttyUSB0: the device hung up");
    for (int i = 0; i < 120; ++i) {
        tick();
    }
    EXPECT_FALSE(fx.rotor.isOpen());
    EXPECT_EQ(fx.rotor.openCount, 2);
    EXPECT_EQ(status().find("Rotor port"), std::string::npos);
}

TEST_F(LineReopenTest, LostAndBackAHundredTimesReSendsEveryTime) {
    int opens = fx.rotor.openCount;
    for (int i = 0; i < 100; ++i) {
        fx.rotor.writes.clear();
        fx.rotor.unplug();
        for (int t = 0; t < 5; ++t) {
            tick();
        }
        ASSERT_TRUE(fx.rotor.isOpen()) << i;
        ASSERT_EQ(fx.rotor.writes.size(), 1u) << i;
    }
    EXPECT_EQ(fx.rotor.openCount, opens + 100);
}

} // namespace
} // namespace kelvora
