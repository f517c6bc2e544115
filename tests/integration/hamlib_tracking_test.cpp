// The program with the Hamlib types and its rotctld server, end to end: a rewritten tracking
// file, the tick and the network timer, Debian's dummy daemons and Hamlib's own tools.
#include "config/ini_file.h"
#include "config/settings.h"
#include "devices/network_devices.h"
#include "fakes/kelv_fixture.h"
#include "hamlib/hamlib_devices.h"
#include "integration/hamlib_support.h"
#include "integration/test_support.h"
#include "platform/qt/qt_device_factory.h"
#include "platform/qt/qt_serial_port.h"
#include "radio/hamlib_rig.h"
#include "rotor/position_feedback.h"
#include "sim/pty_rotor.h"
#include "state/kelv.h"
#include "tracking/startup.h"
#include "tracking/tracking_cycle.h"

#include <gtest/gtest.h>

#include <QProcess>

#include <atomic>
#include <cstdio>
#include <thread>

namespace kelvora {
namespace {

using testkit::pumpUntil;

// As WSJT-X writes it: the Moon and Sun lines, the two QSO frequencies, and the Doppler line with
// "Doppler" where the reader expects it.
std::string trackingFile(const char* az, const char* el, int fqsoKHz) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "01:02:03,%s,%s,Moon\r\n01:02:04,200.1, 10.2,Sun\r\n%3d,  fQSO\r\n%3d,  "
                  "fQSO2\r\n",
                  az, el, fqsoKHz, fqsoKHz);
    std::string head = text;
    std::string doppler = " 144,     0,     0,Doppler";
    std::size_t fill = 93 - 1 + 9 - head.size() - doppler.find("Doppler");
    return head + std::string(fill, ' ') + doppler + "\r\n";
}

struct Program {
    Program() {
        config::Create_Config_file(ini());
        config::WriteStringIni("General", "Fname", folder.file("azel.dat"), ini());
        config::WriteStringIni("General", "Autoupdate", "1", ini());
        k.devices = &devices;
    }
    std::string ini() const { return folder.file("Kelvora.ini"); }
    // Start may offer to make rotor.dat; nothing may be said about the links or ports.
    bool noNetworkMessage() const {
        if (!dialogs.notices.empty()) {
            return false;
        }
        for (const std::string& m : dialogs.messages) {
            if (m.find("rotor.dat") == std::string::npos &&
                m.find("Rotor.dat") == std::string::npos) {
                return false;
            }
        }
        return true;
    }
    void set(const char* section, const char* key, const std::string& value) {
        config::WriteStringIni(section, key, value, ini());
    }
    void track(const char* az, const char* el, int fqsoKHz) {
        folder.write("azel.dat", trackingFile(az, el, fqsoKHz));
        clock.second = clock.second % 59 + 1;
        tmrRead_Timer(k);
    }
    // The network timer while `done` does not hold.
    bool networkUntil(const std::function<bool()>& done) {
        return pumpUntil([&] {
            tmrNetwork_Timer(k);
            return done();
        });
    }

    fakes::TempFolder folder;
    testkit::SteppedClock clock;
    fakes::FakeSerialPort radio, virtualPtt, realPtt, radio2;
    platform::QtSerialPort rotor;
    fakes::FakeTcpSocket linrad;
    fakes::FakeDialogs dialogs;
    platform::QtDeviceFactory devices;
    config::SettingsDialog settingsDialog{folder.file("Kelvora.ini")};
    Kelv k{settingsDialog, radio,  rotor, virtualPtt, realPtt,
           radio2,         linrad, clock, dialogs,    folder.path()};
};

std::string ask(const char* tool, const std::string& address, const char* command, Program& p) {
    return testkit::run({tool, "-m", "2", "-r", QString::fromStdString(address), command},
                        [&p] { tmrNetwork_Timer(p.k); })
        .first;
}

TEST(HamlibTracking, RigctldRadioFollowsTheFile) {
    SKIP_WITHOUT_HAMLIB();
    testkit::DummyDaemon rigctld("/usr/bin/rigctld");
    ASSERT_TRUE(rigctld.ready);
    Program p;
    p.set("COM_RTX", "Rtx_type", "Hamlib rigctld");
    p.set("Hamlib", "Rig_Address", rigctld.address());
    p.folder.write("azel.dat", trackingFile("123.4", "45.6", 125));
    mnuStart_Click(p.k);
    ASSERT_TRUE(p.dialogs.messages.empty()) << p.dialogs.messages.front();
    EXPECT_FALSE(p.radio.isOpen()) << "no serial port for a network radio";
    ASSERT_TRUE(p.k.ui.tmrNetwork.enabled);
    p.k.ui.Autoupdate.value = 1;
    // The first tick most likely comes before the connection; the frequency goes out as soon as
    // the daemon is there.
    p.track("123.4", "45.6", 125);
    std::string heard;
    ASSERT_TRUE(p.networkUntil([&] {
        heard = ask("/usr/bin/rigctl", rigctld.address(), "f", p);
        return heard == "144125000\n";
    })) << heard
        << p.k.ui.RotorAZ.caption << " TX " << p.k.rs.Freq_TX;
    p.track("123.4", "45.6", 130);
    EXPECT_TRUE(p.networkUntil([&] {
        heard = ask("/usr/bin/rigctl", rigctld.address(), "f", p);
        return heard == "144130000\n";
    })) << heard;
    EXPECT_EQ(p.k.ui.Label_TX.caption, "144,130,000");
}

TEST(HamlibTracking, RotctldRotorReachesTheTarget) {
    SKIP_WITHOUT_HAMLIB();
    testkit::DummyDaemon rotctld("/usr/bin/rotctld");
    ASSERT_TRUE(rotctld.ready);
    Program p;
    p.set("COM_Rotor", "Rotor_type", "Hamlib rotctld");
    p.set("COM_Rotor", "Refresh_Rotore", "1");
    p.set("Hamlib", "Rot_Address", rotctld.address());
    // Close to the dummy's rest position: it turns about six degrees a second.
    p.folder.write("azel.dat", trackingFile("8.5", "4.5", 125));
    mnuStart_Click(p.k);
    ASSERT_TRUE(p.noNetworkMessage()) << p.dialogs.messages.front();
    // Most likely before the connection: the command goes out again once it is made.
    p.track("8.5", "4.5", 125);
    double asked = 0;
    ASSERT_TRUE(p.networkUntil([&] {
        if (p.clock.monotonicSeconds() - asked > 0.2) {
            asked = p.clock.monotonicSeconds();
            Timer1_Timer(p.k); // the position poll
        }
        return p.k.ui.LabelAZ.caption == "8.5" && p.k.ui.LabelEL.caption == "4.5";
    }));
    EXPECT_EQ(p.k.rs.antenna.measuredAz, 8.5);
    std::string text = ask("/usr/bin/rotctl", rotctld.address(), "p", p);
    EXPECT_EQ(text, "8.50\n4.50\n");
}

// A GS-232A controller on a pseudo-terminal answering "+0211+0033" to every position request.
struct Gs232aController {
    Gs232aController() {
        thread = std::thread([this] {
            std::string line;
            while (running) {
                line += device.received();
                if (line.find("C2\r") != std::string::npos) {
                    device.send("+0211+0033\r\n");
                    line.clear();
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        });
    }
    ~Gs232aController() {
        running = false;
        thread.join();
    }
    testkit::PtyDevice device;
    std::atomic<bool> running{true};
    std::thread thread;
};

TEST(HamlibTracking, ServerReportsWhatTheRotorMeasured) {
    SKIP_WITHOUT_HAMLIB();
    Gs232aController controller;
    ASSERT_TRUE(controller.device.ok());
    Program p;
    int port = testkit::freePortOutsideEphemeralRange();
    p.set("COM_Rotor", "Rotor_type", "GS232");
    p.set("COM_Rotor", "Rotor_com", "COM3");
    p.set("COM_Rotor", "Refresh_Rotore", "1");
    p.set("COM_Rotor", "Rotor_TimeOutDelay", "0.3");
    p.set("Ports", "COM3", controller.device.name());
    p.set("Hamlib", "Server", "1");
    p.set("Hamlib", "Server_Port", std::to_string(port));
    p.folder.write("azel.dat", trackingFile("123.4", "45.6", 125));
    mnuStart_Click(p.k);
    ASSERT_TRUE(p.noNetworkMessage()) << p.dialogs.messages.front();
    Timer1_Timer(p.k);
    ASSERT_EQ(p.k.rs.antenna.measuredAz, 211);
    std::string address = "127.0.0.1:" + std::to_string(port);
    EXPECT_EQ(ask("/usr/bin/rotctl", address, "p", p), "211.00\n33.00\n");
    std::string refused = ask("/usr/bin/rotctl", address, "P 10 10", p);
    EXPECT_NE(refused, "") << "a refusal, not silence";
    EXPECT_FALSE(p.k.rs.antenna.paused) << refused;
}

// Another program on the same daemon, over a connection of its own: one command, and the reply
// up to its report.
struct OtherClient {
    explicit OtherClient(int port) : fd(testkit::connectTo(port)) {}
    ~OtherClient() { ::close(fd); }
    std::string ask(const std::string& command) {
        ::send(fd, command.data(), command.size(), MSG_NOSIGNAL);
        std::string reply;
        pumpUntil([&] {
            char buffer[256];
            ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
            if (got > 0) {
                reply.append(buffer, static_cast<std::size_t>(got));
            }
            return reply.find("RPRT") != std::string::npos && reply.back() == '\n';
        });
        return reply;
    }
    int fd;
};

TEST(HamlibTracking, SplitComesBackAfterAnotherClientClearsItAndStopLeavesItOff) {
    SKIP_WITHOUT_HAMLIB();
    testkit::DummyDaemon rigctld("/usr/bin/rigctld");
    ASSERT_TRUE(rigctld.ready);
    Program p;
    p.set("COM_RTX", "Rtx_type", "Hamlib rigctld");
    p.set("Hamlib", "Rig_Address", rigctld.address());
    mnuStart_Click(p.k);
    auto& devices = p.k.part<hamlib::HamlibDevices>();
    ASSERT_TRUE(p.networkUntil([&] { return devices.splitAtStart.has_value(); }));
    EXPECT_EQ(devices.splitAtStart, false);
    auto sendTx = [&](const char* tx) {
        p.k.settings().Doppler_Check = 1;
        p.k.rs.Freq_TX = tx;
        p.k.rs.Freq_RX = "144126700";
        hamlibRigSetFrequency(p.k);
        return p.networkUntil([&] { return devices.rig()->pendingReplies() == 0; });
    };
    const std::string on = "get_split_vfo:\nSplit: 1\nTX VFO: VFOB\nRPRT 0\n";
    OtherClient other(rigctld.port);
    ASSERT_TRUE(sendTx("144125000"));
    EXPECT_EQ(other.ask("+s\n"), on);
    other.ask("S 0 VFOA\n"); // another program turns split off
    ASSERT_NE(other.ask("+s\n"), on);
    ASSERT_TRUE(sendTx("144125100")); // the next change of the transmit frequency
    EXPECT_EQ(other.ask("+s\n"), on);
    EXPECT_EQ(p.k.ui.RotorAZ.caption.find("rigctld"), std::string::npos) << p.k.ui.RotorAZ.caption;
    stopNetworkDevices(p.k);
    std::string after;
    EXPECT_TRUE(pumpUntil([&] {
        after = other.ask("+s\n");
        return after.find("Split: 0") != std::string::npos;
    })) << after;
}

// A rotctld client's moves pass the station rules as a tracking target does: outside the limits
// or under the mask they are refused and nothing reaches the line; while the file says ", T" a
// P is answered, held, and goes out at ", R".
TEST(HamlibTracking, ClientMovesObeyTheStationRules) {
    SKIP_WITHOUT_HAMLIB();
    sim::PtyRotor rotor(sim::RotorProtocol::Gs232);
    ASSERT_TRUE(rotor.ok());
    rotor.start();
    Program p;
    int port = testkit::freePortOutsideEphemeralRange();
    p.set("COM_Rotor", "Rotor_type", "GS232");
    p.set("COM_Rotor", "Rotor_com", "COM3");
    p.set("Ports", "COM3", rotor.path());
    p.set("Hamlib", "Server", "1");
    p.set("Hamlib", "Server_Port", std::to_string(port));
    p.set("Hamlib", "Server_Moves", "1");
    p.set("Station", "Az_Min", "100");
    p.set("Station", "Hold_Tx", "1");
    p.set("Station", "Horizon_File", "mask.txt");
    p.folder.write("mask.txt", "0,15\n360,15\n");
    auto track = [&p](const char* az, const char* el, char flag) {
        std::string text = trackingFile(az, el, 125);
        text.insert(text.size() - 2, std::string(", ") + flag);
        p.folder.write("azel.dat", text);
        p.clock.second = p.clock.second % 59 + 1;
        tmrRead_Timer(p.k);
    };
    track("123.4", "45.6", 'R');
    mnuStart_Click(p.k);
    track("123.4", "45.6", 'R');
    ASSERT_TRUE(rotor.waitForCommands(1, 5));
    std::string address = "127.0.0.1:" + std::to_string(port);
    std::string info = ask("/usr/bin/rotctl", address, "_", p);
    EXPECT_NE(info.find("azimuth 100.0..360.0"), std::string::npos) << info;
    QProcess session; // rotctl's own prompt, as an operator types it
    session.setProcessChannelMode(QProcess::MergedChannels);
    session.start("/usr/bin/rotctl", {"-m", "2", "-r", QString::fromStdString(address)});
    session.write("\\dump_state\nq\n");
    session.closeWriteChannel();
    testkit::pumpUntil([&] {
        tmrNetwork_Timer(p.k);
        return session.waitForFinished(5);
    });
    std::string state = session.readAll().toStdString();
    EXPECT_NE(state.find("100.000000"), std::string::npos) << state;

    auto rotctl = [&](const QStringList& move) {
        QStringList args{"/usr/bin/rotctl", "-m", "2", "-r", QString::fromStdString(address)};
        return testkit::run(args + move, [&p] { tmrNetwork_Timer(p.k); });
    };
    for (const QStringList& move : {QStringList{"P", "10", "20"}, QStringList{"P", "150", "5"}}) {
        auto [text, status] = rotctl(move);
        // rotctl itself refuses what lies outside the limits the server told it.
        EXPECT_NE(text.find("Invalid parameter"), std::string::npos)
            << move.join(' ').toStdString() << ": " << text;
    }
    EXPECT_EQ(p.k.ui.RotorAZ.caption.rfind("rotctld client 127.0.0.1:", 0), 0u)
        << p.k.ui.RotorAZ.caption;
    EXPECT_NE(p.k.ui.RotorAZ.caption.find("Below horizon mask"), std::string::npos);
    track("123.4", "45.6", 'T');
    EXPECT_EQ(rotctl({"P", "160", "40"}), std::make_pair(std::string(), 0));
    EXPECT_NE(p.k.ui.RotorAZ.caption.find("Held while transmitting"), std::string::npos);
    track("123.4", "45.6", 'T');
    EXPECT_EQ(rotor.commands(), (std::vector<std::string>{"W123 045"})) << "nothing while held";
    track("123.4", "45.6", 'R');
    ASSERT_TRUE(rotor.waitForCommands(2, 5));
    EXPECT_EQ(rotor.commands(), (std::vector<std::string>{"W123 045", "W160 040"}));
}

} // namespace
} // namespace kelvora
