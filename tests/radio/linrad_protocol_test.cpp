// The Linrad frequency message: the window position and the bytes.
#include "radio/linrad_protocol.h"

#include "fakes/hex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace kelvora {
namespace {

using fakes::hex;

TEST(LinradMessage, WindowPosition) {
    struct Case {
        const char* centre;
        const char* offset;
        const char* fqso;
        const char* freqRx;
        bool doppler;
        std::int64_t expected;
    };
    const std::vector<Case> cases = {
        {"144125000", "0", "125", "", false, 48000},
        {"144125000", "0", "130", "", false, 53000},
        {"144125000", "0", "173", "", false, 96000},           // the upper edge itself
        {"144125000", "0", "200", "", false, 96000},           // above the window: limited
        {"144125000", "0", "077", "", false, 0},               // the lower edge itself
        {"144125000", "0", "050", "", false, 0},               // below the window: limited
        {"144125000", "-47800", "125", "", false, 200},        // the offset is added
        {"144125000", "-44000", "125", "", false, 4000},       //
        {"144125000", "0.5", "125", "", false, 48000},         // halves to the even neighbour
        {"144125000", "1.5", "125", "", false, 48002},         //
        {"144125000", "0", "125.4", "", false, 48400},         // fractional kHz
        {"144125000", "", "", "", false, 0},                   // nothing read yet
        {"144125000", "abc", "125xyz", "", false, 48000},      // leading numbers only
        {"1296100000", "0", "110", "", false, 58000},          // 10-digit centre: base 1296000 kHz
        {"10368100000", "0", "100", "", false, 48000},         // 11 digits
        {"1000000", "0", "025", "", false, 73000},             // 7 digits: base 1000 kHz
        {"500000", "0", "100", "", false, 96000},              // 6 digits: taken whole as the base
        {"144125000", "0", "125", "144126350", true, 49350},   // Doppler: receive frequency
        {"144125000", "0", "999", "144126350", true, 49350},   // Fqso_kHz is not used
        {"144125000", "0", "125", "432126350", true, 49350},   // only the Hz below 1 MHz count
        {"144125000", "0", "125", "144125500.5", true, 48500}, // fractional Hz keep their place
        {"144125000", "0", "125", "144125501.5", true, 48502}, //
        {"144125000", "0", "125", "", true, 0},                // no receive frequency yet
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.centre) + " " + c.offset + " " + c.fqso + " " + c.freqRx);
        EXPECT_EQ(linrad::offsetValue({c.centre, c.offset, c.fqso, c.freqRx, c.doppler}),
                  c.expected);
    }
}

TEST(LinradMessage, Bytes) {
    struct Case {
        std::int64_t value;
        const char* bytes;
    };
    for (const Case& c : std::vector<Case>{{48000, "BC A2 00 00 80 BB 00 00"},
                                           {53000, "BC A2 00 00 08 CF 00 00"},
                                           {96000, "BC A2 00 00 00 77 01 00"},
                                           {0, "BC A2 00 00 00 00 00 00"},
                                           {200, "BC A2 00 00 C8 00 00 00"},
                                           {4000, "BC A2 00 00 A0 0F 00 00"},
                                           {49350, "BC A2 00 00 C6 C0 00 00"}}) {
        EXPECT_EQ(hex(linrad::frequencyMessage(c.value)), c.bytes) << c.value;
    }
}

} // namespace
} // namespace kelvora
