// The rigctld/rotctld link over a fake socket and a fake clock.
#include "fakes/fakes.h"
#include "hamlib/hamlib_link.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelvora::hamlib {
namespace {

using platform::TcpState;

TEST(HamlibEndpoint, TextsAndDefaults) {
    struct Case {
        const char* text;
        Daemon daemon;
        std::optional<Endpoint> endpoint;
    };
    const std::vector<Case> cases{
        {"", Daemon::Rig, Endpoint{"127.0.0.1", "4532"}},
        {"  ", Daemon::Rot, Endpoint{"127.0.0.1", "4533"}},
        {"shack:4600", Daemon::Rig, Endpoint{"shack", "4600"}},
        {":4555", Daemon::Rot, Endpoint{"127.0.0.1", "4555"}},
        {"host:", Daemon::Rig, {}},
        {"two words:4532", Daemon::Rig, {}},
        {"a:b:4532", Daemon::Rig, {}},
        {"localhost", Daemon::Rot, Endpoint{"localhost", "4533"}},
        {"[::1]:4600", Daemon::Rot, Endpoint{"::1", "4600"}},
        {"[::1]", Daemon::Rig, Endpoint{"::1", "4532"}},
        {"[::1", Daemon::Rig, {}},
        {"[shack]:4600", Daemon::Rig, {}},
        {"[::1]4600", Daemon::Rig, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Parsed<Endpoint> e = parseEndpoint(c.text, c.daemon);
        EXPECT_EQ(e.value, c.endpoint);
        EXPECT_EQ(e.error.empty(), c.endpoint.has_value()) << e.error;
    }
}

struct LinkFixture : ::testing::Test {
    fakes::FakeClock clock;
    fakes::FakeTcpSocket socket;
    HamlibLink link{Daemon::Rig, socket, clock};
    std::vector<std::string> messages;
    std::vector<long long> frequencies;
    std::vector<Position> positions;

    void SetUp() override {
        link.onMessage = [this](const std::string& m) { messages.push_back(m); };
        link.onFrequency = [this](long long hz) { frequencies.push_back(hz); };
        link.onPosition = [this](const Position& p) { positions.push_back(p); };
    }
    void start(const char* address = "") {
        std::string error;
        ASSERT_TRUE(link.setAddress(address, error)) << error;
        link.poll(); // connects
        link.poll(); // sees the state
    }
};

TEST_F(LinkFixture, UnreachableIsToldOnceAndRetriedEveryFewSeconds) {
    socket.stateAfterConnect = TcpState::Error;
    start();
    for (int i = 0; i < 40; ++i) {
        clock.advance(0.5);
        link.poll();
    }
    EXPECT_EQ(messages, std::vector<std::string>{"rigctld not reachable at 127.0.0.1:4532"});
    // 20 s, one attempt every kRetrySeconds after the last failure was seen.
    EXPECT_GE(socket.connects.size(), 1 + static_cast<int>(20 / (HamlibLink::kRetrySeconds + 0.5)));
    EXPECT_LE(socket.connects.size(), 1 + static_cast<int>(20 / HamlibLink::kRetrySeconds));
    EXPECT_FALSE(link.send(setFrequencyCommand(1)));

    socket.stateAfterConnect = TcpState::Connected;
    clock.advance(HamlibLink::kRetrySeconds);
    link.poll();
    link.poll();
    EXPECT_TRUE(link.connected());
    EXPECT_EQ(messages.back(), "rigctld connected at 127.0.0.1:4532");
}

// The daemon's bytes for the command in flight, then what was sent for it.
struct Exchange {
    const char* reply;
    const char* next; // what goes out after the reply ("" nothing)
};

TEST_F(LinkFixture, OneCommandInFlightAndRepliesMatchedByName) {
    start();
    ASSERT_TRUE(link.send(setFrequencyCommand(144125000)));
    ASSERT_TRUE(link.send(getFrequencyCommand()));
    ASSERT_TRUE(link.send(splitOnVfoBCommand()));
    ASSERT_TRUE(link.send(setFrequencyCommand(144125500))); // replaces the waiting F
    ASSERT_TRUE(link.send(getSplitCommand()));
    EXPECT_EQ(socket.sends, std::vector<std::string>{"+F 144125000\n"});
    bool split = false;
    link.onSplit = [&](bool on) { split = on; };
    for (const Exchange& e : std::vector<Exchange>{
             {"set_freq: 144125000\r\nRPRT 0\r\n", "+f\n"},
             {"get_freq:\nFrequency: 14412", ""}, // split reads
             {"5000\nRPRT 0\n", "+S 1 VFOB\n"},
             {"set_split_vfo: 1 VFOB\nRPRT -11\n", "+F 144125500\n"},
             {"get_freq:\nFrequency: 1\nRPRT 0\n", ""}, // another command's reply: dropped
             {"RPRT 0\n", "+s\n"},                      // a bare report ends it too
             {"get_split_vfo:\nSplit: 1\nTX VFO: VFOB\nRPRT 0\n", ""},
         }) {
        socket.sends.clear();
        socket.incoming = e.reply;
        link.poll();
        EXPECT_EQ(socket.sends,
                  e.next[0] ? std::vector<std::string>{e.next} : std::vector<std::string>{})
            << e.reply;
    }
    EXPECT_EQ(frequencies, std::vector<long long>{144125000});
    EXPECT_TRUE(split);
    EXPECT_EQ(messages, std::vector<std::string>{"rigctld: S 1 VFOB: RPRT -11 (not available)"});
    EXPECT_EQ(link.pendingReplies(), 0u);
}

TEST(HamlibRotorLink, ASkippedOrStrayReplyNeverSwapsAzimuthAndElevation) {
    // A daemon that skips the reply of P, or answers with another command's records, or in the
    // plain form: only a get_pos reply with named records is a position.
    for (const char* answer : {
             "",          // P's reply skipped altogether
             "100\n20\n", // plain lines, no report
             "set_pos: 100 20\nAzimuth: 20\nElevation: 100\nRPRT 0\n", // not get_pos
         }) {
        SCOPED_TRACE(answer);
        fakes::FakeClock clock;
        fakes::FakeTcpSocket socket;
        HamlibLink link{Daemon::Rot, socket, clock};
        std::vector<Position> positions;
        link.onPosition = [&](const Position& p) { positions.push_back(p); };
        std::string error;
        ASSERT_TRUE(link.setAddress("", error));
        link.poll();
        link.poll();
        ASSERT_TRUE(link.send(setPositionCommand(100, 20)));
        ASSERT_TRUE(link.send(getPositionCommand()));
        socket.incoming = answer;
        link.poll();
        if (socket.sends.back() != "+p\n") {
            clock.advance(HamlibLink::kReplySeconds + 0.5); // P is given up; p goes out
            link.poll();
        }
        ASSERT_EQ(socket.sends.back(), "+p\n");
        socket.incoming = std::string("set_pos: 100 20\nRPRT 0\n") + answer +
                          "get_pos:\nAzimuth: 100.00\nElevation: 20.00\nRPRT 0\n";
        link.poll();
        EXPECT_EQ(positions, std::vector<Position>{(Position{100, 20})});
        EXPECT_TRUE(link.connected());
    }
}

// The range as Hamlib 4.5's rotctld tells it in the extended form of \dump_state.
TEST(HamlibRotorLink, DumpStateGivesTheAzimuthRange) {
    fakes::FakeClock clock;
    fakes::FakeTcpSocket socket;
    HamlibLink link{Daemon::Rot, socket, clock};
    std::vector<std::pair<double, double>> ranges;
    link.onAzimuthRange = [&](double low, double high) { ranges.emplace_back(low, high); };
    std::string error;
    ASSERT_TRUE(link.setAddress("", error));
    link.poll();
    link.poll();
    ASSERT_TRUE(link.send(dumpStateCommand()));
    EXPECT_EQ(socket.sends.back(), "+\\dump_state\n");
    socket.incoming = "dump_state:\nrotctld Protocol Ver: 1\nRotor Model: 1\nMinimum Azimuth: "
                      "-180.000000\nMaximum Azimuth: 450.000000\nMinimum Elevation: 0.000000\n"
                      "Maximum Elevation: 90.000000\nSouth Zero: 0\nrot_type=AzEl\ndone\nRPRT 0\n";
    link.poll();
    EXPECT_EQ(ranges, (std::vector<std::pair<double, double>>{{-180, 450}}));
}

TEST_F(LinkFixture, ASlowDaemonStaysConnectedAndIsShownAsSlow) {
    start();
    ASSERT_TRUE(link.send(getFrequencyCommand()));
    ASSERT_TRUE(link.send(setFrequencyCommand(144125000)));
    clock.advance(3.0); // each command has its own time
    socket.incoming = "get_freq:\nFrequency: 144000000\nRPRT 0\n";
    link.poll();
    clock.advance(3.0);
    socket.incoming = "set_freq: 144125000\nRPRT 0\n";
    link.poll();
    EXPECT_TRUE(link.connected());
    EXPECT_EQ(link.health(), HamlibLink::Health::Slow);
    EXPECT_EQ(messages, std::vector<std::string>{"rigctld at 127.0.0.1:4532 answers slowly (3 s)"});
    ASSERT_TRUE(link.send(getFrequencyCommand()));
    socket.incoming = "get_freq:\nFrequency: 144000000\nRPRT 0\n";
    link.poll();
    EXPECT_EQ(link.health(), HamlibLink::Health::Connected);
    EXPECT_EQ(messages.back(), "rigctld connected at 127.0.0.1:4532");
    EXPECT_EQ(socket.connects.size(), 1u);
}

TEST_F(LinkFixture, WaitingCommandsAreBounded) {
    start();
    ASSERT_TRUE(link.send(getFrequencyCommand()));
    for (int i = 0; i < static_cast<int>(HamlibLink::kMaxQueued); ++i) {
        ASSERT_TRUE(link.send("X" + std::to_string(i) + "\n"));
    }
    EXPECT_FALSE(link.send("Y\n"));
    EXPECT_TRUE(link.send("X1 again\n")) << "replaces the waiting one of its name";
    EXPECT_EQ(link.pendingReplies(), 1 + HamlibLink::kMaxQueued);
    EXPECT_EQ(socket.sends.size(), 1u);
}

TEST_F(LinkFixture, DaemonGoneOrSilentLeadsToAReconnect) {
    start();
    socket.currentState = TcpState::Error; // the daemon went away
    link.poll();
    EXPECT_FALSE(link.connected());
    EXPECT_EQ(messages, std::vector<std::string>{"rigctld not reachable at 127.0.0.1:4532"});
    clock.advance(HamlibLink::kRetrySeconds);
    link.poll();
    link.poll();
    ASSERT_TRUE(link.connected());
    EXPECT_EQ(messages.back(), "rigctld connected at 127.0.0.1:4532");

    for (int i = 0; i < HamlibLink::kMaxTimeouts; ++i) { // the daemon hangs
        ASSERT_TRUE(link.send(getFrequencyCommand()));
        clock.advance(HamlibLink::kReplySeconds + 1);
        link.poll();
    }
    EXPECT_FALSE(link.connected());
    EXPECT_EQ(messages.back(), "rigctld at 127.0.0.1:4532 answers slowly (no reply to f in 5 s)");
    link.poll();
    link.poll();
    EXPECT_TRUE(link.connected());
    EXPECT_EQ(socket.connects.size(), 3u);
}

} // namespace
} // namespace kelvora::hamlib
