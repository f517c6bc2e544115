// The Linrad link's connect and send rules.
#include "radio/linrad.h"

#include "fakes/hex.h"
#include "fakes/kelv_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace kelvora {
namespace {

using fakes::hex;

class LinradLinkTest : public ::testing::Test {
protected:
    LinradLinkTest() {
        k.rs.Linrad_host = "127.0.0.1";
        k.rs.Linrad_tcp_port = "49812";
        k.rs.Linrad_center_Hz = "144125000";
        k.rs.Linrad_offset_Hz = "0";
        k.rs.Fqso_kHz = "125";
    }
    fakes::KelvFixture f;
    Kelv& k = f.k;
};

TEST_F(LinradLinkTest, ConnectNamesWhatIsMissing) {
    struct Case {
        const char* host;
        const char* port;
        std::vector<std::string> messages;
    };
    for (const Case& c : std::vector<Case>{{"", "49812", {"Please configure Tcp/ip"}},
                                           {"127.0.0.1", "", {"Please configure Tcp/port"}},
                                           {"", "", {"Please configure Tcp/ip"}}}) {
        SCOPED_TRACE(std::string(c.host) + ":" + c.port);
        f.dialogs.messages.clear();
        f.socket.currentState = platform::TcpState::Connected; // a link from an earlier Start
        k.rs.Linrad_host = c.host;
        k.rs.Linrad_tcp_port = c.port;
        Linrad_connect(k);
        EXPECT_EQ(f.dialogs.messages, c.messages);
        EXPECT_TRUE(f.socket.connects.empty());
        EXPECT_EQ(f.socket.state(), platform::TcpState::Closed); // closed before the checks
    }
}

TEST_F(LinradLinkTest, ConnectClosesThenConnectsToTheRunStateAddress) {
    k.rs.Linrad_host = "linrad.local";
    k.rs.Linrad_tcp_port = "50000";
    Linrad_connect(k);
    EXPECT_EQ(f.socket.closeCount, 1);
    ASSERT_EQ(f.socket.connects.size(), 1u);
    EXPECT_EQ(f.socket.connects[0].first, "linrad.local");
    EXPECT_EQ(f.socket.connects[0].second, "50000");
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST_F(LinradLinkTest, SendWhileNotConnectedSaysSoAndSendsNothing) {
    for (platform::TcpState state :
         {platform::TcpState::Closed, platform::TcpState::Connecting, platform::TcpState::Error}) {
        f.dialogs.messages.clear();
        f.socket.currentState = state;
        Linrad_set_frequency(k);
        EXPECT_EQ(f.dialogs.messages,
                  std::vector<std::string>{"Linrad not Connected please Stop/Start"});
    }
    EXPECT_TRUE(f.socket.sends.empty());
}

TEST_F(LinradLinkTest, SendsTheWholeMessageAtOnce) {
    f.socket.currentState = platform::TcpState::Connected;
    Linrad_set_frequency(k);
    ASSERT_EQ(f.socket.sends.size(), 1u);
    EXPECT_EQ(hex(f.socket.sends[0]), "BC A2 00 00 80 BB 00 00");
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST_F(LinradLinkTest, DopplerCheckUsesTheReceiveFrequency) {
    f.socket.currentState = platform::TcpState::Connected;
    k.rs.Freq_RX = "144126350";
    k.settings().Doppler_Check = 1;
    Linrad_set_frequency(k);
    k.settings().Doppler_Check = 0;
    Linrad_set_frequency(k);
    ASSERT_EQ(f.socket.sends.size(), 2u);
    EXPECT_EQ(hex(f.socket.sends[0]), "BC A2 00 00 C6 C0 00 00");
    EXPECT_EQ(hex(f.socket.sends[1]), "BC A2 00 00 80 BB 00 00");
}

TEST_F(LinradLinkTest, DroppedMessageShowsInTheStatusLine) {
    f.socket.currentState = platform::TcpState::Connected;
    f.socket.acceptSends = false;
    Linrad_set_frequency(k);
    EXPECT_EQ(k.ui.RotorAZ.caption, "Linrad busy: frequency not sent");
    EXPECT_TRUE(f.dialogs.messages.empty()); // no box twice a second while Linrad hangs
}

} // namespace
} // namespace kelvora
