// A radio on a pseudo-terminal receives the exact CAT byte stream of a run of tracking ticks,
// driven by a rewritten tracking file, through the real serial line implementation.
#include "config/settings.h"
#include "platform/qt/qt_serial_port.h"
#include "radio/icom.h"
#include "state/kelv.h"
#include "tracking/startup.h"
#include "tracking/tracking_cycle.h"

#include "fakes/kelv_fixture.h"
#include "integration/test_support.h"

#include <gtest/gtest.h>

#include <memory>

namespace kelvora {
namespace {

// Real time and real sleeps; the second of the minute is the test's, so each tick is processed.
using testkit::hex;
using testkit::SteppedClock;

// A tracking file as WSJT-X writes it: the Moon line, the two QSO frequencies, then the band and
// the DX and own-echo Doppler shifts in front of "Doppler" at the place the reader expects.
std::string trackingFile(int fqsoKHz, int dxDoppler, int myDoppler) {
    char freq[64];
    std::snprintf(freq, sizeof freq, "%3d,  fQSO\r\n%3d,  fQSO2\r\n", fqsoKHz, fqsoKHz);
    char doppler[64];
    std::snprintf(doppler, sizeof doppler, " 144,%6d,%6d,Doppler", dxDoppler, myDoppler);
    std::string head =
        std::string("01:02:03,123.4, 45.6,Moon\r\n01:02:04,200.1, 10.2,Sun\r\n") + freq;
    // "Doppler" at position 93 of the text that follows the Moon line's time and comma.
    std::size_t fill = 93 - 1 + 9 - head.size() - std::string(doppler).find("Doppler");
    return head + std::string(fill, ' ') + doppler + "\r\n";
}

class RadioOverPty : public ::testing::Test {
protected:
    void start(const std::string& rtxType, int doppler) {
        device = std::make_unique<testkit::PtyDevice>();
        ASSERT_TRUE(device->ok());
        const std::string& name = device->name();
        folder.write("azel.dat", trackingFile(125, -600, 1000));
        folder.write("Kelvora.ini",
                     "[COM_RTX]\r\nCom_Port=COM1\r\nCom_Port2=None\r\nRtx_type=" + rtxType +
                         "\r\nRtx_baud=9600\r\nCom_Parity=N\r\nCom_Bits=8\r\nCom_StopBit=1\r\n"
                         "Icom_Addr=A2\r\nIcom_Addr1=10\r\nTrv_Offset=144000\r\n"
                         "[COM_Rotor]\r\nRotor_com=None\r\nRotor_type=None\r\n"
                         "Rotor_PaceDelay=0\r\nRefresh_Rotore=None\r\n"
                         "[General]\r\nFname=" +
                         folder.file("azel.dat") +
                         "\r\nAutoupdate=1\r\nDoppler=" + std::to_string(doppler) +
                         "\r\nTracking_Object=Moon\r\nVirtual_PTT=None\r\nReal_PTT=None\r\n"
                         "[Ports]\r\nCOM1=" +
                         name + "\r\n");
        socket.stateAfterConnect = platform::TcpState::Closed;
        mnuStart_Click(k);
        ASSERT_EQ(k.rs.Tracking_on, 1);
        ASSERT_TRUE(radio.isOpen()) << dialogs.messages.size();
        k.ui.Autoupdate.value = 1;
    }
    void TearDown() override {
        radio.close();
        device.reset();
    }
    // One processed tick after the tracking file was (re)written.
    void tick(int fqsoKHz, int dx = -600, int my = 1000) {
        folder.write("azel.dat", trackingFile(fqsoKHz, dx, my));
        ++clock.second;
        tmrRead_Timer(k);
    }
    // What the radio has received; the writes are complete when the tick returns.
    std::string received() { return device->received(); }
    void radioAnswers(const std::string& bytes) { ASSERT_TRUE(device->send(bytes)); }
    static std::string ciV(double hz) { return hex(*icom::frequencyFrame(0xA2, hz)); }

    fakes::TempFolder folder;
    SteppedClock clock;
    platform::QtSerialPort radio;
    fakes::FakeSerialPort rotor, virtualPtt, realPtt, radio2;
    fakes::FakeTcpSocket socket;
    fakes::FakeDialogs dialogs;
    config::SettingsDialog settingsDialog{folder.file("Kelvora.ini")};
    Kelv k{settingsDialog, radio,  rotor, virtualPtt, realPtt,
           radio2,         socket, clock, dialogs,    folder.path()};
    std::unique_ptr<testkit::PtyDevice> device;
};

TEST_F(RadioOverPty, IcomFollowsTheFileAndResendsEveryTick) {
    start("IC-9700", 0);
    tick(125);
    EXPECT_EQ(hex(received()), "FE FE A2 E0 05 00 50 12 44 01 FD");
    EXPECT_EQ(k.ui.Label_TX.caption, "144,125,000");
    // The frame consumed Freq_TX: the same frequency goes out again on the next tick.
    tick(125);
    EXPECT_EQ(hex(received()), ciV(144125000));
    tick(130);
    EXPECT_EQ(hex(received()), ciV(144130000));
    tmrRead_Timer(k); // the same second again: not processed
    EXPECT_EQ(received(), "");
}

TEST_F(RadioOverPty, IcomInEveryDopplerMode) {
    start("IC-9700", 1);
    tick(125);
    EXPECT_TRUE(k.frmDoppler.visible);
    EXPECT_EQ(hex(received()), ciV(144125000)) << "no correction until a mode is picked";
    struct Step {
        int mode;
        double tx; // DX -600 Hz, own echo 1000 Hz
    } steps[] = {{1, 144125600}, {2, 144125000}, {3, 144124500},
                 {4, 144123400}, {5, 144124000}, {6, 144125000}};
    for (const Step& s : steps) {
        k.frmDoppler.select(s.mode);
        tick(125);
        EXPECT_EQ(hex(received()), ciV(s.tx)) << "mode " << s.mode;
        tick(125); // corrected frequencies are not consumed: nothing new, nothing sent
        EXPECT_EQ(received(), "") << "mode " << s.mode;
    }
    k.frmDoppler.select(3);
    tick(125, -600, 1001); // half hertz are dropped by the frame
    EXPECT_EQ(hex(received()), ciV(144124499));
    EXPECT_EQ(k.rs.Freq_last, "144124499.5");
}

TEST_F(RadioOverPty, EchoesAndAcknowledgementsDoNotPileUp) {
    start("IC-9700", 0);
    const std::string ack("\xFE\xFE\xE0\xA2\xFB\xFD", 6);
    for (int i = 0; i < 20; ++i) {
        tick(125 + i % 3);
        std::string frame = received();
        ASSERT_FALSE(frame.empty());
        radioAnswers(frame + ack); // CI-V echo, then the radio's OK
    }
    ASSERT_TRUE(radio.waitForInput(10.0));
    tick(125);
    EXPECT_EQ(hex(received()), ciV(144125000));
    EXPECT_EQ(radio.bytesWaiting(), 0u);
}

TEST_F(RadioOverPty, BlockAndAsciiRadios) {
    struct Case {
        const char* type;
        const char* first;  // at 144125000 Hz
        const char* second; // the next tick, nothing changed
    } cases[] = {
        {"FT-847", "00 00 00 00 00 14 41 25 00 01 80 80 80 80 80",
         "00 00 00 00 00 14 41 25 00 01 80 80 80 80 80"},
        {"TS-2000", "46 41 30 30 31 34 34 31 32 35 30 30 30 3B", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        TearDown();
        settingsDialog.unload();
        start(c.type, 0);
        tick(125);
        EXPECT_EQ(hex(received()), c.first);
        tick(125);
        EXPECT_EQ(hex(received()), c.second);
        mnuStart_Click(k); // Stop
    }
}

} // namespace
} // namespace kelvora
