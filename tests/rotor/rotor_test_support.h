// Shared helpers of the rotor tests: a faked window with an open rotor port, and hex dumps.
#pragma once

#include "fakes/hex.h"
#include "fakes/kelv_fixture.h"

#include <string>
#include <string_view>
#include <vector>

namespace kelvora::testkit {

using fakes::hex;

inline std::string bytes(std::initializer_list<int> values) {
    std::string out;
    for (int v : values) {
        out += static_cast<char>(v);
    }
    return out;
}

// Started, with the given rotor type, an open rotor port and the default reply time-out.
struct RotorFixture : fakes::KelvFixture {
    explicit RotorFixture(const std::string& type) {
        k.settings().RotorType = type;
        k.settings().Refresh_Rotore = "2";
        k.rs.Tracking_on = 1;
        k.rs.Rotor_timeout = 0.25f;
        std::string error;
        rotor.open("/dev/rotor", {}, false, error);
    }
    void target(const std::string& az, const std::string& el) {
        k.rs.Az_int = az;
        k.rs.El_int = el;
        k.rs.Az_text = az;
        k.rs.El_text = el;
    }
};

} // namespace kelvora::testkit
