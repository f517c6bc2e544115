// The command line as the program reads it, and the answers it gives without a display.
#include "app/command_line.h"
#include "state/build_info.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <string>
#include <sys/wait.h>

namespace kelvora::app {
namespace {

using Action = CommandLine::Action;

CommandLine parse(const QStringList& arguments) {
    return parseCommandLine(QStringList{"/usr/bin/kelvora"} + arguments);
}

TEST(CommandLineTest, ReadsWhatToDo) {
    struct Case {
        QStringList arguments;
        Action action;
        std::string commandLine;
        bool demo;
        std::string errorPart;
    };
    const Case cases[] = {
        {{}, Action::Run, "", false, ""},
        {{"T"}, Action::Run, "T", false, ""},
        {{"T", "x"}, Action::Run, "T x", false, ""},
        {{"--demo", "T"}, Action::Run, "T", true, ""},
        {{"-platform", "offscreen", "T"}, Action::Run, "T", false, ""},
        {{"-h", "--bogus"}, Action::Error, "", false, "'bogus'"},
        {{"--help", "T"}, Action::Help, "", false, ""},
        {{"-v"}, Action::Version, "", false, ""},
        {{"-t"}, Action::Error, "", false, "Unknown option 't'"},
        {{"--home"}, Action::Error, "", false, "--home"},
        {{"--home="}, Action::Error, "", false, "--home needs a folder"},
        {{"--utc", "2026-01-01T00:00:00"}, Action::Error, "", false, "--utc goes with"},
        {{"--ephemeris", "Moon", "T"}, Action::Error, "", false, "'T' does not go"},
        {{"--ephemeris", "Sun", "--demo"}, Action::Error, "", false, "'--demo'"},
    };
    for (const Case& c : cases) {
        const CommandLine line = parse(c.arguments);
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_EQ(line.action, c.action);
        EXPECT_EQ(line.commandLine, c.commandLine);
        EXPECT_EQ(line.demo, c.demo);
        if (!c.errorPart.empty()) {
            EXPECT_NE(line.text.find(c.errorPart), std::string::npos) << line.text;
        }
    }
}

TEST(CommandLineTest, EphemerisValuesAndHomeReachTheirFields) {
    CommandLine line = parse({"--ephemeris", "sun", "--lat", "-33.9", "--lon=18.4", "--height",
                              "120", "--utc", "2026-12-08T12:00:00"});
    ASSERT_EQ(line.action, Action::Ephemeris);
    EXPECT_EQ(line.ephemeris.body, "sun");
    EXPECT_EQ(line.ephemeris.latitude, "-33.9");
    EXPECT_EQ(line.ephemeris.longitude, "18.4");
    EXPECT_EQ(line.ephemeris.height, "120");
    EXPECT_EQ(line.ephemeris.utc, "2026-12-08T12:00:00");
    EXPECT_FALSE(line.ephemeris.locator);

    line = parse({"--home", "/srv/station one"});
    EXPECT_EQ(line.action, Action::Run);
    EXPECT_EQ(line.home, "/srv/station one");
}

TEST(CommandLineTest, HelpListsEveryOptionAndVersionNamesTheCommit) {
    const std::string help = parse({"--help"}).text;
    EXPECT_EQ(help.rfind("Usage: kelvora [options] [T]\n", 0), 0u);
    for (const char* option : {"--help", "--version", "--home", "--demo", "--ephemeris", "--lat",
                               "--lon", "--locator", "--height", "--utc"}) {
        // Listed in the options column, not only named in another's description.
        const std::regex listed(std::string("\n  (-[a-z], )?") + option + " ");
        EXPECT_TRUE(std::regex_search(help, listed)) << option;
    }
    EXPECT_EQ(help.find("-platform"), std::string::npos);
    const std::string version = parse({"--version"}).text;
    EXPECT_NE(version.find(std::string(projectVersion())), std::string::npos);
    EXPECT_NE(version.find("commit " + std::string(buildCommit())), std::string::npos);
}

// The answers that open no window come with no display at all.
TEST(CommandLineTest, ProgramAnswersWithoutADisplay) {
    struct Case {
        const char* arguments;
        int status;
        const char* outputPart;
    };
    const Case cases[] = {
        {"--version", 0, "Kelvora "},
        {"--help", 0, "--ephemeris"},
        {"--ephemeris Moon --locator JN58td --utc 2026-12-08T12:00:00", 0, "198.925 11.923"},
        {"--ephemeris Moon --utc 2026-12-08T12:00:00", 2, "--locator"},
        {"--no-such-option", 2, "Unknown option 'no-such-option'"},
        {"--demo-calibration Sun --az-error 0.4 --el-error -0.2 --beam 3 --seed 1", 0,
         "-0.40 0.20 "},
        {"--beam 3", 2, "--beam goes with --demo-calibration"},
    };
    for (const Case& c : cases) {
        const std::string command = std::string("env -u QT_QPA_PLATFORM -u DISPLAY -u "
                                                "WAYLAND_DISPLAY ") +
                                    KELVORA_PROGRAM + " " + c.arguments + " 2>&1";
        FILE* pipe = ::popen(command.c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        std::string output;
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
            output += buffer;
        }
        const int status = ::pclose(pipe);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == c.status) << c.arguments;
        EXPECT_NE(output.find(c.outputPart), std::string::npos) << c.arguments << "\n" << output;
    }
}

} // namespace
} // namespace kelvora::app
