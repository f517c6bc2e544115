// Reply collection on a controlled clock: bursts, time-out after the last byte, the total bound.
#include "rotor/collect.h"
#include "rotor_test_support.h"

#include <gtest/gtest.h>

namespace kelvora::rotor {
namespace {

using testkit::RotorFixture;

TEST(Collect, TwoBurstsWithinTheTimeOutAreOneReply) {
    RotorFixture f("Kelvora");
    double t = f.clock.monotonic;
    f.rotor.arriveAt(t + 0.1, "AZ=180.0/179.5 ");
    f.rotor.arriveAt(t + 0.3, "EL=30.0/29.8 Kelvora>>"); // 0.2 s after the first burst
    Reply reply = collect(f.k, 1, "ora>>");
    EXPECT_TRUE(reply.complete);
    EXPECT_EQ(reply.text, "AZ=180.0/179.5 EL=30.0/29.8 Kelvora>>");
}

TEST(Collect, BurstsCountTowardsTheMinimumBytes) {
    RotorFixture f("GS232");
    double t = f.clock.monotonic;
    f.rotor.arriveAt(t + 0.05, "AZ=123  ");
    f.rotor.arriveAt(t + 0.10, "EL=045\r\n");
    Reply reply = collect(f.k, 15, "AZ=");
    EXPECT_TRUE(reply.complete);
    EXPECT_EQ(reply.text, "AZ=123  EL=045\r\n");
    EXPECT_NEAR(f.clock.monotonic - t, 0.10, 1e-9); // done when the 15th byte came, no time-out
}

TEST(Collect, GivesUpOneTimeOutAfterTheLastByte) {
    RotorFixture f("Kelvora");
    double t = f.clock.monotonic;
    f.rotor.arriveAt(t + 0.2, "AZ=");
    f.rotor.arriveAt(t + 0.4, "180");
    Reply reply = collect(f.k, 1, "ora>>");
    EXPECT_FALSE(reply.complete);
    EXPECT_EQ(reply.text, "AZ=180");
    EXPECT_NEAR(f.clock.monotonic - t, 0.4 + 0.25, 1e-6);
}

TEST(Collect, SilenceCostsOneTimeOut) {
    RotorFixture f("Kelvora");
    double t = f.clock.monotonic;
    Reply reply = collect(f.k, 1, "ora>>");
    EXPECT_FALSE(reply.complete);
    EXPECT_NEAR(f.clock.monotonic - t, 0.25, 1e-6);
}

TEST(Collect, EndlessChatterIsCutAtTheTotalBound) {
    for (float timeout : {0.25f, 2.0f}) {
        RotorFixture f("Kelvora");
        f.k.rs.Rotor_timeout = timeout;
        double t = f.clock.monotonic;
        for (int i = 1; i <= 1000; ++i) {
            f.rotor.arriveAt(t + 0.1 * i, "x"); // every 0.1 s, never the prompt
        }
        Reply reply = collect(f.k, 1, "ora>>");
        EXPECT_FALSE(reply.complete);
        double bound = collectionBound(timeout);
        EXPECT_LE(f.clock.monotonic - t, bound + 1e-6) << timeout;
        EXPECT_GE(f.clock.monotonic - t, bound - 0.1 - 1e-6) << timeout;
    }
    EXPECT_DOUBLE_EQ(collectionBound(0.25), 2.5);
    EXPECT_DOUBLE_EQ(collectionBound(3), 5.0);
}

TEST(Collect, ClosedPortEndsAtOnce) {
    RotorFixture f("Kelvora");
    f.rotor.close();
    double t = f.clock.monotonic;
    EXPECT_FALSE(collect(f.k, 1, "ora>>").complete);
    EXPECT_EQ(f.clock.monotonic, t);
    EXPECT_TRUE(f.rotor.waits.empty());
}

TEST(Collect, UnpluggedPortEndsAtOnce) {
    RotorFixture f("Kelvora");
    f.rotor.unplug("/dev/ttyUSB0: hang-up");
    EXPECT_FALSE(collect(f.k, 1, "ora>>").complete);
    EXPECT_TRUE(f.rotor.waits.empty());
}

TEST(Collect, EveryWaitBlocksInThePort) {
    RotorFixture f("EasyComm");
    double t = f.clock.monotonic;
    f.rotor.arriveAt(t + 0.1, "AZ1");
    collect(f.k, 16, "A");
    // A handful of blocking waits, not a spin of thousands of polls.
    EXPECT_LE(f.rotor.waits.size(), 4u);
    EXPECT_TRUE(f.clock.sleeps.empty());
}

} // namespace
} // namespace kelvora::rotor
