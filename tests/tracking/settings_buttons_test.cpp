// The settings dialog's Default, browse and close buttons.
#include "config/ini_file.h"
#include "config/settings.h"
#include "fakes/kelv_fixture.h"
#include "tracking/settings_buttons.h"

#include <gtest/gtest.h>

#include <string>

namespace kelvora {
namespace {

class SettingsButtonsTest : public ::testing::Test {
protected:
    Kelv& k() { return fx.k; }
    std::string ini() const { return fx.folder.file("Kelvora.ini"); }
    void writeSettings() { config::Create_Config_file(ini()); }
    fakes::KelvFixture fx;
};

TEST_F(SettingsButtonsTest, DefaultAsksFirstAndNoChangesNothing) {
    writeSettings();
    config::WriteStringIni("COM_RTX", "Rtx_type", "FT-817", ini());
    k().settings().RtxType = "FT-817";
    fx.dialogs.answerYes = false;
    Default_Click(k());
    ASSERT_EQ(fx.dialogs.questions.size(), 1u);
    EXPECT_EQ(fx.dialogs.questions[0].first, "You want to load the default parameters?");
    EXPECT_EQ(fx.dialogs.questions[0].second, "Load default parameters");
    EXPECT_EQ(k().settings().RtxType, "FT-817");
    EXPECT_EQ(config::ReadStringIni("COM_RTX", "Rtx_type", ini()), "FT-817");
    fx.dialogs.answerYes = true;
    Default_Click(k());
    EXPECT_EQ(k().settings().RtxType, "None");
    EXPECT_EQ(config::ReadStringIni("COM_RTX", "Rtx_type", ini()), "None");
}

TEST_F(SettingsButtonsTest, BrowsingTakesEffectAtOnceAndRejectsMissingFiles) {
    fx.folder.write("azel.dat", "x");
    fx.dialogs.chosenFile = fx.folder.file("azel.dat");
    FileAZEL_Click(k());
    EXPECT_EQ(k().rs.Tracking_file, fx.folder.file("azel.dat"));
    EXPECT_EQ(k().settings().Filename, fx.folder.file("azel.dat"));
    EXPECT_EQ(fx.dialogs.fileDialogs[0].first, "File AZEL");

    fx.dialogs.chosenFile = fx.folder.file("missing.dat");
    FileAZEL_Click(k());
    EXPECT_EQ(fx.dialogs.messages.back(), "There is no file AZEL.dat Please try again.");
    EXPECT_EQ(k().rs.Tracking_file, "");
    EXPECT_EQ(k().settings().Filename, "");

    fx.dialogs.chosenFile.reset();
    k().rs.Tracking_file = "kept";
    FileAZEL_Click(k());
    EXPECT_EQ(k().rs.Tracking_file, "kept");
}

TEST_F(SettingsButtonsTest, SettingsDialogCloseBoxUnloadsTheRecord) {
    writeSettings();
    k().settings().RtxType = "edited, not saved";
    Finish_Click(k());
    EXPECT_EQ(k().settings().RtxType, "edited, not saved") << "Close only hides";
    Form_Unload_Settings(k());
    EXPECT_EQ(k().settings().RtxType, "None") << "the close box reloads from the file";
}

} // namespace
} // namespace kelvora
