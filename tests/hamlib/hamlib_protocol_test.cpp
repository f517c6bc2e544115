// The Hamlib command texts, the line reader and the reply readers.
#include "hamlib/hamlib_protocol.h"

#include <gtest/gtest.h>

#include <vector>

namespace kelvora::hamlib {
namespace {

TEST(HamlibCommands, TextsAreTheDaemonsShortForms) {
    const std::vector<std::pair<std::string, const char*>> cases{
        {setFrequencyCommand(144125000), "F 144125000\n"},
        {setSplitFrequencyCommand(1296001234), "I 1296001234\n"},
        {splitOnVfoBCommand(), "S 1 VFOB\n"},
        {selectVfoCommand(Vfo::A), "V VFOA\n"},
        {selectVfoCommand(Vfo::B), "V VFOB\n"},
        {copyVfoAToBCommand(), "G CPY\n"},
        {setPositionCommand(123.4, 45.6), "P 123.400000 45.600000\n"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(text, expected);
    }
}

// Every chunking of the same stream gives the same lines.
TEST(LineReader, SplitReadsCrLfAndOverlongLines) {
    const std::string stream = "RPRT 0\r\n144125000\n" + std::string(40, 'x') + "\nRPRT -11\n\n";
    const std::vector<std::string> expected{"RPRT 0", "144125000", "RPRT -11", ""};
    for (std::size_t chunk : {1u, 2u, 3u, 7u, 64u}) {
        SCOPED_TRACE(chunk);
        LineReader reader(16);
        std::vector<std::string> lines;
        for (std::size_t at = 0; at < stream.size();) {
            std::string_view piece = std::string_view(stream).substr(at, chunk);
            std::size_t taken = reader.feed(piece);
            at += taken;
            while (auto line = reader.nextLine()) {
                lines.push_back(*line);
            }
            ASSERT_TRUE(taken > 0 || reader.room() > 0);
        }
        EXPECT_EQ(lines, expected);
        EXPECT_EQ(reader.overlongLines(), 1);
    }
}

TEST(ReplyReaders, ValidTruncatedGarbageOutOfRange) {
    struct Case {
        const char* line;
        std::optional<int> report;
        std::optional<long long> hz;
        std::optional<double> angle;
    };
    const std::vector<Case> cases{
        {"RPRT 0", 0, {}, {}},
        {"RPRT -11", -11, {}, {}},
        {" RPRT -1 ", -1, {}, {}},
        {"RPRT", {}, {}, {}},
        {"RPRT -1x", {}, {}, {}},
        {"RPRT 99999", {}, {}, {}},
        {"144125000", {}, 144125000LL, {}},
        {"0", {}, {}, 0.0},
        {"-5", {}, {}, -5.0},
        {"1000000000001", {}, {}, {}},
        {"144125000.5", {}, {}, {}},
        {"144125000 Hz", {}, {}, {}},
        {"123.40", {}, {}, 123.4},
        {"+45.60", {}, {}, 45.6},
        {"540.01", {}, {}, {}},
        {"1e2", {}, {}, {}},
        {"nan", {}, {}, {}},
        {"", {}, {}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(parseReport(c.line), c.report);
        EXPECT_EQ(parseFrequency(c.line), c.hz);
        EXPECT_EQ(parseAngle(c.line), c.angle);
    }
}

} // namespace
} // namespace kelvora::hamlib
