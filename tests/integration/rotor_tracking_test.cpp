// Every rotor type driven in-process from a rewritten tracking file, over a pseudo-terminal to a
// simulated controller, with the real serial port.
#include "config/ini_file.h"
#include "config/settings.h"
#include "fakes/kelv_fixture.h"
#include "integration/test_support.h"
#include "platform/qt/qt_serial_port.h"
#include "rotor/controller_unit.h"
#include "rotor/position_feedback.h"
#include "rotor/rotor_types.h"
#include "sim/pty_rotor.h"
#include "sim/rotor_model.h"
#include "state/kelv.h"
#include "station/station_control.h"
#include "tracking/startup.h"
#include "tracking/tracking_cycle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace kelvora {
namespace {

using SteadyClock = std::chrono::steady_clock;

// Real monotonic time and real sleeps; the second of the minute is the test's.
using TestClock = testkit::SteppedClock;

std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out += static_cast<char>(v);
    }
    return out;
}

// The program with the real rotor port, everything else on fakes.
struct Program {
    explicit Program(const std::string& rotorType)
        : settingsDialog(folder.file("Kelvora.ini")),
          k(settingsDialog, radio, rotor, virtualPtt, realPtt, radio2, socket, clock, dialogs,
            folder.path()) {
        std::string ini = folder.file("Kelvora.ini");
        config::Create_Config_file(ini);
        config::WriteStringIni("COM_Rotor", "Rotor_type", rotorType, ini);
        config::WriteStringIni("COM_Rotor", "Rotor_com", "COM3", ini);
        config::WriteStringIni("COM_Rotor", "Refresh_Rotore", "1", ini);
        config::WriteStringIni("COM_Rotor", "Rotor_TimeOutDelay", "0.3", ini);
        config::WriteStringIni("General", "Fname", folder.file("azel.dat"), ini);
    }
    void mapRotorPort(const std::string& device) {
        config::WriteStringIni("Ports", "COM3", device, folder.file("Kelvora.ini"));
    }
    void track(const std::string& az, const std::string& el) {
        folder.write("azel.dat", "01:02:03," + az + "," + el + ",Moon\r\n");
    }
    // One processed second of the tracking tick.
    void tick() {
        clock.second = clock.second % 59 + 1;
        tmrRead_Timer(k);
    }

    fakes::TempFolder folder;
    TestClock clock;
    fakes::FakeSerialPort radio, virtualPtt, realPtt, radio2;
    platform::QtSerialPort rotor;
    fakes::FakeTcpSocket socket;
    fakes::FakeDialogs dialogs;
    config::SettingsDialog settingsDialog;
    Kelv k;
};

struct TypeCase {
    const char* type;
    std::string command1, az1, el1; // for the target 123.4 / 45.6
    std::string command2, az2, el2; // for the target 200.5 / 30.2
};

std::vector<TypeCase> typeCases() {
    const std::string u = "000.0"; // a label the type does not fill
    auto ras = [](const char* h, int r, const char* v) {
        return "W" + std::string(h) + bytes({r}) + v + bytes({r, 0x2F, 0x20});
    };
    std::string rak1 = "W4830" + bytes({1, 0, 0, 0, 0, 0, 0x2F, 0x20});
    std::string rak2 = "W5600" + bytes({1, 0, 0, 0, 0, 0, 0x2F, 0x20});
    return {
        {"Kelvora", "AZ123 EL45", "123", "45", "AZ200 EL30", "200", "30"},
        {"GS232", "W123 045", "123", "045", "W200 030", "200", "030"},
        {"GS232-qzr", "W123 045", "123.0", "045.0", "W200 030", "200.0", "030.0"},
        {"SpidRak(az)", rak1, "123", u, rak2, "200", u},
        {"SpidRas(az/el) 1 deg", ras("0483", 1, "0405"), "123", "45", ras("0560", 1, "0390"), "200",
         "30"},
        {"SpidRas(az/el) 0.5 deg", ras("0966", 2, "0810"), "123", "45", ras("1120", 2, "0780"),
         "200", "30"},
        {"D-Prosistel", bytes({2}) + "AG123", "123", u, bytes({2}) + "AG200", "200", u},
        {"EasyComm", "AZ123.4 EL45.6", "123.4", "045.6", "AZ200.5 EL30.2", "200.5", "030.2"},
        {"Radant AZV-1", "Q123.4 45.6", "123.4", "45.6", "Q200.5 30.2", "200.5", "30.2"},
    };
}

bool answersSetCommands(const std::string& type) {
    return type == "Kelvora" || type.rfind("Spid", 0) == 0;
}

// Sets a target, then polls; returns the commands the controller received meanwhile.
void followAndPoll(Program& p, sim::PtyRotor& rotor, const TypeCase& c, const std::string& az,
                   const std::string& el, const std::string& command, const std::string& azLabel,
                   const std::string& elLabel) {
    std::size_t before = rotor.commands().size();
    p.track(az, el);
    p.tick();
    ASSERT_TRUE(rotor.waitForCommands(before + 1, 5)) << c.type;
    EXPECT_EQ(rotor.commands().at(before).substr(0, command.size()), command) << c.type;
    if (answersSetCommands(c.type)) {
        // The controller's answer to the set command waits on the line before the poll.
        ASSERT_TRUE(p.rotor.waitForInput(5)) << c.type;
    }
    p.tick(); // the target stayed: the next poll is not skipped
    Timer1_Timer(p.k);
    EXPECT_EQ(p.k.ui.LabelAZ.caption, azLabel) << c.type;
    EXPECT_EQ(p.k.ui.LabelEL.caption, elLabel) << c.type;
    EXPECT_EQ(rotor.commands().size(), before + 2) << c.type; // the set and one request
}

// A new rotor type on the rotor line needs a simulator row and a case above.
TEST(RotorTracking, EveryTypeOnTheLineHasASimulatorAndACase) {
    std::vector<TypeCase> cases = typeCases();
    std::size_t onLine = 0;
    for (const rotor::RotorType& type : rotor::rotorTypes()) {
        if (!rotor::rotorUsesLine(type.name)) {
            EXPECT_FALSE(sim::protocolFor(type.name)) << type.name;
            continue;
        }
        ++onLine;
        EXPECT_TRUE(sim::protocolFor(type.name)) << type.name;
        EXPECT_TRUE(std::any_of(cases.begin(), cases.end(), [&](const TypeCase& c) {
            return c.type == type.name;
        })) << type.name;
    }
    EXPECT_EQ(sim::simulatedTypes().size(), onLine);
}

TEST(RotorTracking, EveryTypeFollowsTheTrackingFileAndShowsItsPosition) {
    for (const TypeCase& c : typeCases()) {
        SCOPED_TRACE(c.type);
        sim::PtyRotor rotor(*sim::protocolFor(c.type));
        ASSERT_TRUE(rotor.ok());
        rotor.start();
        Program p(c.type);
        p.mapRotorPort(rotor.path());
        p.track("  123.4", "   45.6");
        mnuStart_Click(p.k);
        ASSERT_TRUE(p.rotor.isOpen())
            << (p.dialogs.messages.empty() ? "" : p.dialogs.messages.back());
        followAndPoll(p, rotor, c, "  123.4", "   45.6", c.command1, c.az1, c.el1);
        followAndPoll(p, rotor, c, "  200.5", "   30.2", c.command2, c.az2, c.el2);
        mnuStart_Click(p.k);
        EXPECT_FALSE(p.rotor.isOpen());
    }
}

TEST(RotorTracking, ManualDirectionAndStopReachTheController) {
    sim::PtyRotor rotor(sim::RotorProtocol::Gs232);
    rotor.start();
    Program p("GS232");
    p.mapRotorPort(rotor.path());
    p.track("  123.4", "   45.6");
    mnuStart_Click(p.k);
    p.k.ui.Rotorman.value = 1;
    Rotorman_Click(p.k);
    p.tick(); // manual direction on: the new target is not sent
    p.k.ui.Text1.caption = "45";
    p.k.ui.Text2.caption = "7";
    station::Command5_Click(p.k);
    Command6_Click(p.k);
    ASSERT_TRUE(rotor.waitForCommands(2, 5));
    EXPECT_EQ(rotor.commands(), (std::vector<std::string>{"W045 007", "S"}));
    EXPECT_EQ(rotor.snapshot().az, 45);
}

TEST(RotorTracking, KelvoraHostAndTerminalModes) {
    sim::PtyRotor rotor(sim::RotorProtocol::Kelvora);
    rotor.start();
    Program p("Kelvora");
    p.mapRotorPort(rotor.path());
    p.track("  123.4", "   45.6");
    mnuStart_Click(p.k);
    Command3_Click(p.k);
    EXPECT_EQ(p.k.ui.RotorAZ.caption, "Host to Kelvora");
    EXPECT_FALSE(p.k.frmMessage.visible); // confirmed at the first attempt
    EXPECT_TRUE(rotor.snapshot().hostMode);
    Command2_Click(p.k);
    ASSERT_TRUE(rotor.waitForCommands(2, 5));
    EXPECT_FALSE(rotor.snapshot().hostMode);
    EXPECT_EQ(rotor.commands(), (std::vector<std::string>{"7", "Q"}));
}

TEST(RotorTracking, ALostRotorPortIsReportedAndReopenedByStopAndStart) {
    auto rotor = std::make_unique<sim::PtyRotor>(sim::RotorProtocol::Gs232);
    rotor->start();
    Program p("GS232");
    p.mapRotorPort(rotor->path());
    p.track("  123.4", "   45.6");
    mnuStart_Click(p.k);
    p.tick();
    ASSERT_TRUE(rotor->waitForCommands(1, 5));
    rotor->hangUp();

    auto start = SteadyClock::now();
    p.tick();
    Timer1_Timer(p.k);
    p.track("  200.5", "   30.2");
    p.tick();
    Timer1_Timer(p.k);
    Command6_Click(p.k);
    EXPECT_LT(std::chrono::duration<double>(SteadyClock::now() - start).count(), 5.0);
    EXPECT_FALSE(p.rotor.isOpen());
    EXPECT_NE(p.k.ui.RotorAZ.caption.find("Rotor port lost"), std::string::npos)
        << p.k.ui.RotorAZ.caption;

    // A new adapter: Stop and Start open it again and tracking goes on.
    rotor = std::make_unique<sim::PtyRotor>(sim::RotorProtocol::Gs232);
    rotor->start();
    p.mapRotorPort(rotor->path());
    mnuStart_Click(p.k);
    mnuStart_Click(p.k);
    ASSERT_TRUE(p.rotor.isOpen());
    p.track("  210.5", "   31.2");
    p.tick();
    ASSERT_TRUE(rotor->waitForCommands(1, 5));
    EXPECT_EQ(rotor->commands().front(), "W210 031");
}

// A controller that chatters without ever ending its reply holds a poll no longer than the
// bounded collection time.
TEST(RotorTracking, EndlessChatterDoesNotFreezeThePoll) {
    int master = -1, slave = -1;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    termios tio{};
    ::tcgetattr(slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(slave, TCSANOW, &tio);
    std::atomic<bool> chatter{true};
    std::thread talker([&] {
        while (chatter) {
            [[maybe_unused]] ssize_t n = ::write(master, "x", 1);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    });
    Program p("Kelvora");
    p.mapRotorPort(name);
    p.track("  123.4", "   45.6");
    mnuStart_Click(p.k);
    ASSERT_TRUE(p.rotor.isOpen());
    p.k.rs.Target_moved = 0;
    auto start = SteadyClock::now();
    Controllo_posizione(p.k);
    double took = std::chrono::duration<double>(SteadyClock::now() - start).count();
    chatter = false;
    talker.join();
    mnuStart_Click(p.k);
    ::close(slave);
    ::close(master);
    EXPECT_GE(took, 2.9);  // ten time-outs of 0.3 s: bytes kept coming all along
    EXPECT_LT(took, 10.0); // late on a loaded machine, but bounded: the bytes never stopped
    EXPECT_EQ(p.k.ui.LabelAZ.caption, "000.0");
}

// Hold while transmitting: the tracking file's Doppler line flips between ", T" and ", R"; each
// receive period sends the newest target of the transmit period before it, once.
TEST(RotorTracking, NoCommandWhileTheFileSaysTransmitTheHeldTargetOnReceive) {
    sim::PtyRotor rotor(sim::RotorProtocol::Gs232);
    rotor.start();
    Program p("GS232");
    p.mapRotorPort(rotor.path());
    config::WriteStringIni("Station", "Hold_Tx", "1", p.folder.file("Kelvora.ini"));
    mnuStart_Click(p.k);
    const char* azimuths[] = {"123.4", "124.4", "124.4", "124.4", "130.2", "131.2"};
    const char flags[] = "TTRRTR";
    for (int i = 0; i < 6; ++i) {
        std::string time = "01:02:0" + std::to_string(i + 1);
        p.folder.write("azel.dat", time + ",  " + azimuths[i] + ",   45.6,Moon\r\n" + time +
                                       ",  200.1,   10.2,Sun\r\n 144,  -600,  1000,Doppler, " +
                                       flags[i] + "\r\n");
        p.tick();
    }
    ASSERT_TRUE(rotor.waitForCommands(2, 5));
    EXPECT_EQ(rotor.commands(), (std::vector<std::string>{"W124 045", "W131 045"}));
}

} // namespace
} // namespace kelvora
