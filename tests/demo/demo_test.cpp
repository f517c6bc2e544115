// The try-it folder and the simulated rotor's turning rate.
#include "demo/demo.h"
#include "fakes/fakes.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace kelvora {
namespace {

TEST(DemoTest, FolderOfItsOwnLeavesTheRealOneAlone) {
    std::string real = (std::filesystem::temp_directory_path() / "kelvora-real-XXXXXX").string();
    ASSERT_NE(::mkdtemp(real.data()), nullptr);
    std::ofstream(real + "/Kelvora.ini") << "[General]\nFname=/x/azel.dat\n";
    ::setenv("KELVORA_HOME", real.c_str(), 1);
    std::string demoFolder;
    {
        fakes::FakeClock clock;
        demo::DemoSession demo(clock, astro::UtcTime::fromUnixSeconds(clock.utcSeconds()));
        ASSERT_TRUE(demo.ok()) << demo.error();
        demoFolder = demo.folder();
        EXPECT_NE(demoFolder, real);
        std::ifstream in(demoFolder + "/Kelvora.ini");
        std::stringstream text;
        text << in.rdbuf();
        for (const char* line : {"Tracking_Source=Built-in", "Rotor_type=GS232-qzr", "Autostart=1",
                                 "Locator=", "Visible=1"}) {
            EXPECT_NE(text.str().find(line), std::string::npos) << line;
        }
        EXPECT_TRUE(std::filesystem::exists(demoFolder + "/rotor.dat"));
    }
    ::unsetenv("KELVORA_HOME");
    EXPECT_FALSE(std::filesystem::exists(demoFolder)) << "removed when the demo ends";
    std::ifstream in(real + "/Kelvora.ini");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ(text.str(), "[General]\nFname=/x/azel.dat\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(real), {}), 1);
    std::filesystem::remove_all(real);
}

// The simulated controller turns at its rate and reports where it stands on the way.
TEST(DemoTest, SimulatedRotorTurnsAtItsRate) {
    fakes::FakeClock clock;
    sim::SimulatedRotorPort rotor(clock, sim::RotorProtocol::Gs232Qzr, 3);
    std::string error;
    ASSERT_TRUE(rotor.open("COM2", {}, false, error));
    rotor.write("W090 030\r");
    const std::pair<double, const char*> steps[] = {
        {0, "AZ=000.0  EL=000.0\r\n"},
        {5, "AZ=015.0  EL=015.0\r\n"},
        {10, "AZ=045.0  EL=030.0\r\n"},
        {20, "AZ=090.0  EL=030.0\r\n"},
    };
    for (const auto& [seconds, reply] : steps) {
        clock.advance(seconds);
        rotor.write("C2\r");
        ASSERT_TRUE(rotor.waitForInput(1));
        EXPECT_EQ(rotor.readAll(), reply) << seconds;
    }
    double before = clock.monotonicSeconds();
    EXPECT_FALSE(rotor.waitForInput(0.25));
    EXPECT_DOUBLE_EQ(clock.monotonicSeconds() - before, 0.25) << "a silent line waits its time";

    sim::SimulatedCivRadioPort radio(clock);
    ASSERT_TRUE(radio.open("COM1", {}, false, error));
    radio.write(std::string("\xFE\xFE\xA2\xE0\x05\x00\x50\x12\x44\x01\xFD", 11));
    EXPECT_EQ(radio.readAll(), std::string("\xFE\xFE\xE0\xA2\xFB\xFD", 6));
    EXPECT_EQ(radio.frequencyHz(), 144125000);
}

} // namespace
} // namespace kelvora
