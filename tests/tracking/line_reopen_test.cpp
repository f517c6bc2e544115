// Lost lines opened again from the tick: the schedule, the status texts, what goes out again.
#include "config/ini_file.h"
#include "fakes/kelv_fixture.h"
#include "tracking/startup.h"
#include "tracking/tracking_cycle.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

struct LineReopenTest : ::testing::Test {
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
                 {"Ports", "COM3", "/dev/serial/by-id/usb-rotor"}}) {
            config::WriteStringIni(section, key, value, ini);
        }
        std::string text = "01:02:03,123.4, 45.6,Moon\r\n01:02:04,200.1, 10.2,Sun\r\n125,  "
                           "fQSO\r\n125,  fQSO2\r\n";
        std::string doppler = " 144,  -600,  1000,Doppler";
        text += std::string(93 - 1 + 9 - text.size() - doppler.find("Doppler"), ' ');
        fx.folder.write("azel.dat", text + doppler + "\r\n");
        mnuStart_Click(fx.k);
        tick();
    }
    void tick() {
        fx.clock.advance(0.5);
        tmrRead_Timer(fx.k);
    }
    fakes::KelvFixture fx;
};

TEST_F(LineReopenTest, RetriesAfterTwoSecondsDoublingToThirtyUnderTheConfiguredName) {
    double lostAt = fx.clock.monotonic + 0.5;
    fx.rotor.unplug();
    std::vector<double> attempts;
    while (fx.clock.monotonic < lostAt + 100) {
        fx.rotor.failOpenWith = "No such file or directory";
        tick();
        if (!fx.rotor.failOpenWith) {
            attempts.push_back(fx.clock.monotonic - lostAt);
        }
        EXPECT_EQ(fx.k.ui.RotorAZ.caption,
                  "Rotor port lost: /dev/serial/by-id/usb-rotor (retrying)");
    }
    EXPECT_EQ(attempts, (std::vector<double>{2, 6, 14, 30, 60, 90}));
    fx.rotor.failOpenWith.reset();
    fx.rotor.writes.clear();
    while (fx.clock.monotonic < lostAt + 120) {
        tick();
    }
    EXPECT_EQ(fx.rotor.openedDevice, "/dev/serial/by-id/usb-rotor");
    EXPECT_EQ(fx.k.ui.RotorAZ.caption, "Rotor port back: /dev/serial/by-id/usb-rotor");
    ASSERT_EQ(fx.rotor.writes.size(), 1u); // the current target, without operator action
    EXPECT_EQ(fx.rotor.writes[0].substr(0, 8), "W123 045");
}

TEST_F(LineReopenTest, EachLineIsNamedAndWhatItCarriesGoesOutAgain) {
    struct Case {
        fakes::FakeSerialPort& port;
        std::string words, device;
        bool frequencyAgain;
    };
    for (const Case& c : {Case{fx.radio, "Radio port", "/dev/ttyS0", true},
                          Case{fx.radio2, "Second radio port", "/dev/ttyS1", true},
                          Case{fx.virtualPtt, "Virtual PTT port", "/dev/ttyS3", false}}) {
        SCOPED_TRACE(c.words);
        c.port.unplug();
        tick();
        EXPECT_EQ(fx.k.ui.RotorAZ.caption, c.words + " lost: " + c.device + " (retrying)");
        fx.radio.writes.clear();
        for (int i = 0; i < 4; ++i) {
            tick();
        }
        EXPECT_EQ(fx.k.ui.RotorAZ.caption, c.words + " back: " + c.device);
        EXPECT_EQ(!fx.radio.writes.empty(), c.frequencyAgain);
    }
}

} // namespace
} // namespace kelvora
