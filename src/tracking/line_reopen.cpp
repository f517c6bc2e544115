// Reopening lost serial lines from the tracking tick.
#include "tracking/line_reopen.h"

#include "config/settings.h"
#include "ports/serial_ports.h"
#include "radio/radio_dispatch.h"
#include "rotor/antenna_command.h"
#include "rotor/rotor_line_guard.h"
#include "state/kelv.h"
#include "station/station_control.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace kelvora {

namespace {

enum class Resend { Target, Frequency, Nothing };

struct WatchedLine {
    platform::SerialPort& (*port)(Kelv& k);
    const char* words;    // names the line in the status line
    const char* lossRole; // names it in the loss report of the port primitives
    Resend resend;
};

const std::array<WatchedLine, 4>& watchedLines() {
    static const std::array<WatchedLine, 4> lines = {{
        {[](Kelv& k) -> platform::SerialPort& { return k.MSComm2; }, "Rotor port", "Rotor",
         Resend::Target},
        {[](Kelv& k) -> platform::SerialPort& { return k.MSComm1; }, "Radio port", "Radio",
         Resend::Frequency},
        {[](Kelv& k) -> platform::SerialPort& { return k.MSComm5; }, "Second radio port", "Radio 2",
         Resend::Frequency},
        {[](Kelv& k) -> platform::SerialPort& { return k.MSComm3; }, "Virtual PTT port",
         "Virtual PTT", Resend::Nothing},
    }};
    return lines;
}

struct LineWatch {
    bool watched = false;
    bool lost = false;
    int failedAttempts = 0;
    double due = 0; // monotonic time of the next attempt
    std::string device;
};

struct LineReopen : KelvPart {
    explicit LineReopen(Kelv&) {}
    std::array<LineWatch, 4> lines;
};

bool reopenEnabled(Kelv& k) {
    std::string text = k.settings().value("Station", "Reopen_Ports");
    text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
    return text != "0";
}

void resend(Kelv& k, Resend what) {
    switch (what) {
    case Resend::Target:
        station::resendToRotor(k);
        break;
    case Resend::Frequency:
        Invio_frequenza(k);
        break;
    case Resend::Nothing:
        break;
    }
}

void showLost(Kelv& k, const WatchedLine& line, const LineWatch& w) {
    k.ui.RotorAZ.caption = std::string(line.words) + " lost: " + w.device + " (retrying)";
}

void noticeLoss(Kelv& k, const WatchedLine& line, LineWatch& w, double now) {
    platform::SerialPort& port = line.port(k);
    // Asking for waiting input makes a port notice a hang-up even on a line nothing was written
    // to; the bytes stay for whoever reads them.
    port.bytesWaiting();
    if (!port.lostReason().empty()) {
        ports::checkLost(k, port, line.lossRole);
    }
    if (port.isOpen()) {
        return;
    }
    w.lost = true;
    w.failedAttempts = 0;
    w.due = now + reopenDelay(0);
    w.device = ports::configuredDevice(k, port);
    showLost(k, line, w);
}

void tryAgain(Kelv& k, const WatchedLine& line, LineWatch& w, double now) {
    if (line.resend == Resend::Target && rotor::rotorLineBusy(k)) {
        return; // an exchange under way owns the rotor line; the next tick tries
    }
    platform::SerialPort& port = line.port(k);
    std::string failure;
    if (ports::reopenLine(k, port, failure)) {
        w.lost = false;
        resend(k, line.resend);
        // After the re-send, which may show the frequency in the same status line.
        k.ui.RotorAZ.caption = std::string(line.words) + " back: " + w.device;
        return;
    }
    if (ports::configuredDevice(k, port).empty()) {
        w = LineWatch{}; // no longer configured: nothing to wait for
        return;
    }
    ++w.failedAttempts;
    w.due = now + reopenDelay(w.failedAttempts);
    showLost(k, line, w);
}

} // namespace

double reopenDelay(int failedAttempts) {
    constexpr double kFirst = 2, kLongest = 30;
    return std::min(kLongest, kFirst * std::pow(2.0, std::clamp(failedAttempts, 0, 8)));
}

void watchOpenedLines(Kelv& k) {
    LineReopen& reopen = k.part<LineReopen>();
    bool enabled = reopenEnabled(k);
    for (std::size_t i = 0; i < watchedLines().size(); ++i) {
        reopen.lines[i] = LineWatch{};
        reopen.lines[i].watched = enabled && watchedLines()[i].port(k).isOpen();
    }
}

void noticeLostLines(Kelv& k) {
    LineReopen& reopen = k.part<LineReopen>();
    double now = k.clock.monotonicSeconds();
    for (std::size_t i = 0; i < watchedLines().size(); ++i) {
        const WatchedLine& line = watchedLines()[i];
        LineWatch& w = reopen.lines[i];
        if (!w.watched) {
            // Not reopened: still said at once, not at the next command that finds it closed.
            ports::checkLost(k, line.port(k), line.lossRole);
        } else if (!w.lost) {
            noticeLoss(k, line, w, now);
        }
    }
}

bool rotorLineLost(Kelv& k) {
    const LineWatch& rotor = k.part<LineReopen>().lines[0]; // the first watched line
    return rotor.watched && rotor.lost;
}

void reopenLostLines(Kelv& k) {
    LineReopen& reopen = k.part<LineReopen>();
    double now = k.clock.monotonicSeconds();
    for (std::size_t i = 0; i < watchedLines().size(); ++i) {
        LineWatch& w = reopen.lines[i];
        if (!w.watched) {
            ports::checkLost(k, watchedLines()[i].port(k), watchedLines()[i].lossRole);
            continue;
        }
        if (!w.lost) {
            noticeLoss(k, watchedLines()[i], w, now);
        } else if (now >= w.due) {
            tryAgain(k, watchedLines()[i], w, now);
        } else {
            showLost(k, watchedLines()[i], w); // other read-outs share the status line
        }
    }
}

} // namespace kelvora
