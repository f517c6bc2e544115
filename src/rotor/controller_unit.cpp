// The rotor row of the main window: unit modes, manual direction, Stop, polarity, split, dual.
#include "rotor/controller_unit.h"

#include "config/settings.h"
#include "ports/serial_ports.h"
#include "rotor/kelvora_unit.h"
#include "rotor/prosistel.h"
#include "rotor/reply_text.h"
#include "rotor/spid.h"
#include "state/kelv.h"
#include "state/numbers.h"
#include "state/trace_log.h"

#include <optional>

namespace kelvora {

namespace {

constexpr const char* kCr = "\r";

bool started(Kelv& k) {
    return k.rs.Tracking_on == 1;
}

void sendShown(Kelv& k, const std::string& command) {
    k.ui.RotorAZ.caption = rotor::showable(command);
    ports::WriteToRotorPort(k, command);
}

// Writes each byte of `bytes`, waiting the pace delay after every one. A line lost on the way
// ends the send: the rest would only be paced out onto nothing.
void writePaced(Kelv& k, std::string_view bytes) {
    ports::Line line = ports::rotorLine(k);
    ports::sendPacedBytewise(line, bytes, k.rs.Rotor_pace_delay);
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
    if (k.settings().RotorType == "Kelvora" && started(k)) {
        KVRotorSetTerminal(k);
        k.ui.RotorAZ.caption = "Cmd to Kelvora";
    }
    if (button.caption == "Dual off" && k.settings().RtxType == "IC-7800" && started(k)) {
        k.rs.Dual_on = true;
        button.caption = "Dual on";
    } else {
        k.rs.Dual_on = false;
        button.caption = "Dual off";
    }
}

void Command3_Click(Kelv& k) {
    if (k.settings().RotorType == "Kelvora" && started(k)) {
        KVRotorSetHost(k);
        k.ui.RotorAZ.caption = "Host to Kelvora";
    }
}

void Command4_Click(Kelv& k) {
    ui::Control& button = k.ui.Command4;
    const std::string& radio = k.settings().RtxType;
    if ((radio == "IC-756pro3" || radio == "IC-275") && started(k) && !button.back) {
        k.rs.Split_on = 1;
        button.back = ui::kHighlight;
    } else {
        k.rs.Split_on = 0;
        button.back = std::nullopt;
    }
}

void Command5_Click(Kelv& k) {
    ui::MainForm& f = k.ui;
    const std::string& type = k.settings().RotorType;
    if (type == "None") {
        return;
    }
    std::optional<double> az = numbers::strictNumber(f.Text1.caption, k.locale);
    if (!az) {
        f.Text1.caption = "0";
        return;
    }
    std::optional<double> el = numbers::strictNumber(f.Text2.caption, k.locale);
    if (!el) {
        f.Text2.caption = "0";
        return;
    }
    if (f.Rotorman.value != 1) {
        return;
    }
    std::string a = limitField(f.Text1, *az, 360);
    std::string e = limitField(f.Text2, *el, 90);
    double azValue = numbers::leadingNumber(a);
    double elValue = numbers::leadingNumber(e);
    if (type == "GS232" || type == "GS232-qzr") {
        sendShown(k, "W" + a + " " + e + kCr);
    } else if (type == "Kelvora") {
        sendShown(k, "AZ" + a + " EL" + e + kCr);
    } else if (type == "SpidRak(az)") {
        RAKSetAz(k, azValue);
    } else if (type == "SpidRas(az/el) 1 deg") {
        RASSetAzEl(k, azValue, elValue, 1);
    } else if (type == "SpidRas(az/el) 0.5 deg") {
        RASSetAzEl(k, azValue, elValue, 2);
    } else if (type == "D-Prosistel") {
        D_Prosistel(k, azValue);
    } else if (type == "EasyComm") {
        sendShown(k, "AZ" + a + ".0 EL" + e + ".0" + kCr);
    } else if (type == "Radant AZV-1") {
        std::string command = "Q" + a + ".0 " + e + ".0" + kCr;
        sendShown(k, command);
        if (k.rs.Trace_on == -1) {
            Tracciatura_file(k, "Invio manuale az el");
            Tracciatura_file(k, rotor::showable(command));
        }
    }
}

void Command6_Click(Kelv& k) {
    if (!started(k)) {
        return;
    }
    const std::string& type = k.settings().RotorType;
    double pace = k.rs.Rotor_pace_delay;
    if (type == "GS232" || type == "GS232-qzr") {
        ports::WriteToRotorPort(k, "S");
        ports::KVRotorPaceDown(k, pace);
        ports::WriteToRotorPort(k, kCr);
    } else if (type == "Kelvora") {
        ports::WriteToRotorPort(k, kCr);
        ports::KVRotorPaceDown(k, pace);
    } else if (type == "SpidRak(az)" || type == "SpidRas(az/el) 1 deg" ||
               type == "SpidRas(az/el) 0.5 deg") {
        writePaced(k, rotor::spidStopFrame());
    } else if (type == "D-Prosistel") {
        writePaced(k, rotor::prosistelStopCommand());
    } else if (type == "EasyComm") {
        ports::WriteToRotorPort(k, "SA SE\r");
        ports::KVRotorPaceDown(k, pace);
    } else if (type == "Radant AZV-1") {
        ports::WriteToRotorPort(k, "S\r");
        ports::KVRotorPaceDown(k, pace);
    }
}

void Command7_Click(Kelv& k) {
    k.ui.Command7.back = ui::kHighlight;
    k.ui.Command8.back = std::nullopt;
    ports::WriteToRotorPort(k, "HP");
    ports::WriteToRotorPort(k, kCr);
}

void Command8_Click(Kelv& k) {
    k.ui.Command8.back = ui::kHighlight;
    k.ui.Command7.back = std::nullopt;
    ports::WriteToRotorPort(k, "VP");
    ports::WriteToRotorPort(k, kCr);
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
