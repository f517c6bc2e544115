// A rotor line that goes away and comes back under the same name, with the real serial port.
#include "config/ini_file.h"
#include "fakes/kelv_fixture.h"
#include "integration/test_support.h"
#include "platform/qt/qt_serial_port.h"
#include "sim/pty_rotor.h"
#include "tracking/line_reopen.h"
#include "tracking/startup.h"
#include "tracking/tracking_cycle.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>

namespace kelvora {
namespace {

// Real waits; each tick moves monotonic time on by half a second at once, so the retry schedule
// runs without the test waiting for it.
struct SkippingClock : testkit::SteppedClock {
    double monotonicSeconds() override { return SteppedClock::monotonicSeconds() + skipped; }
    double skipped = 0;
};

std::size_t openDescriptors() {
    auto fds = std::filesystem::directory_iterator("/proc/self/fd");
    return static_cast<std::size_t>(std::distance(begin(fds), end(fds)));
}

// The program with a real GS-232 rotor line on the device `rotorDevice` names, a constant target.
struct RealRotorLine {
    explicit RealRotorLine(const std::string& rotorDevice) {
        config::Create_Config_file(ini);
        config::WriteStringIni("COM_Rotor", "Rotor_type", "GS232", ini);
        config::WriteStringIni("COM_Rotor", "Rotor_com", "COM3", ini);
        config::WriteStringIni("General", "Fname", folder.file("azel.dat"), ini);
        config::WriteStringIni("Ports", "COM3", rotorDevice, ini);
        folder.write("azel.dat", "01:02:03,123.4, 45.6,Moon\r\n");
    }
    fakes::TempFolder folder;
    SkippingClock clock;
    fakes::FakeSerialPort radio, virtualPtt, realPtt, radio2;
    platform::QtSerialPort rotor;
    fakes::FakeTcpSocket socket;
    fakes::FakeDialogs dialogs;
    std::string ini = folder.file("Kelvora.ini");
    config::SettingsDialog settingsDialog{ini};
    Kelv k{settingsDialog, radio,  rotor, virtualPtt, realPtt,
           radio2,         socket, clock, dialogs,    folder.path()};
};

TEST(LineReopen, Gs232BehindALinkGetsTheTargetAgainEachTimeItsLineIsReplaced) {
    fakes::TempFolder links;
    std::string link = links.file("rotor-link");
    RealRotorLine p(link);
    SkippingClock& clock = p.clock;
    platform::QtSerialPort& rotor = p.rotor;
    Kelv& k = p.k;
    auto pointLinkAt = [&](const std::string& device) { // in one step, as udev does
        std::filesystem::create_symlink(device, link + ".new");
        std::filesystem::rename(link + ".new", link);
    };
    auto tick = [&] {
        clock.skipped += 0.5;
        clock.second = clock.second % 59 + 1;
        tmrRead_Timer(k);
    };

    auto first = std::make_unique<sim::PtyRotor>(sim::RotorProtocol::Gs232);
    first->start();
    pointLinkAt(first->path());
    mnuStart_Click(k);
    tick();
    ASSERT_TRUE(first->waitForCommands(1, 5));
    first->hangUp();
    sim::PtyRotor second(sim::RotorProtocol::Gs232);
    second.start();
    pointLinkAt(second.path());
    double lostFor = 0;
    do { // the first tick notices the loss
        tick();
        lostFor += 0.5;
    } while (!rotor.isOpen() && lostFor < 40);
    ASSERT_TRUE(second.waitForCommands(1, 5)) << k.ui.RotorAZ.caption;
    EXPECT_EQ(second.commands()[0].substr(0, 8), "W123 045");
    EXPECT_EQ(k.ui.RotorAZ.caption, "Rotor port back: " + link);
    EXPECT_LE(lostFor, 3); // the first attempt, 2 s after the loss was noticed

    // Lost and back a hundred times: every reopen re-sends, no descriptor is left behind.
    std::size_t descriptors = 0;
    second.hangUp();
    std::unique_ptr<testkit::PtyDevice> device;
    for (int round = 0; round < 100; ++round) {
        auto next = std::make_unique<testkit::PtyDevice>();
        pointLinkAt(next->name());
        device = std::move(next); // the line in use goes away
        std::string received;
        for (int t = 0; t < 12 && received.find("W123 045") == std::string::npos; ++t) {
            tick();
            received += device->received();
        }
        ASSERT_NE(received.find("W123 045"), std::string::npos) << "round " << round;
        descriptors = round == 0 ? openDescriptors() : descriptors;
    }
    EXPECT_EQ(openDescriptors(), descriptors);
    mnuStart_Click(k);
}

double processCpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// With reopening off nothing is due on the line after the hang-up: the event loop alone must
// notice it, close the line and report it, and then rest.
TEST(LineReopen, AHangUpWithReopeningOffIsReportedAtOnceAndCostsNoCpu) {
    testkit::PtyDevice device;
    RealRotorLine p(device.name());
    config::WriteStringIni("Station", "Reopen_Ports", "0", p.ini);
    Kelv& k = p.k;
    platform::QtSerialPort& rotor = p.rotor;
    rotor.onLost = [&k] { noticeLostLines(k); };
    mnuStart_Click(k);
    p.clock.second = 1;
    tmrRead_Timer(k);
    ASSERT_NE(device.received().find("W123 045"), std::string::npos) << k.ui.RotorAZ.caption;

    device.close();
    double before = processCpuSeconds();
    QEventLoop loop;
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    loop.exec();
    double spent = processCpuSeconds() - before;
    EXPECT_LT(spent, 0.01) << "CPU seconds in the second after the hang-up";
    EXPECT_FALSE(rotor.isOpen());
    EXPECT_EQ(k.ui.RotorAZ.caption, "Rotor port lost: " + device.name() + ": the device hung up");
    mnuStart_Click(k);
}

} // namespace
} // namespace kelvora
