#include "fakes/kelv_fixture.h"
#include "wsjtx/wsjtx_datagram.h"
#include "wsjtx/wsjtx_link.h"
#include "wsjtx/wsjtx_protocol.h"

#include <gtest/gtest.h>

namespace kelvora::wsjtx {
namespace {

using testing::DatagramBuilder;
using testing::fullStatus;

TEST(WsjtxProtocol, FullStatusReadsEveryField) {
    for (std::uint32_t schema : {2u, 3u}) {
        Parsed<Datagram> d = parseDatagram(fullStatus("WSJT-X - A", true, "FN42", schema).bytes);
        ASSERT_TRUE(d) << d.error;
        EXPECT_EQ(d.value->schema, schema);
        EXPECT_EQ(d.value->id, "WSJT-X - A");
        const Status& s = std::get<Status>(d.value->message);
        EXPECT_EQ(s.dialHz, 144120000u);
        EXPECT_EQ(s.dxCall, "K1ABC");
        EXPECT_TRUE(s.txEnabled);
        EXPECT_TRUE(s.transmitting);
        EXPECT_EQ(s.txDf, 1500u);
        EXPECT_EQ(s.deGrid, "JN58");
        EXPECT_EQ(s.dxGrid, "FN42");
        EXPECT_EQ(s.specialOperationMode, 0);
        EXPECT_EQ(s.trPeriod, 60u);
        EXPECT_EQ(s.txMessage, "K1ABC DL1XYZ JN58");
    }
}

// Every prefix of a Status: whole from the end of Transmitting on at each field's end (what an
// older version sends), refused anywhere else.
TEST(WsjtxProtocol, StatusCutAnywhereButAtAFieldEndIsRefused) {
    DatagramBuilder b = fullStatus("A", false);
    const std::size_t transmittingEnd = b.boundaries[6];
    std::size_t accepted = 0;
    for (std::size_t length = 0; length <= b.bytes.size(); ++length) {
        bool boundary =
            std::find(b.boundaries.begin(), b.boundaries.end(), length) != b.boundaries.end();
        Parsed<Datagram> d = parseDatagram(std::string_view(b.bytes).substr(0, length));
        EXPECT_EQ(static_cast<bool>(d), boundary && length >= transmittingEnd) << length;
        if (d) {
            ++accepted;
            const Status& s = std::get<Status>(d.value->message);
            EXPECT_EQ(s.dxGrid.has_value(), length >= b.boundaries[12]) << length;
            EXPECT_EQ(s.txMessage.has_value(), length == b.bytes.size()) << length;
        } else {
            EXPECT_FALSE(d.error.empty());
        }
    }
    EXPECT_EQ(accepted, b.boundaries.size() - 6);
    // A newer version's additional fields are not ours to judge.
    EXPECT_TRUE(parseDatagram(b.bytes + std::string("\0\0\0\x01x", 5)));
}

TEST(WsjtxProtocol, HostileDatagramsAreRefusedWhole) {
    std::string status = fullStatus("A", true).bytes;
    auto patched = [&](std::size_t at, std::string_view bytes) {
        std::string s = status;
        s.replace(at, bytes.size(), bytes);
        return s;
    };
    const std::size_t modeLength = 4 + 4 + 4 + 4 + 1 + 8; // header, Id "A", dial
    const std::size_t transmitting =
        modeLength + 4 * 4 + 4 + 5 + 3 + 4 + 1; // four texts, Tx enabled
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"empty", ""},
        {"wrong magic", patched(0, "\xad\xbc\xcb\xdb")},
        {"schema 1", patched(4, std::string("\0\0\0\x01", 4))},
        {"schema 4", patched(4, std::string("\0\0\0\x04", 4))},
        {"mode longer than the datagram", patched(modeLength, std::string("\0\x10\0\0", 4))},
        {"length just short of null", patched(modeLength, "\xff\xff\xff\xfe")},
        {"Transmitting 2", patched(transmitting, "\x02")},
        {"empty Id", DatagramBuilder(0, "").u32(3).bytes},
        {"null Id", patched(12, "\xff\xff\xff\xff")},
        {"Status without Transmitting", DatagramBuilder(1, "A").u64(1).utf8("").bytes},
        {"heartbeat version cut", DatagramBuilder(0, "A").u32(3).u32(5).bytes + "2."},
    };
    for (const Case& c : cases) {
        Parsed<Datagram> d = parseDatagram(c.bytes);
        EXPECT_FALSE(d) << c.what;
        EXPECT_FALSE(d.error.empty()) << c.what;
    }
    // The null array is a valid empty text where the Id is not.
    Parsed<Datagram> nullMode = parseDatagram(DatagramBuilder(1, "A")
                                                  .u64(1)
                                                  .u32(0xffffffff)
                                                  .utf8("")
                                                  .utf8("")
                                                  .utf8("")
                                                  .u8(0)
                                                  .u8(1)
                                                  .bytes);
    ASSERT_TRUE(nullMode) << nullMode.error;
    EXPECT_EQ(std::get<Status>(nullMode.value->message).mode, "");
    EXPECT_TRUE(std::get<Status>(nullMode.value->message).transmitting);
}

TEST(WsjtxProtocol, OtherMessagesAndHeartbeatAndClose) {
    Parsed<Datagram> heartbeat =
        parseDatagram(DatagramBuilder(0, "A").u32(3).utf8("2.6.1").utf8("abc").bytes);
    ASSERT_TRUE(heartbeat);
    EXPECT_EQ(std::get<Heartbeat>(heartbeat.value->message).version, "2.6.1");
    ASSERT_TRUE(parseDatagram(DatagramBuilder(0, "A").bytes)); // the oldest: nothing after Id
    EXPECT_TRUE(
        std::holds_alternative<Close>(parseDatagram(DatagramBuilder(6, "A").bytes).value->message));
    // A Decode (type 2) is no error: its header is whole, its body not ours to read.
    Parsed<Datagram> decode = parseDatagram(DatagramBuilder(2, "A").boolean(true).bytes);
    ASSERT_TRUE(decode);
    EXPECT_TRUE(std::holds_alternative<OtherMessage>(decode.value->message));
}

TEST(WsjtxProtocol, HaltTxBytes) {
    EXPECT_EQ(encodeHaltTx("WSJT-X", 2),
              std::string("\xad\xbc\xcb\xda\0\0\0\x02\0\0\0\x08\0\0\0\x06WSJT-X\0", 23));
    EXPECT_EQ(encodeHaltTx("A", 3, true).back(), '\x01');
}

platform::UdpDatagram from(std::string bytes, std::uint16_t port) {
    return {std::move(bytes), "127.0.0.1", port};
}

TEST(WsjtxInstances, MergesInstancesByIdAndForgetsTheSilent) {
    Instances table;
    table.receive(from(fullStatus("A", true, "").bytes, 5000), 0);
    table.receive(from(fullStatus("B", false, "FN42").bytes, 5001), 10);
    EXPECT_TRUE(table.state().transmitting);
    EXPECT_EQ(table.state().dxGrid, "FN42");
    // A damaged datagram from A changes nothing of it.
    std::string cut = fullStatus("A", false).bytes;
    cut.pop_back();
    table.receive(from(cut, 5000), 11);
    EXPECT_TRUE(table.state().transmitting);
    EXPECT_EQ(table.badDatagrams(), 1u);
    // A restarted A speaks from another port and stops transmitting.
    table.receive(from(fullStatus("A", false, "JO01").bytes, 6000), 12);
    EXPECT_FALSE(table.state().transmitting);
    EXPECT_EQ(table.state().dxGrid, "JO01");
    ASSERT_EQ(table.all().size(), 2u);
    EXPECT_EQ(table.all()[0].port, 6000);
    table.receive(from(fullStatus("A", true, "JO01").bytes, 6000), 13);
    // B falls silent; A, heard at 13, is still there at 42.9 and gone at 43.
    table.expire(42.9);
    EXPECT_TRUE(table.state().transmitting);
    EXPECT_EQ(table.state().dxGrid, "JO01");
    table.receive(from(DatagramBuilder(0, "B").bytes, 5001), 42.9); // B's heartbeat
    table.expire(43);
    EXPECT_FALSE(table.state().transmitting);
    EXPECT_EQ(table.state().dxGrid, "FN42");
    EXPECT_FALSE(table.state().gone);
    table.receive(from(DatagramBuilder(6, "B").bytes, 5001), 44);
    EXPECT_TRUE(table.state().gone);
    EXPECT_EQ(wsjtxStateText(table.state()), "WSJT-X gone");
    EXPECT_EQ(table.all().size(), 1u); // A stays known, for a Halt Tx
}

// Halt Tx while Tx stays enabled: again after a failed send, at once on a status after the halt
// that still says Tx, else after kHaltAgainSeconds.
TEST(WsjtxHalt, AgainWhileTxStaysEnabled) {
    fakes::KelvFixture f;
    f.k.settings().setValue("WSJTX", "Udp", "1");
    std::string failures;
    startWsjtx(f.k, failures);
    fakes::FakeUdpSocket& socket = *f.devices.udpSockets.at(0);
    HaltTimes halted;
    // Before each call: a status comes, seconds pass, the send works; then the halts sent.
    for (auto [status, seconds, sends, halts] : {std::tuple{true, 0.0, false, 0},
                                                 {false, 0.0, true, 1},
                                                 {false, 1.0, true, 0},
                                                 {true, 0.0, true, 1},
                                                 {false, kHaltAgainSeconds, true, 1}}) {
        if (status) {
            socket.incoming.push_back(from(fullStatus("WSJT-X", true).bytes, 5000));
            pollWsjtx(f.k);
        }
        f.clock.advance(seconds);
        socket.bound = sends;
        EXPECT_EQ(haltWsjtx(f.k, halted), halts) << socket.sent.size();
    }
}

} // namespace
} // namespace kelvora::wsjtx
