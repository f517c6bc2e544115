// Devices that fail while the program runs: a line that goes away during a poll or a paced send,
// controllers that stay silent or flood the line, and a Linrad that never reads.
#include "config/ini_file.h"
#include "config/settings.h"
#include "fakes/kelv_fixture.h"
#include "integration/loopback_listener.h"
#include "integration/test_support.h"
#include "platform/qt/qt_serial_port.h"
#include "platform/qt/qt_tcp_socket.h"
#include "radio/icom.h"
#include "radio/linrad.h"
#include "radio/unit_relay.h"
#include "rotor/collect.h"
#include "rotor/controller_unit.h"
#include "rotor/position_feedback.h"
#include "sim/pty_rotor.h"
#include "sim/rotor_model.h"
#include "state/kelv.h"
#include "tracking/startup.h"
#include "tracking/tracking_cycle.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <fcntl.h>
#include <functional>
#include <mutex>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

namespace kelvora {
namespace {

using SteadyClock = std::chrono::steady_clock;

double secondsOf(const std::function<void()>& call) {
    auto start = SteadyClock::now();
    call();
    return std::chrono::duration<double>(SteadyClock::now() - start).count();
}

// A device on a raw pseudo-terminal, served from a thread: it records what arrives and, once a
// given text has arrived, does what the test asks (close the line, stay silent, flood it).
class FaultyDevice {
public:
    FaultyDevice() {
        char path[256] = {};
        if (::openpty(&m_master, &m_slave, path, nullptr, nullptr) == 0) {
            termios tio{};
            ::tcgetattr(m_slave, &tio);
            ::cfmakeraw(&tio);
            ::tcsetattr(m_slave, TCSANOW, &tio);
            m_name = path;
        }
    }
    ~FaultyDevice() {
        stop();
        closeLine();
    }
    FaultyDevice(const FaultyDevice&) = delete;
    FaultyDevice& operator=(const FaultyDevice&) = delete;

    bool ok() const { return m_master >= 0; }
    const std::string& name() const { return m_name; }

    // Pulls the plug as soon as `trigger` has arrived (counted from now).
    void closeOnReceiving(const std::string& trigger) {
        serve([this, trigger](const std::string& got) {
            if (got.find(trigger) == std::string::npos) {
                return true;
            }
            closeLine();
            return false;
        });
    }
    // Takes whatever arrives and never answers.
    void listen() {
        serve([](const std::string&) { return true; });
    }
    // Writes without pause and without an end marker until stop().
    void flood() {
        m_flooding = true;
        // Never block on a full line, so stop() always ends the flood.
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        serve([](const std::string&) { return true; });
    }
    void stop() {
        m_stop = true;
        if (m_thread.joinable()) {
            m_thread.join();
        }
        m_stop = false;
    }
    // Waits until the line was closed by the device; false after `seconds`.
    bool waitClosed(double seconds) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::duration<double>(seconds),
                                  [this] { return m_closed; });
    }
    std::string received() {
        std::lock_guard lock(m_mutex);
        return m_received;
    }
    std::size_t flooded() const { return m_floodBytes; }

private:
    void serve(std::function<bool(const std::string&)> onInput) {
        stop();
        {
            std::lock_guard lock(m_mutex);
            m_received.clear();
        }
        m_thread = std::thread([this, onInput = std::move(onInput)] {
            const std::string block(4096, 'x');
            while (!m_stop) {
                pollfd p{m_master, static_cast<short>(POLLIN | (m_flooding ? POLLOUT : 0)), 0};
                if (::poll(&p, 1, 10) <= 0) {
                    continue;
                }
                if (p.revents & POLLIN) {
                    char buffer[512];
                    ssize_t n = ::read(m_master, buffer, sizeof buffer);
                    if (n <= 0) {
                        return;
                    }
                    std::string got;
                    {
                        std::lock_guard lock(m_mutex);
                        m_received.append(buffer, static_cast<std::size_t>(n));
                        got = m_received;
                    }
                    if (!onInput(got)) {
                        return;
                    }
                }
                if (m_flooding && (p.revents & POLLOUT)) {
                    ssize_t n = ::write(m_master, block.data(), block.size());
                    if (n > 0) {
                        m_floodBytes += static_cast<std::size_t>(n);
                    }
                }
            }
        });
    }
    void closeLine() {
        std::lock_guard lock(m_mutex);
        for (int* fd : {&m_master, &m_slave}) {
            if (*fd >= 0) {
                ::close(*fd);
                *fd = -1;
            }
        }
        m_closed = true;
        m_changed.notify_all();
    }

    int m_master = -1;
    int m_slave = -1;
    std::string m_name;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_flooding{false};
    std::atomic<std::size_t> m_floodBytes{0};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::string m_received;
    bool m_closed = false;
};

// The program with real rotor and radio lines, everything else on fakes.
struct Program {
    Program(const std::string& rotorType, const std::string& timeout,
            const std::string& pace = "0") {
        std::string ini = folder.file("Kelvora.ini");
        config::Create_Config_file(ini);
        config::WriteStringIni("COM_Rotor", "Rotor_type", rotorType, ini);
        config::WriteStringIni("COM_Rotor", "Rotor_com", "COM3", ini);
        config::WriteStringIni("COM_Rotor", "Refresh_Rotore", "1", ini);
        config::WriteStringIni("COM_Rotor", "Rotor_TimeOutDelay", timeout, ini);
        config::WriteStringIni("COM_Rotor", "Rotor_PaceDelay", pace, ini);
        config::WriteStringIni("General", "Fname", folder.file("azel.dat"), ini);
        config::WriteStringIni("Ports", "COM3", "/dev/kelvora-no-rotor", ini);
        track("  123.4", "   45.6", 125);
    }
    void mapPort(int n, const std::string& device) {
        config::WriteStringIni("Ports", "COM" + std::to_string(n), device,
                               folder.file("Kelvora.ini"));
    }
    void radioType(const std::string& type) {
        std::string ini = folder.file("Kelvora.ini");
        config::WriteStringIni("COM_RTX", "Rtx_type", type, ini);
        config::WriteStringIni("COM_RTX", "Com_Port", "COM1", ini);
        config::WriteStringIni("General", "Autoupdate", "1", ini);
    }
    void track(const std::string& az, const std::string& el, int fqsoKHz) {
        char freq[64];
        std::snprintf(freq, sizeof freq, "%3d,  fQSO\r\n%3d,  fQSO2\r\n", fqsoKHz, fqsoKHz);
        std::string head = "01:02:03," + az + "," + el + ",Moon\r\n" + freq;
        // "Doppler" at position 86 of the text after the time: the frequency layout.
        std::string tail = " Doppler\r\n";
        std::size_t fill = 86 - 1 + 9 - head.size() - 1;
        folder.write("azel.dat", head + std::string(fill, ' ') + tail);
    }
    void start() {
        mnuStart_Click(k);
        k.ui.Autoupdate.value = k.settings().Autoupdate_flag;
    }
    // One processed second of the tracking tick.
    void tick() {
        clock.second = clock.second % 49 + 1;
        tmrRead_Timer(k);
    }
    bool lostShown() const { return k.ui.RotorAZ.caption.find("port lost") != std::string::npos; }

    fakes::TempFolder folder;
    testkit::SteppedClock clock;
    fakes::FakeSerialPort virtualPtt, realPtt, radio2;
    platform::QtSerialPort rotor, radio;
    fakes::FakeTcpSocket socket;
    fakes::FakeDialogs dialogs;
    config::SettingsDialog settingsDialog{folder.file("Kelvora.ini")};
    Kelv k{settingsDialog, radio,  rotor, virtualPtt, realPtt,
           radio2,         socket, clock, dialogs,    folder.path()};
};

TEST(FaultDevices, RotorLostDuringAPollEndsItAndStopStartOpensTheNewLine) {
    FaultyDevice device;
    ASSERT_TRUE(device.ok());
    Program p("GS232", "10"); // a reply time-out far longer than the loss may cost
    p.mapPort(3, device.name());
    p.start();
    ASSERT_TRUE(p.rotor.isOpen());
    p.tick(); // the target goes out
    p.tick(); // unchanged: the next poll is not skipped

    device.closeOnReceiving("C2\r");
    std::clock_t cpuBefore = std::clock();
    double took = secondsOf([&] { Timer1_Timer(p.k); });
    double cpu = static_cast<double>(std::clock() - cpuBefore) / CLOCKS_PER_SEC;
    ASSERT_TRUE(device.waitClosed(5));
    EXPECT_LT(took, 5.0) << "the poll waits out the time-out on a line that is gone";
    EXPECT_LT(cpu, 1.0) << "the poll spins on the hung-up line";
    EXPECT_FALSE(p.rotor.isOpen());
    EXPECT_TRUE(p.lostShown()) << p.k.ui.RotorAZ.caption;
    EXPECT_EQ(p.k.ui.LabelAZ.caption, "000.0");

    // Later ticks and polls pass over the lost line without waiting, and keep the report.
    double later = secondsOf([&] {
        for (int i = 0; i < 3; ++i) {
            p.track(i % 2 ? "  200.5" : "  210.5", "   30.2", 125);
            p.tick();
            p.tick();
            Timer1_Timer(p.k);
            Command6_Click(p.k);
        }
    });
    EXPECT_LT(later, 3.0); // one wait for a reply alone would take 10 s
    EXPECT_TRUE(p.lostShown()) << p.k.ui.RotorAZ.caption;
    EXPECT_EQ(p.k.rs.Tracking_on, 1);

    // A new adapter: Stop and Start open it, and polls are answered again.
    sim::PtyRotor fresh(sim::RotorProtocol::Gs232);
    ASSERT_TRUE(fresh.ok());
    fresh.setPosition(150, 20);
    fresh.start();
    p.mapPort(3, fresh.path());
    mnuStart_Click(p.k);
    p.start();
    ASSERT_TRUE(p.rotor.isOpen());
    p.tick();
    Timer1_Timer(p.k);
    EXPECT_EQ(p.k.ui.LabelAZ.caption, "150");
}

struct PacedCase {
    const char* name;
    const char* rotorType;
    const char* rtxType;
    bool radioCloses;      // the radio line goes away, else the rotor line
    std::string trigger;   // the device goes away when this has arrived
    std::size_t sentBytes; // bytes the whole send would take, each followed by the pace
    std::function<void(Kelv&)> send;
};

// A line that goes away in the middle of a paced send: the rest is not paced out onto a dead
// line, and the status line keeps saying what happened.
TEST(FaultDevices, ALineLostDuringAPacedSendStopsTheSendAndIsShown) {
    const double pace = 0.2;
    const std::vector<PacedCase> cases = {
        {"unit frequency relay", "Kelvora", "TS-2000", false, "FU1", 12,
         [](Kelv& k) {
             k.rs.Fqso_kHz = "130";
             KVRadioSetTXFreq(k);
         }},
        {"D-Prosistel Stop", "D-Prosistel", "None", false, std::string("\x02") + "A", 7,
         [](Kelv& k) { Command6_Click(k); }},
        {"Icom split: VFO B, frequency, VFO A", "None", "IC-275", true, "\xFD", 3,
         [](Kelv& k) {
             k.rs.Split_on = 1;
             k.rs.Freq_TX = "144130000";
             IcomRadioSetTXFreq_Split(k);
         }},
    };
    for (const PacedCase& c : cases) {
        SCOPED_TRACE(c.name);
        FaultyDevice rotorLine, radioLine;
        ASSERT_TRUE(rotorLine.ok() && radioLine.ok());
        Program p(c.rotorType, "0.3", "0.2");
        p.radioType(c.rtxType);
        p.mapPort(3, rotorLine.name());
        p.mapPort(1, radioLine.name());
        p.start();
        ASSERT_EQ(p.k.rs.Tracking_on, 1);
        FaultyDevice& closing = c.radioCloses ? radioLine : rotorLine;
        FaultyDevice& staying = c.radioCloses ? rotorLine : radioLine;
        staying.listen();
        closing.closeOnReceiving(c.trigger);

        double took = secondsOf([&] { c.send(p.k); });
        ASSERT_TRUE(closing.waitClosed(5));
        std::size_t before = c.trigger.size();
        EXPECT_LT(took, (static_cast<double>(before) + 2) * pace + 0.3)
            << "the whole send would take " << static_cast<double>(c.sentBytes) * pace << " s";
        platform::SerialPort& lost = c.radioCloses ? p.k.MSComm1 : p.k.MSComm2;
        EXPECT_FALSE(lost.isOpen());
        EXPECT_TRUE(p.lostShown()) << p.k.ui.RotorAZ.caption;

        // The program goes on: a tick and a poll pass, and the other line still works.
        p.track("  200.5", "   30.2", 140);
        EXPECT_LT(secondsOf([&] {
                      p.tick();
                      Timer1_Timer(p.k);
                  }),
                  3.0)
            << "nothing is paced out onto the lost line";
        EXPECT_FALSE(lost.isOpen());
        mnuStart_Click(p.k);
        EXPECT_EQ(p.k.rs.Tracking_on, 0);
    }
}

// A controller that never answers: each poll costs about one reply time-out, whatever the type's
// reply length and end marker, and the tick goes on between polls.
TEST(FaultDevices, ASilentControllerCostsOneTimeOutPerPoll) {
    const double timeout = 0.3;
    for (const sim::SimulatedType& row : sim::simulatedTypes()) {
        std::string type(row.type);
        SCOPED_TRACE(type);
        FaultyDevice device;
        ASSERT_TRUE(device.ok());
        device.listen();
        Program p(type, "0.3");
        p.mapPort(3, device.name());
        p.start();
        ASSERT_TRUE(p.rotor.isOpen());
        p.tick();
        for (int poll = 0; poll < 2; ++poll) {
            p.tick();
            double took = secondsOf([&] { Timer1_Timer(p.k); });
            EXPECT_GE(took, timeout - 0.02);
            EXPECT_LT(took, timeout + 1.5); // a loaded machine is late; ten time-outs are 3 s
        }
        EXPECT_EQ(p.k.ui.LabelAZ.caption, "000.0");
        EXPECT_TRUE(p.rotor.isOpen()) << "silence is not a lost line";
        EXPECT_FALSE(p.lostShown());
        p.track("  200.5", "   30.2", 125);
        EXPECT_LT(secondsOf([&] { p.tick(); }), 2.0); // a new target still goes out at once
        mnuStart_Click(p.k);
    }
}

// A controller that floods the line as fast as it can, never sending the end marker: the poll
// ends at the collection bound, and the window goes on.
TEST(FaultDevices, AFloodWithoutMarkerIsBoundedAndTheProgramGoesOn) {
    FaultyDevice device;
    ASSERT_TRUE(device.ok());
    Program p("GS232", "0.1");
    p.mapPort(3, device.name());
    p.start();
    ASSERT_TRUE(p.rotor.isOpen());
    p.tick();
    p.tick();
    device.flood();
    double took = secondsOf([&] { Timer1_Timer(p.k); });
    EXPECT_GE(took, rotor::collectionBound(0.1) - 0.05);
    EXPECT_LT(took, rotor::collectionBound(0.1) + 1.0);
    EXPECT_GT(device.flooded(), 100000u) << "the line was really flooded";
    EXPECT_EQ(p.k.ui.LabelAZ.caption, "000.0");
    // Still flooding: the next tick's command goes out, the next poll is bounded again.
    p.track("  200.5", "   30.2", 125);
    p.tick();
    p.tick();
    took = secondsOf([&] { Timer1_Timer(p.k); });
    EXPECT_LT(took, rotor::collectionBound(0.1) + 1.0);
    device.stop();
    EXPECT_NE(device.received().find("W200 030"), std::string::npos);
    mnuStart_Click(p.k);
}

// Linrad accepts the connection and never reads: the ticks keep their pace while the frequency
// messages are dropped, the status line says so, and once Linrad reads again the next change
// reaches it.
TEST(FaultDevices, LinradThatNeverReadsDropsMessagesWithoutSlowingTheTick) {
    testkit::LoopbackListener linrad(4096);
    ASSERT_TRUE(linrad.ok);
    fakes::KelvFixture f;
    platform::QtTcpSocket socket;
    Kelv k{f.settingsDialog, f.radio, f.rotor, f.virtualPtt, f.realPtt,
           f.radio2,         socket,  f.clock, f.dialogs,    f.folder.path()};
    Program files("None", "0.3");
    k.rs.Tracking_file = files.folder.file("azel.dat");
    k.rs.Linrad_host = "127.0.0.1";
    k.rs.Linrad_tcp_port = linrad.portText();
    k.rs.Linrad_center_Hz = "144125000";
    k.rs.Linrad_offset_Hz = "0";
    k.ui.Autoupdate.value = 1;
    Linrad_connect(k);
    ASSERT_TRUE(linrad.accept());
    ASSERT_TRUE(
        testkit::pumpUntil([&] { return socket.state() == platform::TcpState::Connected; }));

    // Linrad has taken nothing for a long time: everything between us is full.
    const std::string chunk(64 * 1024, 'x');
    bool full = false;
    std::size_t accepted = 0;
    for (int i = 0; i < 4000 && !full; ++i) {
        full = !socket.send(chunk);
        accepted += full ? 0 : chunk.size();
    }
    ASSERT_TRUE(full);

    double slowest = 0;
    for (int i = 0; i < 20; ++i) {
        files.track("  123.4", "   45.6", i % 2 ? 125 : 130);
        f.clock.advance(1);
        slowest = std::max(slowest, secondsOf([&] { tmrRead_Timer(k); }));
        if (f.clock.secondOfMinute() != 0) {
            EXPECT_EQ(k.ui.RotorAZ.caption, "Linrad busy: frequency not sent") << "tick " << i;
        }
    }
    EXPECT_LT(slowest, 1.0); // a send that waited for Linrad would block for many seconds
    EXPECT_EQ(k.ui.Linrad_stato.caption, "Linrad ON");
    EXPECT_TRUE(f.dialogs.messages.empty());

    // Linrad reads again: everything that was taken arrives, nothing but what was taken, and
    // the next change arrives whole after it.
    std::size_t drained = 0;
    ASSERT_TRUE(testkit::pumpUntil(
        [&] {
            drained += linrad.pending().size();
            socket.state(); // lets the connection hand on what it holds
            return drained >= accepted;
        },
        20000));
    EXPECT_EQ(drained, accepted);
    files.track("  123.4", "   45.6", 131);
    f.clock.advance(1);
    tmrRead_Timer(k);
    EXPECT_NE(k.ui.RotorAZ.caption, "Linrad busy: frequency not sent");
    std::string tail;
    ASSERT_TRUE(testkit::pumpUntil(
        [&] {
            tail += linrad.pending();
            return tail.size() >= 8 &&
                   tail.compare(tail.size() - 8, 8, linrad::frequencyMessage(54000)) == 0;
        },
        10000))
        << testkit::hex(tail.substr(tail.size() < 8 ? 0 : tail.size() - 8));
}

} // namespace
} // namespace kelvora
