// The reply collection shared by every rotor reply reader, on the rotor line.
#include "rotor/collect.h"

#include "ports/serial_ports.h"
#include "state/kelv.h"

namespace kelvora::rotor {

Reply collect(Kelv& k, std::size_t minBytes, std::string_view marker) {
    ports::Line line = ports::rotorLine(k);
    return ports::collect(line, minBytes, marker);
}

void writeBytewise(Kelv& k, std::string_view text) {
    ports::Line line = ports::rotorLine(k);
    ports::writeBytewise(line, text);
}

} // namespace kelvora::rotor
