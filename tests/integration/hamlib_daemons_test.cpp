// The Hamlib link against the real rigctld and rotctld, and Kelvora's rotctld server against the
// real rotctl, on loopback ports. Skipped where libhamlib-utils is not installed.
#include "hamlib/hamlib_link.h"
#include "hamlib/rotctld_server.h"
#include "integration/hamlib_support.h"
#include "integration/loopback_listener.h"
#include "integration/test_support.h"
#include "platform/qt/qt_tcp_server.h"
#include "platform/qt/qt_tcp_socket.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <fcntl.h>

#include <map>

namespace kelvora::hamlib {
namespace {

using testkit::connectTo;
using testkit::DummyDaemon;
using testkit::pumpUntil;
using testkit::run;

struct Link {
    testkit::SteppedClock clock;
    platform::QtTcpSocket socket;
    HamlibLink link;
    std::vector<std::string> messages;
    Link(Daemon daemon, const std::string& address) : link(daemon, socket, clock) {
        link.onMessage = [this](const std::string& m) { messages.push_back(m); };
        std::string error;
        link.setAddress(address, error);
    }
    bool until(const std::function<bool()>& done) {
        return pumpUntil([&] {
            link.poll();
            return done();
        });
    }
};

TEST(HamlibDaemons, RigctldTakesTheFrequency) {
    SKIP_WITHOUT_HAMLIB();
    DummyDaemon rigctld("/usr/bin/rigctld");
    ASSERT_TRUE(rigctld.ready);
    Link rig(Daemon::Rig, rigctld.address());
    // A connection the daemon drops (seen once on a loaded machine) is the link's to make again:
    // the command is sent anew on the next one, as the program does.
    std::string heard;
    for (int attempt = 0; attempt < 3 && heard != "144125000\n"; ++attempt) {
        ASSERT_TRUE(rig.until([&] { return rig.link.connected(); }));
        ASSERT_TRUE(rig.link.send(setFrequencyCommand(144125000)));
        ASSERT_TRUE(rig.until([&] { return rig.link.pendingReplies() == 0; }));
        heard = run({"/usr/bin/rigctl", "-m", "2", "-r", QString::fromStdString(rigctld.address()),
                     "f"})
                    .first;
    }
    EXPECT_EQ(heard, "144125000\n");
    for (const std::string& m : rig.messages) {
        EXPECT_EQ(m.find("RPRT"), std::string::npos) << m;
    }
}

// The receiver levels a calibration scan reads, and a level the daemon does not know.
TEST(HamlibDaemons, RigctldAnswersTheLevels) {
    SKIP_WITHOUT_HAMLIB();
    DummyDaemon rigctld("/usr/bin/rigctld");
    ASSERT_TRUE(rigctld.ready);
    Link rig(Daemon::Rig, rigctld.address());
    std::map<std::string, std::optional<double>> levels;
    rig.link.onLevel = [&](const std::string& level, std::optional<double> value) {
        levels[level] = value;
    };
    ASSERT_TRUE(rig.until([&] { return rig.link.connected(); }));
    for (const char* level : {"STRENGTH", "RAWSTR", "NO_SUCH_LEVEL"}) {
        ASSERT_TRUE(rig.link.send(getLevelCommand(level)));
        ASSERT_TRUE(rig.until([&] { return levels.count(level) == 1; })) << level;
    }
    ASSERT_TRUE(levels["STRENGTH"].has_value());
    EXPECT_TRUE(*levels["STRENGTH"] > -100 && *levels["STRENGTH"] < 100) << *levels["STRENGTH"];
    EXPECT_TRUE(levels["RAWSTR"].has_value());
    EXPECT_FALSE(levels["NO_SUCH_LEVEL"].has_value());
}

TEST(HamlibDaemons, RotctldTurnsTowardsThePosition) {
    SKIP_WITHOUT_HAMLIB();
    DummyDaemon rotctld("/usr/bin/rotctld");
    ASSERT_TRUE(rotctld.ready);
    Link rot(Daemon::Rot, rotctld.address());
    ASSERT_TRUE(rot.until([&] { return rot.link.connected(); }));
    Position last{0, 0};
    rot.link.onPosition = [&](const Position& p) { last = p; };
    ASSERT_TRUE(rot.link.send(setPositionCommand(123.40, 45.60)));
    // The dummy turns a few degrees a second, counted in whole steps between reads: ask five
    // times a second, as the tick would.
    double asked = 0;
    ASSERT_TRUE(rot.until([&] {
        if (rot.clock.monotonicSeconds() - asked >= 0.2 && rot.link.pendingReplies() == 0) {
            asked = rot.clock.monotonicSeconds();
            rot.link.send(getPositionCommand());
        }
        return last.azimuth > 1 && last.elevation > 1;
    }));
    double az = 0, el = 0;
    std::string text =
        run({"/usr/bin/rotctl", "-m", "2", "-r", QString::fromStdString(rotctld.address()), "p"})
            .first;
    ASSERT_EQ(std::sscanf(text.c_str(), "%lf %lf", &az, &el), 2) << text;
    EXPECT_TRUE(az >= last.azimuth && az <= 123.40 && el >= last.elevation && el <= 45.60);
    EXPECT_TRUE(rot.messages.empty());
}

struct Server {
    platform::QtTcpServer transport;
    testkit::SteppedClock clock;
    std::vector<MoveRequest> moves;
    RotctldServer server{transport,
                         RotorAccess{[] {
                                         return Position{123.4, 45.6};
                                     },
                                     [this](const MoveRequest& m) {
                                         moves.push_back(m);
                                         return 0;
                                     },
                                     RotorLimits{}, false, "Kelvora"},
                         clock};
    bool start(bool allowMoves) {
        std::string error;
        return server.start(ServerSettings{true, "127.0.0.1", 0, allowMoves}, error);
    }
    std::pair<std::string, int> rotctl(
        const QStringList& command, const std::function<void()>& also = [] {}) {
        QStringList args{"/usr/bin/rotctl", "-m", "2", "-r",
                         "127.0.0.1:" + QString::number(transport.port())};
        return run(args + command, [&] {
            also();
            server.poll();
        });
    }
};

TEST(HamlibServer, RotctlIsAnsweredAndMovesOnlyWhenAllowedWhileBadClientsAreCutOff) {
    SKIP_WITHOUT_HAMLIB();
    Server s;
    ASSERT_TRUE(s.start(false));
    int flood = connectTo(s.transport.port());
    int binary = connectTo(s.transport.port());
    int deaf = connectTo(s.transport.port()); // asks without end and reads nothing
    ASSERT_TRUE(pumpUntil([&] {
        s.server.poll();
        return s.server.clientCount() == 3;
    }));
    ::send(flood, std::string(4096, 'p').data(), 4096, MSG_NOSIGNAL);
    ::send(binary, "p\n\x00\x01\n", 5, MSG_NOSIGNAL);
    std::string questions = QByteArray("\\dump_state\n").repeated(200).toStdString();
    auto deafAsks = [&] { ::send(deaf, questions.data(), questions.size(), MSG_NOSIGNAL); };
    EXPECT_EQ(s.rotctl({"p"}, deafAsks), std::make_pair(std::string("123.40\n45.60\n"), 0));
    auto refused = s.rotctl({"P", "10", "20"}, deafAsks);
    EXPECT_NE(refused.second, 0);
    EXPECT_NE(refused.first.find("Command rejected"), std::string::npos) << refused.first;
    EXPECT_TRUE(pumpUntil([&] {
        deafAsks();
        s.server.poll();
        return s.server.clientCount() == 0;
    }));
    char byte = 0; // the server closed (an end of stream or a reset)
    ssize_t got = ::recv(flood, &byte, 1, 0);
    EXPECT_TRUE(got == 0 || (got < 0 && errno == ECONNRESET)) << got << ' ' << errno;
    for (int fd : {flood, binary, deaf}) {
        ::close(fd);
    }
    ASSERT_TRUE(s.start(true));
    EXPECT_EQ(s.rotctl({"P", "10", "20"}).second, 0);
    ASSERT_EQ(s.moves.size(), 1u);
    EXPECT_EQ(s.moves[0].target, (Position{10, 20}));
}

// Resident memory of this process, from the kernel's account of it.
std::size_t residentBytes() {
    long pages = 0, resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm != nullptr) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
            resident = 0;
        }
        std::fclose(statm);
    }
    return static_cast<std::size_t>(resident) * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

TEST(HamlibServer, AFloodingClientIsCutOffWhileMemoryStaysFlat) {
#if defined(__SANITIZE_ADDRESS__)
    // AddressSanitizer keeps freed memory in quarantine, so resident memory says nothing here.
    GTEST_SKIP() << "resident memory is measured in the build without sanitizers";
#endif
    Server s;
    ASSERT_TRUE(s.start(false));
    std::vector<std::string> messages;
    s.server.onMessage = [&](const std::string& m) { messages.push_back(m); };
    // `yes p | socat -u - TCP:...`: asks without end and reads none of the answers. A small
    // receive buffer of its own makes the answers back up soon.
    int flood = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int small = 4096;
    ::setsockopt(flood, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(s.transport.port());
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(flood, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::fcntl(flood, F_SETFL, O_NONBLOCK);
    sockaddr_in local{};
    socklen_t length = sizeof local;
    ::getsockname(flood, reinterpret_cast<sockaddr*>(&local), &length);

    std::string questions = QByteArray("p\n").repeated(32 * 1024).toStdString();
    std::size_t before = residentBytes();
    std::size_t highest = before;
    std::size_t sent = 0;
    bool refused = false; // the server closed: the flood can no longer be sent
    EXPECT_TRUE(pumpUntil(
        [&] {
            ssize_t n = ::send(flood, questions.data(), questions.size(), MSG_NOSIGNAL);
            sent += n > 0 ? static_cast<std::size_t>(n) : 0;
            refused = refused || (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK);
            s.server.poll();
            highest = std::max(highest, residentBytes());
            return !messages.empty() && s.server.clientCount() == 0;
        },
        120000));
    EXPECT_LT(highest - before, 5u << 20) << sent << " bytes sent";
    EXPECT_EQ(messages, std::vector<std::string>{"Hamlib server: client 127.0.0.1:" +
                                                 std::to_string(ntohs(local.sin_port)) +
                                                 " cut off: does not read its answers"});
    ::close(flood);
}

} // namespace
} // namespace kelvora::hamlib
