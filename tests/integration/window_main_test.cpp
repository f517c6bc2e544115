// The main window on fakes: it shows the model after every event and its clicks reach the logic.
#include "config/ini_file.h"
#include "integration/window_test_support.h"
#include "state/error_handler.h"
#include "ui/qt/settings_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <stdexcept>

namespace kelvora::windowtests {
namespace {

using MainWindowTest = WindowFixture;

QString textOf(QObject* widget) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        return label->text();
    }
    if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        return button->text();
    }
    if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
        return edit->text();
    }
    if (auto* action = qobject_cast<QAction*>(widget)) {
        return action->text();
    }
    return {};
}

bool enabledOf(QObject* widget) {
    if (auto* action = qobject_cast<QAction*>(widget)) {
        return action->isEnabled();
    }
    return qobject_cast<QWidget*>(widget)->isEnabled();
}

bool shownOf(QObject* widget) {
    if (auto* action = qobject_cast<QAction*>(widget)) {
        return action->isVisible();
    }
    return !qobject_cast<QWidget*>(widget)->isHidden();
}

TEST_F(MainWindowTest, EveryControlHasAWidgetOfItsName) {
    QMainWindow& main = windows.mainWindow();
    EXPECT_EQ(main.windowTitle(), " Kelvora - RTX  / Linrad");
    for (const auto& [name, control] : k.ui.controls()) {
        EXPECT_NE(main.findChild<QObject*>(name), nullptr) << name;
    }
    for (const auto& [name, control] : k.frmDoppler.controls()) {
        EXPECT_NE(main.findChild<QObject*>(name), nullptr) << name;
    }
    for (const char* name :
         {"frmRotor", "frmDoppler", "frmMessage", "frmAbout1", "Label1", "Image1", "OKButton",
          "picIcon", "lblDescription", "lblVersion", "cmdOK", "tmrRead", "Timer1", "MessageTimer",
          "Save", "Finish", "Default", "FileAZEL"}) {
        EXPECT_NE(main.findChild<QObject*>(name), nullptr) << name;
    }
    for (const config::SettingKey& key : config::settingKeys()) {
        EXPECT_NE(main.findChild<QWidget*>(key.field), nullptr) << key.field;
    }
}

// Every control's caption, enabled and visible state reach its own widget, and only its own.
TEST_F(MainWindowTest, ShowsEachControlsStateOnItsWidget) {
    for (int round = 0; round < 2; ++round) {
        for (const auto& [name, control] : k.ui.controls()) {
            control->caption = std::string(name) + (round == 0 ? "-a" : "-b");
            control->enabled = round == 0;
            control->visible = round == 1;
        }
        windows.sync();
        for (const auto& [name, control] : k.ui.controls()) {
            QObject* widget = windows.mainWindow().findChild<QObject*>(name);
            ASSERT_NE(widget, nullptr) << name;
            if (qobject_cast<QCheckBox*>(widget) == nullptr) { // check boxes show no caption
                EXPECT_EQ(textOf(widget).toStdString(), control->caption) << name;
            }
            // A hidden menu entry counts as disabled in Qt, so it cannot be triggered.
            bool hiddenAction = qobject_cast<QAction*>(widget) != nullptr && !control->visible;
            EXPECT_EQ(enabledOf(widget), control->enabled && !hiddenAction)
                << name << " round " << round;
            EXPECT_EQ(shownOf(widget), control->visible) << name << " round " << round;
        }
    }
}

TEST_F(MainWindowTest, ShowsColoursAndRestoresTheStylesOwn) {
    QLabel* frequency = find<QLabel>("Label_freq");
    QLabel* heartbeat = find<QLabel>("lblFL");
    windows.sync();
    EXPECT_EQ(frequency->palette().color(QPalette::WindowText), QColor(0, 255, 0));
    EXPECT_EQ(frequency->palette().color(QPalette::Window), QColor(0, 0, 0));
    EXPECT_TRUE(frequency->autoFillBackground());
    EXPECT_EQ(heartbeat->palette().color(QPalette::Window), QColor(192, 192, 192));

    k.ui.lblFL.back = ui::kOrange;
    k.ui.Command4.back = ui::kHighlight;
    k.ui.Label_freq.back.reset();
    windows.sync();
    EXPECT_EQ(heartbeat->palette().color(QPalette::Window), QColor(255, 128, 0));
    EXPECT_EQ(find<QPushButton>("Command4")->palette().color(QPalette::Button),
              QColor(255, 128, 0));
    EXPECT_FALSE(frequency->autoFillBackground());
    EXPECT_EQ(frequency->palette().color(QPalette::Window),
              QApplication::palette(frequency).color(QPalette::Window));
}

TEST_F(MainWindowTest, StartAndStopRunTheTrackingAndItsTimers) {
    writeSettings([](config::Settings& s) {
        s.RtxType = "IC-7300";
        s.Refresh_Rotore = "2";
    });
    auto* tick = find<QTimer>("tmrRead");
    auto* refresh = find<QTimer>("Timer1");

    click("mnuStart");
    EXPECT_EQ(find<QAction>("mnuStart")->text(), "Stop");
    EXPECT_EQ(find<QLabel>("lblTI")->text(), "01:02:03");
    EXPECT_EQ(find<QLabel>("lblAZ")->text(), "123");
    EXPECT_EQ(find<QLabel>("Tracklb")->text(), "Moon");
    EXPECT_EQ(find<QLabel>("Tipo_rtx")->text(), "IC-7300");
    EXPECT_TRUE(find<QPushButton>("Command1")->isEnabled());
    EXPECT_TRUE(find<QPushButton>("Host")->isEnabled());
    EXPECT_TRUE(tick->isActive());
    EXPECT_EQ(tick->interval(), 500);
    EXPECT_TRUE(refresh->isActive());
    EXPECT_EQ(refresh->interval(), 2000);

    click("mnuStart");
    EXPECT_EQ(find<QAction>("mnuStart")->text(), "Start");
    EXPECT_FALSE(tick->isActive());
    EXPECT_FALSE(refresh->isActive());
    EXPECT_FALSE(find<QPushButton>("Command1")->isEnabled());
    EXPECT_EQ(find<QLabel>("lblFL")->palette().color(QPalette::Window), QColor(192, 192, 192));
}

TEST_F(MainWindowTest, StartWithoutSettingsFileAsksForThemAndOpensTheDialog) {
    click("mnuStart");
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.front(), " Please configure parameters !");
    EXPECT_EQ(find<QAction>("mnuStart")->text(), "----");
    EXPECT_FALSE(find<QAction>("mnuStart")->isEnabled());
    EXPECT_TRUE(windows.settingsWindow().isVisible() || !windows.settingsWindow().isHidden());

    windows.settingsWindow().findChild<QPushButton*>("Finish")->click();
    EXPECT_TRUE(windows.settingsWindow().isHidden());
    EXPECT_EQ(find<QAction>("mnuStart")->text(), "Start");
    EXPECT_TRUE(find<QAction>("mnuStart")->isEnabled());
}

TEST_F(MainWindowTest, OptionsStopsTrackingAndShowsTheSettings) {
    writeSettings();
    click("mnuStart");
    ASSERT_TRUE(find<QTimer>("tmrRead")->isActive());

    click("Option");
    EXPECT_FALSE(find<QTimer>("tmrRead")->isActive());
    EXPECT_EQ(find<QAction>("mnuStart")->text(), "----");
    EXPECT_FALSE(find<QAction>("mnuStart")->isEnabled());
    EXPECT_FALSE(windows.settingsWindow().isHidden());
    EXPECT_EQ(windows.settingsWindow().windowTitle(), "Rotor / RTX - Settings");
}

TEST_F(MainWindowTest, ChecksAndEditsGoIntoTheModel) {
    k.ui.Rotorman.enabled = true;
    k.ui.Autoupdate.enabled = true;
    windows.sync();

    find<QCheckBox>("Rotorman")->click();
    EXPECT_EQ(k.ui.Rotorman.value, 1);
    EXPECT_TRUE(find<QPushButton>("Command5")->isEnabled()) << "Rotorman_Click ran";
    find<QCheckBox>("Rotorman")->click();
    EXPECT_EQ(k.ui.Rotorman.value, 0);
    EXPECT_FALSE(find<QPushButton>("Command5")->isEnabled());

    find<QCheckBox>("Autoupdate")->click();
    EXPECT_EQ(k.ui.Autoupdate.value, 1);

    type(find<QLineEdit>("Text1"), "271");
    type(find<QLineEdit>("Text2"), "12");
    EXPECT_EQ(k.ui.Text1.caption, "271");
    EXPECT_EQ(k.ui.Text2.caption, "12");
}

TEST_F(MainWindowTest, TimerTicksReachTheLogic) {
    writeSettings();
    click("mnuStart");
    k.ui.tmrRead.interval = 5; // the tick itself is what is tested, not its period
    windows.sync();
    int blink = k.rs.Blink_state;
    EXPECT_TRUE(waitFor([&] { return k.rs.Blink_state != blink; }));
    windows.sync();
    EXPECT_EQ(find<QLabel>("lblFL")->palette().color(QPalette::Window),
              ui::toQColor(*k.ui.lblFL.back));
}

TEST_F(MainWindowTest, GeometryIsAppliedFollowedAndSavedOnClose) {
    writeSettings();
    config::WriteStringIni("Window", "WindowPositionLeft", "1500", k.iniPath());
    config::WriteStringIni("Window", "WindowPositionTop", "3000", k.iniPath());
    config::WriteStringIni("Window", "WindowWidth", "12000", k.iniPath());
    config::WriteStringIni("Window", "WindowHeight", "6000", k.iniPath());
    windows.start("");
    ui::MainWindow& main = windows.mainWindow();
    EXPECT_EQ(main.pos(), QPoint(100, 200));
    EXPECT_EQ(main.size(), QSize(800, 400));

    main.move(150, 250);
    EXPECT_DOUBLE_EQ(k.ui.left, 150 * 15);
    EXPECT_DOUBLE_EQ(k.ui.top, 250 * 15);

    main.close();
    EXPECT_EQ(quits, 1);
    EXPECT_EQ(config::ReadStringIni("Window", "WindowPositionLeft", k.iniPath()), "2250");
    EXPECT_EQ(config::ReadStringIni("Window", "WindowPositionTop", k.iniPath()), "3750");
    EXPECT_EQ(config::ReadStringIni("Window", "WindowWidth", k.iniPath()), "12000");
    EXPECT_FALSE(find<QTimer>("tmrRead")->isActive());
}

TEST_F(MainWindowTest, ASizeTooSmallForTheLayoutGrowsToFit) {
    writeSettings();
    config::WriteStringIni("Window", "WindowWidth", "junk", k.iniPath());
    config::WriteStringIni("Window", "WindowHeight", "0", k.iniPath());
    windows.start("");
    QSize fits = windows.mainWindow().minimumSizeHint();
    EXPECT_GE(windows.mainWindow().width(), fits.width());
    EXPECT_GE(windows.mainWindow().height(), fits.height());
}

TEST_F(MainWindowTest, ClosingRunsTheShutdownOnceAndEndsAWaitForTheMessageBox) {
    writeSettings([](config::Settings& s) {
        s.RtxPort = "COM1";
        s.RtxType = "IC-7300";
    });
    windows.start("");
    click("mnuStart");
    ASSERT_TRUE(radio.isOpen());
    k.frmMessage.visible = true; // as while ErrorHandler waits
    windows.mainWindow().close();
    windows.mainWindow().close();
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(radio.isOpen()) << "Form_Unload closed the ports";
    EXPECT_FALSE(k.frmMessage.visible) << "a nested wait for the box would never end";
    EXPECT_TRUE(windows.messageWindow().isHidden());
}

TEST_F(MainWindowTest, AFatalErrorClosesTheProgram) {
    writeSettings();
    windows.start("");
    windows.run([this] { k.quitRequested = true; });
    EXPECT_EQ(quits, 1);
    EXPECT_TRUE(windows.closed());
}

TEST_F(MainWindowTest, ExceptionsAreReportedNotThrown) {
    EXPECT_NO_THROW(windows.run([] { throw std::runtime_error("port table damaged"); }));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0], "Unexpected error: port table damaged");
    // The windows were still brought up to date after the failure.
    EXPECT_NO_THROW(windows.run([this] {
        k.ui.RotorAZ.caption = "after";
        throw 42;
    }));
    EXPECT_EQ(find<QLabel>("RotorAZ")->text(), "after");
}

} // namespace
} // namespace kelvora::windowtests
