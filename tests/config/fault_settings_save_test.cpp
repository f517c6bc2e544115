// The settings file when the program is killed while saving: afterwards it holds the old record
// or the new one whole, and no half-written copy is left to pile up beside it.
#include "config/ini_file.h"
#include "config/settings.h"
#include "fakes/kelv_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kelvora::config {
namespace {

// A record with long values (up to the length that reads back whole), so a save takes long
// enough to be caught in the middle.
Settings record(char fill) {
    Settings s;
    std::string long_(200, fill);
    s.RtxPort = "COM1";
    s.RtxType = "IC-9700";
    s.RtxBaud = "9600";
    s.Offset = "144000" + long_;
    s.RotorType = "GS232";
    s.RotorTimeOutDelay = "0.3" + long_;
    s.Linrad_IP = "127.0.0.1" + long_;
    s.Linrad_center = "144125000" + long_;
    s.Filename = "/home/op/azel.dat" + std::string(230, fill);
    s.Sun_combo = fill == 'a' ? "Moon" : "Sun";
    s.Doppler_Check = fill == 'a' ? 0 : 1;
    return s;
}

// Every field of the record, as the file stores it.
std::vector<std::string> stored(const Settings& s) {
    fakes::TempFolder folder;
    std::string ini = folder.file("Kelvora.ini");
    Save_Config_file(s, ini);
    IniDocument document = loadIniFile(ini);
    std::vector<std::string> values;
    for (const SettingKey& key : settingKeys()) {
        values.push_back(document.get(key.section, key.writeKey));
    }
    return values;
}

std::vector<std::string> storedIn(const std::string& ini) {
    IniDocument document = loadIniFile(ini);
    std::vector<std::string> values;
    for (const SettingKey& key : settingKeys()) {
        values.push_back(document.get(key.section, key.writeKey));
    }
    return values;
}

std::vector<std::string> leftovers(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        if (name != "Kelvora.ini") {
            names.push_back(name);
        }
    }
    return names;
}

TEST(SettingsKilledMidSave, TheFileIsTheOldOrTheNewRecordNeverAMix) {
    fakes::TempFolder folder;
    const std::string ini = folder.file("Kelvora.ini");
    ASSERT_TRUE(Create_Config_file(ini));
    const Settings a = record('a'), b = record('b');
    ASSERT_TRUE(Save_Config_file(a, ini));
    const std::vector<std::string> oldValues = stored(a), newValues = stored(b);
    ASSERT_NE(oldValues, newValues);
    const std::string window = ReadStringIni("Window", "WindowWidth", ini);

    std::mt19937 random(20260812);
    std::uniform_int_distribution<int> microseconds(0, 4000);
    int sawOld = 0, sawNew = 0;
    for (int round = 0; round < 150; ++round) {
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ready[0]);
            // Saves for ever, both ways the dialog and the single-key writer use.
            for (int i = 0;; ++i) {
                Save_Config_file(i % 2 ? a : b, ini);
                WriteStringIni("General", "Fname", (i % 2 ? a : b).Filename, ini);
                if (i == 0) {
                    // The kill is timed from here, not from fork(): a slow start (a loaded
                    // machine, a sanitizer's set-up) must not use up the random delay.
                    char one = 1;
                    if (::write(ready[1], &one, 1) != 1) {
                        ::_exit(1);
                    }
                    ::close(ready[1]);
                }
            }
        }
        ::close(ready[1]);
        char one = 0;
        ssize_t got = ::read(ready[0], &one, 1); // blocks until the first save has ended
        ::close(ready[0]);
        if (got != 1) {
            ::kill(child, SIGKILL);
            ::waitpid(child, nullptr, 0);
            FAIL() << "the saving process ended before its first save, round " << round;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(microseconds(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);

        std::vector<std::string> now = storedIn(ini);
        ASSERT_TRUE(now == oldValues || now == newValues) << "round " << round;
        (now == oldValues ? sawOld : sawNew)++;
        ASSERT_EQ(ReadStringIni("Window", "WindowWidth", ini), window) << "round " << round;
    }
    EXPECT_GT(sawNew, 0) << "no save was ever caught";

    // What a killed save left behind is cleared by the next save, and never read as settings.
    ASSERT_TRUE(Save_Config_file(a, ini));
    EXPECT_EQ(storedIn(ini), oldValues);
    EXPECT_EQ(leftovers(folder.path()), std::vector<std::string>{});
}

// Another program's save in progress is not disturbed: only copies of processes that are gone
// are cleared.
TEST(SettingsKilledMidSave, ALiveWritersCopyIsLeftAlone) {
    fakes::TempFolder folder;
    const std::string ini = folder.file("Kelvora.ini");
    ASSERT_TRUE(Create_Config_file(ini));
    folder.write("Kelvora.ini.tmp" + std::to_string(::getppid()), "[General]\n");
    folder.write("Kelvora.ini.tmp999999999", "[General]\n"); // no such process
    folder.write("Kelvora.ini.tmpnotes", "kept: not a copy of ours\n");
    ASSERT_TRUE(WriteStringIni("General", "Fname", "x", ini));
    std::vector<std::string> left = leftovers(folder.path());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"Kelvora.ini.tmp" + std::to_string(::getppid()),
                                              "Kelvora.ini.tmpnotes"}));
    EXPECT_EQ(ReadStringIni("General", "Fname", ini), "x");
}

} // namespace
} // namespace kelvora::config
