// rotor_sim: a simulated rotor controller on a pseudo-terminal, for trying the program by hand.
#include "pty_rotor.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

volatile bool g_running = true;

void onSignal(int) {
    g_running = false;
}

} // namespace

int main(int argc, char** argv) {
    std::string type;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--type") == 0) {
            type = argv[i + 1];
        }
    }
    std::optional<kelvora::sim::RotorProtocol> protocol = kelvora::sim::protocolFor(type);
    if (!protocol) {
        std::fprintf(stderr,
                     "usage: rotor_sim --type TYPE\nTYPE: Kelvora, GS232, GS232-qzr, SpidRak(az), "
                     "\"SpidRas(az/el) 1 deg\", \"SpidRas(az/el) 0.5 deg\", D-Prosistel, "
                     "EasyComm, \"Radant AZV-1\"\n");
        return 2;
    }
    kelvora::sim::PtyRotor rotor(*protocol);
    if (!rotor.ok()) {
        std::perror("openpty");
        return 1;
    }
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::printf("%s\n", rotor.path().c_str());
    std::fflush(stdout);
    rotor.serve(g_running);
    return 0;
}
