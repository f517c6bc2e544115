// The PTT sequencer's procedure: the virtual PTT line in, DTR and RTS of the real one out.
#include "radio/ptt_sequencer_lines.h"

#include "config/settings.h"
#include "config/settings_schema.h"
#include "ports/serial_ports.h"
#include "radio/ptt.h"
#include "radio/ptt_sequencer_machine.h"
#include "radio/radio_dispatch.h"
#include "state/kelv.h"
#include "state/numbers.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace kelvora {

namespace {

constexpr int kReadEveryMs = 10;
constexpr double kOpenAgainSeconds = 0.5;

struct PttSequence : KelvPart {
    explicit PttSequence(Kelv&) {}
    bool on = false;
    radio::PttSequencer sequencer{0, 0};
    double lead = 0, tail = 0;
    bool keyed = false;     // the virtual PTT line as last read
    double openAgainAt = 0; // a real PTT line that did not open is tried at the tick's pace
};

std::string trimmed(std::string_view text) {
    return std::string(numbers::trimmed(text));
}

void show(Kelv& k, radio::PttStep step) {
    ui::Control& c = k.ui.PttSequence;
    switch (step) {
    case radio::PttStep::Receive:
        c.caption = "Sequencer: receive";
        c.back.reset();
        break;
    case radio::PttStep::Lead:
        c.caption = "Sequencer: relays (DTR)";
        c.back = ui::kYellow;
        break;
    case radio::PttStep::Transmit:
        c.caption = "Sequencer: transmit (DTR+RTS)";
        c.back = ui::kRed;
        break;
    case radio::PttStep::Tail:
        c.caption = "Sequencer: tail (DTR)";
        c.back = ui::kYellow;
        break;
    }
}

// Sets the real line's levels in the safe order.
void apply(Kelv& k, radio::PttLevels from, radio::PttLevels to) {
    radio::LineChange changes[2];
    int n = radio::lineChanges(from, to, changes);
    for (int i = 0; i < n; ++i) {
        if (changes[i].rts) {
            k.MSComm4.setRts(changes[i].on);
        } else {
            k.MSComm4.setDtr(changes[i].on);
        }
    }
}

bool readKey(Kelv& k) {
    platform::SerialPort& line = k.MSComm3;
    if (line.isOpen()) {
        line.readAll(); // the only way a line nothing is written to notices that it went away
    }
    ports::checkLost(k, line, "Virtual PTT");
    return line.isOpen() && line.dsr();
}

void scheduleNext(Kelv& k, PttSequence& s) {
    std::optional<double> due = s.sequencer.nextChangeIn(k.clock.monotonicSeconds());
    int ms = kReadEveryMs;
    if (due) {
        // Whole milliseconds, not early by more than a microsecond.
        ms = std::clamp(static_cast<int>(std::ceil(*due * 1000.0 - 0.001)), 1, kReadEveryMs);
    }
    k.ui.tmrPttSequence.interval = ms;
}

} // namespace

bool pttSequenceOn(Kelv& k) {
    return k.part<PttSequence>().on;
}

void pttSequenceStart(Kelv& k) {
    PttSequence& s = k.part<PttSequence>();
    config::Settings& settings = k.settings();
    std::string onText = trimmed(settings.value("Station", "Ptt_Sequence"));
    std::string problems;
    if (onText != "0" && onText != "1") {
        problems += "Ptt_Sequence \"" + onText + "\" is neither 0 nor 1; the sequencer is off.\n";
    }
    s.on = onText == "1";
    k.ui.PttSequence.visible = s.on;
    k.ui.tmrPttSequence.enabled = s.on;
    if (s.on) {
        std::string problem;
        for (auto [key, seconds] : {std::pair{"Ptt_Lead_ms", &s.lead}, {"Ptt_Tail_ms", &s.tail}}) {
            problem.clear();
            int defaultMs = static_cast<int>(
                numbers::wholeNumber(config::schemaRow("Station", key).defaultText).value_or(0));
            int ms = radio::sequencerMilliseconds(key, trimmed(settings.value("Station", key)),
                                                  defaultMs, problem);
            *seconds = ms / 1000.0;
            if (!problem.empty()) {
                problems += problem + "\n";
            }
        }
        s.sequencer = radio::PttSequencer(s.lead, s.tail);
        s.keyed = false;
        s.openAgainAt = 0;
        k.ui.tmrPttSequence.interval = kReadEveryMs;
        show(k, radio::PttStep::Receive);
        if (openRealPttLine(k, /*rtsOnOpen=*/false)) {
            k.MSComm4.setDtr(false);
        }
    }
    if (!problems.empty()) {
        k.dialogs.messageBox("PTT sequencer settings in [Station]:\n" + problems);
    }
}

void pttSequenceStop(Kelv& k) {
    PttSequence& s = k.part<PttSequence>();
    if (!s.on) {
        return;
    }
    s.on = false;
    k.ui.tmrPttSequence.enabled = false;
    radio::PttLevels levels = s.sequencer.levels();
    if (k.MSComm4.isOpen()) {
        if (levels.rts) {
            k.MSComm4.setRts(false);
            // The tail protects the preamplifier while the transmitter's output decays.
            k.clock.sleepFor(s.tail);
        }
        if (levels.dtr) {
            k.MSComm4.setDtr(false);
        }
    }
    s.sequencer = radio::PttSequencer(s.lead, s.tail);
    show(k, radio::PttStep::Receive);
}

void tmrPttSequence_Timer(Kelv& k) {
    PttSequence& s = k.part<PttSequence>();
    if (!s.on) {
        k.ui.tmrPttSequence.enabled = false;
        return;
    }
    bool realWasOpen = k.MSComm4.isOpen();
    k.MSComm4.bytesWaiting(); // makes a line nothing is written to notice a hang-up
    // A port may have noticed its loss on its own before this tick: it then reads closed already.
    bool lost = !k.MSComm4.lostReason().empty();
    ports::checkLost(k, k.MSComm4, "Real PTT");
    if (lost || (realWasOpen && !k.MSComm4.isOpen())) {
        // The line and both levels are gone with the device: start again from receive.
        s.sequencer = radio::PttSequencer(s.lead, s.tail);
        k.ui.Ptt.caption = kPttOff;
    }
    // A tripped transmit interlock releases the key: RTS drops, then DTR after the tail.
    bool keyed = readKey(k) && !k.rs.interlock.tripped;
    bool keyDown = keyed && !s.keyed;
    bool keyUp = !keyed && s.keyed;
    double now = k.clock.monotonicSeconds();
    if (keyDown && !k.MSComm4.isOpen()) {
        if (now >= s.openAgainAt && openRealPttLine(k, /*rtsOnOpen=*/false)) {
            k.MSComm4.setDtr(false);
        } else {
            s.openAgainAt = std::max(s.openAgainAt, now + kOpenAgainSeconds);
            keyed = keyDown = false; // nothing to key: stays in receive
        }
    }
    s.keyed = keyed;
    radio::PttLevels before = s.sequencer.levels();
    // Without its line the sequence cannot key anything: it stays in receive until the key
    // comes up and goes down again, so the label never names levels that are not there.
    radio::PttLevels after = s.sequencer.update(now, keyed && k.MSComm4.isOpen());
    if (k.MSComm4.isOpen()) {
        apply(k, before, after);
    }
    show(k, s.sequencer.step());
    if (keyDown) {
        k.ui.Ptt.caption = kPttOn;
        Invio_frequenza(k);
    } else if (keyUp) {
        k.rs.Fqso_kHz = k.rs.Fqso2_kHz;
        k.ui.Ptt.caption = kPttOff;
        Invio_frequenza(k);
    }
    scheduleNext(k, s);
}

} // namespace kelvora
