// The bytes each rotor type receives for a new tracking target, write by write, on the path the
// tracking cycle takes (through the station rules, all at their defaults).
#include "rotor/rotor_test_support.h"
#include "rotor/rotor_types.h"
#include "station/station_control.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

using testkit::bytes;
using testkit::hex;
using testkit::RotorFixture;

struct CommandCase {
    const char* type;
    const char* az;
    const char* el;
    std::string sent; // every byte in order
    bool bytewise;    // one byte per write, else one write
};

std::vector<CommandCase> commandCases() {
    const std::string cr = "\r";
    std::string rak123 = "W4830" + bytes({1, 0, 0, 0, 0, 0, 0x2F, 0x20});
    std::string ras = "W0483" + bytes({1}) + "0405" + bytes({1, 0x2F, 0x20});
    std::string ras05 = "W0966" + bytes({2}) + "0810" + bytes({2, 0x2F, 0x20});
    std::string ras00 = "W0720" + bytes({2}) + "0720" + bytes({2, 0x2F, 0x20});
    return {
        {"Kelvora", "7", "3", "AZ007 EL03" + cr, true},
        {"Kelvora", "123", "45", "AZ123 EL45" + cr, true},
        {"GS232", "123", "45", "W123 045" + cr, false},
        {"GS232", "359", "90", "W359 090" + cr, false},
        {"GS232", "10", "95", "W010 085" + cr, false},
        {"GS232", "10", "-2", "", false},
        {"GS232", "150", "-0.4", "", false}, // judged by its own value, not its whole degrees
        {"GS232-qzr", "0", "0", "W000 000" + cr, false},
        {"SpidRak(az)", "123", "45", rak123, true},
        {"SpidRak(az)", "123", "-2", rak123, true}, // azimuth-only: follows below the horizon
        {"SpidRas(az/el) 1 deg", "123", "45", ras, true},
        {"SpidRas(az/el) 0.5 deg", "123", "45", ras05, true},
        {"SpidRas(az/el) 0.5 deg", "0", "0", ras00, true},
        {"SpidRas(az/el) 1 deg", "123", "-2", "", true},
        {"D-Prosistel", "5", "-3", bytes({2}) + "AG005" + cr, true},
        {"D-Prosistel", "45", "10", bytes({2}) + "AG045" + cr, true},
        {"D-Prosistel", "360", "10", bytes({2}) + "AG360" + cr, true},
        {"EasyComm", "123.4", "45", "AZ123.4 EL45.0" + cr, false},
        {"EasyComm", "180.25", "12", "AZ180.25 EL12.0" + cr, false},
        {"EasyComm", "10", "95", "AZ10.0 EL85" + cr, false},
        {"EasyComm", "10", "-2", "", false},
        {"Radant AZV-1", "123.4", "45", "Q123.4 45.0" + cr, false},
        {"Radant AZV-1", "123.4", "-0.5", "", false},
        {"None", "123", "45", "", false},
        {"gs232", "123", "45", "", false}, // type texts are compared with letter case
    };
}

TEST(RotorCommands, BytesAndWriteBoundariesPerType) {
    for (const CommandCase& c : commandCases()) {
        SCOPED_TRACE(std::string(c.type) + " " + c.az + " " + c.el);
        RotorFixture f(c.type);
        // The tracking file gives decimals in Az_text and whole degrees in Az_int.
        f.k.rs.Az_text = c.az;
        f.k.rs.El_text = c.el;
        f.k.rs.Az_int = std::string(c.az).substr(0, std::string(c.az).find('.'));
        f.k.rs.El_int = std::string(c.el).substr(0, std::string(c.el).find('.'));
        station::commandNewTarget(f.k);
        EXPECT_EQ(hex(f.rotor.written()), hex(c.sent));
        if (c.sent.empty()) {
            EXPECT_TRUE(f.rotor.writes.empty());
        } else if (c.bytewise) {
            EXPECT_EQ(f.rotor.writes.size(), c.sent.size());
        } else {
            EXPECT_EQ(f.rotor.writes.size(), 1u);
        }
    }
}

TEST(RotorCommands, StatusLineShowsCommandExceptProsistel) {
    RotorFixture gs("GS232");
    gs.target("123", "45");
    station::commandNewTarget(gs.k);
    EXPECT_EQ(gs.k.ui.RotorAZ.caption, "W123 045");

    RotorFixture pro("D-Prosistel");
    pro.k.ui.RotorAZ.caption = "before";
    pro.target("45", "10");
    station::commandNewTarget(pro.k);
    EXPECT_EQ(pro.k.ui.RotorAZ.caption, "before");
}

TEST(RotorCommands, ManualDirectionStopsAutomaticCommands) {
    for (const rotor::RotorType& row : rotor::rotorTypes()) {
        std::string type(row.name);
        RotorFixture f(type);
        f.k.ui.Rotorman.value = 1;
        f.target("123", "45");
        station::commandNewTarget(f.k);
        EXPECT_TRUE(f.rotor.writes.empty()) << type;
    }
}

TEST(RotorCommands, CorrectionsAppliedAndLimited) {
    RotorFixture f("GS232");
    f.k.rs.Az_correction[359] = "2.6";
    f.k.rs.El_correction[45] = "-0.6";
    f.target("359", "45");
    station::commandNewTarget(f.k);
    EXPECT_EQ(f.rotor.written(), "W360 044\r");

    RotorFixture low("Kelvora");
    low.k.rs.Az_correction[1] = "-3";
    low.target("1", "0");
    station::commandNewTarget(low.k);
    EXPECT_EQ(low.rotor.written(), "AZ000 EL00\r");
}

TEST(RotorCommands, FractionalCorrectionsKeepSpidFramesWellFormed) {
    RotorFixture rak("SpidRak(az)");
    rak.k.rs.Az_correction[123] = "0.4";
    rak.target("123", "45");
    station::commandNewTarget(rak.k);
    EXPECT_EQ(hex(rak.rotor.written()), hex("W4830" + bytes({1, 0, 0, 0, 0, 0, 0x2F, 0x20})));

    RotorFixture ras("SpidRas(az/el) 0.5 deg");
    ras.k.rs.Az_correction[123] = "0.3"; // 2 * 483.3 = 966.6: the nearest half degree is 967
    ras.k.rs.El_correction[45] = "0.2";  // 2 * 405.2 = 810.4: 810
    ras.target("123", "45");
    station::commandNewTarget(ras.k);
    ASSERT_EQ(ras.rotor.writes.size(), 13u);
    EXPECT_EQ(hex(ras.rotor.written()),
              hex("W0967" + bytes({2}) + "0810" + bytes({2, 0x2F, 0x20})));
}

TEST(RotorCommands, RadantTraceWhenStartedWithT) {
    RotorFixture f("Radant AZV-1");
    f.k.rs.Trace_on = -1;
    f.folder.write("Trace.txt", "");
    f.target("123.4", "45");
    station::commandNewTarget(f.k);
    EXPECT_EQ(f.folder.read("Trace.txt"),
              "08/12/2026 01:02:03 Entro Radant AzEl\r\n08/12/2026 01:02:03 Q123.4 45.0\r\n");
}

TEST(RotorCommands, ClosedOrLostPortSendsNothing) {
    RotorFixture f("Kelvora");
    f.rotor.unplug("gone");
    f.target("123", "45");
    station::commandNewTarget(f.k);
    EXPECT_TRUE(f.rotor.writes.empty());
}

} // namespace
} // namespace kelvora
