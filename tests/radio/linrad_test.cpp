// The Linrad frequency message (window position and bytes) and the link's connect and send rules.
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

TEST(LinradMessage, WindowPosition) {
    struct Case {
        const char* centre;
        const char* offset;
        const char* fqso;
        const char* freqRx;
        bool doppler;
        std::int64_t expected;
    };
    const std::vector<Case> cases = {
        {"144125000", "0", "125", "", false, 48000},
        {"144125000", "0", "130", "", false, 53000},
        {"144125000", "0", "173", "", false, 96000},           // the upper edge itself
        {"144125000", "0", "200", "", false, 96000},           // above the window: limited
        {"144125000", "0", "077", "", false, 0},               // the lower edge itself
        {"144125000", "0", "050", "", false, 0},               // below the window: limited
        {"144125000", "-47800", "125", "", false, 200},        // the offset is added
        {"144125000", "-44000", "125", "", false, 4000},       //
        {"144125000", "0.5", "125", "", false, 48000},         // halves to the even neighbour
        {"144125000", "1.5", "125", "", false, 48002},         //
        {"144125000", "0", "125.4", "", false, 48400},         // fractional kHz
        {"144125000", "", "", "", false, 0},                   // nothing read yet
        {"144125000", "abc", "125xyz", "", false, 48000},      // leading numbers only
        {"1296100000", "0", "110", "", false, 58000},          // 10-digit centre: base 1296000 kHz
        {"10368100000", "0", "100", "", false, 48000},         // 11 digits
        {"1000000", "0", "025", "", false, 73000},             // 7 digits: base 1000 kHz
        {"500000", "0", "100", "", false, 96000},              // 6 digits: taken whole as the base
        {"144125000", "0", "125", "144126350", true, 49350},   // Doppler: receive frequency
        {"144125000", "0", "999", "144126350", true, 49350},   // Fqso_kHz is not used
        {"144125000", "0", "125", "432126350", true, 49350},   // only the Hz below 1 MHz count
        {"144125000", "0", "125", "144125500.5", true, 48500}, // fractional Hz keep their place
        {"144125000", "0", "125", "144125501.5", true, 48502}, //
        {"144125000", "0", "125", "", true, 0},                // no receive frequency yet
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.centre) + " " + c.offset + " " + c.fqso + " " + c.freqRx);
        EXPECT_EQ(linrad::offsetValue({c.centre, c.offset, c.fqso, c.freqRx, c.doppler}),
                  c.expected);
    }
}

TEST(LinradMessage, Bytes) {
    struct Case {
        std::int64_t value;
        const char* bytes;
    };
    for (const Case& c : std::vector<Case>{{48000, "BC A2 00 00 80 BB 00 00"},
                                           {53000, "BC A2 00 00 08 CF 00 00"},
                                           {96000, "BC A2 00 00 00 77 01 00"},
                                           {0, "BC A2 00 00 00 00 00 00"},
                                           {200, "BC A2 00 00 C8 00 00 00"},
                                           {4000, "BC A2 00 00 A0 0F 00 00"},
                                           {49350, "BC A2 00 00 C6 C0 00 00"}}) {
        EXPECT_EQ(hex(linrad::frequencyMessage(c.value)), c.bytes) << c.value;
    }
}

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
