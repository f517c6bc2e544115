#include "tracking/interlock_control.h"

#include "config/settings.h"
#include "hamlib/hamlib_devices.h"
#include "rotor/angles_protocol.h"
#include "rotor/rotor_types.h"
#include "state/kelv.h"
#include "state/numbers.h"
#include "station/rotor_range.h"
#include "station/station_control.h"
#include "station/transmit_interlock.h"
#include "wsjtx/wsjtx_link.h"

#include <algorithm>

namespace kelvora {

namespace {

struct InterlockPart : KelvPart {
    explicit InterlockPart(Kelv&) {}
    station::InterlockSettings settings;
    station::InterlockHold hold;
    double startedAt = 0;
    std::string shown;       // the reason last said in the status line
    wsjtx::HaltTimes halted; // the WSJT-X instances told to halt during this trip
};

bool hasFeedback(Kelv& k, const rotor::RotorType& type) {
    bool answers = !type.poll.request.empty() || type.network != nullptr;
    return answers && k.settings().Refresh_Rotore != "None";
}

std::string lostDevice(Kelv& k, const rotor::RotorType& type) {
    if (type.network != nullptr) {
        hamlib::HamlibLink* rot = k.part<hamlib::HamlibDevices>().rot();
        return rot != nullptr && rot->connected() ? "" : "rotctld";
    }
    return k.MSComm2.isOpen() ? "" : "rotor line";
}

// The rotor is commanded, and so reports itself on target, with the rotor.dat corrections of
// the sky direction added: the reply is compared with the target so corrected.
station::AzElTarget asTheRotorReportsIt(Kelv& k, const station::AzElTarget& sky) {
    const rotor::Corrections corrections{k.rs.Az_correction, k.rs.El_correction};
    const double az = station::skyAzimuth(sky.az);
    const double el = std::clamp(sky.el, 0.0, 90.0);
    return {sky.az + rotor::correctAz(az, corrections).value_or(az) - az,
            sky.el + rotor::correctEl(el, corrections).value_or(el) - el};
}

station::InterlockInput gather(Kelv& k, const InterlockPart& part) {
    station::InterlockInput in;
    const rotor::RotorType* type = rotor::findRotorType(k.settings().RotorType);
    in.rotor = type != nullptr && !type->noRotor;
    if (!in.rotor) {
        return in;
    }
    in.feedback = hasFeedback(k, *type);
    std::optional<double> az = numbers::strictNumber(k.rs.Az_text);
    std::optional<double> el = numbers::strictNumber(k.rs.El_text);
    if (az && el) {
        in.target = station::AzElTarget{*az, *el};
    }
    const AntennaState& a = k.rs.antenna;
    if (a.measuredAz && a.measuredEl) {
        in.measured = station::AzElTarget{*a.measuredAz, *a.measuredEl};
    }
    double now = k.clock.monotonicSeconds();
    in.positionAgeSeconds = now - std::max(part.startedAt, a.measuredAt.value_or(part.startedAt));
    in.lost = lostDevice(k, *type);
    const station::StationRules& rules = k.part<station::StationPart>().rules;
    if (rules.state().pause != station::StationState::Pause::None) {
        in.pause = rules.state().pause;
    }
    if (in.target) {
        in.targetHeld =
            station::trackingTargetHeld(*in.target, rules.settings(), rules.horizon().mask());
        in.target = asTheRotorReportsIt(k, *in.target);
    }
    return in;
}

} // namespace

void startInterlock(Kelv& k) {
    InterlockPart& part = k.part<InterlockPart>();
    part.settings = station::parseInterlockSettings(k.settings().lookup("Interlock"));
    part.hold = {};
    part.shown.clear();
    part.halted.clear();
    part.startedAt = k.clock.monotonicSeconds();
    k.rs.interlock = {};
    if (!part.settings.errors.empty()) {
        std::string text;
        for (const std::string& e : part.settings.errors) {
            text += e + "\n";
        }
        part.settings.enabled = false;
        k.dialogs.notice(text + "\nThe transmit interlock is off.");
        return;
    }
    if (part.settings.enabled) {
        station::InterlockInput in = gather(k, part);
        k.ui.RotorAZ.caption = station::knownCausesText(in.rotor, in.feedback);
    }
}

void stopInterlock(Kelv& k) {
    k.part<InterlockPart>().settings.enabled = false;
    k.rs.interlock = {};
}

void checkInterlock(Kelv& k) {
    InterlockPart& part = k.part<InterlockPart>();
    if (!part.settings.enabled) {
        return;
    }
    bool was = part.hold.tripped();
    std::string cause = station::interlockCause(gather(k, part), part.settings);
    bool tripped = part.hold.update(cause, k.clock.monotonicSeconds());
    k.rs.interlock = {tripped, part.hold.reason()};
    // Said when it trips and when its cause changes, so other news is not overwritten each tick.
    if (tripped && part.hold.reason() != part.shown) {
        part.shown = part.hold.reason();
        k.ui.RotorAZ.caption = "Transmit interlock: " + part.shown;
    }
    if (tripped) {
        wsjtx::haltWsjtx(k, part.halted); // an instance heard since the trip gets its own
    } else if (was) {
        part.halted.clear();
        part.shown.clear();
        k.ui.RotorAZ.caption = "Transmit interlock cleared";
    }
}

} // namespace kelvora
