// The settings dialog on fakes: it shows the record, writes edits into it and maps COM names.
#include "config/ini_file.h"
#include "config/settings_schema.h"
#include "integration/window_test_support.h"
#include "tracking/device_lists.h"
#include "ui/qt/settings_window.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace kelvora::windowtests {
namespace {

struct SettingsWindowTest : WindowFixture {
    ui::SettingsWindow& dialog() { return windows.settingsWindow(); }
    template <typename T> T* field(const char* name) {
        T* found = dialog().findChild<T*>(name);
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    void open() {
        click("Option");
        ASSERT_FALSE(dialog().isHidden());
    }
    void press(const char* name) { field<QPushButton>(name)->click(); }
};

TEST_F(SettingsWindowTest, ShowsTheStoredValuesIncludingTextsThatAreNoItems) {
    writeSettings([](config::Settings& s) {
        s.RtxType = "IC-9700";
        s.RtxBaud = "115200"; // not in the list; the combo still shows it
        s.RotorType = "SpidRas(az/el) 0.5 deg";
        s.Linrad_IP = "192.168.1.20";
        s.Auto_Start = 1;
        s.Doppler_Check = 1;
    });
    open();
    EXPECT_EQ(field<QComboBox>("RtxType")->currentText(), "IC-9700");
    EXPECT_EQ(field<QComboBox>("RtxBaud")->currentText(), "115200");
    EXPECT_EQ(field<QComboBox>("RotorType")->currentText(), "SpidRas(az/el) 0.5 deg");
    EXPECT_EQ(field<QLineEdit>("Linrad_IP")->text(), "192.168.1.20");
    EXPECT_EQ(field<QLineEdit>("Filename")->text().toStdString(), folder.file("azel.dat"));
    EXPECT_TRUE(field<QCheckBox>("Auto_Start")->isChecked());
    EXPECT_TRUE(field<QCheckBox>("Doppler_Check")->isChecked());
    EXPECT_FALSE(field<QCheckBox>("map65_fqso2")->isChecked());
}

TEST_F(SettingsWindowTest, HamlibTypesShowTheDaemonAddressInsteadOfTheSerialRows) {
    writeSettings([](config::Settings& s) { s.RotorType = "GS232"; });
    open();
    auto shown = [this](const char* name) { return field<QWidget>(name)->isVisible(); };
    EXPECT_TRUE(shown("RtxPort") && shown("RotorPort") && shown("RotorBaud"));
    EXPECT_FALSE(shown("Rig_Address") || shown("Rot_Address"));
    field<QComboBox>("RtxType")->setEditText("Hamlib rigctld");
    field<QComboBox>("RotorType")->setEditText("Hamlib rotctld");
    EXPECT_FALSE(shown("RtxPort") || shown("RtxBaud") || shown("RotorPort") || shown("RotorBaud"));
    EXPECT_EQ(field<QLineEdit>("Rig_Address")->text(), "127.0.0.1:4532");
    ASSERT_TRUE(shown("Rig_Address") && shown("Rot_Address"));
    field<QLineEdit>("Rot_Address")->setText("10.0.0.5:4533");
    field<QLineEdit>("Rot_Address")->textEdited("10.0.0.5:4533");
    field<QCheckBox>("Server")->setChecked(true);
    press("Save");
    EXPECT_EQ(config::ReadStringIni("Hamlib", "Rot_Address", k.iniPath()), "10.0.0.5:4533");
    EXPECT_EQ(config::ReadStringIni("Hamlib", "Server", k.iniPath()), "1");
    EXPECT_EQ(config::ReadStringIni("Hamlib", "Rig_Address", k.iniPath()), "")
        << "an untouched key stays out of the file";
}

TEST_F(SettingsWindowTest, EveryHamlibRowOfTheSchemaHasItsWidgetWithItsHelp) {
    open();
    int rows = 0;
    for (const config::SchemaRow& row : config::settingsSchema()) {
        if (row.shownIn == config::ShownIn::HamlibGroup) {
            auto* w = field<QWidget>(std::string(row.key).c_str());
            ASSERT_NE(w, nullptr);
            EXPECT_EQ(w->toolTip().toStdString(), config::tooltipOf(row)) << row.key;
            ++rows;
        }
    }
    EXPECT_EQ(rows, 6);
}

TEST_F(SettingsWindowTest, EveryComboHoldsExactlyItsItemsHoweverOftenShown) {
    writeSettings();
    for (int shown = 0; shown < 2; ++shown) {
        open();
        for (const config::ComboList& list : config::comboLists()) {
            QComboBox* combo = field<QComboBox>(list.field);
            ASSERT_NE(combo, nullptr);
            ASSERT_EQ(combo->count(), static_cast<int>(list.items.size())) << list.field;
            for (int i = 0; i < combo->count(); ++i) {
                EXPECT_EQ(combo->itemText(i).toStdString(), list.items[i]) << list.field;
            }
            EXPECT_TRUE(combo->isEditable()) << list.field;
        }
        dialog().close(); // the close box unloads the dialog
    }
}

TEST_F(SettingsWindowTest, EditsGoStraightIntoTheRecord) {
    writeSettings();
    open();
    field<QComboBox>("RotorType")->setCurrentIndex(5);
    EXPECT_EQ(k.settings().RotorType, settingsComboItems("RotorType")[5]);
    field<QComboBox>("RtxPort")->setEditText("COM30"); // typed, not an item
    EXPECT_EQ(k.settings().RtxPort, "COM30");
    type(field<QLineEdit>("Offset"), "432000");
    EXPECT_EQ(k.settings().Offset, "432000");
    field<QCheckBox>("Autoupdate_flag")->click();
    EXPECT_EQ(k.settings().Autoupdate_flag, 1);
    field<QCheckBox>("Autoupdate_flag")->click();
    EXPECT_EQ(k.settings().Autoupdate_flag, 0);

    press("Save");
    config::Settings stored;
    config::Load_Config_file(stored, k.iniPath());
    EXPECT_EQ(stored.Offset, "432000");
    EXPECT_EQ(stored.RtxPort, "COM30");
}

TEST_F(SettingsWindowTest, APastedMultilineTextBecomesOneLine) {
    writeSettings();
    open();
    QApplication::clipboard()->setText("1.2.3.4\r\n[General]\nx");
    const QString oneLine = "1.2.3.4  [General] x";
    QLineEdit* ip = field<QLineEdit>("Linrad_IP");
    ip->selectAll();
    ip->paste();
    EXPECT_EQ(ip->text().toStdString(), oneLine.toStdString());
    EXPECT_EQ(k.settings().Linrad_IP, oneLine.toStdString());
    QComboBox* port = field<QComboBox>("RtxPort");
    port->lineEdit()->selectAll();
    port->lineEdit()->paste();
    EXPECT_EQ(port->currentText().toStdString(), oneLine.toStdString());
    EXPECT_EQ(k.settings().RtxPort, oneLine.toStdString());
}

TEST_F(SettingsWindowTest, DefaultShowsTheDefaultsAgain) {
    writeSettings([](config::Settings& s) {
        s.RtxType = "FT-817";
        s.Offset = "50000";
    });
    open();
    ASSERT_EQ(field<QLineEdit>("Offset")->text(), "50000");
    dialogs.answerYes = true;
    press("Default");
    EXPECT_EQ(field<QComboBox>("RtxType")->currentText(), "None");
    EXPECT_EQ(field<QLineEdit>("Offset")->text(), "144000");
}

TEST_F(SettingsWindowTest, CloseHidesKeepingEditsWhileTheCloseBoxDiscardsThem) {
    writeSettings();
    open();
    type(field<QLineEdit>("Linrad_Port"), "5000");
    press("Finish");
    EXPECT_TRUE(dialog().isHidden());
    EXPECT_EQ(find<QAction>("mnuStart")->text(), "Start");
    open();
    EXPECT_EQ(field<QLineEdit>("Linrad_Port")->text(), "5000") << "Close keeps unsaved edits";

    dialog().close();
    EXPECT_TRUE(dialog().isHidden());
    EXPECT_FALSE(k.frmRotor.loaded());
    EXPECT_TRUE(find<QAction>("mnuStart")->isEnabled());
    open();
    EXPECT_EQ(field<QLineEdit>("Linrad_Port")->text(), "49812") << "reloaded from the file";
}

TEST_F(SettingsWindowTest, FileAzelShowsTheChosenFile) {
    writeSettings();
    open();
    folder.write("other.dat", "x");
    dialogs.chosenFile = folder.file("other.dat");
    press("FileAZEL");
    EXPECT_EQ(field<QLineEdit>("Filename")->text().toStdString(), folder.file("other.dat"));
    dialogs.chosenFile = folder.file("missing.dat");
    press("FileAZEL");
    EXPECT_EQ(field<QLineEdit>("Filename")->text(), "");
}

TEST_F(SettingsWindowTest, EachPortShowsTheDeviceItsComNameStandsFor) {
    writeSettings();
    config::WriteStringIni("Ports", "COM3", "/dev/ttyUSB7", k.iniPath());
    open();
    struct Case {
        const char* combo;
        const char* text;
        QString device;
    };
    const Case cases[] = {
        {"RotorPort", "COM3", "/dev/ttyUSB7"},
        {"RtxPort", "COM4", "/dev/ttyS3"},
        {"RtxPort2", "None", ""},
        {"Virtual_PTT", "COM1", "/dev/ttyS0"},
        {"Reale_PTT", "COM3", "/dev/ttyUSB7"},
    };
    for (const Case& c : cases) {
        field<QComboBox>(c.combo)->setEditText(c.text);
        QLabel* hint = field<QLabel>((std::string(c.combo) + "_device").c_str());
        ASSERT_NE(hint, nullptr);
        if (c.device.isEmpty()) {
            EXPECT_TRUE(hint->text().isEmpty()) << c.combo;
        } else {
            EXPECT_TRUE(hint->text().endsWith(c.device))
                << c.combo << ": " << hint->text().toStdString();
        }
        EXPECT_TRUE(hint->toolTip().contains("[Ports]")) << c.combo;
    }
}

TEST_F(SettingsWindowTest, AssignWritesTheDeviceIntoThePortsSection) {
    writeSettings();
    open();
    field<QComboBox>("DeviceList")->setEditText("/dev/ttyACM0");
    field<QComboBox>("DeviceCom")->setCurrentText("COM5");
    field<QComboBox>("RotorPort")->setEditText("COM5");
    press("AssignDevice");
    EXPECT_EQ(config::ReadStringIni("Ports", "COM5", k.iniPath()), "/dev/ttyACM0");
    EXPECT_TRUE(field<QLabel>("RotorPort_device")->text().endsWith("/dev/ttyACM0"));
}

} // namespace
} // namespace kelvora::windowtests
