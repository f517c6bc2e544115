// A rotor line that goes away and comes back under the same name, with the real serial port.
#include "config/ini_file.h"
#include "fakes/kelv_fixture.h"
#include "integration/test_support.h"
#include "platform/qt/qt_serial_port.h"
#include "sim/pty_rotor.h"
#include "state/kelv.h"
#include "tracking/startup.h"
#include "tracking/tracking_cycle.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <memory>

namespace kelvora {
namespace {

// Real waits; the test moves monotonic time on by the tick's half second at once, so the retry
// schedule runs without waiting for it.
class SkippingClock : public testkit::SteppedClock {
public:
    double monotonicSeconds() override { return SteppedClock::monotonicSeconds() + skipped; }
    double skipped = 0;
};

std::size_t openDescriptors() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++n;
    }
    return n;
}

// The program with the real rotor port behind a link, everything else on fakes.
struct Program {
    Program()
        : settingsDialog(folder.file("Kelvora.ini")),
          k(settingsDialog, radio, rotor, virtualPtt, realPtt, radio2, socket, clock, dialogs,
            folder.path()) {
        std::string ini = folder.file("Kelvora.ini");
        config::Create_Config_file(ini);
        config::WriteStringIni("COM_Rotor", "Rotor_type", "GS232", ini);
        config::WriteStringIni("COM_Rotor", "Rotor_com", "COM3", ini);
        config::WriteStringIni("General", "Fname", folder.file("azel.dat"), ini);
        config::WriteStringIni("Ports", "COM3", link(), ini);
        folder.write("azel.dat", "01:02:03,123.4, 45.6,Moon\r\n");
    }
    std::string link() const { return folder.file("rotor-link"); }
    // Points the link at `device` in one step, as udev replaces a by-id link.
    void pointLinkAt(const std::string& device) {
        std::filesystem::path fresh = folder.file("rotor-link.new");
        std::filesystem::remove(fresh);
        std::filesystem::create_symlink(device, fresh);
        std::filesystem::rename(fresh, link());
    }
    // One tick half a second later; returns its real duration in seconds.
    double tick() {
        clock.skipped += 0.5;
        clock.second = clock.second % 59 + 1;
        auto start = std::chrono::steady_clock::now();
        tmrRead_Timer(k);
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    fakes::TempFolder folder;
    SkippingClock clock;
    fakes::FakeSerialPort radio, virtualPtt, realPtt, radio2;
    platform::QtSerialPort rotor;
    fakes::FakeTcpSocket socket;
    fakes::FakeDialogs dialogs;
    config::SettingsDialog settingsDialog;
    Kelv k;
};

TEST(LineReopen, Gs232BehindALinkGetsTheTargetAgainAfterItsLineWasReplaced) {
    Program p;
    auto first = std::make_unique<sim::PtyRotor>(sim::RotorProtocol::Gs232);
    first->start();
    p.pointLinkAt(first->path());
    mnuStart_Click(p.k);
    ASSERT_TRUE(p.rotor.isOpen());
    p.tick();
    ASSERT_TRUE(first->waitForCommands(1, 5));

    first->hangUp();
    sim::PtyRotor second(sim::RotorProtocol::Gs232);
    second.start();
    p.pointLinkAt(second.path());
    double longestTick = 0;
    double lostFor = 0;
    do {
        longestTick = std::max(longestTick, p.tick());
        lostFor += 0.5;
    } while (!p.rotor.isOpen() && lostFor < 40);
    ASSERT_TRUE(second.waitForCommands(1, 5)) << p.k.ui.RotorAZ.caption;
    EXPECT_EQ(second.commands()[0].substr(0, 8), "W123 045");
    EXPECT_EQ(p.k.ui.RotorAZ.caption, "Rotor port back: " + p.link());
    EXPECT_LE(lostFor, 3); // the first attempt, 2 s after the loss was noticed
    EXPECT_LT(longestTick, 0.05);
    mnuStart_Click(p.k);
}

TEST(LineReopen, LostAndBackAHundredTimesKeepsTheDescriptorsAndReSendsEachTime) {
    Program p;
    auto device = std::make_unique<testkit::PtyDevice>();
    p.pointLinkAt(device->name());
    mnuStart_Click(p.k);
    ASSERT_TRUE(p.rotor.isOpen());
    p.tick();
    std::size_t before = 0;
    for (int i = 0; i < 100; ++i) {
        auto next = std::make_unique<testkit::PtyDevice>();
        p.pointLinkAt(next->name());
        device = std::move(next); // the old line goes away
        std::string received;
        for (int t = 0; t < 12 && received.find("W123 045") == std::string::npos; ++t) {
            p.tick();
            received += device->received();
        }
        ASSERT_NE(received.find("W123 045"), std::string::npos) << "round " << i;
        if (i == 0) {
            before = openDescriptors();
        }
    }
    EXPECT_EQ(openDescriptors(), before);
    mnuStart_Click(p.k);
}

} // namespace
} // namespace kelvora
