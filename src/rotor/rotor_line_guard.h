// One exchange at a time on the rotor line.
#pragma once

#include <functional>

namespace kelvora {
struct Kelv;
}

namespace kelvora::rotor {

enum class Exchange {
    Poll,    // a position request and its reply: skipped while busy, the next tick polls again
    Command, // anything that moves or sets the rotor: deferred until the line is free
};

// Runs `body` as one exchange on the rotor line. Timer ticks and clicks may run inside the
// error report's wait (it runs window events) while an exchange is under way; bytes of a second
// exchange would then interleave with the first's request and reply. A poll arriving then is
// skipped; a command runs, in arrival order, as soon as the exchange under way has ended.
// Returns false when `body` did not run now.
bool onRotorLine(Kelv& k, Exchange kind, std::function<void()> body);

// True while an exchange is under way on the rotor line of `k`.
bool rotorLineBusy(const Kelv& k);

} // namespace kelvora::rotor
