// The first hour on fakes: the state line's sentence for each cause, the place and source group.
#include "config/ini_file.h"
#include "integration/window_test_support.h"
#include "tracking/tracking_cycle.h"
#include "ui/qt/settings_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include <regex>

namespace kelvora::windowtests {
namespace {

struct FirstHourTest : WindowFixture {
    void target(const std::string& az, const std::string& el) {
        folder.write("azel.dat", "01:02:03," + az + "," + el + ",Moon\r\n125,  fQSO\r\n");
    }
    void tick() {
        windows.run([this] {
            clock.advance(1);
            tmrRead_Timer(k);
        });
    }
    std::string stateLine() { return find<QLabel>("StateLine")->text().toStdString(); }
};

// One situation after another, as an operator meets them; each shows its own sentence.
TEST_F(FirstHourTest, TheStateLineNamesEachCauseInItsOwnWords) {
    writeSettings([](config::Settings& s) {
        s.RotorType = "GS232";
        s.RotorPort = "COM3";
        s.Virtual_PTT = "COM4";
        s.setValue("Station", "Hold_Tx", "1");
        s.setValue("Station", "Locator", "JO65");
    });
    const struct {
        const char* what;
        std::function<void()> act;
        const char* expected; // a regular expression
    } steps[] = {
        {"started", [this] { click("mnuStart"); }, "Tracking the Moon \\(WSJT-X file\\)"},
        {"transmitting",
         [this] {
             virtualPtt.dsrLevel = true;
             target("130.0", " 46.0");
         },
         "Held while transmitting"},
        {"below the horizon",
         [this] {
             virtualPtt.dsrLevel = false;
             target("10.0", "-61.5");
         },
         "Moon below the horizon: \u221261\\.5°, rises [0-2][0-9]:[0-5][0-9] UTC"},
        {"rotor lost", [this] { rotor.unplug(); }, "Rotor port lost, retrying"},
        {"rotor back", [this] { clock.advance(2); }, "Moon below the horizon: .*"},
        {"parked", [this] { click("Park"); }, "Parked"},
    };
    windows.run([] {});
    EXPECT_EQ(stateLine(), "Not tracking: Start in the menu bar begins");
    for (const auto& step : steps) {
        step.act();
        tick();
        EXPECT_TRUE(std::regex_match(stateLine(), std::regex(step.expected)))
            << step.what << ": " << stateLine();
    }
    EXPECT_EQ(find<QLabel>("LastCommand")->text(), "Rotor: W180 000<CR>") << "the park position";

    // Each sentence once in the history, newest first.
    auto* history = find<QToolButton>("StateHistory");
    ASSERT_TRUE(history->isEnabled());
    emit history->menu()->aboutToShow();
    QList<QAction*> entries = history->menu()->actions();
    ASSERT_EQ(entries.size(), 7);
    EXPECT_TRUE(entries.front()->text().endsWith("  Parked"));
    EXPECT_TRUE(entries.back()->text().endsWith("  Not tracking: Start in the menu bar begins"));

    click("mnuStart");
    windows.run([this] { k.settings().setValue("General", "Tracking_Source", "Built-in"); });
    click("mnuStart");
    click("Track");
    tick();
    EXPECT_TRUE(std::regex_match(stateLine(), std::regex("Tracking the Moon \\(computed\\)|"
                                                         "Moon below the horizon: .*")))
        << stateLine();
}

// The group checks each field as it is typed: a bad one is named, a good place gives the Moon.
TEST_F(FirstHourTest, ThePlaceGroupNamesABadFieldAndShowsTheMoonForAGoodPlace) {
    writeSettings();
    click("Option");
    ui::SettingsWindow& dialog = windows.settingsWindow();
    auto* check = dialog.findChild<QLabel*>("PlaceCheck");
    ASSERT_NE(check, nullptr);
    const struct {
        const char* field;
        const char* text;
        const char* expected; // a regular expression
    } steps[] = {
        {"Locator", "", "No station place: set \\[Station\\] Locator.*"},
        {"Locator", "JO6", "\\[Station\\] Locator: .*"},
        {"Locator", "JO65", "Moon now: azimuth [0-9]+\\.[0-9]°, elevation -?[0-9]+\\.[0-9]°"},
        {"Height", "high", "\\[Station\\] Height: \"high\" is not a number"},
        {"Height", "30", "Moon now: .*"},
        {"Latitude", "91", "\\[Station\\] Latitude: 91 is outside -90..90"},
    };
    for (const auto& step : steps) {
        type(dialog.findChild<QLineEdit*>(step.field), step.text);
        EXPECT_TRUE(std::regex_match(check->text().toStdString(), std::regex(step.expected)))
            << step.field << "=" << step.text << ": " << check->text().toStdString();
    }
    EXPECT_EQ(config::ReadStringIni("Station", "Locator", k.iniPath()), "")
        << "typed values are written by Save only";
    EXPECT_EQ(k.settings().value("Station", "Locator"), "JO65");
    EXPECT_EQ(dialog.findChild<QLabel*>("Height_unit")->text(), "m");

    auto* source = dialog.findChild<QComboBox*>("Tracking_Source");
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->currentText(), "File");
    source->setCurrentIndex(source->findText("Built-in"));
    EXPECT_EQ(k.settings().value("General", "Tracking_Source"), "Built-in");
}

// From an empty folder: the first Start writes the defaults, tells so, and opens "Get started";
// what is chosen there is in Kelvora.ini when tracking starts.
TEST_F(FirstHourTest, TheGetStartedChoicesLandInTheSettingsFile) {
    click("mnuStart");
    ASSERT_EQ(dialogs.messages, std::vector<std::string>{" Please configure parameters !"});
    ui::SettingsWindow& dialog = windows.settingsWindow();
    auto* page = dialog.findChild<QWidget*>("GetStarted");
    ASSERT_TRUE(page != nullptr && page->isVisible());
    ASSERT_TRUE(page->isAncestorOf(dialog.findChild<QWidget*>("PlaceGroup")));

    type(dialog.findChild<QLineEdit*>("Locator"), "JO65");
    auto choose = [&dialog](const char* name, const char* item) {
        auto* box = dialog.findChild<QComboBox*>(name);
        ASSERT_NE(box, nullptr) << name;
        int index = box->findText(item);
        ASSERT_GE(index, 0) << item;
        box->setCurrentIndex(index);
    };
    choose("Tracking_Source", "Built-in");
    choose("StartRotorType", "GS232");
    choose("StartRadioType", "IC-9700");
    auto* port = dialog.findChild<QComboBox*>("StartRotorPort");
    port->setEditText("/dev/pts/77");
    emit port->lineEdit()->editingFinished();
    dialog.findChild<QPushButton*>("StartTracking")->click();

    EXPECT_TRUE(dialog.isHidden());
    EXPECT_EQ(k.rs.Tracking_on, 1);
    const std::string ini = k.iniPath();
    EXPECT_EQ(config::ReadStringIni("Station", "Locator", ini), "JO65");
    EXPECT_EQ(config::ReadStringIni("General", "Tracking_Source", ini), "Built-in");
    EXPECT_EQ(config::ReadStringIni("COM_Rotor", "Rotor_type", ini), "GS232");
    EXPECT_EQ(config::ReadStringIni("COM_RTX", "Rtx_type", ini), "IC-9700");
    std::string com = config::ReadStringIni("COM_Rotor", "Rotor_com", ini);
    EXPECT_EQ(config::ReadStringIni("Ports", com, ini), "/dev/pts/77");
    EXPECT_EQ(dialogs.messages.size(), 1u) << "no question on rotor.dat after the first message";

    // Later dialogs are the usual one.
    click("Option");
    EXPECT_FALSE(page->isVisible());
}

} // namespace
} // namespace kelvora::windowtests
