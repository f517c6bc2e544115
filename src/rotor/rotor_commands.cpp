// The rotor command dispatch: one row per rotor type, tried in the settings list's order.
#include "rotor/rotor_commands.h"

#include "rotor/easycomm.h"
#include "rotor/gs232.h"
#include "rotor/kelvora_unit.h"
#include "rotor/prosistel.h"
#include "rotor/spid.h"
#include "config/settings.h"
#include "state/kelv.h"
#include "state/numbers.h"

#include <array>
#include <string_view>

namespace kelvora {

namespace {

struct CommandRow {
    std::string_view type;
    void (*send)(Kelv& k, double az, double el);
};

const std::array<CommandRow, 9> kCommandRows = {{
    {"Kelvora", KVRotorSetAzEl},
    {"GS232", GS232SetAzEl},
    {"GS232-qzr", GS232SetAzEl},
    {"SpidRak(az)", [](Kelv& k, double az, double) { RAKSetAz(k, az); }},
    {"SpidRas(az/el) 1 deg", [](Kelv& k, double az, double el) { RASSetAzEl(k, az, el, 1); }},
    {"SpidRas(az/el) 0.5 deg", [](Kelv& k, double az, double el) { RASSetAzEl(k, az, el, 2); }},
    {"D-Prosistel", [](Kelv& k, double az, double) { D_Prosistel(k, az); }},
    {"EasyComm", EasyComm},
    {"Radant AZV-1", Radant},
}};

} // namespace

void Invia_Rotori(Kelv& k) {
    const std::string& type = k.settings().RotorType;
    if (type == "None" || k.ui.Rotorman.value == 1) {
        return;
    }
    double az = numbers::leadingNumber(k.rs.Az_int);
    double el = numbers::leadingNumber(k.rs.El_int);
    for (const CommandRow& row : kCommandRows) {
        if (row.type == type) {
            row.send(k, az, el);
            return;
        }
    }
}

} // namespace kelvora
