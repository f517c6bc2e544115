#include "rotor/rotor_types.h"
#include "state/device_names.h"

#include "rotor/easycomm.h"
#include "rotor/easycomm_protocol.h"
#include "rotor/gs232.h"
#include "rotor/gs232_protocol.h"
#include "rotor/hamlib_rotor.h"
#include "rotor/kelvora_unit.h"
#include "rotor/kelvora_unit_protocol.h"
#include "rotor/prosistel.h"
#include "rotor/prosistel_protocol.h"
#include "rotor/radant.h"
#include "rotor/radant_protocol.h"
#include "rotor/spid.h"
#include "rotor/spid_protocol.h"

#include <array>

namespace kelvora::rotor {

namespace {

using E = ui::Enabling;
using S = ui::Showing;

using Pace = StopSequence::Pace;

void rakManual(Kelv& k, double az, double) {
    RAKSetAz(k, az);
}
void ras1Manual(Kelv& k, double az, double el) {
    RASSetAzEl(k, az, el, 1);
}
void ras2Manual(Kelv& k, double az, double el) {
    RASSetAzEl(k, az, el, 2);
}
void prosistelManual(Kelv& k, double az, double) {
    D_Prosistel(k, az);
}

// The types whose manual direction takes typed angles and that have the polarity buttons.
const ui::RotorControls kTypedAngleControls{.Command1 = E::On,
                                            .Command7 = E::On,
                                            .Command8 = E::On,
                                            .auto_ = E::On,
                                            .Autoupdate = E::On,
                                            .Text1 = S::Keep,
                                            .Text2 = S::Keep};

const NetworkRotor kRotctld{.poll = hamlibRotPoll, .stop = hamlibRotStop, .park = hamlibRotPark};

const std::array<RotorType, 11>& rows() {
    static const std::array<RotorType, 11> kRotorTypes = std::to_array<RotorType>({
        {.name = "None",
         .controls = {.Command1 = E::On,
                      .Command6 = E::Off,
                      .Rotorman = E::Off,
                      .Command7 = E::Keep,
                      .Command8 = E::Keep,
                      .auto_ = E::On,
                      .Autoupdate = E::On,
                      .Label7 = E::Off,
                      .LabelAZ = E::Off,
                      .LabelEL = E::Off,
                      .Text1 = S::Hidden,
                      .Text2 = S::Hidden},
         .noRotor = true},
        {.name = "SpidRak(az)",
         .controls = {.LabelEL = E::Off, .Text2 = S::Hidden},
         .set = kRakSet,
         .poll = rakPoll(),
         .stop = true,
         .stopSequence = {.writes = {spidStopFrame()}, .pace = Pace::AfterEachByte},
         .manual = {.set = rakManual},
         .azReach = {.low = -180, .high = 540}},
        {.name = "SpidRas(az/el) 1 deg",
         .controls = {},
         .set = kRas1Set,
         .poll = rasPoll(),
         .stop = true,
         .stopSequence = {.writes = {spidStopFrame()}, .pace = Pace::AfterEachByte},
         .manual = {.set = ras1Manual},
         .azReach = {.low = -180, .high = 540}},
        {.name = "SpidRas(az/el) 0.5 deg",
         .controls = {},
         .set = kRas2Set,
         .poll = rasPoll(),
         .stop = true,
         .stopSequence = {.writes = {spidStopFrame()}, .pace = Pace::AfterEachByte},
         .manual = {.set = ras2Manual},
         .azReach = {.low = -180, .high = 540}},
        {.name = "Kelvora",
         .controls = {.Command2 = E::On,
                      .Command3 = E::On,
                      .Command4 = E::On,
                      .Command1 = E::On,
                      .Command7 = E::Keep,
                      .Command8 = E::Keep,
                      .auto_ = E::On,
                      .Autoupdate = E::On},
         .set = kKvSet,
         .poll = kvPoll(),
         .stop = true,
         .stopSequence = {.writes = {"\r"}, .pace = Pace::AfterEachWrite},
         .manual = {.command = kvManualCommand},
         .hostModes = true,
         .relaysFrequency = true},
        {.name = "GS232",
         .controls = {},
         .set = kGs232Set,
         .poll = gs232Poll(),
         .stop = true,
         .stopSequence = {.writes = {"S", "\r"}, .pace = Pace::BetweenWrites},
         .manual = {.command = gs232ManualCommand},
         .azReach = {.low = 0, .high = 450}},
        {.name = "GS232-qzr",
         .controls = kTypedAngleControls,
         .set = kGs232Set,
         .poll = gs232QzrPoll(),
         .stop = true,
         .stopSequence = {.writes = {"S", "\r"}, .pace = Pace::BetweenWrites},
         .manual = {.command = gs232ManualCommand},
         .azReach = {.low = 0, .high = 450}},
        {.name = "D-Prosistel",
         .controls = {.LabelEL = E::Off, .Text2 = S::Hidden},
         .set = kProsistelSet,
         .poll = prosistelPoll(),
         .stop = true,
         .stopSequence = {.writes = {prosistelStopCommand()}, .pace = Pace::AfterEachByte},
         .manual = {.set = prosistelManual}},
        {.name = "EasyComm",
         .controls = kTypedAngleControls,
         .set = kEasyCommSet,
         .poll = easyCommPoll(),
         .stop = true,
         .stopSequence = {.writes = {"SA SE\r"}, .pace = Pace::AfterEachWrite},
         .manual = {.command = easyCommManualCommand}},
        {.name = "Radant AZV-1",
         .controls = kTypedAngleControls,
         .set = kRadantSet,
         .poll = radantPoll(),
         // No stop command is known for this controller; the Stop button sends what it always has.
         .stop = false,
         .stopSequence = {.writes = {"S\r"}, .pace = Pace::AfterEachWrite},
         .manual = {.command = radantManualCommand, .trace = "Invio manuale az el"}},
        {.name = kHamlibRotType,
         .controls = {.Command1 = E::On,
                      .auto_ = E::On,
                      .Autoupdate = E::On,
                      .Text1 = S::Keep,
                      .Text2 = S::Keep},
         .set = kHamlibRotSet,
         .stop = true,
         .manual = {.set = hamlibRotManual},
         .network = &kRotctld,
         .azReach = {.fromDaemon = true}},
    });
    return kRotorTypes;
}

} // namespace

std::span<const RotorType> rotorTypes() {
    return rows();
}

const RotorType* findRotorType(std::string_view name) {
    for (const RotorType& type : rows()) {
        if (type.name == name) {
            return &type;
        }
    }
    return nullptr;
}

bool rotorChosen(std::string_view name) {
    const RotorType* type = findRotorType(name);
    return type == nullptr || !type->noRotor;
}

bool rotorUsesLine(std::string_view name) {
    const RotorType* type = findRotorType(name);
    return rotorChosen(name) && (type == nullptr || type->network == nullptr);
}

} // namespace kelvora::rotor
