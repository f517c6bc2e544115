// Helpers of the radio tests: byte strings from hex text and back, and a main window on fakes.
#pragma once

#include "fakes/hex.h"
#include "fakes/kelv_fixture.h"

#include <cstdio>
#include <sstream>
#include <string>
#include <string_view>

namespace kelvora::radiotest {

// "FE FE 10" -> the three bytes.
inline std::string fromHex(std::string_view text) {
    std::string bytes;
    std::istringstream in{std::string(text)};
    unsigned value = 0;
    while (in >> std::hex >> value) {
        bytes += static_cast<char>(value);
    }
    return bytes;
}

using fakes::hex;

// A main window on fakes with the CAT port open, tracking on and the given radio type.
struct RadioFixture : fakes::KelvFixture {
    explicit RadioFixture(const std::string& rtxType = "IC-9700") {
        std::string error;
        radio.open("/dev/radio", {}, false, error);
        k.settings().RtxType = rtxType;
        k.settings().RotorType = "None";
        k.settings().RtxPort2 = "None";
        k.settings().Doppler_Check = 0;
        k.rs.Tracking_on = 1;
        k.rs.Icom_addr = 0x10;
        k.rs.Icom_addr2 = 0x10;
    }
    std::string sent() const { return hex(radio.written()); }
};

} // namespace kelvora::radiotest
