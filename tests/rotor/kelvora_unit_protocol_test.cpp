// The Kelvora unit's reply: its kinds, and the azimuth kept before the elevation is looked for.
#include "rotor/controller_unit.h"
#include "rotor/kelvora_unit.h"
#include "rotor/kelvora_unit_protocol.h"
#include "rotor_test_support.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

using Kind = rotor::KvReply::Kind;
using std::nullopt;

TEST(KelvoraUnitProtocol, ReplyKinds) {
    struct Case {
        std::string reply;
        Kind kind;
        std::optional<double> az, el;
    };
    const Case cases[] = {
        {"AZ=180.0/179.5 EL=30.0/29.8\r\nKelvora>>", Kind::Position, 179.5, 29.8},
        {"AZ=1/2 EL=3/4 eRRoR Kelvora>>", Kind::Error, nullopt, nullopt},
        {"\r\nKelvora>>", Kind::NoPosition, nullopt, nullopt},
        {"AZ=180.0/179.5 Kelvora>>", Kind::NoElevation, 179.5, nullopt},
        {"AZ=180.0 EL=30.0/29.8 Kelvora>>", Kind::NoElevation, 29.8, nullopt}, // "/" of EL
        {"AZ=/x EL=/y Kelvora>>", Kind::Unreadable, nullopt, nullopt},
        {"AZ=1/2 EL=3/ Kelvora>>", Kind::Unreadable, 2.0, nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        rotor::KvReply got = rotor::parseKvReply(c.reply);
        EXPECT_EQ(got.kind, c.kind);
        EXPECT_EQ(got.az, c.az);
        EXPECT_EQ(got.el, c.el);
    }
}

TEST(KelvoraUnit, AzimuthKeptBeforeTheElevationIsLookedFor) {
    testkit::RotorFixture f("Kelvora");
    f.k.rs.Az_int = "10";
    f.rotor.arrive("AZ=180.0/179.5 Kelvora>>");
    EXPECT_EQ(KVRotorReadFrame(f.k), "01:");
    EXPECT_EQ(f.k.rs.Az_int, "179.5");
    EXPECT_EQ(f.k.frmMessage.Label1.caption, "Error: Kelvora comms.");
}

TEST(KelvoraUnit, UnreadableAnglesAreAFailedHostAttempt) {
    testkit::RotorFixture f("Kelvora");
    int answers = 0;
    f.rotor.onWrite = [&](std::string_view) {
        f.rotor.arrive(++answers == 1 ? "AZ=/x EL=/y Kelvora>>" : "\r\nKelvora>>");
    };
    Command3_Click(f.k);
    EXPECT_EQ(f.rotor.writes, (std::vector<std::string>{"7", "7"}));
    EXPECT_FALSE(f.k.frmMessage.visible);
}

} // namespace
} // namespace kelvora
