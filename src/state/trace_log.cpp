// Trace entries, appended one open-write-close at a time.
#include "state/trace_log.h"

#include "state/error_handler.h"
#include "state/kelv.h"

#include <fstream>

namespace kelvora {

void Tracciatura_file(Kelv& k, std::string_view text) {
    std::string path = k.programFolder + "/Trace.txt";
    if (!EsisteFile(path)) {
        std::ofstream create(path, std::ios::binary);
        return;
    }
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out) {
        return;
    }
    out << k.clock.localDateTimeText() << ' ' << text << "\r\n";
}

} // namespace kelvora
