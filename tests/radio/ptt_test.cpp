// PTT follow: keying and releasing the real PTT line from MAP65's DSR, and its failure cases.
#include "radio/ptt.h"

#include "fakes/kelv_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace kelvora {
namespace {

class PttTest : public ::testing::Test {
protected:
    PttTest() {
        k.settings().Reale_PTT = "COM5";
        k.rs.Fqso_kHz = "125";
        k.rs.Fqso2_kHz = "130";
        std::string error;
        f.virtualPtt.open("/dev/ttyS2", {19200, 'N', 8, 1}, false, error);
    }

    void tick(bool dsr) {
        f.virtualPtt.dsrLevel = dsr;
        Controllo_PTT_MAP65(k);
    }
    bool keyed() const { return f.realPtt.isOpen(); }
    const std::string& caption() { return k.ui.Ptt.caption; }

    fakes::KelvFixture f;
    Kelv& k = f.k;
};

TEST_F(PttTest, DsrKeysTheRealLineWithRtsAtFixedSettings) {
    tick(true);
    ASSERT_TRUE(keyed());
    EXPECT_EQ(f.realPtt.openedDevice, "/dev/ttyS4");
    EXPECT_EQ(f.realPtt.openedLine.baud, 19200);
    EXPECT_EQ(f.realPtt.openedLine.parity, 'N');
    EXPECT_EQ(f.realPtt.openedLine.dataBits, 8);
    EXPECT_EQ(f.realPtt.openedLine.stopBits, 1);
    EXPECT_TRUE(f.realPtt.rtsOnOpen);
    EXPECT_TRUE(f.realPtt.rts);
    EXPECT_EQ(caption(), "PTT On");
    EXPECT_EQ(k.rs.Fqso_kHz, "125"); // keying keeps the QSO frequency
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST_F(PttTest, RealPortTextNamesTheDevice) {
    f.folder.write("Kelvora.ini", "[Ports]\nCOM7=/dev/ttyUSB3\n");
    struct Case {
        const char* setting;
        const char* device;
    };
    for (const Case& c : std::vector<Case>{{"COM1", "/dev/ttyS0"},
                                           {"COM12", "/dev/ttyS11"},
                                           {"COM16", "/dev/ttyS15"},
                                           {"COM7", "/dev/ttyUSB3"}}) {
        SCOPED_TRACE(c.setting);
        k.settings().Reale_PTT = c.setting;
        tick(true);
        EXPECT_TRUE(keyed());
        EXPECT_EQ(f.realPtt.openedDevice, c.device);
        tick(false);
        EXPECT_FALSE(keyed());
    }
}

TEST_F(PttTest, DsrDroppedReleasesAndTakesTheSecondQsoFrequency) {
    tick(true);
    tick(false);
    EXPECT_FALSE(keyed());
    EXPECT_EQ(caption(), "PTT off");
    EXPECT_EQ(k.rs.Fqso_kHz, "130");
    EXPECT_EQ(f.realPtt.openCount, 1);
}

TEST_F(PttTest, RepeatedDsrWhileKeyedChangesNothing) {
    for (int i = 0; i < 5; ++i) {
        tick(true);
    }
    EXPECT_TRUE(keyed());
    EXPECT_EQ(f.realPtt.openCount, 1);
    EXPECT_EQ(caption(), "PTT On");
}

TEST_F(PttTest, PulseEndedWithinOneCallIsKeyedAndReleased) {
    // The key step sees DSR asserted; the release step reads it again and finds it dropped.
    f.virtualPtt.dsrSequence = {true, false};
    Controllo_PTT_MAP65(k);
    EXPECT_EQ(f.realPtt.openCount, 1);
    EXPECT_FALSE(keyed());
    EXPECT_EQ(caption(), "PTT off");
    EXPECT_EQ(k.rs.Fqso_kHz, "130");
    EXPECT_TRUE(f.virtualPtt.dsrSequence.empty());
}

TEST_F(PttTest, NoRealPortConfiguredIgnoresDsr) {
    for (const char* setting : {"None", "", "LPT1", "COM", "com5", "COMx"}) {
        SCOPED_TRACE(setting);
        k.settings().Reale_PTT = setting;
        tick(true);
        tick(false);
        tick(true);
        EXPECT_EQ(f.realPtt.openCount, 0);
        EXPECT_EQ(caption(), "PTT off");
        EXPECT_EQ(k.rs.Fqso_kHz, "125");
    }
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST_F(PttTest, ClosedVirtualPortDoesNothing) {
    f.virtualPtt.close();
    f.virtualPtt.dsrSequence = {true, true};
    Controllo_PTT_MAP65(k);
    EXPECT_EQ(f.realPtt.openCount, 0);
    EXPECT_EQ(f.virtualPtt.dsrSequence.size(), 2u); // DSR is not even read
    EXPECT_EQ(caption(), "PTT off");
}

TEST_F(PttTest, OpenFailureIsReportedOnceAndStaysInReceive) {
    for (int i = 0; i < 6; ++i) {
        f.realPtt.failOpenWith = "Permission denied";
        tick(true);
    }
    EXPECT_FALSE(keyed());
    EXPECT_EQ(caption(), "PTT off");
    EXPECT_EQ(k.rs.Fqso_kHz, "125");
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    const std::string& message = f.dialogs.messages[0];
    for (const char* part : {"Reale_PTT", "COM5", "/dev/ttyS4", "Permission denied"}) {
        EXPECT_NE(message.find(part), std::string::npos) << part << " missing in: " << message;
    }

    // A different failure is news; after a successful open the same failure is news again.
    f.realPtt.failOpenWith = "Device or resource busy";
    tick(true);
    EXPECT_EQ(f.dialogs.messages.size(), 2u);
    tick(true);
    EXPECT_TRUE(keyed());
    tick(false);
    f.realPtt.failOpenWith = "Device or resource busy";
    tick(true);
    EXPECT_EQ(f.dialogs.messages.size(), 3u);
}

TEST_F(PttTest, FailureReportedWhileTicksRunInsideTheBoxIsNotRepeated) {
    // A modal box runs timer ticks; the tick inside it must not open a second box.
    int nested = 0;
    struct ReenteringDialogs : fakes::FakeDialogs {
        std::function<void()> inside;
        void messageBox(const std::string& text) override {
            FakeDialogs::messageBox(text);
            if (inside) {
                inside();
            }
        }
    };
    ReenteringDialogs dialogs;
    Kelv k2(f.settingsDialog, f.radio, f.rotor, f.virtualPtt, f.realPtt, f.radio2, f.socket,
            f.clock, dialogs, f.folder.path());
    dialogs.inside = [&] {
        if (nested++ < 3) {
            f.realPtt.failOpenWith = "Permission denied";
            Controllo_PTT_MAP65(k2);
        }
    };
    f.virtualPtt.dsrLevel = true;
    f.realPtt.failOpenWith = "Permission denied";
    Controllo_PTT_MAP65(k2);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(nested, 1);
}

TEST_F(PttTest, LostRealLineWhileKeyedShowsReceive) {
    tick(true);
    ASSERT_TRUE(keyed());
    f.realPtt.unplug("device removed");
    f.realPtt.failOpenWith = "No such file or directory";
    tick(true);
    EXPECT_FALSE(keyed());
    EXPECT_EQ(caption(), "PTT off");
    EXPECT_NE(k.ui.RotorAZ.caption.find("Real PTT port lost"), std::string::npos);
    EXPECT_EQ(f.dialogs.messages.size(), 1u); // the attempt to key again failed
    tick(false);
    EXPECT_EQ(caption(), "PTT off");
}

TEST_F(PttTest, LostVirtualLineWhileKeyedReleasesTheTransmitter) {
    tick(true);
    ASSERT_TRUE(keyed());
    f.virtualPtt.unplug("device removed");
    Controllo_PTT_MAP65(k);
    EXPECT_FALSE(keyed());
    EXPECT_FALSE(f.realPtt.rts && f.realPtt.isOpen());
    EXPECT_EQ(caption(), "PTT off");
}

TEST_F(PttTest, RealLineClosedElsewhereWhileKeyedShowsReceive) {
    tick(true);
    f.realPtt.close();
    tick(false);
    EXPECT_EQ(caption(), "PTT off");
    EXPECT_EQ(k.rs.Fqso_kHz, "125"); // not a release by MAP65
    EXPECT_EQ(f.realPtt.openCount, 1);
}

TEST_F(PttTest, InputOnTheLinesIsDiscarded) {
    f.virtualPtt.arrive("noise");
    tick(true);
    f.realPtt.arrive("echo");
    tick(true);
    EXPECT_EQ(f.virtualPtt.bytesWaiting(), 0u);
    EXPECT_EQ(f.realPtt.bytesWaiting(), 0u);
    EXPECT_TRUE(keyed());
}

// The frequency follows every change of state, once: the radio sees one command per change.
class PttFrequencyTest : public PttTest {
protected:
    PttFrequencyTest() {
        k.settings().RtxType = "TS-2000";
        std::string error;
        f.radio.open("/dev/ttyS0", {9600, 'N', 8, 1}, false, error);
    }
};

TEST_F(PttFrequencyTest, SentOncePerChange) {
    tick(true);
    ASSERT_EQ(f.radio.writes.size(), 1u);
    EXPECT_NE(f.radio.writes[0].find("144125000"), std::string::npos) << f.radio.writes[0];
    tick(true);
    tick(true);
    EXPECT_EQ(f.radio.writes.size(), 1u);
    tick(false);
    ASSERT_EQ(f.radio.writes.size(), 2u);
    EXPECT_NE(f.radio.writes[1].find("144130000"), std::string::npos) << f.radio.writes[1];
    tick(false);
    EXPECT_EQ(f.radio.writes.size(), 2u);
}

TEST_F(PttFrequencyTest, PulseSendsTwice) {
    f.virtualPtt.dsrSequence = {true, false};
    Controllo_PTT_MAP65(k);
    EXPECT_EQ(f.radio.writes.size(), 2u);
}

TEST_F(PttFrequencyTest, NothingSentWithoutAChange) {
    f.realPtt.failOpenWith = "Permission denied";
    tick(true);
    k.settings().Reale_PTT = "None";
    tick(true);
    tick(false);
    EXPECT_TRUE(f.radio.writes.empty());
}

} // namespace
} // namespace kelvora
