// Enabling of the main window's controls by rotor and radio type.
#include "fakes/kelv_fixture.h"
#include "rotor/rotor_types.h"
#include "tracking/control_enabling.h"

#include <gtest/gtest.h>

namespace kelvora {
namespace {

class ControlEnablingTest : public ::testing::Test {
protected:
    ui::MainForm& run(const std::string& rotor, const std::string& radio,
                      const std::string& refresh = "None", int manual = 0) {
        config::Settings& s = fx.k.settings();
        s.RotorType = rotor;
        s.RtxType = radio;
        s.Refresh_Rotore = refresh;
        fx.k.ui.Rotorman.value = manual;
        Visualizza_pulsanti(fx.k);
        return fx.k.ui;
    }
    fakes::KelvFixture fx;
};

TEST_F(ControlEnablingTest, NoDevices) {
    ui::MainForm& f = run("None", "None");
    for (ui::Control* c : {&f.Command1, &f.auto_, &f.Autoupdate, &f.Linrad_freq}) {
        EXPECT_TRUE(c->enabled) << c->caption;
    }
    for (ui::Control* c :
         {&f.Command2, &f.Command3, &f.Command4, &f.Host, &f.Normal, &f.Posizione, &f.Command6,
          &f.Rotorman, &f.Label7, &f.LabelAZ, &f.LabelEL, &f.Command5}) {
        EXPECT_FALSE(c->enabled) << c->caption;
    }
    EXPECT_FALSE(f.Text1.visible);
    EXPECT_FALSE(f.Text2.visible);
}

TEST_F(ControlEnablingTest, AzimuthOnlyRotorHidesElevation) {
    ui::MainForm& f = run("SpidRak(az)", "None", "2");
    EXPECT_TRUE(f.LabelAZ.enabled);
    EXPECT_FALSE(f.LabelEL.enabled);
    EXPECT_TRUE(f.Text1.visible);
    EXPECT_FALSE(f.Text2.visible);
    run("SpidRak(az)", "None", "None");
    EXPECT_FALSE(f.LabelAZ.enabled);
}

TEST_F(ControlEnablingTest, RadioRowOverridesRotorRow) {
    ui::MainForm& f = run("GS232", "None");
    EXPECT_FALSE(f.Command1.enabled);
    run("GS232", "IC-7300");
    for (ui::Control* c : {&f.Command1, &f.Host, &f.Normal, &f.Posizione}) {
        EXPECT_TRUE(c->enabled);
    }
    run("Kelvora", "FT-817");
    EXPECT_FALSE(f.Command2.enabled);
    EXPECT_FALSE(f.Command3.enabled);
    EXPECT_FALSE(f.Command4.enabled);
}

TEST_F(ControlEnablingTest, PowerButtonsOnlyForTheIc7100) {
    ui::MainForm& f = run("None", "IC-7100");
    EXPECT_TRUE(f.ON_Icom.visible && f.ON_Icom.enabled && f.ON_Icom1.visible);
    EXPECT_FALSE(f.Host.enabled || f.Normal.enabled || f.Posizione.enabled);
    run("None", "IC-9700");
    EXPECT_FALSE(f.ON_Icom.visible || f.ON_Icom1.visible);
}

TEST_F(ControlEnablingTest, Ic7800TurnsCommand2IntoTheDualToggle) {
    ui::MainForm& f = run("None", "IC-7800");
    EXPECT_TRUE(f.Command2.enabled);
    EXPECT_EQ(f.Command2.caption, "Dual off");
}

TEST_F(ControlEnablingTest, ManualStartFollowsTheBoxForEveryRotor) {
    for (const rotor::RotorType& type : rotor::rotorTypes()) {
        std::string rotor(type.name);
        SCOPED_TRACE(rotor);
        EXPECT_TRUE(run(rotor, "None", "None", 1).Command5.enabled);
        EXPECT_FALSE(run(rotor, "None", "None", 0).Command5.enabled);
    }
}

TEST_F(ControlEnablingTest, UnknownTypesChangeNothing) {
    ui::MainForm before = fx.k.ui;
    ui::MainForm& f = run("gs232", "ic-7300");
    EXPECT_EQ(f.Command6.enabled, before.Command6.enabled);
    EXPECT_EQ(f.Host.enabled, before.Host.enabled);
    EXPECT_TRUE(f.auto_.enabled) << "a radio type that is not None enables auto update";
    EXPECT_TRUE(f.Linrad_freq.enabled);
}

TEST_F(ControlEnablingTest, PolarityButtonsOnlyWhereTheRotorHasThem) {
    ui::MainForm& f = run("EasyComm", "None");
    EXPECT_TRUE(f.Command7.enabled && f.Command8.enabled);
    run("GS232", "None");
    EXPECT_FALSE(f.Command7.enabled || f.Command8.enabled);
    run("Kelvora", "None");
    EXPECT_FALSE(f.Command7.enabled) << "Kelvora leaves them as they were";
}

} // namespace
} // namespace kelvora
