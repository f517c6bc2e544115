// The trace log.
#include "fakes/kelv_fixture.h"
#include "state/trace_log.h"
#include "tracking/startup.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kelvora {
namespace {

TEST(TraceLogTest, FirstCallCreatesTheFileThenEntriesAppend) {
    fakes::KelvFixture fx;
    Tracciatura_file(fx.k, "Start");
    EXPECT_EQ(fx.folder.read("Trace.txt"), "");
    Tracciatura_file(fx.k, "Entro Radant AzEl");
    Tracciatura_file(fx.k, "Q123.4 45.0\r");
    EXPECT_EQ(fx.folder.read("Trace.txt"),
              "08/12/2026 01:02:03 Entro Radant AzEl\r\n08/12/2026 01:02:03 Q123.4 45.0\r\r\n");
}

TEST(TraceLogTest, StartWithoutTTouchesNothing) {
    fakes::KelvFixture fx;
    Form_Load(fx.k, "t", ScreenSize{30000, 20000});
    EXPECT_EQ(fx.k.rs.Trace_on, 0);
    EXPECT_FALSE(std::filesystem::exists(fx.folder.file("Trace.txt")));
    Form_Load(fx.k, "T", ScreenSize{30000, 20000});
    EXPECT_TRUE(std::filesystem::exists(fx.folder.file("Trace.txt")));
}

TEST(TraceLogTest, AnUnwritableFileIsSkippedSilently) {
    fakes::KelvFixture fx;
    std::filesystem::create_directory(fx.folder.file("Trace.txt"));
    Tracciatura_file(fx.k, "lost entry");
    // The entry is dropped and the folder in the file's place is left as it was.
    EXPECT_TRUE(std::filesystem::is_directory(fx.folder.file("Trace.txt")));
    EXPECT_TRUE(std::filesystem::is_empty(fx.folder.file("Trace.txt")));
}

} // namespace
} // namespace kelvora
