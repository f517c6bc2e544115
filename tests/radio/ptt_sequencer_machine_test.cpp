// The PTT sequencer: its steps against time, the settings, and the order of the lines on the port.
#include "radio/ptt_sequencer_lines.h"
#include "radio/ptt_sequencer_machine.h"

#include "fakes/kelv_fixture.h"
#include "tracking/startup.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace kelvora {
namespace {

// Each step of a case is "seconds key levels": the key 1 or 0, the levels D (DTR), DR or -.
TEST(PttSequencer, StepsAgainstTime) {
    struct Case {
        const char* name;
        double lead, tail;
        const char* steps;
    };
    const Case cases[] = {
        {"down, then up after the lead", 0.05, 0.1,
         "0 1 D  0.049 1 D  0.05 1 DR  1.0 0 D  1.099 0 D  1.1 0 -"},
        {"up inside the lead never raises RTS", 0.05, 0.1, "0 1 D  0.02 0 D  0.06 0 D  0.12 0 -"},
        {"down and up between two reads inside the lead", 0.05, 0.1,
         "0 1 D  0.01 1 D  0.08 0 D  0.18 0 -"},
        {"down again in the tail waits the whole lead", 0.05, 0.1,
         "0 1 D  0.05 1 DR  0.2 0 D  0.25 1 D  0.299 1 D  0.3 1 DR"},
        {"zero lead and tail switch both at once", 0, 0, "0 1 DR  0.01 0 -"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        radio::PttSequencer sequencer(c.lead, c.tail);
        std::istringstream steps(c.steps);
        double at = 0;
        int key = 0;
        std::string expected;
        while (steps >> at >> key >> expected) {
            radio::PttLevels l = sequencer.update(1000 + at, key == 1);
            EXPECT_EQ(l.rts ? "DR" : l.dtr ? "D" : "-", expected) << at;
        }
    }
}

class PttSequenceTest : public ::testing::Test {
public:
    PttSequenceTest() {
        k.settings().Reale_PTT = "COM5";
        k.settings().setValue("Station", "Ptt_Sequence", "1");
        k.settings().setValue("Station", "Ptt_Lead_ms", "30");
        k.settings().setValue("Station", "Ptt_Tail_ms", "100");
    }
    // Runs the window timer for `seconds` at the interval it asks for.
    void run(double seconds, bool dsr) {
        f.virtualPtt.dsrLevel = dsr;
        double end = f.clock.monotonic + seconds;
        while (f.clock.monotonic < end - 1e-9) {
            tmrPttSequence_Timer(k);
            f.clock.advance(k.ui.tmrPttSequence.interval / 1000.0);
        }
    }

    fakes::KelvFixture f;
    Kelv& k = f.k;
};

TEST_F(PttSequenceTest, StopOrALostLineWhileKeyedDropsRtsThenDtr) {
    struct Case {
        const char* name;
        void (*end)(PttSequenceTest&);
    };
    const Case cases[] = {
        {"Stop", [](PttSequenceTest& t) { mnuStart_Click(t.k); }},
        {"lost virtual PTT line",
         [](PttSequenceTest& t) {
             t.f.virtualPtt.unplug();
             t.run(0.2, true);
         }},
        // MAP65 still keys: the tripped transmit interlock releases, and no key gets through.
        {"transmit interlock",
         [](PttSequenceTest& t) {
             t.k.rs.interlock.tripped = true;
             t.run(0.2, true);
             t.k.rs.interlock.tripped = false; // for the next case
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        f.virtualPtt.open("/dev/ttyS2", {19200, 'N', 8, 1}, false, error);
        k.ui.mnuStart.caption = "Stop";
        pttSequenceStart(k);
        EXPECT_TRUE(f.realPtt.isOpen() && !f.realPtt.rtsOnOpen) << "open from Start, unkeyed";
        run(0.05, true);
        ASSERT_TRUE(f.realPtt.rts);
        f.realPtt.lineChanges.clear();
        double from = f.clock.monotonic;
        c.end(*this);
        EXPECT_EQ(f.realPtt.lineChanges, (std::vector<std::string>{"RTS-", "DTR-"}));
        EXPECT_GE(f.clock.monotonic - from, 0.1) << "DTR waits the tail";
    }
}

TEST_F(PttSequenceTest, RealLineLostWhileKeyedShowsReceiveBesidePttOff) {
    std::string error;
    f.virtualPtt.open("/dev/ttyS2", {19200, 'N', 8, 1}, false, error);
    k.ui.mnuStart.caption = "Stop";
    pttSequenceStart(k);
    run(0.05, true);
    ASSERT_EQ(k.ui.PttSequence.caption, "Sequencer: transmit (DTR+RTS)");
    f.realPtt.unplug();
    run(0.2, true); // the key stays down past a whole lead
    EXPECT_EQ(k.ui.Ptt.caption, "PTT off");
    EXPECT_EQ(k.ui.PttSequence.caption, "Sequencer: receive");
}

} // namespace
} // namespace kelvora
