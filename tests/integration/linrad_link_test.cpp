// The Linrad link end to end: Start's connect, the frequency messages a listener on 127.0.0.1
// receives, and what the operator sees when Linrad is missing or goes away.
#include "platform/qt/qt_tcp_socket.h"
#include "radio/linrad.h"
#include "tracking/tracking_cycle.h"

#include "fakes/hex.h"
#include "fakes/kelv_fixture.h"
#include "integration/loopback_listener.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace kelvora {
namespace {

using fakes::hex;

// Linrad's side.
using FakeLinrad = testkit::LoopbackListener;
using testkit::pumpUntil;

class LinradLink : public ::testing::Test {
protected:
    LinradLink() {
        k.rs.Linrad_host = "127.0.0.1";
        k.rs.Linrad_tcp_port = linrad.portText();
        k.rs.Linrad_center_Hz = "144125000";
        k.rs.Linrad_offset_Hz = "0";
    }

    void connect() {
        ASSERT_TRUE(linrad.ok);
        Linrad_connect(k);
        ASSERT_TRUE(linrad.accept());
        ASSERT_TRUE(pumpUntil([&] { return socket.state() == platform::TcpState::Connected; }));
    }
    // One tracking tick that processes a new second (it shows the Linrad state).
    std::string tickLabel() {
        f.clock.advance(1);
        tmrRead_Timer(k);
        return k.ui.Linrad_stato.caption;
    }

    FakeLinrad linrad;
    fakes::KelvFixture f;
    platform::QtTcpSocket socket;
    Kelv k{f.settingsDialog, f.radio, f.rotor, f.virtualPtt, f.realPtt,
           f.radio2,         socket,  f.clock, f.dialogs,    f.folder.path()};
};

TEST_F(LinradLink, FrequencyMessagesReachLinrad) {
    connect();
    struct Case {
        const char* fqso;
        const char* centre;
        int doppler;
        const char* freqRx;
        const char* bytes;
    };
    const std::vector<Case> cases = {
        {"125", "144125000", 0, "", "BC A2 00 00 80 BB 00 00"},          // 48000
        {"130", "144125000", 0, "", "BC A2 00 00 08 CF 00 00"},          // 53000
        {"200", "144125000", 0, "", "BC A2 00 00 00 77 01 00"},          // limited to 96000
        {"050", "144125000", 0, "", "BC A2 00 00 00 00 00 00"},          // limited to 0
        {"110", "1296100000", 0, "", "BC A2 00 00 90 E2 00 00"},         // 58000, base 1296 MHz
        {"125", "144125000", 1, "144126350", "BC A2 00 00 C6 C0 00 00"}, // 49350
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fqso) + " " + c.centre + " " + c.freqRx);
        k.rs.Fqso_kHz = c.fqso;
        k.rs.Linrad_center_Hz = c.centre;
        k.settings().Doppler_Check = c.doppler;
        k.rs.Freq_RX = c.freqRx;
        Linrad_set_frequency(k);
        EXPECT_EQ(hex(linrad.read(8)), c.bytes);
    }
    EXPECT_EQ(linrad.pending(), "");
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST_F(LinradLink, EmptyHostOrPortIsNamedAndNothingIsTried) {
    struct Case {
        const char* host;
        bool emptyPort;
        const char* message;
    };
    for (const Case& c : std::vector<Case>{{"", false, "Please configure Tcp/ip"},
                                           {"127.0.0.1", true, "Please configure Tcp/port"},
                                           {"", true, "Please configure Tcp/ip"}}) {
        f.dialogs.messages.clear();
        k.rs.Linrad_host = c.host;
        k.rs.Linrad_tcp_port = c.emptyPort ? "" : linrad.portText();
        Linrad_connect(k);
        EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{c.message});
        EXPECT_EQ(socket.state(), platform::TcpState::Closed);
    }
}

TEST_F(LinradLink, LinradAbsentShowsOffAndAsksForStopStart) {
    std::string port = linrad.portText();
    linrad.closeAll(); // nobody listens there now
    k.rs.Linrad_tcp_port = port;
    Linrad_connect(k);
    EXPECT_TRUE(f.dialogs.messages.empty()); // a failed connection is not reported by itself
    ASSERT_TRUE(pumpUntil([&] { return socket.state() == platform::TcpState::Error; }));
    EXPECT_EQ(tickLabel(), "Linrad off");
    Linrad_set_frequency(k);
    EXPECT_EQ(f.dialogs.messages,
              std::vector<std::string>{"Linrad not Connected please Stop/Start"});
}

TEST_F(LinradLink, LinradGoingAwayMidRun) {
    EXPECT_EQ(tickLabel(), "Linrad off");
    connect();
    EXPECT_EQ(tickLabel(), "Linrad ON");
    k.rs.Fqso_kHz = "125";
    Linrad_set_frequency(k);
    EXPECT_EQ(linrad.read(8).size(), 8u);

    linrad.closeAll();
    ASSERT_TRUE(pumpUntil([&] { return socket.state() != platform::TcpState::Connected; }));
    EXPECT_EQ(tickLabel(), "Linrad off");
    Linrad_set_frequency(k);
    EXPECT_EQ(f.dialogs.messages,
              std::vector<std::string>{"Linrad not Connected please Stop/Start"});
}

TEST_F(LinradLink, WhatLinradSaysIsIgnored) {
    connect();
    linrad.say(std::string(100000, '\x55'));
    k.rs.Fqso_kHz = "130";
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(tickLabel(), "Linrad ON");
    }
    Linrad_set_frequency(k);
    EXPECT_EQ(hex(linrad.read(8)), "BC A2 00 00 08 CF 00 00");
}

TEST_F(LinradLink, StartAgainReconnects) {
    connect();
    linrad.closeAll();
    FakeLinrad second;
    ASSERT_TRUE(second.ok);
    k.rs.Linrad_tcp_port = second.portText();
    Linrad_connect(k);
    ASSERT_TRUE(second.accept());
    ASSERT_TRUE(pumpUntil([&] { return socket.state() == platform::TcpState::Connected; }));
    k.rs.Fqso_kHz = "125";
    Linrad_set_frequency(k);
    EXPECT_EQ(hex(second.read(8)), "BC A2 00 00 80 BB 00 00");
}

} // namespace
} // namespace kelvora
