// The EasyComm position replies in the forms controllers send.
#include "rotor/easycomm_protocol.h"

#include <gtest/gtest.h>

namespace kelvora::rotor {
namespace {

using std::nullopt;

struct ReplyCase {
    const char* what;
    std::string reply;
    std::optional<std::string> az, el;
};

TEST(EasyCommProtocol, PositionReplies) {
    const ReplyCase cases[] = {
        {"standard", "AZ123.4 EL045.6\r", "123.4", "045.6"},
        {"LF", "AZ123.4 EL45.6\n", "123.4", "45.6"},
        {"CR LF", "AZ123.4 EL45.6\r\n", "123.4", "45.6"},
        {"leading space", " AZ123.4 EL45.6\n", "123.4", "45.6"},
        {"short angles", "AZ5.0 EL10.0\n", "5.0", "10.0"},
        {"truncated", "AZ12", "12", nullopt},
        {"trailing garbage", "AZ123.4 EL45.6\r\n#*!", "123.4", "45.6"},
        {"no number", "AZxyz ELabc\r", nullopt, nullopt},
        {"out of range", "AZ999.0 EL45.0\r", nullopt, nullopt},
        {"no A", "qwerty uiop 1234", nullopt, nullopt},
    };
    for (const ReplyCase& c : cases) {
        SCOPED_TRACE(c.what);
        LabelTexts got = parseEasyCommPosition(c.reply);
        EXPECT_EQ(got.az, c.az);
        EXPECT_EQ(got.el, c.el);
    }
}

} // namespace
} // namespace kelvora::rotor
