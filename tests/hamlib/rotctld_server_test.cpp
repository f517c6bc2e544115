// The rotctld conversation and the server's handling of clients, over a fake listener.
#include "fakes/fake_tcp_server.h"
#include "hamlib/rotctld_server.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelvora::hamlib {
namespace {

struct ServerFixture : ::testing::Test {
    Position where{123.4, 45.6};
    std::vector<MoveRequest> moves;
    fakes::FakeTcpServer transport;
    RotctldServer server{transport, RotorAccess{[this] { return where; },
                                                [this](const MoveRequest& m) {
                                                    moves.push_back(m);
                                                    return 0;
                                                },
                                                RotorLimits{}, false, "Kelvora"}};
    std::vector<std::string> messages;

    void start(bool allowMoves = false) {
        server.onMessage = [this](const std::string& m) { messages.push_back(m); };
        std::string error;
        ASSERT_TRUE(server.start(ServerSettings{true, "127.0.0.1", 4535, allowMoves}, error));
    }
    std::string ask(platform::TcpClientId id, const std::string& lines) {
        fakes::FakeTcpServer::Client& c = transport.clients[id];
        std::size_t before = c.received.size();
        c.input += lines;
        server.poll();
        return transport.clients[id].received.substr(before);
    }
};

TEST_F(ServerFixture, AnswersAsRotctldDoes) {
    start();
    platform::TcpClientId id = transport.connect();
    struct Case {
        const char* line;
        const char* reply;
    };
    const std::vector<Case> cases{
        {"p\n", "123.40\n45.60\n"},
        {"  \\get_pos\r\n", "123.40\n45.60\n"},
        {"+p\n", "get_pos:\nAzimuth: 123.40\nElevation: 45.60\nRPRT 0\n"},
        {";p\n", "get_pos:;Azimuth: 123.40;Elevation: 45.60;RPRT 0\n"},
        {"|\\get_pos\n", "get_pos:|Azimuth: 123.40|Elevation: 45.60|RPRT 0\n"},
        {"_\n", "Kelvora\n"},
        {",\\get_info\n", "get_info:,Info: Kelvora,RPRT 0\n"},
        {"\\dump_state\n", "1\n2\nmin_az=0.000000\nmax_az=360.000000\nmin_el=0.000000\n"
                           "max_el=90.000000\nsouth_zero=0\nrot_type=AzEl\ndone\n"},
        {"P 10 20\n", "RPRT -9\n"},
        {"+P 10 20\n", "set_pos: 10 20\nRPRT -9\n"},
        {"S\n", "RPRT -9\n"},
        {"\\park\n", "RPRT -9\n"},
        {"p extra\n", "RPRT -1\n"},
        {"Z\n", "RPRT -4\n"},
        {"pp\n", "RPRT -4\n"},
        {"\\no_such\n", "RPRT -4\n"},
        {"\n", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ask(id, c.line), c.reply) << c.line;
    }
    EXPECT_TRUE(moves.empty());
    EXPECT_EQ(ask(id, "q\np\n"), "");
    EXPECT_EQ(server.clientCount(), 0u);
    EXPECT_TRUE(messages.empty()); // quitting is no fault
}

TEST_F(ServerFixture, MovesWhenAllowedAndInRange) {
    start(true);
    platform::TcpClientId id = transport.connect();
    EXPECT_EQ(ask(id, "P 123.40 45.60\nS\nK\n+P 1 2\n"),
              "RPRT 0\nRPRT 0\nRPRT 0\nset_pos: 1 2\nRPRT 0\n");
    ASSERT_EQ(moves.size(), 4u);
    EXPECT_EQ(moves[0].kind, MoveKind::SetPosition);
    EXPECT_EQ(moves[0].target, (Position{123.4, 45.6}));
    EXPECT_EQ(moves[1].kind, MoveKind::Stop);
    EXPECT_EQ(moves[2].kind, MoveKind::Park);
    for (const char* bad :
         {"P 361 0\n", "P 10 -1\n", "P 10 91\n", "P x 10\n", "P 10\n", "P 1e2 3\n", "P nan 3\n"}) {
        EXPECT_EQ(ask(id, bad), "RPRT -1\n") << bad;
    }
    EXPECT_EQ(moves.size(), 4u);
}

TEST_F(ServerFixture, BadClientsAreCutOffAndOthersGoOn) {
    start();
    platform::TcpClientId good = transport.connect();
    platform::TcpClientId flood = transport.connect();
    platform::TcpClientId binary = transport.connect();
    platform::TcpClientId deaf = transport.connect();
    platform::TcpClientId babbler = transport.connect();
    transport.clients[flood].input = std::string(10000, 'p');
    transport.clients[binary].input = std::string("p\n\x00\x01\xff", 5);
    transport.clients[deaf].reads = false;
    std::string floodOfQuestions;
    for (int i = 0; i < 3000; ++i) {
        floodOfQuestions += "\\dump_state\n";
    }
    transport.clients[deaf].input = floodOfQuestions;
    for (int i = 0; i < RotctldSession::kMaxBadLines; ++i) {
        transport.clients[babbler].input += "hello there\n";
    }
    for (int i = 0; i < 200; ++i) {
        EXPECT_EQ(ask(good, "p\n"), "123.40\n45.60\n");
    }
    for (platform::TcpClientId id : {flood, binary, deaf, babbler}) {
        EXPECT_FALSE(transport.clients[id].open) << id;
        EXPECT_LE(transport.clients[id].received.size(), platform::TcpServer::kMaxQueued);
    }
    EXPECT_EQ(messages.size(), 4u);
    EXPECT_EQ(server.clientCount(), 1u);
}

TEST_F(ServerFixture, ClientsAreBoundedAndSettingsRead) {
    start();
    for (std::size_t i = 0; i < RotctldServer::kMaxClients + 3; ++i) {
        transport.connect();
    }
    server.poll();
    EXPECT_EQ(server.clientCount(), RotctldServer::kMaxClients);
    EXPECT_EQ(transport.disconnected.size(), 3u);

    ServerSettings s;
    std::string error;
    EXPECT_TRUE(parseServerSettings("1", " ::1 ", "4600", "1", s, error));
    EXPECT_EQ(s.address, "::1");
    EXPECT_EQ(s.port, 4600);
    EXPECT_TRUE(s.enabled && s.movesAllowed);
    EXPECT_TRUE(parseServerSettings("", "", "", "", s, error));
    EXPECT_EQ(s.address, "127.0.0.1");
    EXPECT_EQ(s.port, 4535);
    EXPECT_FALSE(s.enabled || s.movesAllowed);
    for (auto [on, port, moving] :
         {std::tuple{"2", "", ""}, {"1", "0", ""}, {"1", "x", ""}, {"1", "", "yes"}}) {
        EXPECT_FALSE(parseServerSettings(on, "", port, moving, s, error));
    }
    EXPECT_EQ(s.port, 4535); // untouched on failure
    transport.failListen = true;
    EXPECT_FALSE(server.start(ServerSettings{true, "127.0.0.1", 4535, false}, error));
    EXPECT_EQ(error, "Hamlib server cannot listen on 127.0.0.1:4535: address in use");
}

} // namespace
} // namespace kelvora::hamlib
