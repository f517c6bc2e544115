// The settings file: case-insensitive keys, in-place edits, the 254-character cut, bad files.
#include "config/ini_file.h"
#include "config/settings.h"
#include "config/settings_dialog.h"
#include "fakes/kelv_fixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace kelvora::config {
namespace {

TEST(IniDocumentTest, SectionsAndKeysMatchWithoutCase) {
    IniDocument d("[linrad]\r\nLINRAD_OFFSET=12\r\n");
    EXPECT_EQ(d.get("Linrad", "Linrad_offset"), "12");
    d.set("LINRAD", "Linrad_Offset", "34");
    EXPECT_EQ(d.text(), "[linrad]\r\nLINRAD_OFFSET=34\r\n") << "replaced in place";
}

TEST(IniDocumentTest, EditsKeepCommentsOtherSectionsAndLineEnds) {
    const std::string text = "; station\n[Ports]\nCOM3=/dev/ttyUSB0\n\n[General]\nFname=a\n";
    IniDocument d(text);
    d.set("General", "Fname", "b");
    d.set("General", "Doppler", "1");
    d.set("Window", "WindowWidth", "9585");
    EXPECT_EQ(d.text(), "; station\n[Ports]\nCOM3=/dev/ttyUSB0\n\n[General]\nFname=b\nDoppler=1\n"
                        "[Window]\nWindowWidth=9585\n");
}

TEST(IniDocumentTest, MissingKeysAndGarbageReadAsEmpty) {
    IniDocument d("garbage line\n=novalue\n[General\n[COM_RTX]\nRtx_type\nCom_Port = COM3 \n");
    EXPECT_EQ(d.get("COM_RTX", "Rtx_type"), "");
    EXPECT_EQ(d.get("COM_RTX", "Com_Port"), "COM3");
    EXPECT_EQ(d.get("Nowhere", "Com_Port"), "");
}

TEST(IniDocumentTest, LongValuesComeBackCutTo254) {
    IniDocument d;
    d.set("General", "Fname", std::string(10000, 'x'));
    EXPECT_EQ(d.get("General", "Fname"), std::string(254, 'x'));
}

TEST(IniDocumentTest, InvalidUtf8IsKeptAsBytes) {
    std::string value = "\xff\xfe\xc3(";
    IniDocument d("[General]\nFname=" + value + "\n");
    EXPECT_EQ(d.get("General", "Fname"), value);
}

TEST(IniDocumentTest, NoLineBreakEverReachesTheFile) {
    IniDocument d("[General]\nFname=a\n");
    EXPECT_TRUE(d.set("General", "Fname", "1.2.3.4\r\n[General]\nx"));
    EXPECT_FALSE(d.set("Gen\neral", "Key", "v"));
    EXPECT_FALSE(d.set("General", "Key\r", "v"));
    EXPECT_EQ(d.text(), "[General]\nFname=1.2.3.4  [General] x\n");
}

class SettingsFileTest : public ::testing::Test {
protected:
    std::string ini() const { return folder.file("Kelvora.ini"); }
    fakes::TempFolder folder;
};

TEST_F(SettingsFileTest, CreatedDefaultsLoadBackExactly) {
    ASSERT_TRUE(Create_Config_file(ini()));
    Settings s;
    s.RtxType = "changed";
    Load_Config_file(s, ini());
    for (const SettingKey& key : settingKeys()) {
        SCOPED_TRACE(key.field);
        std::string expected =
            std::string(key.field) == "Filename" ? defaultTrackingFile() : key.defaultValue;
        std::string actual = key.text != nullptr ? s.*key.text : std::to_string(s.*key.check);
        EXPECT_EQ(actual, expected);
    }
    EXPECT_EQ(s.Linrad_offset, "0") << "written as Linrad_Offset, read as Linrad_offset";
    EXPECT_NE(folder.read("Kelvora.ini").find("Linrad_Offset=0"), std::string::npos);
}

TEST_F(SettingsFileTest, SaveAndReloadKeepsEveryFieldAndTheWindowSection) {
    Create_Config_file(ini());
    WriteStringIni("Ports", "COM3", "/dev/ttyUSB0", ini());
    Settings s;
    int n = 0;
    for (const SettingKey& key : settingKeys()) {
        if (key.text != nullptr) {
            s.*key.text = std::string(key.field) + std::to_string(n++);
        } else {
            s.*key.check = 1;
        }
    }
    ASSERT_TRUE(Save_Config_file(s, ini()));
    Settings back;
    Load_Config_file(back, ini());
    for (const SettingKey& key : settingKeys()) {
        SCOPED_TRACE(key.field);
        if (key.text != nullptr) {
            EXPECT_EQ(back.*key.text, s.*key.text);
        } else {
            EXPECT_EQ(back.*key.check, 1);
        }
    }
    EXPECT_EQ(ReadStringIni("Window", "WindowHeight", ini()), "4470");
    EXPECT_EQ(ReadStringIni("Ports", "COM3", ini()), "/dev/ttyUSB0");
}

// A Windows editor's byte-order mark, and a value longer than a read keeps, survive a save.
TEST_F(SettingsFileTest, ByteOrderMarkAndLongValuesSurviveASave) {
    const std::string fname = "Fname=/" + std::string(300, 'a') + "\r\n";
    folder.write("Kelvora.ini",
                 "\xEF\xBB\xBF[COM_RTX]\r\nRtx_type=IC-9700\r\n[General]\r\n" + fname);
    Settings s;
    Load_Config_file(s, ini());
    EXPECT_EQ(s.RtxType, "IC-9700");
    ASSERT_TRUE(Save_Config_file(s, ini()));
    const std::string saved = folder.read("Kelvora.ini");
    EXPECT_TRUE(saved.starts_with("\xEF\xBB\xBF[COM_RTX]\r\nRtx_type=IC-9700\r\n")) << saved;
    EXPECT_NE(saved.find(fname), std::string::npos);
    EXPECT_EQ(saved.find("[COM_RTX]", 4), std::string::npos);
}

TEST_F(SettingsFileTest, MissingSectionLoadsEmptyAndChecksOff) {
    folder.write("Kelvora.ini", "[COM_RTX]\nRtx_type=IC-7300\n");
    Settings s;
    s.Doppler_Check = 1;
    Load_Config_file(s, ini());
    EXPECT_EQ(s.RtxType, "IC-7300");
    EXPECT_EQ(s.Filename, "");
    EXPECT_EQ(s.Sun_combo, "");
    EXPECT_EQ(s.Doppler_Check, 0);
}

TEST_F(SettingsFileTest, CheckBoxValues) {
    const std::pair<const char*, int> cases[] = {{"1", 1},   {"0", 0},   {"", 0},
                                                 {"1.4", 1}, {"abc", 0}, {"7", 0}};
    for (auto [text, expected] : cases) {
        SCOPED_TRACE(text);
        folder.write("Kelvora.ini", std::string("[General]\nDoppler=") + text + "\n");
        Settings s;
        Load_Config_file(s, ini());
        EXPECT_EQ(s.Doppler_Check, expected);
    }
}

TEST_F(SettingsFileTest, MissingFileLeavesTheRecord) {
    Settings s;
    s.RtxType = "kept";
    Load_Config_file(s, ini());
    EXPECT_EQ(s.RtxType, "kept");
}

TEST_F(SettingsFileTest, AFileThatCannotBeReadIsNeverReplaced) {
    std::filesystem::create_directory(ini()); // a folder where the file should be
    EXPECT_FALSE(WriteStringIni("General", "Fname", "x", ini()));
    EXPECT_FALSE(Save_Config_file(Settings{}, ini()));
    EXPECT_TRUE(std::filesystem::is_directory(ini()));
}

TEST_F(SettingsFileTest, WritesLeaveNoTemporaryFilesBehind) {
    Create_Config_file(ini());
    Save_Config_file(Settings{}, ini());
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 1);
}

TEST_F(SettingsFileTest, SaveThroughALinkChainWritesTheTargetKeepingItsMode) {
    namespace fs = std::filesystem;
    fs::create_directory(folder.file("store"));
    const std::string target = folder.file("store/real.ini");
    ASSERT_TRUE(Create_Config_file(target));
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink("store/real.ini", folder.file("mid.ini")); // relative
    fs::create_symlink(folder.file("mid.ini"), ini());
    Settings s;
    s.RtxType = "IC-9700";
    ASSERT_TRUE(Save_Config_file(s, ini()));
    EXPECT_TRUE(fs::is_symlink(ini()));
    EXPECT_TRUE(fs::is_symlink(folder.file("mid.ini")));
    EXPECT_EQ(ReadStringIni("COM_RTX", "Rtx_type", target), "IC-9700");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.file("store")), {}), 1);
}

TEST_F(SettingsFileTest, DialogLoadsOnFirstUseWithItsInitialTexts) {
    SettingsDialog dialog(ini());
    EXPECT_FALSE(dialog.loaded());
    EXPECT_EQ(dialog.fields().Linrad_IP, "0.0.0.0");
    EXPECT_EQ(dialog.fields().IcomAddr, "10");
    EXPECT_EQ(dialog.fields().RtxType, "");
    Create_Config_file(ini());
    dialog.unload();
    EXPECT_EQ(dialog.fields().Linrad_IP, "127.0.0.1");
}

TEST(ComboListTest, ListsHoldTheirItemsInOrder) {
    EXPECT_EQ(comboItems("RtxPort").size(), 22u);
    EXPECT_EQ(comboItems("RtxPort").back(), "COM21");
    EXPECT_EQ(comboItems("RotorPort").size(), 17u);
    EXPECT_EQ(comboItems("Contollo_Flusso")[3], "RTS&XOnXOff");
    EXPECT_EQ(comboItems("Sun_combo").size(), 6u); // the Moon, the Sun, four radio stars
}

TEST_F(SettingsFileTest, AddedSectionsAreKeptAndNeverWrittenUnasked) {
    Create_Config_file(ini());
    Settings s;
    Load_Config_file(s, ini());
    std::string created = folder.read("Kelvora.ini");
    ASSERT_TRUE(Save_Config_file(s, ini()));
    EXPECT_EQ(folder.read("Kelvora.ini"), created) << "no added key appears by itself";
    EXPECT_EQ(s.value("Station", "Hold_Tx", "0"), "0");

    WriteStringIni("station", "hold_tx", "1", ini());
    WriteStringIni("General", "Tracking_Source", "Built-in", ini());
    WriteStringIni("General", "Unknown", "x", ini());
    Load_Config_file(s, ini());
    EXPECT_EQ(s.value("Station", "Hold_Tx", "0"), "1") << "sections and keys match without case";
    EXPECT_EQ(s.value("General", "Tracking_Source", "File"), "Built-in");
    EXPECT_EQ(s.value("General", "Unknown", "-"), "-");
    s.setValue("Hamlib", "Rig_Address", "10.0.0.2:4532");
    ASSERT_TRUE(Save_Config_file(s, ini()));
    EXPECT_EQ(ReadStringIni("Hamlib", "Rig_Address", ini()), "10.0.0.2:4532");
    EXPECT_EQ(ReadStringIni("Station", "Hold_Tx", ini()), "1");
}

} // namespace
} // namespace kelvora::config
