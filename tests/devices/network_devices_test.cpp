// The Hamlib types on fake sockets: what goes to rigctld and rotctld, and what is told.
#include "config/settings.h"
#include "devices/network_devices.h"
#include "fakes/kelv_fixture.h"
#include "radio/hamlib_rig.h"
#include "radio/vfo_buttons.h"
#include "rotor/antenna_command.h"
#include "rotor/controller_unit.h"
#include "rotor/position_feedback.h"
#include "state/kelv.h"
#include "station/station_control.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

struct NetworkFixture : fakes::KelvFixture {
    NetworkFixture() {
        k.rs.Tracking_on = 1;
        k.settings().RtxType = "Hamlib rigctld";
        k.settings().RotorType = "Hamlib rotctld";
    }
    // Start, then the polls that connect: the first makes the connection, the second sees it.
    void start() {
        startNetworkDevices(k);
        tmrNetwork_Timer(k);
        tmrNetwork_Timer(k);
    }
    fakes::FakeTcpSocket& rig() { return *devices.sockets.at(0); }
    fakes::FakeTcpSocket& rot() { return *devices.sockets.at(1); }
    // What went out, answered one command at a time as the daemons do (split found off, the
    // rotor at 123.4 45.6); without the extended form's '+'.
    std::string sent(fakes::FakeTcpSocket& s, const char* split = "0") {
        std::string all;
        for (int i = 0; i < 32 && !s.sends.empty(); ++i) {
            std::string line = s.sends.front();
            s.sends.erase(s.sends.begin());
            all += line.substr(1);
            s.incoming = line == "+s\n" ? std::string("get_split_vfo:\nSplit: ") + split +
                                              "\nTX VFO: VFOB\nRPRT 0\n"
                         : line == "+p\n" ? "get_pos:\nAzimuth: 123.40\nElevation: 45.60\nRPRT 0\n"
                                          : "RPRT 0\n";
            tmrNetwork_Timer(k);
        }
        return all;
    }
};

TEST(NetworkDevices, RigctldGetsOneVfoOrSplitAndTheButtons) {
    struct Case {
        int doppler;
        const char *tx, *rx;
        std::string expected;
    };
    for (const Case& c : {
             Case{0, "144125000", "144125700", "F 144125000\n"},
             Case{1, "144125000", "144125000", "F 144125000\n"},
             Case{1, "144125000.5", "144126700", "F 144126700\nS 1 VFOB\nI 144125000\n"},
         }) {
        NetworkFixture f;
        f.start();
        EXPECT_EQ(f.sent(f.rig()), "s\n") << "the split as Start finds it";
        f.k.settings().Doppler_Check = c.doppler;
        f.k.rs.Freq_TX = c.tx;
        f.k.rs.Freq_RX = c.rx;
        ASSERT_TRUE(f.rig().connects.size() == 1);
        EXPECT_EQ(f.rig().connects[0], (std::pair<std::string, std::string>{"127.0.0.1", "4532"}));
        hamlibRigSetFrequency(f.k); // the row's frequency procedure

        EXPECT_EQ(f.sent(f.rig()), c.expected) << c.doppler << " " << c.rx;
    }
    NetworkFixture f;
    f.start();
    f.sent(f.rig());
    Host_Click(f.k);
    Normal_Click(f.k);
    Posizione_Click(f.k);
    EXPECT_EQ(f.sent(f.rig()), "V VFOA\nV VFOB\nG CPY\n");
}

TEST(NetworkDevices, RotctldGetsTargetPollAndStopAndShowsThePosition) {
    NetworkFixture f;
    f.k.settings().Refresh_Rotore = "1";
    f.start();
    f.k.rs.Az_text = "123.4";
    f.k.rs.El_text = "45.6";
    f.k.rs.Az_int = "123";
    f.k.rs.El_int = "45";
    station::commandNewTarget(f.k);
    Controllo_posizione(f.k);
    f.k.ui.Rotorman.value = 1; // Stop is offered with the manual direction
    Command6_Click(f.k);
    EXPECT_EQ(f.sent(f.rot()), "P 123.400000 45.600000\np\nS\n");
    EXPECT_EQ(f.k.ui.LabelAZ.caption, "123.4");
    EXPECT_EQ(f.k.ui.LabelEL.caption, "45.6");
    EXPECT_EQ(f.k.rs.antenna.measuredEl, 45.6);
}

TEST(NetworkDevices, SplitIsSetWithEveryChangeAndLeftAsStartFoundIt) {
    for (const char* found : {"0", "1"}) {
        NetworkFixture f;
        f.k.settings().Doppler_Check = 1;
        f.start();
        f.sent(f.rig(), found);
        for (const char* tx : {"144125000", "144125100"}) {
            f.k.rs.Freq_TX = tx;
            f.k.rs.Freq_RX = "144126700";
            hamlibRigSetFrequency(f.k);
            EXPECT_EQ(f.sent(f.rig()), "F 144126700\nS 1 VFOB\nI " + std::string(tx) + "\n");
        }
        stopNetworkDevices(f.k);
        EXPECT_EQ(f.sent(f.rig()), found[0] == '0' ? "S 0 VFOA\n" : "") << found;
    }
}

TEST(NetworkDevices, AnAbsentDaemonIsToldOnceAndTriedAgain) {
    NetworkFixture f;
    f.k.settings().RotorType = "None";
    startNetworkDevices(f.k);
    f.rig().stateAfterConnect = platform::TcpState::Closed;
    tmrNetwork_Timer(f.k);
    tmrNetwork_Timer(f.k);
    EXPECT_EQ(f.k.ui.RotorAZ.caption, "rigctld not reachable at 127.0.0.1:4532");
    f.k.ui.RotorAZ.caption.clear();
    for (int i = 0; i < 10; ++i) {
        f.clock.advance(1);
        tmrNetwork_Timer(f.k);
    }
    EXPECT_EQ(f.k.ui.RotorAZ.caption, "") << "told once, not at every attempt";
    EXPECT_GE(f.rig().connects.size(), 3u);
}

TEST(NetworkDevices, AWrongAddressIsNamedAtStart) {
    NetworkFixture f;
    f.k.settings().setValue("Hamlib", "Rig_Address", "localhost:99999");
    f.k.settings().setValue("Hamlib", "Server", "2");
    startNetworkDevices(f.k);
    // Told in a window that does not wait, and on the status line: tracking goes on.
    EXPECT_TRUE(f.dialogs.messages.empty());
    ASSERT_EQ(f.dialogs.notices.size(), 1u);
    EXPECT_NE(f.dialogs.notices[0].find("rigctld address"), std::string::npos);
    EXPECT_NE(f.dialogs.notices[0].find("Server"), std::string::npos);
    EXPECT_NE(f.k.ui.RotorAZ.caption.find("Hamlib: rigctld address"), std::string::npos);
}

} // namespace
} // namespace kelvora
