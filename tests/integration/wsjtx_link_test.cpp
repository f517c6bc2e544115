// WSJT-X's UDP stream end to end: a sender on 127.0.0.1 replaying Status datagrams, the real UDP
// socket and serial port, a GS-232 controller on a pseudo-terminal.
#include "config/ini_file.h"
#include "devices/network_devices.h"
#include "fakes/kelv_fixture.h"
#include "integration/test_support.h"
#include "platform/qt/qt_device_factory.h"
#include "platform/qt/qt_serial_port.h"
#include "sim/pty_rotor.h"
#include "tracking/startup.h"
#include "tracking/tracking_cycle.h"
#include "wsjtx/wsjtx_datagram.h"
#include "wsjtx/wsjtx_protocol.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kelvora {
namespace {

// WSJT-X's side: a UDP socket of its own that sends to the program and hears its answers.
class Sender {
public:
    Sender() {
        m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    }
    ~Sender() { ::close(m_fd); }
    // A free port for the program: bound, read and released.
    static int freePort() {
        Sender probe;
        sockaddr_in a{};
        socklen_t size = sizeof a;
        ::getsockname(probe.m_fd, reinterpret_cast<sockaddr*>(&a), &size);
        return ntohs(a.sin_port);
    }
    void send(const std::string& bytes, int port) {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(static_cast<std::uint16_t>(port));
        ::sendto(m_fd, bytes.data(), bytes.size(), 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    // The next datagram within `ms`, or "".
    std::string receive(int ms) {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, ms) != 1) {
            return {};
        }
        char buffer[2048];
        ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
    }

private:
    int m_fd = -1;
};

struct Station {
    explicit Station(const std::string& rotorDevice, int udpPort) {
        config::Create_Config_file(ini);
        auto write = [&](const char* section, const char* key, const std::string& value) {
            config::WriteStringIni(section, key, value, ini);
        };
        write("COM_Rotor", "Rotor_type", "GS232");
        write("COM_Rotor", "Rotor_com", "COM3");
        write("COM_Rotor", "Refresh_Rotore", "1");
        write("COM_Rotor", "Rotor_TimeOutDelay", "0.3");
        write("General", "Fname", folder.file("azel.dat"));
        write("General", "Virtual_PTT", "COM5");
        write("General", "Real_PTT", "COM6");
        write("Ports", "COM3", rotorDevice);
        write("Station", "Hold_Tx", "1");
        write("WSJTX", "Udp", "1");
        write("WSJTX", "Udp_Port", std::to_string(udpPort));
        write("Interlock", "Enabled", "1");
        // Only the lost line is to trip it here: the simulated rotor need not keep up.
        write("Interlock", "Max_Error_Deg", "180");
        write("Interlock", "Stale_Position_Seconds", "3600");
        track("123.4", "45.6");
        k.devices = &factory;
    }
    void track(const std::string& az, const std::string& el) {
        folder.write("azel.dat", "01:02:03," + az + "," + el + ",Moon\r\n");
    }
    void tick() {
        clock.second = clock.second % 59 + 1;
        tmrRead_Timer(k);
    }
    // The network timer runs until `done` holds or five seconds passed.
    bool pollUntil(const std::function<bool()>& done) {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done() && std::chrono::steady_clock::now() < end) {
            tmrNetwork_Timer(k);
        }
        return done();
    }

    fakes::TempFolder folder;
    std::string ini = folder.file("Kelvora.ini");
    testkit::SteppedClock clock;
    fakes::FakeSerialPort radio, virtualPtt, realPtt, radio2;
    platform::QtSerialPort rotor;
    fakes::FakeTcpSocket socket;
    fakes::FakeDialogs dialogs;
    platform::QtDeviceFactory factory;
    config::SettingsDialog settingsDialog{ini};
    Kelv k{settingsDialog, radio,  rotor, virtualPtt, realPtt,
           radio2,         socket, clock, dialogs,    folder.path()};
};

TEST(WsjtxLink, TransmittingHoldsTheRotorAndALostLineHaltsWsjtx) {
    sim::PtyRotor controller(sim::RotorProtocol::Gs232);
    controller.start();
    int port = Sender::freePort();
    Station s(controller.path(), port);
    Sender wsjtx;
    mnuStart_Click(s.k);
    ASSERT_TRUE(s.k.ui.tmrNetwork.enabled) << s.k.ui.RotorAZ.caption;
    s.tick();
    ASSERT_TRUE(controller.waitForCommands(1, 5));

    // Transmitting: the new target waits.
    wsjtx.send(testing::fullStatus("WSJT-X", true).bytes, port);
    ASSERT_TRUE(s.pollUntil([&] { return s.k.rs.wsjtx.transmitting; }));
    EXPECT_EQ(s.k.ui.Wsjtx.caption, "WSJT-X 144.120.000  DX K1ABC  Tx");
    std::size_t before = controller.commands().size();
    s.track("130.0", "46.0");
    s.tick();
    EXPECT_EQ(s.k.rs.antenna.holdText.rfind("Held while transmitting", 0), 0u)
        << s.k.rs.antenna.holdText;
    // Receiving again: it goes out.
    wsjtx.send(testing::fullStatus("WSJT-X", false).bytes, port);
    ASSERT_TRUE(s.pollUntil([&] { return !s.k.rs.wsjtx.transmitting; }));
    s.tick();
    ASSERT_TRUE(controller.waitForCommands(before + 1, 5));
    EXPECT_EQ(controller.commands().back().substr(0, 8), "W130 046");
    EXPECT_EQ(wsjtx.receive(0), ""); // nothing was halted so far

    // MAP65 keys; then the rotor line goes: PTT drops and WSJT-X is told to halt, once.
    s.virtualPtt.dsrLevel = true;
    s.tick();
    ASSERT_TRUE(s.realPtt.isOpen());
    controller.hangUp();
    for (int i = 0; i < 20 && !s.k.rs.interlock.tripped; ++i) {
        Timer1_Timer(s.k);
        s.tick();
    }
    ASSERT_TRUE(s.k.rs.interlock.tripped);
    EXPECT_EQ(s.k.rs.interlock.reason, "rotor line lost");
    EXPECT_FALSE(s.realPtt.isOpen());
    EXPECT_EQ(s.k.ui.Ptt.caption, "PTT off");
    Parsed<wsjtx::Datagram> halt = wsjtx::parseDatagram(wsjtx.receive(5000));
    ASSERT_TRUE(halt) << halt.error;
    EXPECT_EQ(halt.value->type, 8u);
    EXPECT_EQ(halt.value->id, "WSJT-X");
    s.tick();
    EXPECT_EQ(wsjtx.receive(0), "");
    mnuStart_Click(s.k);
}

} // namespace
} // namespace kelvora
