// The antenna command decision and its callers on the run state.
#include "rotor/antenna_command.h"

#include "config/settings.h"
#include "rotor/collect.h"
#include "rotor/rotor_line_guard.h"
#include "rotor/rotor_types.h"
#include "state/kelv.h"
#include "state/numbers.h"

#include <cmath>

namespace kelvora::rotor {

namespace {

AntennaCommand hold(HoldReason reason) {
    return {AntennaDecision::Hold, reason, {}, {}};
}

AntennaCommand prepare(const AntennaRequest& request) {
    const AntennaTarget& t = request.target;
    AntennaCommand command{AntennaDecision::Command, HoldReason::None, {}, {}};
    switch (request.rule) {
    case AngleRule::None:
        return hold(HoldReason::NoRotor);
    case AngleRule::AzEl: {
        // The target's own elevation: -0.4 is below the horizon although its whole degrees are 0.
        if (numbers::leadingNumber(t.elText) < 0) {
            return hold(HoldReason::BelowHorizon);
        }
        std::optional<AzEl> angles = prepareAzEl(t.az, t.el, request.corrections);
        if (!angles) {
            return hold(HoldReason::NoCorrection);
        }
        command.angles = *angles;
        return command;
    }
    case AngleRule::AzOnly: {
        std::optional<double> az = prepareAz(t.az, request.corrections);
        if (!az) {
            return hold(HoldReason::NoCorrection);
        }
        command.angles = {*az, 0};
        return command;
    }
    case AngleRule::Decimal: {
        if (numbers::leadingNumber(t.elText) < 0) {
            return hold(HoldReason::BelowHorizon);
        }
        std::optional<AzElText> texts =
            decimalAngles(t.azText, t.elText, t.az, t.el, request.corrections);
        if (!texts) {
            return hold(HoldReason::NoCorrection);
        }
        command.texts = *texts;
        return command;
    }
    }
    return hold(HoldReason::NoRotor);
}

AntennaTarget trackedTarget(Kelv& k) {
    return {k.rs.Az_text, k.rs.El_text, numbers::leadingNumber(k.rs.Az_int),
            numbers::leadingNumber(k.rs.El_int)};
}

// The decision to the line: the type's trace ahead of a target above the horizon, then the
// command, as one exchange on the rotor line. True when a command goes out.
bool carryOut(Kelv& k, const SetProcedure& set, const AntennaCommand& command) {
    bool aboveHorizon =
        command.decision == AntennaDecision::Command || command.reason == HoldReason::NoCorrection;
    if (!aboveHorizon || set.send == nullptr) {
        return false;
    }
    auto send = set.send;
    std::string_view traceBefore = set.traceBefore;
    onRotorLine(k, Exchange::Command, [&k, send, traceBefore, command] {
        if (!traceBefore.empty()) {
            traceRotor(k, traceBefore);
        }
        if (command.decision == AntennaDecision::Command) {
            send(k, command);
        }
    });
    return command.decision == AntennaDecision::Command;
}

AntennaRequest trackingRequest(Kelv& k, const RotorType* type) {
    return {.rule = type != nullptr ? type->set.angles : AngleRule::None,
            .target = trackedTarget(k),
            .lastCommanded = std::nullopt,
            .corrections = {k.rs.Az_correction, k.rs.El_correction},
            .manualDirection = k.ui.Rotorman.value == 1};
}

} // namespace

AntennaCommand decideAntennaCommand(const AntennaRequest& request) {
    if (request.lastCommanded && request.lastCommanded->azText == request.target.azText &&
        request.lastCommanded->elText == request.target.elText) {
        return hold(HoldReason::Unchanged);
    }
    if (request.rule == AngleRule::None) {
        return hold(HoldReason::NoRotor);
    }
    if (request.manualDirection) {
        return hold(HoldReason::ManualDirection);
    }
    return prepare(request);
}

void commandAntenna(Kelv& k, const SetProcedure& set, double az, double el) {
    AntennaRequest request{.rule = set.angles,
                           .target = {numbers::toText(az), numbers::toText(el), az, el},
                           .lastCommanded = std::nullopt,
                           .corrections = {k.rs.Az_correction, k.rs.El_correction},
                           .manualDirection = false};
    carryOut(k, set, decideAntennaCommand(request));
}

namespace {

bool commandPosition(Kelv& k, const SetProcedure& set, const AntennaTarget& target) {
    AntennaRequest request{.rule = set.angles,
                           .target = target,
                           .lastCommanded = std::nullopt,
                           .corrections = {k.rs.Az_correction, k.rs.El_correction},
                           .manualDirection = false};
    return carryOut(k, set, decideAntennaCommand(request));
}

} // namespace

bool commandPosition(Kelv& k, double az, double el) {
    const RotorType* type = findRotorType(k.settings().RotorType);
    if (type == nullptr || (!k.MSComm2.isOpen() && type->network == nullptr)) {
        return false;
    }
    // As the tracking file gives a target: the text for the decimal types, the whole degrees
    // (cut at the point) for the others.
    return commandPosition(
        k, type->set, {numbers::toText(az), numbers::toText(el), std::trunc(az), std::trunc(el)});
}

bool commandTrackedTarget(Kelv& k) {
    const RotorType* type = findRotorType(k.settings().RotorType);
    AntennaCommand command = decideAntennaCommand(trackingRequest(k, type));
    return type != nullptr && (k.MSComm2.isOpen() || type->network != nullptr) &&
           carryOut(k, type->set, command);
}

bool commandMechanical(Kelv& k, double az, double el, const MechanicalLimits& limits) {
    const RotorType* type = findRotorType(k.settings().RotorType);
    if (type == nullptr || (!k.MSComm2.isOpen() && type->network == nullptr) ||
        type->set.angles == AngleRule::None || k.ui.Rotorman.value == 1) {
        return false;
    }
    // Below the horizon (either way over the top) the elevation rotors hold, as they always did.
    if (type->set.angles != AngleRule::AzOnly && (el < 0 || el > 180)) {
        return false;
    }
    std::optional<AzEl> angles =
        prepareMechanical(az, el, {k.rs.Az_correction, k.rs.El_correction}, limits);
    if (!angles) {
        return false;
    }
    AntennaCommand command{AntennaDecision::Command, HoldReason::None, *angles, {}};
    if (type->set.angles == AngleRule::AzOnly) {
        command.angles.el = 0;
    }
    if (type->set.angles == AngleRule::Decimal) {
        command.texts = {numbers::oneDecimal(angles->az), numbers::oneDecimal(angles->el)};
    }
    return carryOut(k, type->set, command);
}

} // namespace kelvora::rotor
