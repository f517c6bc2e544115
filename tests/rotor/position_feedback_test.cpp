// Position requests and every reply reader on good, short, garbage and NUL-filled replies.
#include "rotor/kelvora_unit.h"
#include "rotor/position_feedback.h"
#include "rotor/rotor_types.h"
#include "rotor/spid.h"
#include "rotor_test_support.h"

#include <gtest/gtest.h>

#include <random>

namespace kelvora {
namespace {

using testkit::bytes;
using testkit::hex;
using testkit::RotorFixture;

constexpr const char* kUnchanged = "000.0";

TEST(PositionRequest, WrittenPerType) {
    const std::string status = bytes({'W', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x1F, 0x20});
    struct Case {
        const char* type;
        std::vector<std::string> writes;
    };
    const Case cases[] = {
        {"GS232", {"C2", "\r"}},
        {"GS232-qzr", {"C2", "\r"}},
        {"Kelvora", {"?A", "\r"}},
        {"SpidRak(az)", {status}},
        {"SpidRas(az/el) 1 deg", {status}},
        {"SpidRas(az/el) 0.5 deg", {status}},
        {"EasyComm", {"?", "\r"}},
        {"Radant AZV-1", {"Y", "\r"}},
        {"D-Prosistel", {bytes({2}) + "A?\r"}},
        {"None", {}},
    };
    for (const Case& c : cases) {
        RotorFixture f(c.type);
        Controllo_posizione(f.k);
        ASSERT_EQ(f.rotor.writes.size(), c.writes.size()) << c.type;
        for (std::size_t i = 0; i < c.writes.size(); ++i) {
            EXPECT_EQ(hex(f.rotor.writes[i]), hex(c.writes[i])) << c.type;
        }
    }
}

TEST(PositionRequest, SkippedWhenTargetMovedOrPortClosedOrNoRefresh) {
    RotorFixture moved("GS232");
    moved.k.rs.Target_moved = 1;
    Controllo_posizione(moved.k);
    EXPECT_TRUE(moved.rotor.writes.empty());

    RotorFixture closed("Kelvora");
    closed.rotor.close();
    double before = closed.clock.monotonic;
    Controllo_posizione(closed.k);
    EXPECT_TRUE(closed.rotor.writes.empty());
    EXPECT_EQ(closed.clock.monotonic, before); // ends at once

    RotorFixture none("GS232");
    none.k.settings().Refresh_Rotore = "None";
    Controllo_posizione(none.k);
    EXPECT_TRUE(none.rotor.writes.empty());
}

struct ReplyCase {
    const char* what;
    const char* type;
    std::string reply;
    std::string az, el; // expected labels
};

std::vector<ReplyCase> replyCases() {
    const std::string u = kUnchanged;
    const std::string nuls(20, '\0');
    return {
        {"good", "GS232", "AZ=123  EL=045\r\n", "123", "045"},
        {"good", "GS232-qzr", "AZ=123.4  EL=045.6\r\n", "123.4", "045.6"},
        {"no EL", "GS232", "AZ=123            ", "123", u},
        {"short", "GS232", "AZ=1", "1", u},
        {"garbage", "GS232", "xyzzy qwerty 12345", u, u},
        {"NULs", "GS232", nuls, u, u},
        {"good", "SpidRak(az)", bytes({'W', 4, 8, 3, 0x20}), "123", u},
        {"short", "SpidRak(az)", bytes({'W', 4}), u, u},
        {"garbage", "SpidRak(az)", "W4830", u, u}, // digits as characters, not byte values
        {"NULs", "SpidRak(az)", nuls, u, u},
        {"good", "SpidRas(az/el) 1 deg", bytes({'W', 4, 8, 3, 0, 1, 4, 0, 5, 0, 1, 0x20}), "123",
         "45"},
        {"tenths", "SpidRas(az/el) 0.5 deg", bytes({'W', 4, 8, 3, 5, 2, 3, 5, 8, 0, 2, 0x20}),
         "123.5", "-2"},
        {"short", "SpidRas(az/el) 1 deg", bytes({'W', 4, 8, 3, 0, 1, 4, 0}), u, u},
        {"garbage", "SpidRas(az/el) 1 deg", "W0483 0405  ", u, u},
        {"good", "EasyComm", "AZ123.4 EL045.6\r\n", "123.4", "045.6"},
        {"CR in field", "EasyComm", "AZ123.4 EL45.6\r\n", "123.4", "45.6"},
        {"garbage", "EasyComm", "qwerty uiop 1234", u, u},
        {"good", "Radant AZV-1", "OK123.4 45.6\r\n", "123.4", "45.6"},
        {"no K", "Radant AZV-1", "O 123.4 45.6\r\n", u, u},
        {"NULs", "Radant AZV-1", "OK" + nuls, "", u},
        {"good", "D-Prosistel", bytes({2}) + "A,?,123,R\r", "123", u},
        {"short", "D-Prosistel", "?", "", u},
        {"garbage", "D-Prosistel", "no question", u, u},
        {"good", "Kelvora", "AZ=180.0/179.5 EL=30.0/29.8\r\nKelvora>>", "179.5", "29.8"},
        {"error", "Kelvora", "AZ=180.0/179.5 EL=30.0/29.8 ERROR\r\nKelvora>>", u, u},
        {"bare prompt", "Kelvora", "\r\nKelvora>>", u, u},
        {"NULs", "Kelvora", nuls, u, u},
    };
}

TEST(PositionReply, EveryReaderOnGoodShortGarbageAndNulReplies) {
    for (const ReplyCase& c : replyCases()) {
        SCOPED_TRACE(std::string(c.type) + ", " + c.what + ": " + hex(c.reply));
        RotorFixture f(c.type);
        // Arrives just after the request, so the stale-input discard does not take it.
        f.rotor.arriveAt(f.clock.monotonic + 0.01, c.reply);
        Controllo_posizione(f.k);
        EXPECT_EQ(f.k.ui.LabelAZ.caption, c.az);
        EXPECT_EQ(f.k.ui.LabelEL.caption, c.el);
    }
}

TEST(PositionReply, StaleAnswerToASetCommandIsNotShown) {
    RotorFixture f("SpidRas(az/el) 1 deg");
    f.rotor.arrive(bytes({'W', 3, 6, 0, 0, 1, 3, 6, 0, 0, 1, 0x20})); // the old position, 0/0
    f.rotor.arriveAt(f.clock.monotonic + 0.01, bytes({'W', 4, 8, 3, 0, 1, 4, 0, 5, 0, 1, 0x20}));
    Controllo_posizione(f.k);
    EXPECT_EQ(f.k.ui.LabelAZ.caption, "123");
    EXPECT_EQ(f.k.ui.LabelEL.caption, "45");
}

TEST(PositionReply, TimeOutLeavesLabelsAndCostsOneTimeout) {
    RotorFixture f("GS232");
    double start = f.clock.monotonic;
    Controllo_posizione(f.k);
    EXPECT_EQ(f.k.ui.LabelAZ.caption, kUnchanged);
    EXPECT_NEAR(f.clock.monotonic - start, 0.25, 1e-3);
}

TEST(KelvoraReply, StatusTexts) {
    struct Case {
        std::string reply;
        std::string status;
        std::size_t errorReports;
    };
    const Case cases[] = {
        {"AZ=180.0/179.5 EL=30.0/29.8\r\nKelvora>>", "AZ 179.5   EL 29.8", 0},
        {"AZ=123/123 EL=45/45.5 Kelvora>>", "AZ 123.0   EL 45.5", 0},
        {"Error 4 Kelvora>>", "02:", 0},
        {"\r\nKelvora>>", "01:", 0},
        {"AZ=180.0/179.5 Kelvora>>", "01:", 1}, // no EL=: reported
        {"AZ=180.0/179.5 EL=", "00:", 0},       // no prompt
        {"", "00:", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        RotorFixture f("Kelvora");
        f.rotor.arrive(c.reply);
        EXPECT_EQ(KVRotorReadFrame(f.k), c.status);
        EXPECT_EQ(f.k.frmMessage.Label1.caption.empty(), c.errorReports == 0);
        if (c.errorReports != 0) {
            EXPECT_EQ(f.k.frmMessage.Label1.caption, "Error: Kelvora comms.");
        }
    }
}

TEST(KelvoraReply, PositionStoredAsTargetText) {
    RotorFixture f("Kelvora");
    f.rotor.arrive("AZ=180.0/179.5 EL=30.0/29.8 Kelvora>>");
    KVRotorReadFrame(f.k);
    EXPECT_EQ(f.k.rs.Az_int, "179.5");
    EXPECT_EQ(f.k.rs.El_int, "29.8");
}

// Random bytes never crash a reader or put a control character into a label.
TEST(PositionReply, RandomBytes) {
    std::mt19937 random(20260812);
    std::vector<std::string> types;
    for (const rotor::RotorType& row : rotor::rotorTypes()) {
        if (rotor::rotorUsesLine(row.name)) {
            types.emplace_back(row.name);
        }
    }
    for (std::size_t round = 0; round < 50 * types.size(); ++round) {
        const std::string& type = types[round % types.size()];
        RotorFixture f(type);
        std::string reply(random() % 40, '\0');
        for (char& c : reply) {
            c = static_cast<char>(random() % 4 == 0 ? "AZEL=/?WOK ora>>"[random() % 16]
                                                    : random() % 256);
        }
        f.rotor.arriveAt(f.clock.monotonic + 0.01, reply);
        Controllo_posizione(f.k);
        for (const std::string& label : {f.k.ui.LabelAZ.caption, f.k.ui.LabelEL.caption}) {
            for (char c : label) {
                ASSERT_GE(static_cast<unsigned char>(c), 0x20) << type << ": " << hex(reply);
            }
        }
    }
}

} // namespace
} // namespace kelvora
