// The PTT sequencer: its steps against time, the settings, and the order of the lines on the port.
#include "radio/ptt_sequence.h"
#include "radio/ptt_sequencer.h"

#include "fakes/kelv_fixture.h"
#include "tracking/startup.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvora {
namespace {

std::string levelsText(radio::PttLevels l) {
    return l.rts ? "DTR+RTS" : l.dtr ? "DTR" : "-";
}

TEST(PttSequencer, StepsAgainstTime) {
    struct Step {
        double at;
        bool keyed;
        const char* levels;
    };
    struct Case {
        const char* name;
        double lead, tail;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"down, then up after the lead",
         0.05,
         0.1,
         {{0, true, "DTR"},
          {0.049, true, "DTR"},
          {0.05, true, "DTR+RTS"},
          {1.0, false, "DTR"},
          {1.099, false, "DTR"},
          {1.1, false, "-"}}},
        {"up inside the lead never raises RTS",
         0.05,
         0.1,
         {{0, true, "DTR"}, {0.02, false, "DTR"}, {0.06, false, "DTR"}, {0.12, false, "-"}}},
        {"down and up between two reads inside the lead",
         0.05,
         0.1,
         {{0, true, "DTR"}, {0.01, true, "DTR"}, {0.08, false, "DTR"}, {0.18, false, "-"}}},
        {"down again in the tail waits the whole lead",
         0.05,
         0.1,
         {{0, true, "DTR"},
          {0.05, true, "DTR+RTS"},
          {0.2, false, "DTR"},
          {0.25, true, "DTR"},
          {0.299, true, "DTR"},
          {0.3, true, "DTR+RTS"}}},
        {"zero lead and tail switch both at once",
         0,
         0,
         {{0, true, "DTR+RTS"}, {0.01, false, "-"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        radio::PttSequencer sequencer(c.lead, c.tail);
        for (const Step& s : c.steps) {
            EXPECT_EQ(levelsText(sequencer.update(1000 + s.at, s.keyed)), s.levels) << s.at;
        }
    }
}

TEST(PttSequencer, LeadAndTailSettings) {
    struct Case {
        const char* text;
        int ms;
        bool problem;
    };
    for (const Case& c : {Case{"50", 50, false}, Case{"12.4", 12, false}, Case{"0", 0, false},
                          Case{"2000", 2000, false}, Case{"-3", 0, true}, Case{"2500", 2000, true},
                          Case{"abc", 50, true}, Case{"", 50, true}}) {
        SCOPED_TRACE(c.text);
        std::string problem;
        EXPECT_EQ(radio::sequencerMilliseconds("Ptt_Lead_ms", c.text, 50, problem), c.ms);
        EXPECT_EQ(!problem.empty(), c.problem) << problem;
    }
}

class PttSequenceTest : public ::testing::Test {
public:
    PttSequenceTest() {
        k.settings().Reale_PTT = "COM5";
        k.settings().setValue("Station", "Ptt_Sequence", "1");
        k.settings().setValue("Station", "Ptt_Lead_ms", "30");
        k.settings().setValue("Station", "Ptt_Tail_ms", "100");
        k.rs.Fqso_kHz = "125";
        k.rs.Fqso2_kHz = "130";
        std::string error;
        f.virtualPtt.open("/dev/ttyS2", {19200, 'N', 8, 1}, false, error);
        k.rs.Tracking_on = 1;
        k.ui.mnuStart.caption = "Stop";
        pttSequenceStart(k);
        f.realPtt.lineChanges.clear();
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
    std::vector<std::string> changes() const { return f.realPtt.lineChanges; }

    fakes::KelvFixture f;
    Kelv& k = f.k;
};

TEST_F(PttSequenceTest, StartOpensTheRealLineWithBothLinesLowAndKeysInOrder) {
    EXPECT_TRUE(f.realPtt.isOpen());
    EXPECT_FALSE(f.realPtt.rtsOnOpen);
    EXPECT_TRUE(pttSequenceOn(k));
    EXPECT_TRUE(k.ui.PttSequence.visible);
    run(0.02, true);
    EXPECT_EQ(changes(), (std::vector<std::string>{"DTR+"}));
    EXPECT_EQ(k.ui.Ptt.caption, "PTT On");
    EXPECT_EQ(k.ui.PttSequence.caption, "Sequencer: relays (DTR)");
    EXPECT_EQ(k.ui.tmrPttSequence.interval, 10); // 20 ms of the 30 ms lead passed
    run(0.02, true);
    EXPECT_EQ(changes(), (std::vector<std::string>{"DTR+", "RTS+"}));
    EXPECT_EQ(k.ui.PttSequence.caption, "Sequencer: transmit (DTR+RTS)");
    run(0.05, false);
    EXPECT_EQ(changes(), (std::vector<std::string>{"DTR+", "RTS+", "RTS-"}));
    EXPECT_EQ(k.rs.Fqso_kHz, "130");
    run(0.06, false);
    EXPECT_EQ(changes(), (std::vector<std::string>{"DTR+", "RTS+", "RTS-", "DTR-"}));
    EXPECT_EQ(k.ui.PttSequence.caption, "Sequencer: receive");
}

TEST_F(PttSequenceTest, TheTimerWakesWhenAStepIsDue) {
    k.settings().setValue("Station", "Ptt_Lead_ms", "13");
    pttSequenceStart(k);
    f.virtualPtt.dsrLevel = true;
    tmrPttSequence_Timer(k);
    EXPECT_EQ(k.ui.tmrPttSequence.interval, 10);
    f.clock.advance(0.010);
    tmrPttSequence_Timer(k);
    EXPECT_EQ(k.ui.tmrPttSequence.interval, 3);
    f.clock.advance(0.003);
    tmrPttSequence_Timer(k);
    EXPECT_TRUE(f.realPtt.rts);
}

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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string error;
        f.virtualPtt.open("/dev/ttyS2", {19200, 'N', 8, 1}, false, error);
        k.ui.mnuStart.caption = "Stop";
        pttSequenceStart(k);
        run(0.05, true);
        ASSERT_TRUE(f.realPtt.rts);
        f.realPtt.lineChanges.clear();
        f.clock.sleeps.clear();
        double from = f.clock.monotonic;
        c.end(*this);
        EXPECT_EQ(changes(), (std::vector<std::string>{"RTS-", "DTR-"}));
        EXPECT_GE(f.clock.monotonic - from, 0.1) << "DTR waits the tail";
    }
}

} // namespace
} // namespace kelvora
