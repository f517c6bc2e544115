// The rotor line's busy flag and the commands waiting for it.
#include "rotor/rotor_line_guard.h"

#include "state/kelv.h"

#include <deque>
#include <map>

namespace kelvora::rotor {

namespace {

struct LineState {
    bool busy = false;
    std::deque<std::function<void()>> waiting;
};

// One thread: a state per rotor port, removed when the line is free again.
std::map<const platform::SerialPort*, LineState>& lines() {
    static std::map<const platform::SerialPort*, LineState> states;
    return states;
}

} // namespace

bool onRotorLine(Kelv& k, Exchange kind, std::function<void()> body) {
    const platform::SerialPort* key = &k.MSComm2;
    LineState& state = lines()[key];
    if (state.busy) {
        if (kind == Exchange::Command) {
            state.waiting.push_back(std::move(body));
        }
        return false;
    }
    state.busy = true;
    struct Free {
        const platform::SerialPort* key;
        ~Free() { lines().erase(key); }
    } free{key};
    body();
    while (!lines()[key].waiting.empty()) {
        std::function<void()> next = std::move(lines()[key].waiting.front());
        lines()[key].waiting.pop_front();
        next();
    }
    return true;
}

bool rotorLineBusy(const Kelv& k) {
    auto it = lines().find(&k.MSComm2);
    return it != lines().end() && it->second.busy;
}

} // namespace kelvora::rotor
