// The unit relay command from the QSO kilohertz.
#include "radio/relay_protocol.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

TEST(UnitRelay, CommandFromTheQsoKilohertz) {
    struct Case {
        const char* kHz;
        std::optional<std::string> command;
    } cases[] = {
        {"5", "FU14400500\r"},   {"  5", "FU14400500\r"}, {"125", "FU14412500\r"},
        {"999", "FU14499900\r"}, {"1000", std::nullopt},  {"-5", std::nullopt},
        {"", std::nullopt},      {"abc", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(relay::relayCommand(c.kHz), c.command) << "'" << c.kHz << "'";
    }
}

} // namespace
} // namespace kelvora
