// The position poll: discard stale input, send the type's request, read its reply.
#include "rotor/position_feedback.h"

#include "ports/serial_ports.h"
#include "rotor/easycomm.h"
#include "rotor/gs232.h"
#include "rotor/kelvora_unit.h"
#include "rotor/prosistel.h"
#include "rotor/spid.h"
#include "config/settings.h"
#include "state/kelv.h"
#include "state/trace_log.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace kelvora {

namespace {

struct PollRow {
    std::string_view type;
    std::vector<std::string> request; // one entry per write
    void (*read)(Kelv& k);
};

const std::array<PollRow, 9>& pollRows() {
    static const std::array<PollRow, 9> rows = {{
        {"GS232", {"C2", "\r"}, GS232ReadFrame},
        {"GS232-qzr", {"C2", "\r"}, GS232_qzrReadFrame},
        {"Kelvora", {"?A", "\r"}, [](Kelv& k) { KVRotorReadFrame(k); }},
        {"SpidRak(az)", {rotor::spidStatusFrame()}, SPIDRAKReadFrame},
        {"SpidRas(az/el) 1 deg", {rotor::spidStatusFrame()}, SPIDRASReadFrame},
        {"SpidRas(az/el) 0.5 deg", {rotor::spidStatusFrame()}, SPIDRASReadFrame},
        {"EasyComm", {"?", "\r"}, EasyCommReadFrame_2},
        {"Radant AZV-1", {"Y", "\r"}, RadantCommReadFrame},
        {"D-Prosistel", {rotor::prosistelPositionRequest()}, Prosistel_ReadFrame},
    }};
    return rows;
}

void trace(Kelv& k, std::string_view text) {
    if (k.rs.Trace_on == -1) {
        Tracciatura_file(k, text);
    }
}

} // namespace

void Controllo_posizione(Kelv& k) {
    if (k.rs.Target_moved != 0 || !k.MSComm2.isOpen() || k.settings().Refresh_Rotore == "None") {
        return;
    }
    const std::string& type = k.settings().RotorType;
    for (const PollRow& row : pollRows()) {
        if (row.type != type) {
            continue;
        }
        // Answers to earlier commands (a SPID controller answers every set with a position
        // frame) would otherwise be read as the answer to this request.
        ports::ReadFromRotorPort(k);
        bool radant = type == "Radant AZV-1";
        if (radant) {
            trace(k, "Entro richiesta posizione rotori Y");
        }
        for (const std::string& write : row.request) {
            ports::WriteToRotorPort(k, write);
        }
        if (radant) {
            trace(k, "Esco richiesta posizione rotori Y");
        }
        row.read(k);
        return;
    }
}

} // namespace kelvora
