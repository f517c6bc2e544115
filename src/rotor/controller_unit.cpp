// The rotor row of the main window: unit modes, manual direction, Stop, polarity, split, dual.
#include "rotor/controller_unit.h"

#include "config/settings.h"
#include "ports/serial_ports.h"
#include "rotor/kelvora_unit.h"
#include "rotor/reply_text_protocol.h"
#include "rotor/rotor_line_guard.h"
#include "rotor/rotor_types.h"
#include "state/kelv.h"
#include "state/numbers.h"

#include <optional>

namespace kelvora {

namespace {

constexpr const char* kCr = "\r";

bool started(Kelv& k) {
    return k.rs.Tracking_on == 1;
}

// Writes each byte of `bytes`, waiting the pace delay after every one. A line lost on the way
// ends the send: the rest would only be paced out onto nothing.
void writePaced(Kelv& k, std::string_view bytes) {
    ports::Line line = ports::rotorLine(k);
    ports::sendPacedBytewise(line, bytes, k.rs.Rotor_pace_delay);
}

bool hostModes(Kelv& k) {
    const rotor::RotorType* type = rotor::findRotorType(k.settings().RotorType);
    return type != nullptr && type->hostModes;
}

void sendShown(Kelv& k, const std::string& command) {
    k.ui.RotorAZ.caption = rotor::showable(command);
    ports::WriteToRotorPort(k, command);
}

void sendStop(Kelv& k, const rotor::StopSequence& stop) {
    using Pace = rotor::StopSequence::Pace;
    double pace = k.rs.Rotor_pace_delay;
    for (std::size_t i = 0; i < stop.writes.size(); ++i) {
        if (stop.pace == Pace::AfterEachByte) {
            writePaced(k, stop.writes[i]);
            continue;
        }
        ports::WriteToRotorPort(k, stop.writes[i]);
        if (stop.pace == Pace::AfterEachWrite || i + 1 < stop.writes.size()) {
            ports::KVRotorPaceDown(k, pace);
        }
    }
}

// The manual field limited in place; its value rounded and padded to three digits.
std::string limitField(ui::Control& field, double value, double high) {
    if (value < 0) {
        field.caption = "0";
        value = 0;
    } else if (value > high) {
        field.caption = numbers::toText(high);
        value = high;
    }
    return numbers::padLeft(std::to_string(numbers::roundHalfEven(value)), 3);
}

} // namespace

void Command2_Click(Kelv& k) {
    ui::Control& button = k.ui.Command2;
    if (hostModes(k) && started(k)) {
        KVRotorSetTerminal(k);
        k.ui.RotorAZ.caption = "Cmd to Kelvora";
    }
    if (button.caption == "Dual off" && k.rs.devices.dualWatch && started(k)) {
        k.rs.Dual_on = true;
        button.caption = "Dual on";
    } else {
        k.rs.Dual_on = false;
        button.caption = "Dual off";
    }
}

void Command3_Click(Kelv& k) {
    if (hostModes(k) && started(k)) {
        KVRotorSetHost(k);
        k.ui.RotorAZ.caption = "Host to Kelvora";
    }
}

void Command4_Click(Kelv& k) {
    ui::Control& button = k.ui.Command4;
    if (k.rs.devices.splitButton && started(k) && !button.back) {
        k.rs.Split_on = 1;
        button.back = ui::kHighlight;
    } else {
        k.rs.Split_on = 0;
        button.back = std::nullopt;
    }
}

std::optional<rotor::ManualTarget> readManualDirection(Kelv& k) {
    ui::MainForm& f = k.ui;
    const rotor::RotorType* type = rotor::findRotorType(k.settings().RotorType);
    const rotor::ManualDirection* manual = type != nullptr ? &type->manual : nullptr;
    if (manual != nullptr && manual->command == nullptr && manual->set == nullptr) {
        return std::nullopt; // no rotor
    }
    std::optional<double> az = numbers::strictNumber(f.Text1.caption, k.locale);
    if (!az) {
        f.Text1.caption = "0";
        return std::nullopt;
    }
    std::optional<double> el = numbers::strictNumber(f.Text2.caption, k.locale);
    if (!el) {
        f.Text2.caption = "0";
        return std::nullopt;
    }
    if (f.Rotorman.value != 1) {
        return std::nullopt;
    }
    std::string a = limitField(f.Text1, *az, 360);
    std::string e = limitField(f.Text2, *el, 90);
    if (manual == nullptr) {
        return std::nullopt;
    }
    return rotor::ManualTarget{a, e, numbers::leadingNumber(a), numbers::leadingNumber(e)};
}

void sendManualDirection(Kelv& k, const rotor::ManualTarget& target) {
    const rotor::RotorType* type = rotor::findRotorType(k.settings().RotorType);
    if (type == nullptr) {
        return;
    }
    const rotor::ManualDirection* manual = &type->manual;
    if (manual->set != nullptr) {
        manual->set(k, target.az, target.el);
        return;
    }
    if (manual->command == nullptr) {
        return;
    }
    std::string command = manual->command(target.azText, target.elText);
    std::string_view trace = manual->trace;
    rotor::onRotorLine(k, rotor::Exchange::Command, [&k, command, trace] {
        sendShown(k, command);
        if (!trace.empty()) {
            rotor::traceRotor(k, trace);
            rotor::traceRotor(k, rotor::showable(command));
        }
    });
}

void Command6_Click(Kelv& k) {
    if (!started(k)) {
        return;
    }
    const rotor::RotorType* type = rotor::findRotorType(k.settings().RotorType);
    if (type != nullptr && type->network != nullptr) {
        type->network->stop(k);
        return;
    }
    if (type == nullptr || type->stopSequence.writes.empty()) {
        return;
    }
    const rotor::StopSequence& stop = type->stopSequence;
    rotor::onRotorLine(k, rotor::Exchange::Command, [&k, &stop] { sendStop(k, stop); });
}

void Command7_Click(Kelv& k) {
    k.ui.Command7.back = ui::kHighlight;
    k.ui.Command8.back = std::nullopt;
    rotor::onRotorLine(k, rotor::Exchange::Command, [&k] {
        ports::WriteToRotorPort(k, "HP");
        ports::WriteToRotorPort(k, kCr);
    });
}

void Command8_Click(Kelv& k) {
    k.ui.Command8.back = ui::kHighlight;
    k.ui.Command7.back = std::nullopt;
    rotor::onRotorLine(k, rotor::Exchange::Command, [&k] {
        ports::WriteToRotorPort(k, "VP");
        ports::WriteToRotorPort(k, kCr);
    });
}

void Rotorman_Click(Kelv& k) {
    if (k.ui.Rotorman.value == 1) {
        k.ui.Command5.enabled = true;
        k.ui.Command6.enabled = true;
    } else {
        k.ui.Command5.enabled = false;
    }
}

} // namespace kelvora
