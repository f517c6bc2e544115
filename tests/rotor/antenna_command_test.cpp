// The antenna command decision, and the rows that carry every type's facts.
#include "rotor/antenna_command.h"
#include "rotor/rotor_types.h"

#include <gtest/gtest.h>

namespace kelvora::rotor {
namespace {

TEST(AntennaCommand, DecisionAndReason) {
    std::array<std::string, 361> az{};
    std::array<std::string, 91> el{};
    az[100] = "2";
    using D = AntennaDecision;
    using R = HoldReason;
    struct Case {
        const char* what;
        AngleRule rule;
        AntennaTarget target;
        std::optional<AntennaTarget> last;
        bool manual;
        D decision;
        R reason;
        double wantAz;
        const char* wantAzText;
    };
    const AntennaTarget t100{"100.5", "10", 100, 10};
    const AntennaTarget below{"100.5", "-1.5", 100, -1};
    const Case cases[] = {
        {"az/el corrected", AngleRule::AzEl, t100, {}, false, D::Command, R::None, 102, ""},
        {"unchanged", AngleRule::AzEl, t100, t100, false, D::Hold, R::Unchanged, 0, ""},
        {"moved", AngleRule::AzEl, t100, below, false, D::Command, R::None, 102, ""},
        {"no rotor", AngleRule::None, t100, {}, false, D::Hold, R::NoRotor, 0, ""},
        {"manual direction", AngleRule::AzEl, t100, {}, true, D::Hold, R::ManualDirection, 0, ""},
        {"below horizon", AngleRule::AzEl, below, {}, false, D::Hold, R::BelowHorizon, 0, ""},
        {"azimuth only follows", AngleRule::AzOnly, below, {}, false, D::Command, R::None, 102, ""},
        {"decimal", AngleRule::Decimal, t100, {}, false, D::Command, R::None, 0, "102.5"},
        {"decimal below", AngleRule::Decimal, below, {}, false, D::Hold, R::BelowHorizon, 0, ""},
        {"no table entry",
         AngleRule::AzOnly,
         {"400", "0", 400, 0},
         {},
         false,
         D::Hold,
         R::NoCorrection,
         0,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AntennaCommand got = decideAntennaCommand({.rule = c.rule,
                                                   .target = c.target,
                                                   .lastCommanded = c.last,
                                                   .corrections = {az, el},
                                                   .manualDirection = c.manual});
        EXPECT_EQ(got.decision, c.decision);
        EXPECT_EQ(got.reason, c.reason);
        EXPECT_DOUBLE_EQ(got.angles.az, c.wantAz);
        EXPECT_EQ(got.texts.az, c.wantAzText);
    }
}

TEST(RotorTypes, EveryTypeButNoneCommandsPollsAndStops) {
    for (const RotorType& type : rotorTypes()) {
        SCOPED_TRACE(type.name);
        bool none = type.name == "None";
        bool network = type.network != nullptr; // polled and stopped through its daemon
        EXPECT_EQ(type.set.send == nullptr, none);
        EXPECT_EQ(type.poll.request.empty(), none || network);
        EXPECT_EQ(type.stopSequence.writes.empty(), none || network);
        EXPECT_TRUE(!network || (type.network->poll && type.network->stop && type.network->park));
        EXPECT_EQ(type.manual.command == nullptr && type.manual.set == nullptr, none);
        EXPECT_EQ(type.stop, !none && type.name != "Radant AZV-1"); // no stop is known for it
        EXPECT_EQ(findRotorType(type.name), &type);
    }
    EXPECT_EQ(findRotorType("gs232"), nullptr);
}

} // namespace
} // namespace kelvora::rotor
