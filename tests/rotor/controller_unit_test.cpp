// The rotor row's buttons: host and terminal mode, manual direction, Stop, polarity, split, dual.
#include "radio/radio_models.h"
#include "rotor/controller_unit.h"
#include "rotor/kelvora_unit.h"
#include "rotor_test_support.h"
#include "station/station_control.h"
#include "tracking/device_lists.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

using testkit::bytes;
using testkit::hex;
using testkit::RotorFixture;

const char* kHostFailure = "Comms. Error during\rKelvora Set Host Mode";

TEST(HostMode, BarePromptConfirmsAtTheFirstAttempt) {
    RotorFixture f("Kelvora");
    f.rotor.arrive("stale bytes");
    f.rotor.onWrite = [&](std::string_view w) {
        if (w == "7") {
            f.rotor.arrive("\r\nKelvora>>");
        }
    };
    Command3_Click(f.k);
    EXPECT_EQ(f.rotor.writes, std::vector<std::string>{"7"});
    EXPECT_FALSE(f.k.frmMessage.visible);
    EXPECT_EQ(f.k.ui.RotorAZ.caption, "Host to Kelvora");
}

TEST(HostMode, SilenceGivesThreeAttemptsThenTheMessage) {
    RotorFixture f("Kelvora");
    double t = f.clock.monotonic;
    Command3_Click(f.k);
    EXPECT_EQ(f.rotor.writes, (std::vector<std::string>{"7", "7", "7"}));
    EXPECT_NEAR(f.clock.monotonic - t, 3 * 0.25, 1e-6);
    EXPECT_TRUE(f.k.frmMessage.visible);
    EXPECT_EQ(f.k.frmMessage.Label1.caption, kHostFailure);
    EXPECT_EQ(f.k.ui.RotorAZ.caption, "Host to Kelvora");
}

TEST(HostMode, ErrorAnswerIsAFailedAttempt) {
    RotorFixture f("Kelvora");
    int answers = 0;
    f.rotor.onWrite = [&](std::string_view) {
        f.rotor.arrive(++answers == 1 ? "Error\r\nKelvora>>" : "\r\nKelvora>>");
    };
    KVRotorSetHost(f.k);
    EXPECT_EQ(f.rotor.writes.size(), 2u);
    EXPECT_FALSE(f.k.frmMessage.visible);
}

TEST(HostMode, ClosedPortOrNotStartedDoesNothing) {
    RotorFixture closed("Kelvora");
    closed.rotor.close();
    double t = closed.clock.monotonic;
    Command3_Click(closed.k);
    EXPECT_EQ(closed.clock.monotonic, t);
    EXPECT_FALSE(closed.k.frmMessage.visible);

    RotorFixture stopped("Kelvora");
    stopped.k.rs.Tracking_on = 0;
    Command3_Click(stopped.k);
    EXPECT_TRUE(stopped.rotor.writes.empty());

    RotorFixture other("GS232");
    Command3_Click(other.k);
    EXPECT_TRUE(other.rotor.writes.empty());
}

TEST(TerminalAndDual, Command2) {
    RotorFixture f("Kelvora");
    Command2_Click(f.k);
    EXPECT_EQ(f.rotor.writes, (std::vector<std::string>{"Q", "\r"}));
    EXPECT_EQ(f.k.ui.RotorAZ.caption, "Cmd to Kelvora");
    EXPECT_EQ(f.k.ui.Command2.caption, "Dual off");
    EXPECT_FALSE(f.k.rs.Dual_on);

    RotorFixture d("None");
    d.k.settings().RtxType = "IC-7800";
    learnDeviceFacts(d.k);
    d.k.ui.Command2.caption = "Dual off";
    Command2_Click(d.k);
    EXPECT_EQ(d.k.ui.Command2.caption, "Dual on");
    EXPECT_TRUE(d.k.rs.Dual_on);
    Command2_Click(d.k);
    EXPECT_EQ(d.k.ui.Command2.caption, "Dual off");
    EXPECT_FALSE(d.k.rs.Dual_on);
    EXPECT_TRUE(d.rotor.writes.empty());
}

TEST(Split, Command4TogglesForTheRadiosWithASplitButton) {
    int toggling = 0;
    for (const radio::RadioModel& model : radio::radioModels()) {
        RotorFixture f("None");
        f.k.settings().RtxType = std::string(model.name);
        learnDeviceFacts(f.k);
        Command4_Click(f.k);
        EXPECT_EQ(f.k.rs.Split_on, model.splitButton ? 1 : 0) << model.name;
        if (model.splitButton) {
            ++toggling;
            EXPECT_EQ(f.k.ui.Command4.back, ui::kHighlight);
            Command4_Click(f.k);
            EXPECT_EQ(f.k.rs.Split_on, 0);
        }
        EXPECT_EQ(f.k.ui.Command4.back, std::nullopt) << model.name;
    }
    EXPECT_EQ(toggling, 2) << "the IC-756pro3 and the IC-275";
}

TEST(ManualDirection, BytesPerType) {
    const std::string cr = "\r";
    struct Case {
        const char* type;
        std::vector<std::string> writes;
    };
    std::string ras = "W0405" + bytes({1}) + "0367" + bytes({1, 0x2F, 0x20});
    std::vector<std::string> rasWrites;
    for (char c : ras) {
        rasWrites.emplace_back(1, c);
    }
    const Case cases[] = {
        {"GS232", {"W045 007" + cr}},
        {"GS232-qzr", {"W045 007" + cr}},
        {"Kelvora", {"AZ045 EL007" + cr}},
        {"EasyComm", {"AZ045.0 EL007.0" + cr}},
        {"Radant AZV-1", {"Q045.0 007.0" + cr}},
        {"SpidRas(az/el) 1 deg", rasWrites},
        {"None", {}},
    };
    for (const Case& c : cases) {
        RotorFixture f(c.type);
        f.k.ui.Rotorman.value = 1;
        f.k.ui.Text1.caption = "45";
        f.k.ui.Text2.caption = "7";
        station::Command5_Click(f.k);
        EXPECT_EQ(f.rotor.writes, c.writes) << c.type;
    }
}

TEST(ManualDirection, FieldsLimitedAndCheckedFirst) {
    RotorFixture f("GS232");
    f.k.ui.Rotorman.value = 1;
    f.k.ui.Text1.caption = "400";
    f.k.ui.Text2.caption = "-5";
    station::Command5_Click(f.k);
    EXPECT_EQ(f.k.ui.Text1.caption, "360");
    EXPECT_EQ(f.k.ui.Text2.caption, "0");
    EXPECT_EQ(f.rotor.written(), "W360 000\r");

    RotorFixture letters("GS232");
    letters.k.ui.Rotorman.value = 1;
    letters.k.ui.Text1.caption = "abc";
    station::Command5_Click(letters.k);
    EXPECT_EQ(letters.k.ui.Text1.caption, "0");
    EXPECT_TRUE(letters.rotor.writes.empty());

    RotorFixture unticked("GS232");
    station::Command5_Click(unticked.k);
    EXPECT_TRUE(unticked.rotor.writes.empty());

    RotorFixture halves("GS232");
    halves.k.ui.Rotorman.value = 1;
    halves.k.ui.Text1.caption = "44.5"; // halves to the even neighbour
    halves.k.ui.Text2.caption = "7.5";
    station::Command5_Click(halves.k);
    EXPECT_EQ(halves.rotor.written(), "W044 008\r");
}

TEST(Stop, BytesAndPacingPerType) {
    const std::string cr = "\r";
    std::string spid = bytes({'W', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x0F, 0x20});
    struct Case {
        const char* type;
        std::string sent;
        std::size_t writes;
        std::size_t paces;
    };
    const Case cases[] = {
        {"GS232", "S" + cr, 2, 1},
        {"Kelvora", cr, 1, 1},
        {"SpidRak(az)", spid, 13, 13},
        {"SpidRas(az/el) 0.5 deg", spid, 13, 13},
        {"D-Prosistel", bytes({2}) + "AG999" + cr, 7, 7},
        {"EasyComm", "SA SE" + cr, 1, 1},
        {"Radant AZV-1", "S" + cr, 1, 1},
    };
    for (const Case& c : cases) {
        RotorFixture f(c.type);
        f.k.rs.Rotor_pace_delay = 0.1f;
        double t = f.clock.monotonic;
        Command6_Click(f.k);
        EXPECT_EQ(hex(f.rotor.written()), hex(c.sent)) << c.type;
        EXPECT_EQ(f.rotor.writes.size(), c.writes) << c.type;
        EXPECT_GT(f.clock.monotonic - t, c.paces * 0.1 - 1e-6) << c.type;

        RotorFixture stopped(c.type);
        stopped.k.rs.Tracking_on = 0;
        Command6_Click(stopped.k);
        EXPECT_TRUE(stopped.rotor.writes.empty()) << c.type;
    }
}

TEST(Polarity, ColoursAndCommands) {
    RotorFixture f("None");
    Command7_Click(f.k);
    EXPECT_EQ(f.k.ui.Command7.back, ui::kHighlight);
    EXPECT_EQ(f.k.ui.Command8.back, std::nullopt);
    Command8_Click(f.k);
    EXPECT_EQ(f.k.ui.Command8.back, ui::kHighlight);
    EXPECT_EQ(f.k.ui.Command7.back, std::nullopt);
    EXPECT_EQ(f.rotor.writes, (std::vector<std::string>{"HP", "\r", "VP", "\r"}));
}

TEST(ManualBox, EnablesStartAndStop) {
    RotorFixture f("GS232");
    f.k.ui.Rotorman.value = 1;
    Rotorman_Click(f.k);
    EXPECT_TRUE(f.k.ui.Command5.enabled);
    EXPECT_TRUE(f.k.ui.Command6.enabled);
    f.k.ui.Rotorman.value = 0;
    Rotorman_Click(f.k);
    EXPECT_FALSE(f.k.ui.Command5.enabled);
    EXPECT_TRUE(f.k.ui.Command6.enabled);
}

} // namespace
} // namespace kelvora
