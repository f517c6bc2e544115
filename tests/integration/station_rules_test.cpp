// Hold while transmitting, end to end: the program logic with the real serial port, a GS232
// simulator on a pseudo-terminal and a tracking file whose Doppler line flips between T and R.
#include "config/ini_file.h"
#include "fakes/kelv_fixture.h"
#include "integration/test_support.h"
#include "platform/qt/qt_serial_port.h"
#include "sim/pty_rotor.h"
#include "tracking/startup.h"
#include "tracking/tracking_cycle.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

TEST(StationRulesProgram, NoRotorCommandWhileTransmittingTheHeldTargetOnReceive) {
    sim::PtyRotor gs232(sim::RotorProtocol::Gs232);
    ASSERT_TRUE(gs232.ok());
    gs232.start();
    fakes::TempFolder folder;
    testkit::SteppedClock clock;
    fakes::FakeSerialPort radio, virtualPtt, realPtt, radio2;
    platform::QtSerialPort rotor;
    fakes::FakeTcpSocket socket;
    fakes::FakeDialogs dialogs;
    std::string ini = folder.file("Kelvora.ini");
    config::SettingsDialog settingsDialog(ini);
    Kelv k(settingsDialog, radio, rotor, virtualPtt, realPtt, radio2, socket, clock, dialogs,
           folder.path());
    config::Create_Config_file(ini);
    for (auto [section, key, value] : {std::tuple{"COM_Rotor", "Rotor_type", std::string("GS232")},
                                       {"COM_Rotor", "Rotor_com", "COM3"},
                                       {"General", "Fname", folder.file("azel.dat")},
                                       {"Ports", "COM3", gs232.path()},
                                       {"Station", "Hold_Tx", "1"}}) {
        config::WriteStringIni(section, key, value, ini);
    }
    mnuStart_Click(k);
    ASSERT_TRUE(rotor.isOpen()) << (dialogs.messages.empty() ? "" : dialogs.messages.back());

    // The file as the astronomy window writes it: Moon, Sun, and the Doppler line with the
    // transmit flag. Each receive period sends the newest target of the period before, once.
    const struct {
        const char* az;
        char flag;
    } seconds[] = {{"123.4", 'T'}, {"124.4", 'T'}, {"124.4", 'R'},
                   {"124.4", 'R'}, {"130.2", 'T'}, {"131.2", 'R'}};
    for (int i = 0; i < 6; ++i) {
        std::string time = "01:02:0" + std::to_string(i + 1);
        folder.write("azel.dat", time + ",  " + seconds[i].az + ",   45.6,Moon\r\n" + time +
                                     ",  200.1,   10.2,Sun\r\n 144,  -600,  1000,Doppler, " +
                                     seconds[i].flag + "\r\n");
        clock.second = i + 1;
        tmrRead_Timer(k);
    }
    ASSERT_TRUE(gs232.waitForCommands(2, 5));
    EXPECT_EQ(gs232.commands(), (std::vector<std::string>{"W124 045", "W131 045"}));
    mnuStart_Click(k);
}

} // namespace
} // namespace kelvora
