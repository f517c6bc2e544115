// A day of the built-in Moon on a simulated clock, for rotors that turn past 0..360 or over the
// top: the path of each window is flown without reaching a stop, without an unwind inside a
// window unless the plan announced it, and never under the horizon mask.
#include "config/ini_file.h"
#include "config/settings.h"
#include "config/settings_dialog.h"
#include "fakes/kelv_fixture.h"
#include "sim/simulated_ports.h"
#include "station/horizon_mask.h"
#include "station/rotor_range.h"
#include "tracking/path_planning.h"
#include "tracking/startup.h"
#include "tracking/tracking_cycle.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

namespace kelvora {
namespace {

struct Day {
    const char* name;
    std::map<std::string, std::string> station; // the place, the mask
    const char* type;
    sim::RotorProtocol protocol;
    double azLow, azHigh, elHigh;
    bool flip;
    double startUnix;    // the day simulated
    bool unwindsPlanned; // no path of the range flies the Moon's windows in one sweep
};

constexpr double kDec8 = 1796688000;  // 2026-12-08T00:00:00
constexpr double kDec20 = 1797768000; // 2026-12-20T12:00:00, a pass within 1 degree of zenith
constexpr const char* kMask = "0,2\n90,6\n180,3\n270,8\n";

const Day kDays[] = {
    {"JO65 0..450 with a mask",
     {{"Locator", "JO65"}, {"Horizon_File", "mask.txt"}},
     "GS232",
     sim::RotorProtocol::Gs232,
     0,
     450,
     90,
     false,
     kDec8,
     false},
    // The Moon culminates north at 34 S: a stop at north meets it on every pass.
    {"QF56 0..360",
     {{"Locator", "QF56"}},
     "GS232",
     sim::RotorProtocol::Gs232,
     0,
     360,
     90,
     false,
     kDec8,
     true},
    {"QF56 -180..180",
     {{"Locator", "QF56"}},
     "SpidRas(az/el) 1 deg",
     sim::RotorProtocol::SpidRas,
     -180,
     180,
     90,
     false,
     kDec8,
     false},
    {"20 N over the top",
     {{"Latitude", "20"}, {"Longitude", "0"}},
     "GS232",
     sim::RotorProtocol::Gs232,
     0,
     360,
     180,
     true,
     kDec20,
     false},
};

std::string text(double v) {
    return std::to_string(static_cast<long long>(v));
}

TEST(OverlapTracking, ADayOfMoonWithoutStopUnwindOrMask) {
    for (const Day& day : kDays) {
        SCOPED_TRACE(day.name);
        fakes::TempFolder folder;
        fakes::FakeClock clock;
        clock.utcMidnight = day.startUnix;
        fakes::FakeSerialPort radio{&clock}, ptt1{&clock}, ptt2{&clock}, radio2{&clock};
        sim::SimulatedRotorPort rotor(clock, day.protocol, 6);
        rotor.model().azLow = day.azLow;
        rotor.model().azHigh = day.azHigh;
        rotor.model().elLow = 0;
        rotor.model().elHigh = day.elHigh;
        fakes::FakeTcpSocket socket;
        fakes::FakeDialogs dialogs;
        fakes::FakeDeviceFactory devices;
        config::SettingsDialog settingsDialog(folder.file("Kelvora.ini"));
        Kelv k(settingsDialog, radio, rotor, ptt1, ptt2, radio2, socket, clock, dialogs,
               folder.path());
        k.devices = &devices;
        const std::string ini = k.iniPath();
        config::Create_Config_file(ini);
        folder.write("mask.txt", kMask);
        const std::map<std::string, std::string> general = {{"Fname", ""},
                                                            {"Tracking_Source", "Built-in"}};
        for (const auto& [key, value] : general) {
            config::WriteStringIni("General", key, value, ini);
        }
        config::WriteStringIni("COM_Rotor", "Rotor_type", day.type, ini);
        config::WriteStringIni("COM_Rotor", "Rotor_com", "COM2", ini);
        for (const auto& [key, value] : day.station) {
            config::WriteStringIni("Station", key, value, ini);
        }
        const std::map<std::string, std::string> range = {{"Az_Low", text(day.azLow)},
                                                          {"Az_High", text(day.azHigh)},
                                                          {"El_High", text(day.elHigh)},
                                                          {"Flip", day.flip ? "1" : "0"}};
        for (const auto& [key, value] : range) {
            config::WriteStringIni("Rotor_Range", key, value, ini);
        }
        mnuStart_Click(k);
        ASSERT_EQ(k.rs.Tracking_on, 1) << (dialogs.messages.empty() ? "" : dialogs.messages[0]);
        for (const std::string& m : dialogs.messages) {
            ASSERT_EQ(m.find("Rotor_Range"), std::string::npos) << m;
        }
        std::vector<double> announced;
        if (std::optional<plan::PassPlan> p = planFromNow(k)) {
            for (const plan::PassWindow& w : p->windows) {
                announced.insert(announced.end(), w.path.unwinds.begin(), w.path.unwinds.end());
            }
        }
        EXPECT_EQ(!announced.empty(), day.unwindsPlanned);

        station::HorizonMask mask = day.station.count("Horizon_File")
                                        ? *station::HorizonMask::parse(kMask, "mask").value
                                        : station::HorizonMask();
        double lastAz = rotor.model().targetAz(), lastEl = rotor.model().targetEl();
        double lastAt = -1e9;
        int commands = 0, unwinds = 0;
        bool flipped = false;
        for (int s = 0; s < 86400; s += 5) {
            clock.advance(5);
            tmrRead_Timer(k);
            const double az = rotor.model().targetAz(), el = rotor.model().targetEl();
            if (az == lastAz && el == lastEl) {
                continue;
            }
            ++commands;
            flipped = flipped || el > 90;
            const double skyEl = el > 90 ? 180 - el : el;
            const double skyAz = station::skyAzimuth(el > 90 ? az - 180 : az);
            EXPECT_GE(skyEl, mask.elevationAt(skyAz) - 1) << "under the mask at " << s;
            const double now = clock.utcSeconds();
            if (now - lastAt < 60 && std::abs(az - lastAz) > 20) {
                ++unwinds;
                bool planned = std::any_of(announced.begin(), announced.end(),
                                           [now](double t) { return std::abs(t - now) < 120; });
                EXPECT_TRUE(planned) << "an unwind the plan did not announce at " << s << ": "
                                     << lastAz << " to " << az;
            }
            lastAz = az, lastEl = el, lastAt = now;
        }
        EXPECT_EQ(rotor.model().refused, 0) << "a command beyond the end stops";
        EXPECT_GT(commands, 40) << "the Moon was tracked";
        EXPECT_EQ(unwinds > 0, day.unwindsPlanned);
        EXPECT_EQ(flipped, day.flip) << "flown over the top where the path needs it";
    }
}

} // namespace
} // namespace kelvora
