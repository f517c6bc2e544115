// The settings dialog frmRotor: shows and edits the settings record directly.
#pragma once

#include "config/settings.h"
#include "config/settings_schema.h"
#include "ui/qt/window_events.h"

#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QCheckBox;
class QHBoxLayout;
class QStackedWidget;
class QValidator;
class QVBoxLayout;

namespace kelvora {
struct Kelv;
}

namespace kelvora::ui {

class GetStartedPage;
class PlaceGroup;

// A serial device found on this machine, as offered for a COM name.
struct SerialDevice {
    std::string path;        // /dev/ttyUSB0, or a stable /dev/serial/by-id link
    std::string description; // what the system says about it, may be empty
};
std::vector<SerialDevice> findSerialDevices();

// Responsibilities:
// - One widget per settings field, named after it; edits go straight into k.settings().
// - While shown, sync() brings every widget in line with the record (it may be reloaded by
//   Default, by Start or by unloading), leaving widgets that already agree untouched.
// - Beside each port combo: the device that COM name stands for, from [Ports] of the settings file.
class SettingsWindow : public QDialog {
public:
    SettingsWindow(Kelv& k, WindowEvents& events, QWidget* parent);

    void sync();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override; // Escape acts as the close box

private:
    struct TextField {
        std::string config::Settings::*member;
        QComboBox* combo = nullptr; // one of combo and edit
        QLineEdit* edit = nullptr;
    };
    struct CheckField {
        int config::Settings::*member;
        QCheckBox* box;
    };
    struct PortHint {
        QComboBox* combo;
        QLabel* device;
    };
    // A key of the newer sections, edited in a line or a check box (one of them).
    struct AddedField {
        const config::SchemaRow* row;
        QLineEdit* edit = nullptr;
        QCheckBox* box = nullptr;
    };
    // The rows a device type needs: its serial rows, or its network address for a daemon type.
    struct TypeRows {
        std::string config::Settings::*type;
        bool (*reachedOverNetwork)(std::string_view type); // from the type's row
        std::vector<QWidget*> serial, network;
    };

    struct Grid;
    void build();
    void buildRadio(Grid& grid);
    void buildLinrad(Grid& grid);
    void buildRotor(Grid& grid);
    void buildGeneral(Grid& grid);
    void buildDevices(QVBoxLayout* layout);
    QHBoxLayout* buildButtons();
    // One widget per settings field, named after it; edits go into the record at once.
    QComboBox* combo(const char* field, const char* tip);
    QLineEdit* edit(const char* field, const char* tip);
    QCheckBox* check(const char* field, const char* caption, const char* tip);
    QWidget* added(const char* section, const char* key); // a newer key, from its schema row
    QWidget* deviceOf(QComboBox* box) const;
    QWidget* row3(QWidget* a, QWidget* b, QWidget* c);
    std::vector<QWidget*> portRow(Grid& grid, int half, const char* caption, const char* field,
                                  const char* tip);
    std::vector<QWidget*> addedRow(Grid& grid, int half, const char* section, const char* key);
    void showRecord();
    void refreshDevices();
    void showPortDevices();
    void assignDevice();
    void showTypeRows();
    void openStationDialog();
    void showPage();

    Kelv& m_k;
    WindowEvents& m_events;
    std::vector<TextField> m_texts;
    std::vector<CheckField> m_checks;
    std::vector<PortHint> m_ports;
    std::vector<AddedField> m_added;
    std::vector<TypeRows> m_typeRows;
    QValidator* m_oneLine = nullptr;
    QComboBox* m_deviceList = nullptr;
    QComboBox* m_deviceCom = nullptr;
    QString m_devicesTip;
    PlaceGroup* m_place = nullptr;
    GetStartedPage* m_getStarted = nullptr;
    QStackedWidget* m_pages = nullptr;
    QWidget* m_allSettings = nullptr;
    QVBoxLayout* m_placeSlot = nullptr;
};

} // namespace kelvora::ui
