// The GS-232 position reply in the forms controllers send, and a reply split over reads.
#include "rotor/gs232_protocol.h"
#include "rotor/position_feedback.h"
#include "rotor_test_support.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kelvora {
namespace {

using rotor::LabelTexts;
using std::nullopt;

// Three digits each: an overlap azimuth and an elevation over the top, as 450-degree controllers
// take them; the plain range keeps its bytes.
TEST(Gs232Protocol, SetCommandCarriesTheWholeRange) {
    const std::tuple<double, double, const char*> cases[] = {{123, 45, "W123 045\r"},
                                                             {0, 5, "W000 005\r"},
                                                             {450, 120, "W450 120\r"},
                                                             {405.4, 179.6, "W405 180\r"}};
    for (const auto& [az, el, bytes] : cases) {
        EXPECT_EQ(rotor::gs232SetCommand(az, el), bytes) << az << " " << el;
    }
}

struct DialectCase {
    const char* what;
    std::string reply;
    long azChars, elChars;
    std::optional<std::string> az, el;
};

TEST(Gs232Protocol, PositionReplyForms) {
    const DialectCase cases[] = {
        {"GS-232B standard", "AZ=123  EL=045\r\n", 3, 4, "123", "045"},
        {"standard, CR only", "AZ=123  EL=045\r", 3, 4, "123", "045"},
        {"one space, CR LF", "AZ=123 EL=045\r\n", 3, 4, "123", "045"},
        {"decimals", "AZ=123.4 EL=045.6\r\n", 3, 4, "123.4", "045.6"},
        {"extra CR LF and prompt", "\r\nAZ=007  EL=089\r\n\r\n>", 3, 4, "007", "089"},
        {"qzr standard", "AZ=123.4  EL=045.6\r\n", 5, 5, "123.4", "045.6"},
        {"qzr whole degrees keep their cut", "AZ=123  EL=045\r\n", 5, 5, "123  ", "045"},
        {"GS-232A", "+0123+0045\r", 3, 4, "123", "045"},
        {"GS-232A overlap, below horizon", "+0450-0005\r", 3, 4, "450", "-005"},
        {"GS-232A after garbage", "xx+0123+0045\r", 3, 4, "123", "045"},
        {"truncated label", "AZ=", 3, 4, nullopt, nullopt},
        {"truncated elevation", "AZ=123  EL=", 3, 4, "123", nullopt},
        {"GS-232A truncated", "+0123+004", 3, 4, nullopt, nullopt},
        {"no number", "AZ=abc EL=045\r\n", 3, 4, nullopt, nullopt},
        {"out of range", "AZ=999  EL=045\r\n", 3, 4, nullopt, nullopt},
        {"elevation out of range", "AZ=123  EL=450\r\n", 3, 4, "123", nullopt},
        {"neither form", "?>\r\n", 3, 4, nullopt, nullopt},
    };
    for (const DialectCase& c : cases) {
        SCOPED_TRACE(c.what);
        LabelTexts got = rotor::parseGs232Position(c.reply, c.azChars, c.elChars);
        EXPECT_EQ(got.az, c.az);
        EXPECT_EQ(got.el, c.el);
    }
}

TEST(Gs232Protocol, ReplySplitOverReadsAndTheSignedForm) {
    struct Case {
        std::vector<std::string> parts; // arriving 20 ms apart
        const char *az, *el;
    };
    const Case cases[] = {
        {{"AZ=12", "3 EL=0", "45\r\n"}, "123", "045"},
        {{"+0123", "+0045\r"}, "123", "045"},
    };
    for (const Case& c : cases) {
        testkit::RotorFixture f("GS232");
        double at = f.clock.monotonic;
        for (const std::string& part : c.parts) {
            f.rotor.arriveAt(at += 0.02, part);
        }
        Controllo_posizione(f.k);
        EXPECT_EQ(f.k.ui.LabelAZ.caption, c.az);
        EXPECT_EQ(f.k.ui.LabelEL.caption, c.el);
    }
}

} // namespace
} // namespace kelvora
