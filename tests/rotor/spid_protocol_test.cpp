// The SPID and D-Prosistel position replies, byte by byte.
#include "rotor/prosistel_protocol.h"
#include "rotor/spid_protocol.h"
#include "rotor_test_support.h"

#include <gtest/gtest.h>

namespace kelvora::rotor {
namespace {

using kelvora::testkit::bytes;
using std::nullopt;

struct ReplyCase {
    const char* what;
    std::string reply;
    std::optional<std::string> az, el;
};

TEST(SpidProtocol, RasReplies) {
    const ReplyCase cases[] = {
        {"valid", bytes({'W', 4, 8, 3, 0, 1, 4, 0, 5, 0, 1, 0x20}), "123", "45"},
        {"tenths, below horizon", bytes({'W', 4, 8, 3, 5, 2, 3, 5, 8, 0, 2, 0x20}), "123.5", "-2"},
        {"trailing garbage", bytes({'W', 4, 8, 3, 0, 1, 4, 0, 5, 0, 1, 0x20, 'x', 'y'}), "123",
         "45"},
        {"truncated", bytes({'W', 4, 8, 3, 0, 1, 4, 0}), nullopt, nullopt},
        {"digit out of range", bytes({'W', 4, 8, 10, 0, 1, 4, 0, 5, 0, 1, 0x20}), nullopt, nullopt},
        {"digits as characters", "W0483 0405  ", nullopt, nullopt},
    };
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE(c.what);
        LabelTexts got = parseRasPosition(c.reply);
        EXPECT_EQ(got.az, c.az);
        EXPECT_EQ(got.el, c.el);
    }
}

TEST(SpidProtocol, RakAndProsistelReplies) {
    struct Case {
        const char* what;
        LabelTexts (*parse)(std::string_view);
        std::string reply;
        std::optional<std::string> az;
    };
    const Case cases[] = {
        {"RAK valid", parseRakPosition, bytes({'W', 4, 8, 3, 0x20}), "123"},
        {"RAK truncated", parseRakPosition, bytes({'W', 4}), nullopt},
        {"RAK out of range", parseRakPosition, bytes({'W', 4, 0x30, 3, 0x20}), nullopt},
        {"Prosistel valid", parseProsistelPosition, bytes({2}) + "A,?,123,R\r", "123"},
        {"Prosistel truncated", parseProsistelPosition, "?", ""},
        {"Prosistel without ?", parseProsistelPosition, "no question", nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LabelTexts got = c.parse(c.reply);
        EXPECT_EQ(got.az, c.az);
        EXPECT_EQ(got.el, nullopt);
    }
}

} // namespace
} // namespace kelvora::rotor
