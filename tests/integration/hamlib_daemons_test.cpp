// The Hamlib link against the real rigctld and rotctld, and Kelvora's rotctld server against
// the real rotctl, all on loopback ports.
#include "hamlib/hamlib_link.h"
#include "hamlib/rotctld_server.h"
#include "integration/hamlib_processes.h"
#include "integration/test_support.h"
#include "platform/qt/qt_tcp_server.h"
#include "platform/qt/qt_tcp_socket.h"

#include <gtest/gtest.h>

#include <cmath>

namespace kelvora::hamlib {
namespace {

using testing::HamlibDaemon;
using testing::pumpUntil;
using testing::runTool;

#define SKIP_WITHOUT_HAMLIB()                                                                      \
    if (!testing::hamlibInstalled()) {                                                             \
        GTEST_SKIP() << "Hamlib's programs (libhamlib-utils) are not installed";                   \
    }

struct LinkRig {
    testing::SteppedClock clock;
    platform::QtTcpSocket socket;
    HamlibLink link;
    std::vector<std::string> messages;
    explicit LinkRig(Daemon daemon) : link(daemon, socket, clock) {
        link.onMessage = [this](const std::string& m) { messages.push_back(m); };
    }
    bool connect(const std::string& address) {
        std::string error;
        return link.setAddress(address, error) && pumpUntil([&] {
                   link.poll();
                   return link.connected();
               });
    }
    bool settle() {
        return pumpUntil([&] {
            link.poll();
            return link.pendingReplies() == 0;
        });
    }
};

TEST(HamlibDaemons, RigctldTakesTheFrequency) {
    SKIP_WITHOUT_HAMLIB();
    HamlibDaemon rigctld("/usr/bin/rigctld");
    ASSERT_TRUE(rigctld.ready);
    LinkRig rig(Daemon::Rig);
    ASSERT_TRUE(rig.connect(rigctld.address()));
    long long read = 0;
    rig.link.onFrequency = [&](long long hz) { read = hz; };
    ASSERT_TRUE(rig.link.send(setFrequencyCommand(144125000)));
    ASSERT_TRUE(rig.link.send(getFrequencyCommand()));
    ASSERT_TRUE(rig.settle());
    EXPECT_EQ(read, 144125000);
    EXPECT_TRUE(rig.messages.empty()) << rig.messages.front();
    testing::ToolRun check = runTool({"/usr/bin/rigctl", "-m", "2", "-r", rigctld.address(), "f"});
    EXPECT_EQ(check.output, "144125000\n");
}

TEST(HamlibDaemons, RotctldTurnsTowardsThePosition) {
    SKIP_WITHOUT_HAMLIB();
    HamlibDaemon rotctld("/usr/bin/rotctld");
    ASSERT_TRUE(rotctld.ready);
    LinkRig rot(Daemon::Rot);
    ASSERT_TRUE(rot.connect(rotctld.address()));
    Position last{0, 0};
    int positions = 0;
    rot.link.onPosition = [&](const Position& p) {
        last = p;
        ++positions;
    };
    ASSERT_TRUE(rot.link.send(setPositionCommand(123.40, 45.60)));
    ASSERT_TRUE(rot.settle());
    // The dummy rotator turns a few degrees a second, counted between reads in whole steps: ask
    // five times a second, as the tick would, and the position moves towards the target.
    double asked = 0;
    ASSERT_TRUE(pumpUntil(
        [&] {
            double now = rot.clock.monotonicSeconds();
            if (rot.link.pendingReplies() == 0 && now - asked >= 0.2) {
                asked = now;
                rot.link.send(getPositionCommand());
            }
            rot.link.poll();
            return last.azimuth > 1 && last.elevation > 1;
        },
        10000));
    EXPECT_LE(last.azimuth, 123.40);
    EXPECT_LE(last.elevation, 45.60);
    testing::ToolRun check = runTool({"/usr/bin/rotctl", "-m", "2", "-r", rotctld.address(), "p"});
    double az = 0;
    double el = 0;
    ASSERT_EQ(std::sscanf(check.output.c_str(), "%lf %lf", &az, &el), 2) << check.output;
    EXPECT_GE(az, last.azimuth);
    EXPECT_LE(az, 123.40);
    EXPECT_TRUE(rot.messages.empty()) << rot.messages.front();
    EXPECT_GT(positions, 1);
}

struct ServerRig {
    platform::QtTcpServer transport;
    std::vector<MoveRequest> moves;
    RotctldServer server{transport, RotorAccess{[] {
                                                    return Position{123.4, 45.6};
                                                },
                                                [this](const MoveRequest& m) {
                                                    moves.push_back(m);
                                                    return 0;
                                                },
                                                RotorLimits{}, false, "Kelvora"}};
    std::vector<std::string> messages;
    bool start(bool movesAllowed) {
        server.onMessage = [this](const std::string& m) { messages.push_back(m); };
        std::string error;
        return server.start(ServerSettings{true, "127.0.0.1", 0, movesAllowed}, error);
    }
    testing::ToolRun rotctl(const std::vector<std::string>& command) {
        std::vector<std::string> args{"/usr/bin/rotctl", "-m", "2", "-r",
                                      "127.0.0.1:" + std::to_string(transport.port())};
        args.insert(args.end(), command.begin(), command.end());
        return runTool(args, [this] { server.poll(); });
    }
};

TEST(HamlibServer, RotctlReadsThePositionAndMovesOnlyWhenAllowed) {
    SKIP_WITHOUT_HAMLIB();
    ServerRig rig;
    ASSERT_TRUE(rig.start(false));
    testing::ToolRun read = rig.rotctl({"p"});
    EXPECT_EQ(read.exitCode, 0);
    EXPECT_EQ(read.output, "123.40\n45.60\n");
    testing::ToolRun refused = rig.rotctl({"P", "10", "20"});
    EXPECT_NE(refused.exitCode, 0);
    EXPECT_NE(refused.output.find("Command rejected"), std::string::npos) << refused.output;
    EXPECT_TRUE(rig.moves.empty());

    ASSERT_TRUE(rig.start(true));
    testing::ToolRun moved = rig.rotctl({"P", "10", "20"});
    EXPECT_EQ(moved.exitCode, 0) << moved.output;
    ASSERT_EQ(rig.moves.size(), 1u);
    EXPECT_EQ(rig.moves[0].target, (Position{10, 20}));
}

// A raw loopback client.
int connectTo(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int small = 4096;
    ::setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::fcntl(fd, F_SETFL, O_NONBLOCK);
    return fd;
}

// True once the server has closed the connection (end of stream or reset).
bool closedByServer(int fd) {
    char buffer[4096];
    ssize_t n = 0;
    while ((n = ::recv(fd, buffer, sizeof buffer, 0)) > 0) {
    }
    return n == 0 || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
}

TEST(HamlibServer, BadClientsAreCutOffWhileRotctlIsAnswered) {
    SKIP_WITHOUT_HAMLIB();
    ServerRig rig;
    ASSERT_TRUE(rig.start(false));
    int flood = connectTo(rig.transport.port());
    int binary = connectTo(rig.transport.port());
    int deaf = connectTo(rig.transport.port());
    ASSERT_TRUE(pumpUntil([&] {
        rig.server.poll();
        return rig.server.clientCount() == 3;
    }));
    std::string line(4096, 'p');
    ::send(flood, line.data(), line.size(), MSG_NOSIGNAL);
    ::send(binary, "p\n\x00\x01\x02\n", 7, MSG_NOSIGNAL);
    std::string questions;
    for (int i = 0; i < 200; ++i) {
        questions += "\\dump_state\n";
    }
    // The deaf client asks without end and reads nothing, while rotctl asks too.
    auto deafAsks = [&] {
        ::send(deaf, questions.data(), questions.size(), MSG_NOSIGNAL | MSG_DONTWAIT);
        rig.server.poll();
    };
    testing::ToolRun read = runTool({"/usr/bin/rotctl", "-m", "2", "-r",
                                     "127.0.0.1:" + std::to_string(rig.transport.port()), "p"},
                                    deafAsks);
    EXPECT_EQ(read.output, "123.40\n45.60\n");
    ASSERT_TRUE(pumpUntil([&] {
        deafAsks();
        return rig.server.clientCount() == 0;
    }));
    EXPECT_TRUE(closedByServer(flood));
    EXPECT_TRUE(closedByServer(binary));
    EXPECT_EQ(rig.messages.size(), 3u);
    for (int fd : {flood, binary, deaf}) {
        ::close(fd);
    }
}

} // namespace
} // namespace kelvora::hamlib
