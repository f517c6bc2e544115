// The rotctld conversation, line by line, and the [Hamlib] server settings.
#include "fakes/fakes.h"
#include "hamlib/rotctld_server.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace kelvora::hamlib {
namespace {

TEST(RotctldSession, AnswersAsRotctldDoes) {
    std::vector<MoveRequest> moves;
    RotorAccess access{[] {
                           return Position{123.4, 45.6};
                       },
                       [&](const MoveRequest& m) {
                           moves.push_back(m);
                           return 0;
                       },
                       RotorLimits{}, false, "Kelvora"};
    RotctldSession session(access);
    const std::vector<std::tuple<bool, const char*, const char*>> cases{
        {false, "p", "123.40\n45.60\n"},
        {false, "+p", "get_pos:\nAzimuth: 123.40\nElevation: 45.60\nRPRT 0\n"},
        {false, ";p", "get_pos:;Azimuth: 123.40;Elevation: 45.60;RPRT 0\n"},
        {false, "|\\get_pos", "get_pos:|Azimuth: 123.40|Elevation: 45.60|RPRT 0\n"},
        {false, "_", "Kelvora\n"},
        {false, "\\dump_state",
         "1\n2\nmin_az=0.000000\nmax_az=360.000000\nmin_el=0.000000\n"
         "max_el=90.000000\nsouth_zero=0\nrot_type=AzEl\ndone\n"},
        {false, "P 10 20", "RPRT -9\n"},
        {false, "+P 10 20", "set_pos: 10 20\nRPRT -9\n"},
        {false, "S", "RPRT -9\n"},
        {false, "p extra", "RPRT -1\n"},
        {false, "Z", "RPRT -4\n"},
        {false, "", ""},
        {true, "P 123.40 45.60", "RPRT 0\n"},
        {true, "S", "RPRT 0\n"},
        {true, "+\\park", "park:\nRPRT 0\n"},
        {true, "P north 0", "RPRT -1\n"}, // the limits are the station rules' to judge
        {true, "P 10", "RPRT -1\n"},
    };
    for (auto [allowed, line, reply] : cases) {
        access.movesAllowed = allowed;
        EXPECT_EQ(session.answerLine(line), reply) << line;
    }
    ASSERT_EQ(moves.size(), 3u);
    EXPECT_EQ(moves[0].target, (Position{123.4, 45.6}));
    EXPECT_EQ(moves[1].kind, MoveKind::Stop);
    EXPECT_EQ(moves[2].kind, MoveKind::Park);
    EXPECT_FALSE(session.closed());
    EXPECT_EQ(session.answerLine("q"), "");
    EXPECT_TRUE(session.closed());
}

TEST(RotctldSession, FloodsBinaryAndBabbleEndTheConversation) {
    RotorAccess access;
    std::string out;
    RotctldSession flood(access), binary(access), babble(access);
    flood.feed(std::string(RotctldSession::kMaxLine + 1, 'p'));
    binary.feed(std::string("p\n\x00", 3));
    for (int i = 0; i < RotctldSession::kMaxBadLines; ++i) {
        babble.feed("hello\n");
        babble.answer(out);
    }
    for (const RotctldSession* s : {&flood, &binary, &babble}) {
        EXPECT_TRUE(s->closed());
        EXPECT_EQ(s->room(), 0u);
    }
    EXPECT_EQ(out.size(), 8u * RotctldSession::kMaxBadLines); // "RPRT -4\n" each
}

TEST(RotctldServer, SettingsAreReadOrRefusedWhole) {
    for (const char* address : {" ::1 ", "[::1]"}) {
        auto s = parseServerSettings("1", address, "4600", "1").value.value();
        EXPECT_EQ(std::tie(s.enabled, s.address, s.port, s.movesAllowed),
                  std::make_tuple(true, std::string("::1"), std::uint16_t{4600}, true));
    }
    auto s = parseServerSettings("", "", "", "").value.value();
    EXPECT_EQ(std::tie(s.enabled, s.address, s.port, s.movesAllowed),
              std::make_tuple(false, std::string("127.0.0.1"), std::uint16_t{4535}, false));
    for (auto [on, port, moving] :
         {std::tuple{"2", "", ""}, {"1", "0", ""}, {"1", "x", ""}, {"1", "", "yes"}}) {
        Parsed<ServerSettings> refused = parseServerSettings(on, "", port, moving);
        EXPECT_FALSE(refused) << on << port << moving;
        EXPECT_EQ(refused.error.rfind("[Hamlib] Server", 0), 0u) << refused.error;
    }
}

TEST(RotctldSession, AnyLineEndAndNoPositionBeforeOneIsKnown) {
    std::optional<Position> known;
    RotorAccess access;
    access.position = [&] { return known; };
    RotctldSession session(access);
    std::string out;
    session.feed("p\r+p\r\n_\n");
    session.answer(out);
    EXPECT_EQ(out, "RPRT -11\nget_pos:\nRPRT -11\nKelvora\n");
    known = Position{1, 2};
    EXPECT_EQ(session.answerLine("p"), "1.00\n2.00\n");
    RotctldSession longest(access);
    longest.feed(std::string(RotctldSession::kMaxLine - 1, ' ') + "p\n");
    longest.answer(out);
    EXPECT_FALSE(longest.closed());
    // One move an answer at most: a stream of P lines cannot hold the tick.
    access.movesAllowed = true;
    int moves = 0;
    access.move = [&](const MoveRequest&) { return ++moves, errors::kOk; };
    RotctldSession mover(access);
    mover.feed("P 1 1\nP 2 2\np\n");
    for (int answers = 1; answers <= 2; ++answers) {
        mover.answer(out);
        EXPECT_EQ(moves, answers);
    }
}

struct ServerFixture : ::testing::Test {
    fakes::FakeTcpServer transport;
    fakes::FakeClock clock;
    RotctldServer server{transport, RotorAccess{}, clock};
    std::vector<std::string> messages;
    void SetUp() override {
        server.onMessage = [this](const std::string& m) { messages.push_back(m); };
        std::string error;
        ASSERT_TRUE(server.start(ServerSettings{true, "127.0.0.1", 4535, false}, error));
    }
};

TEST_F(ServerFixture, TheClientPastTheLimitIsToldWhyAndSilentOnesAreDropped) {
    std::vector<platform::TcpClientId> ids;
    for (std::size_t i = 0; i <= RotctldServer::kMaxClients; ++i) {
        ids.push_back(transport.connect());
    }
    server.poll();
    auto& refused = transport.clients[ids.back()];
    EXPECT_FALSE(refused.open);
    EXPECT_EQ(refused.output, RotctldServer::kBusyLine);
    EXPECT_EQ(server.clientCount(), RotctldServer::kMaxClients);

    clock.advance(RotctldServer::kIdleSeconds - 1);
    transport.clients[ids[0]].input = "_\n"; // the one that speaks stays
    server.poll();
    clock.advance(1);
    server.poll();
    EXPECT_EQ(server.clientCount(), 1u);
    EXPECT_TRUE(transport.clients[ids[0]].open);
    EXPECT_FALSE(transport.clients[ids[1]].open);
    EXPECT_EQ(messages[0], "Hamlib server: client 10.0.0.2:50002 cut off: silent for 10 minutes");
}

} // namespace
} // namespace kelvora::hamlib
