// Start, Stop, "Options", the first run, rotor.dat, the window geometry and the error report.
#include "config/ini_file.h"
#include "fakes/kelv_fixture.h"
#include "state/error_handler.h"
#include "tracking/settings_buttons.h"
#include "tracking/startup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace kelvora {
namespace {

const ScreenSize kScreen{1920 * 15, 1080 * 15};

class StartupTest : public ::testing::Test {
protected:
    Kelv& k() { return fx.k; }
    std::string ini() const { return fx.folder.file("Kelvora.ini"); }
    void writeSettings(const std::string& extra = "") {
        config::Create_Config_file(ini());
        config::WriteStringIni("General", "Fname", fx.folder.file("azel.dat"), ini());
        if (!extra.empty()) {
            std::ofstream(ini(), std::ios::app) << extra;
        }
    }
    fakes::KelvFixture fx;
};

TEST_F(StartupTest, FirstStartWritesDefaultsAndAsksToConfigure) {
    mnuStart_Click(k());
    ASSERT_EQ(fx.dialogs.messages.size(), 1u);
    EXPECT_EQ(fx.dialogs.messages[0], " Please configure parameters !");
    EXPECT_EQ(k().ui.mnuStart.caption, "----");
    EXPECT_FALSE(k().ui.mnuStart.enabled);
    EXPECT_EQ(k().rs.Config_missing, 1);
    EXPECT_EQ(k().rs.Tracking_on, 0);
    EXPECT_TRUE(k().frmRotor.visible);
    EXPECT_EQ(config::ReadStringIni("COM_Rotor", "Rotor_type", ini()), "None");
    EXPECT_EQ(config::ReadStringIni("Window", "WindowWidth", ini()), "9585");
    EXPECT_EQ(k().settings().Linrad_IP, "127.0.0.1") << "the dialog shows the defaults";

    Finish_Click(k());
    EXPECT_EQ(k().ui.mnuStart.caption, "Start");
    EXPECT_TRUE(k().ui.mnuStart.enabled);
    EXPECT_EQ(k().rs.Config_missing, 0);
}

TEST_F(StartupTest, StartCopiesSettingsAndRunsTheTimers) {
    writeSettings();
    config::WriteStringIni("COM_RTX", "Icom_Addr", "94", ini());
    config::WriteStringIni("COM_RTX", "Icom_Addr1", "A2", ini());
    config::WriteStringIni("COM_Rotor", "Refresh_Rotore", "2", ini());
    config::WriteStringIni("COM_Rotor", "Rotor_TimeOutDelay", "1.5", ini());
    config::WriteStringIni("COM_RTX", "Rtx_type", "IC-9700", ini());
    mnuStart_Click(k());
    EXPECT_EQ(k().ui.mnuStart.caption, "Stop");
    EXPECT_EQ(k().rs.Tracking_on, 1);
    EXPECT_EQ(k().rs.Icom_addr, 148);
    EXPECT_EQ(k().rs.Icom_addr2, 162);
    EXPECT_FLOAT_EQ(k().rs.Rotor_timeout, 1.5f);
    EXPECT_EQ(k().ui.Tipo_rtx.caption, "IC-9700");
    EXPECT_TRUE(k().ui.tmrRead.enabled);
    EXPECT_TRUE(k().ui.Timer1.enabled);
    EXPECT_EQ(k().ui.Timer1.interval, 2000);
    EXPECT_TRUE(fx.dialogs.messages.empty());
    EXPECT_FALSE(fx.folder.read("rotor.dat").size()) << "no rotor, no rotor.dat";
}

TEST_F(StartupTest, TimeOutOfZeroOrEmptyBecomesAQuarterSecond) {
    for (const char* value : {"0", "", "abc"}) {
        SCOPED_TRACE(value);
        writeSettings();
        config::WriteStringIni("COM_Rotor", "Rotor_TimeOutDelay", value, ini());
        Load_INI(k());
        EXPECT_FLOAT_EQ(k().rs.Rotor_timeout, 0.25f);
    }
}

TEST_F(StartupTest, RefreshNoneLeavesTheRefreshTimerOff) {
    writeSettings();
    mnuStart_Click(k());
    EXPECT_FALSE(k().ui.Timer1.enabled);
    mnuStart_Click(k());
    EXPECT_FALSE(k().ui.tmrRead.enabled);
}

TEST_F(StartupTest, EmptyTrackingFileNameBeepsAndShowsTheDialogButStarts) {
    writeSettings();
    config::WriteStringIni("General", "Fname", "", ini());
    mnuStart_Click(k());
    ASSERT_EQ(fx.dialogs.messages.size(), 1u);
    EXPECT_EQ(fx.dialogs.messages[0], "File not config. Please configure !");
    EXPECT_EQ(fx.dialogs.beeps, 1);
    EXPECT_TRUE(k().frmRotor.visible);
    EXPECT_EQ(k().ui.mnuStart.caption, "Stop");
}

TEST_F(StartupTest, StopDisablesDevicesAndClosesPorts) {
    writeSettings();
    mnuStart_Click(k());
    std::string error;
    fx.rotor.open("rotor", {}, false, error);
    fx.realPtt.open("ptt", {}, true, error);
    k().ui.Ptt.caption = "PTT On";
    k().ui.Command1.enabled = true;
    k().ui.Command7.enabled = true;
    mnuStart_Click(k());
    EXPECT_EQ(k().ui.mnuStart.caption, "Start");
    EXPECT_FALSE(fx.rotor.isOpen());
    EXPECT_FALSE(fx.realPtt.isOpen());
    EXPECT_EQ(k().ui.Ptt.caption, "PTT off") << "a closed PTT line keys nothing";
    EXPECT_FALSE(k().ui.Command1.enabled);
    EXPECT_FALSE(k().ui.Command7.enabled);
    EXPECT_EQ(k().ui.Linrad_stato.caption, "Linrad off");
    EXPECT_GE(fx.socket.closeCount, 1);
    EXPECT_EQ(k().ui.lblFL.back, ui::kLightGrey);
}

TEST_F(StartupTest, OptionsStopsTrackingButKeepsLinradAndPolarity) {
    writeSettings();
    config::WriteStringIni("General", "Doppler", "1", ini());
    mnuStart_Click(k());
    int closesBefore = fx.socket.closeCount;
    k().ui.Command7.enabled = true;
    k().frmDoppler.visible = true;
    k().rs.Doppler_form_shown = -1;
    Option_Click(k());
    EXPECT_EQ(k().ui.mnuStart.caption, "----");
    EXPECT_FALSE(k().ui.mnuStart.enabled);
    EXPECT_FALSE(k().ui.tmrRead.enabled);
    EXPECT_TRUE(k().ui.Command7.enabled);
    EXPECT_EQ(fx.socket.closeCount, closesBefore);
    EXPECT_FALSE(k().frmDoppler.visible);
    EXPECT_EQ(k().rs.Doppler_form_shown, 0);
    EXPECT_TRUE(k().frmRotor.visible);
}

TEST_F(StartupTest, RotorDatCreatedWhenMissing) {
    writeSettings();
    config::WriteStringIni("COM_Rotor", "Rotor_type", "GS232", ini());
    mnuStart_Click(k());
    ASSERT_EQ(fx.dialogs.messages.size(), 1u);
    EXPECT_EQ(fx.dialogs.messages[0], "File Rotor.dat not found. Press OK to create it!");
    std::string dat = fx.folder.read("rotor.dat");
    EXPECT_EQ(dat.substr(0, 10), "0,0\r\n1,0\r\n");
    EXPECT_EQ(std::count(dat.begin(), dat.end(), '\n'), 452);
    EXPECT_EQ(dat.substr(dat.size() - 6), "90,0\r\n");
}

// The message names the fault; corrections of an earlier Start do not outlive their file.
TEST_F(StartupTest, RotorDatFaultsAreNamedAndAFolderIsNoFile) {
    k().rs.Az_correction[0] = "stale";
    fx.folder.write("rotor.dat", "0,7\r\n1\r\n");
    Load_Rotor_dat(k());
    EXPECT_EQ(fx.dialogs.messages,
              std::vector<std::string>{"rotor.dat is damaged: line 2 holds one value instead of "
                                       "two.\nTracking goes on with the corrections read so far, "
                                       "zero for the rest."});
    EXPECT_EQ(k().rs.Az_correction[0], "7");
    std::filesystem::remove(fx.folder.file("rotor.dat"));
    std::filesystem::create_directory(fx.folder.file("rotor.dat"));
    fx.dialogs.messages.clear();
    Load_Rotor_dat(k());
    ASSERT_EQ(fx.dialogs.messages.size(), 1u);
    EXPECT_EQ(fx.dialogs.messages[0].rfind("rotor.dat is damaged: it is a folder, not a file.", 0),
              0u);
    EXPECT_EQ(k().rs.Az_correction[0], "");
}

TEST_F(StartupTest, GeometryRestoredAndSavedInTwips) {
    writeSettings();
    Restore_Window(k());
    EXPECT_EQ(k().ui.left, 2295);
    EXPECT_EQ(k().ui.width, 9585);
    k().ui.left = 1500;
    k().ui.top = 750.5;
    Form_Unload(k(), kScreen);
    EXPECT_EQ(config::ReadStringIni("Window", "WindowPositionLeft", ini()), "1500");
    EXPECT_EQ(config::ReadStringIni("Window", "WindowPositionTop", ini()), "750.5");
}

TEST_F(StartupTest, GeometryAtTheEdgeOrOffScreenIsNotSaved) {
    writeSettings();
    for (double left : {0.0, -30.0, 1e9}) {
        k().ui.left = left;
        k().ui.top = 100;
        Form_Unload(k(), kScreen);
        EXPECT_EQ(config::ReadStringIni("Window", "WindowPositionLeft", ini()), "2295");
    }
}

TEST_F(StartupTest, FormLoadMovesAnOffScreenWindowBackAndTraces) {
    writeSettings();
    config::WriteStringIni("Window", "WindowPositionLeft", "999999", ini());
    config::WriteStringIni("Window", "WindowPositionTop", "-45", ini());
    config::WriteStringIni("General", "Autoupdate", "1", ini());
    Form_Load(k(), "T", kScreen);
    EXPECT_EQ(k().ui.left, 0);
    EXPECT_EQ(k().ui.top, 0);
    EXPECT_EQ(k().ui.Autoupdate.value, 1);
    EXPECT_EQ(k().rs.Trace_on, -1);
    EXPECT_EQ(k().ui.mnuStart.caption, "Start") << "no automatic start";
}

TEST_F(StartupTest, AutostartIsRunningWhenTheWindowShows) {
    writeSettings();
    config::WriteStringIni("General", "Autostart", "1", ini());
    Form_Load(k(), "", kScreen);
    EXPECT_EQ(k().ui.mnuStart.caption, "Stop");
    EXPECT_EQ(k().rs.Trace_on, 0);
}

TEST_F(StartupTest, ErrorHandlerWaitsForTheBoxAndEndsOnlyWhenFatal) {
    int rounds = 0;
    fx.dialogs.duringNestedLoop = [&] {
        if (++rounds == 3) {
            k().frmMessage.visible = false; // the operator presses OK
        }
    };
    ErrorHandler(k(), "Kelvora comms.", false);
    EXPECT_EQ(k().frmMessage.Label1.caption, "Error: Kelvora comms.");
    EXPECT_EQ(rounds, 3);
    EXPECT_FALSE(k().quitRequested);
    rounds = 0;
    ErrorHandler(k(), "x", true);
    EXPECT_EQ(k().frmMessage.Label1.caption, "Fatal Error: x");
    EXPECT_TRUE(k().quitRequested);
}

} // namespace
} // namespace kelvora

namespace kelvora {
namespace {

TEST(StartupNumbersTest, ARefreshPeriodThatIsNotANumberLeavesTheRefreshOff) {
    const std::pair<const char*, int> cases[] = {
        {"abc", 0}, {"-3", 0}, {"2.5x", 2500}, {"1", 1000}};
    for (auto [text, interval] : cases) {
        SCOPED_TRACE(text);
        fakes::KelvFixture fx;
        std::string ini = fx.folder.file("Kelvora.ini");
        config::Create_Config_file(ini);
        config::WriteStringIni("COM_Rotor", "Refresh_Rotore", text, ini);
        config::WriteStringIni("COM_RTX", "Trv_Offset", "lots", ini);
        mnuStart_Click(fx.k);
        EXPECT_EQ(fx.k.ui.Timer1.enabled, interval > 0);
        if (interval > 0) {
            EXPECT_EQ(fx.k.ui.Timer1.interval, interval);
        }
    }
}

} // namespace
} // namespace kelvora
