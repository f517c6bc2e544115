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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        Endpoint e{"untouched", "0"};
        std::string error;
        EXPECT_EQ(parseEndpoint(c.text, c.daemon, e, error), c.endpoint.has_value());
        EXPECT_EQ(e, c.endpoint.value_or(Endpoint{"untouched", "0"}));
        EXPECT_EQ(error.empty(), c.endpoint.has_value()) << error;
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

TEST_F(LinkFixture, RepliesAreMatchedToTheirCommands) {
    start();
    ASSERT_TRUE(link.send(setFrequencyCommand(144125000)));
    ASSERT_TRUE(link.send(getFrequencyCommand()));
    ASSERT_TRUE(link.send(splitOnVfoBCommand()));
    ASSERT_TRUE(link.send(getPositionCommand()));
    ASSERT_TRUE(link.send(getPositionCommand()));
    // Split reads, CR LF, an error report for the third command and in place of a position.
    for (const char* piece :
         {"RPRT 0\r", "\n14412", "5000\nRPRT -11\n12", "3.40\n45.60\nRPRT -1\n"}) {
        socket.incoming = piece;
        link.poll();
    }
    EXPECT_EQ(frequencies, std::vector<long long>{144125000});
    EXPECT_EQ(positions, std::vector<Position>{(Position{123.4, 45.6})});
    EXPECT_EQ(messages,
              (std::vector<std::string>{"rigctld: S 1 VFOB: RPRT -11", "rigctld: p: RPRT -1"}));
    EXPECT_EQ(link.pendingReplies(), 0u);
}

TEST_F(LinkFixture, PendingCommandsAreBounded) {
    start();
    while (link.send(getFrequencyCommand())) {
    }
    EXPECT_EQ(socket.sends.size(), HamlibLink::kMaxPending);
    socket.acceptSends = false; // a send the socket drops awaits no reply
    socket.incoming = "1\n";
    link.poll();
    EXPECT_FALSE(link.send(getFrequencyCommand()));
    EXPECT_EQ(link.pendingReplies(), HamlibLink::kMaxPending - 1);
}

TEST_F(LinkFixture, DaemonGoneOrSilentLeadsToAReconnect) {
    start();
    socket.currentState = TcpState::Error; // the daemon went away
    link.poll();
    EXPECT_FALSE(link.connected());
    EXPECT_EQ(messages.size(), 1u);
    clock.advance(HamlibLink::kRetrySeconds);
    link.poll();
    link.poll();
    ASSERT_TRUE(link.connected());

    ASSERT_TRUE(link.send(getFrequencyCommand()));
    clock.advance(HamlibLink::kReplySeconds + 1); // the daemon hangs
    link.poll();
    EXPECT_FALSE(link.connected());
    EXPECT_EQ(messages[2], "rigctld: f: no reply");
}

} // namespace
} // namespace kelvora::hamlib
