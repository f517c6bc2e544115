// One exchange at a time on the rotor line while the error report's wait runs timer ticks.
#include "rotor/antenna_command.h"
#include "rotor/position_feedback.h"
#include "rotor/rotor_line_guard.h"
#include "rotor_test_support.h"
#include "station/station_control.h"
#include "tracking/tracking_cycle.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

// The unit answers a poll without an elevation: the error report waits, and inside its wait a
// refresh tick and a new target arrive.
struct NestedTick : testkit::RotorFixture {
    NestedTick() : RotorFixture("Kelvora") {
        rotor.onWrite = [this](std::string_view w) {
            if (w == "\r" && rotor.writes.size() == 2) {
                rotor.arrive("AZ=1.0/1.0 Kelvora>>");
            }
        };
        dialogs.duringNestedLoop = [this] {
            EXPECT_TRUE(rotor::rotorLineBusy(k));
            Timer1_Timer(k); // a second poll: skipped
            k.rs.Az_text = k.rs.Az_int = "123";
            k.rs.El_text = k.rs.El_int = "45";
            station::commandNewTarget(k); // a new target: after the poll
            pollWrites = rotor.writes.size();
            k.frmMessage.visible = false;
        };
    }
    std::size_t pollWrites = 0;
};

TEST(RotorLineGuard, NestedPollSkippedAndCommandDeferred) {
    NestedTick f;
    Controllo_posizione(f.k);
    EXPECT_EQ(f.dialogs.nestedLoops, 1);
    EXPECT_EQ(f.pollWrites, 2u); // nothing written inside the exchange
    std::string command;
    for (std::size_t i = 2; i < f.rotor.writes.size(); ++i) {
        command += f.rotor.writes[i];
    }
    EXPECT_EQ(f.rotor.writes[0] + f.rotor.writes[1], "?A\r");
    EXPECT_EQ(command, "AZ123 EL45\r");
    EXPECT_EQ(f.k.rs.Target_moved, 1);
    EXPECT_FALSE(rotor::rotorLineBusy(f.k));
}

TEST(RotorLineGuard, CommandsWaitInArrivalOrderAndAPollIsNotQueued) {
    testkit::RotorFixture f("GS232");
    std::vector<std::string> order;
    bool ran = rotor::onRotorLine(f.k, rotor::Exchange::Command, [&] {
        order.push_back("first");
        EXPECT_FALSE(
            rotor::onRotorLine(f.k, rotor::Exchange::Poll, [&] { order.push_back("poll"); }));
        EXPECT_FALSE(
            rotor::onRotorLine(f.k, rotor::Exchange::Command, [&] { order.push_back("second"); }));
        EXPECT_FALSE(
            rotor::onRotorLine(f.k, rotor::Exchange::Command, [&] { order.push_back("third"); }));
    });
    EXPECT_TRUE(ran);
    EXPECT_EQ(order, (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_FALSE(rotor::rotorLineBusy(f.k));
}

} // namespace
} // namespace kelvora
