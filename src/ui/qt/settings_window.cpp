// The settings dialog: radio, rotor, Linrad and general settings, and the serial devices.
#include "ui/qt/settings_window.h"

#include "config/ini_file.h"
#include "config/settings.h"
#include "ports/serial_ports.h"
#include "state/device_names.h"
#include "state/kelv.h"
#include "station/station_control.h"
#include "tracking/device_lists.h"
#include "tracking/settings_buttons.h"
#include "ui/qt/qt_binding.h"
#include "ui/qt/station_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QVBoxLayout>
#include <QValidator>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

namespace kelvora::ui {

namespace {

const config::SettingKey& keyOf(const char* field) {
    const std::vector<config::SettingKey>& keys = config::settingKeys();
    auto found = std::find_if(keys.begin(), keys.end(), [field](const config::SettingKey& key) {
        return std::string_view(key.field) == field;
    });
    Q_ASSERT(found != keys.end());
    return *found;
}

QLabel* banner(const char* text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

bool isPortField(std::string_view field) {
    return field == "RtxPort" || field == "RtxPort2" || field == "RotorPort" ||
           field == "Virtual_PTT" || field == "Reale_PTT";
}

// A settings value is one line of the settings file: a pasted text with line breaks becomes one
// line, its breaks spaces, as the settings writer itself would store it.
class OneLineValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar& c : input) {
            if (c == u'\r' || c == u'\n') {
                c = u' ';
            }
        }
        return Acceptable;
    }
};

} // namespace

std::vector<SerialDevice> findSerialDevices() {
    std::vector<SerialDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        QString description = info.description();
        if (!info.manufacturer().isEmpty() && !description.contains(info.manufacturer())) {
            description = info.manufacturer() + " " + description;
        }
        devices.push_back(
            {info.systemLocation().toStdString(), description.trimmed().toStdString()});
    }
    // The by-id links keep their name when an adapter is plugged into another socket.
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/serial/by-id", ec)) {
        std::error_code targetError;
        std::filesystem::path target = std::filesystem::canonical(entry.path(), targetError);
        devices.push_back({entry.path().string(), targetError ? "" : "-> " + target.string()});
    }
    return devices;
}

SettingsWindow::SettingsWindow(Kelv& k, WindowEvents& events, QWidget* parent)
    : QDialog(parent), m_k(k), m_events(events) {
    setObjectName("frmRotor");
    setWindowTitle("Rotor / RTX - Settings");
    setModal(false);
    build();
}

void SettingsWindow::build() {
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(4);
    // Two halves side by side: radio and Linrad on the left, rotor and general on the right.
    // Each half has a label column, a value column and a column for port devices.
    int rows[2] = {0, 0};

    // Returns the widgets of the row, for the rows shown only with some device types.
    auto place = [&](int half, QWidget* caption, QWidget* value, QWidget* extra = nullptr) {
        int row = rows[half]++;
        int column = half * 4;
        std::vector<QWidget*> placed;
        if (caption != nullptr) {
            grid->addWidget(caption, row, column, Qt::AlignRight | Qt::AlignVCenter);
            placed.push_back(caption);
        }
        if (value != nullptr) {
            grid->addWidget(value, row, column + 1);
            placed.push_back(value);
        }
        if (extra != nullptr) {
            grid->addWidget(extra, row, column + 2);
            placed.push_back(extra);
        }
        return placed;
    };
    auto joined = [](std::initializer_list<std::vector<QWidget*>> parts) {
        std::vector<QWidget*> all;
        for (const std::vector<QWidget*>& part : parts) {
            all.insert(all.end(), part.begin(), part.end());
        }
        return all;
    };
    auto captionLabel = [this](const char* text) { return new QLabel(text, this); };

    auto* oneLine = new OneLineValidator(this);
    auto combo = [&](const char* field, const char* tip) {
        auto* box = new QComboBox(this);
        box->setObjectName(field);
        box->setEditable(true); // the settings file may hold a text that is not an item
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setValidator(oneLine);
        box->setToolTip(tip);
        box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        std::size_t longest = 0;
        for (const std::string& item : settingsComboItems(field)) {
            box->addItem(toQString(item));
            longest = std::max(longest, item.size());
        }
        // Narrow lists (parity, bits) stay narrow; the popup shows long names in full.
        box->setMinimumContentsLength(static_cast<int>(std::clamp<std::size_t>(longest, 3, 8)));
        std::string config::Settings::*member = keyOf(field).text;
        m_texts.push_back({member, box, nullptr});
        connect(box, &QComboBox::editTextChanged, this, [this, member](const QString& text) {
            m_events.run([this, member, text] { m_k.settings().*member = text.toStdString(); });
        });
        if (isPortField(field)) {
            auto* device = new QLabel(this);
            device->setObjectName(QString(field) + "_device");
            QPalette palette = device->palette();
            palette.setColor(QPalette::WindowText,
                             palette.color(QPalette::Disabled, QPalette::WindowText));
            device->setPalette(palette);
            m_ports.push_back({box, device});
            connect(box, &QComboBox::editTextChanged, this, [this] { showPortDevices(); });
        }
        return box;
    };
    auto deviceOf = [&](QComboBox* box) -> QWidget* {
        for (const PortHint& hint : m_ports) {
            if (hint.combo == box) {
                return hint.device;
            }
        }
        return nullptr;
    };
    auto edit = [&](const char* field, const char* tip) {
        auto* line = new QLineEdit(this);
        line->setObjectName(field);
        line->setValidator(oneLine);
        if (tip != nullptr) {
            line->setToolTip(tip);
        }
        std::string config::Settings::*member = keyOf(field).text;
        m_texts.push_back({member, nullptr, line});
        connect(line, &QLineEdit::textEdited, this, [this, member](const QString& text) {
            m_events.run([this, member, text] { m_k.settings().*member = text.toStdString(); });
        });
        return line;
    };
    auto addedEdit = [&](const char* section, const char* key, const char* defaultValue,
                         const char* tip) {
        auto* line = new QLineEdit(this);
        line->setObjectName(key);
        line->setValidator(oneLine);
        line->setToolTip(tip);
        m_added.push_back({section, key, defaultValue, line, nullptr});
        connect(line, &QLineEdit::textEdited, this, [this, section, key](const QString& text) {
            m_events.run([this, section, key, text] {
                m_k.settings().setValue(section, key, text.toStdString());
            });
        });
        return line;
    };
    auto addedCheck = [&](const char* section, const char* key, const char* caption,
                          const char* tip) {
        auto* box = new QCheckBox(caption, this);
        box->setObjectName(key);
        box->setToolTip(tip);
        m_added.push_back({section, key, "0", nullptr, box});
        connect(box, &QCheckBox::toggled, this, [this, section, key](bool on) {
            m_events.run([this, section, key, on] {
                m_k.settings().setValue(section, key, on ? "1" : "0");
            });
        });
        return box;
    };
    auto check = [&](const char* field, const char* caption, const char* tip) {
        auto* box = new QCheckBox(caption, this);
        box->setObjectName(field);
        box->setToolTip(tip);
        int config::Settings::*member = keyOf(field).check;
        m_checks.push_back({member, box});
        connect(box, &QCheckBox::toggled, this, [this, member](bool on) {
            m_events.run([this, member, on] { m_k.settings().*member = on ? 1 : 0; });
        });
        return box;
    };
    auto row3 = [&](QWidget* a, QWidget* b, QWidget* c) {
        auto* holder = new QWidget(this);
        auto* line = new QHBoxLayout(holder);
        line->setContentsMargins(0, 0, 0, 0);
        line->setSpacing(4);
        for (QWidget* w : {a, b, c}) {
            if (w != nullptr) {
                line->addWidget(w, 1);
            }
        }
        return holder;
    };
    auto bannerRow = [&](int half, const char* text) {
        grid->addWidget(banner(text, this), rows[half]++, half * 4, 1, 3);
    };

    // Radio.
    bannerRow(0, "---------------------- Rtx / Cat -----------------------------");
    place(0, captionLabel("Cat:"), combo("RtxType", "Rtx  type selection"));
    std::vector<QWidget*> rigAddress =
        place(0, captionLabel("rigctld address:"),
              addedEdit("Hamlib", "Rig_Address", "127.0.0.1:4532",
                        "host:port of Hamlib's rigctld, which holds the radio's serial port"));
    QComboBox* rtxPort = combo("RtxPort", "Com port for Rtx");
    std::vector<QWidget*> rtxSerial = place(0, captionLabel("Port:"), rtxPort, deviceOf(rtxPort));
    QComboBox* rtxPort2 = combo("RtxPort2", "Com port2 for Rtx");
    rtxSerial = joined({rtxSerial, place(0, nullptr, rtxPort2, deviceOf(rtxPort2)),
                        place(0, captionLabel("Baud Rate:"),
                              combo("RtxBaud", "Baudrate selection for serial ports"))});
    place(0, captionLabel("Icom Address hex"),
          row3(edit("IcomAddr", "Icom address"),
               edit("IcomAddr1", "Icom address 2 for special purpose"), nullptr));
    rtxSerial = joined({rtxSerial, place(0, captionLabel("Com Property:"),
                                         row3(combo("Parity", "Com parity values"),
                                              combo("Bits", "Com data bit values"),
                                              combo("StopBit", "Com stop bit values")))});
    m_typeRows.push_back({&config::Settings::RtxType, kHamlibRigType, rtxSerial, rigAddress});
    place(0, captionLabel("Frequency TXOffset Khz"), edit("Offset", "Frequency offset for TX Khz"));
    auto* fileRow = new QWidget(this);
    auto* fileLine = new QHBoxLayout(fileRow);
    fileLine->setContentsMargins(0, 0, 0, 0);
    fileLine->setSpacing(4);
    QLineEdit* filename = edit("Filename", nullptr);
    filename->setMinimumWidth(180);
    fileLine->addWidget(filename, 1);
    auto* browse = new QPushButton("FileAZEL", this);
    browse->setObjectName("FileAZEL");
    browse->setToolTip("Path and file name for tracking");
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this,
            [this] { m_events.run([this] { FileAZEL_Click(m_k); }); });
    fileLine->addWidget(browse);
    place(0, captionLabel("Path\\Filename"), fileRow);

    // Linrad.
    bannerRow(0, "-------------------------------- Linrad ---------------------------------");
    place(0, captionLabel("Linrad host IP"), edit("Linrad_IP", "Tcp/ip address of Linrad"));
    place(0, captionLabel("Port"), edit("Linrad_Port", "Tcp port number of Linrad"));
    place(0, captionLabel("Linrad center freq. Hz"),
          edit("Linrad_center", "Central hardware frequency of Linrad in Hertz"));
    place(0, captionLabel("Linrad Offset Hz"),
          edit("Linrad_offset", "Offset frequency of Linrad in Hertz"));

    // Rotor.
    bannerRow(1, "--------------------------- Rotor ---------------------------------");
    place(1, captionLabel("Rotor Interface:"),
          combo("RotorType", "Rotor interface type selection"));
    std::vector<QWidget*> rotAddress =
        place(1, captionLabel("rotctld address:"),
              addedEdit("Hamlib", "Rot_Address", "127.0.0.1:4533",
                        "host:port of Hamlib's rotctld, which holds the rotor's serial port"));
    QComboBox* rotorPort = combo("RotorPort", "Com port for Rotor interface");
    std::vector<QWidget*> rotorSerial =
        joined({place(1, captionLabel("Port:"), rotorPort, deviceOf(rotorPort)),
                place(1, captionLabel("Baud Rate:"),
                      combo("RotorBaud", "Baudrate selection for serial ports")),
                place(1, captionLabel("Pace Delay (Secs.):"),
                      edit("RotorPaceDelay",
                           "Character-rate pace down delay time in secs. for controller")),
                place(1, captionLabel("Time Out (Secs.):"),
                      edit("RotorTimeOutDelay", "Seconds for Rotor Time out ")),
                place(1, captionLabel("Com Property:"),
                      row3(combo("RotorParity", "Com parity values"),
                           combo("RotorBits", "Com data bit values"),
                           combo("RotorStopbit", "Com stop bit values")))});
    place(1, captionLabel("Refresh Rotors seconds"),
          combo("Refresh_Rotore", "Seconds refresh for bi-directional"));
    rotorSerial = joined({rotorSerial, place(1, captionLabel("Ports Handshaking"),
                                             combo("Contollo_Flusso", "Handshaking coms"))});
    m_typeRows.push_back({&config::Settings::RotorType, kHamlibRotType, rotorSerial, rotAddress});
    // Kelvora as a rotctld for loggers and other programs.
    place(1, captionLabel("rotctld server:"),
          row3(addedCheck("Hamlib", "Server", "On",
                          "Answer Hamlib's rotctld protocol, so that other programs can read "
                          "the antenna position"),
               addedEdit("Hamlib", "Server_Address", "127.0.0.1",
                         "Address to listen on; 127.0.0.1 keeps it to this machine"),
               addedEdit("Hamlib", "Server_Port", "4535", "TCP port of the rotctld server")));
    place(1, nullptr,
          addedCheck("Hamlib", "Server_Moves", "Clients may move the antenna",
                     "If ON, rotctld clients may send P, S and K; a P pauses tracking"));

    // General options.
    rows[1]++;
    place(1, nullptr,
          check("map65_fqso2", "Set Tx freq. from MAP65",
                "If ON , Kelvora read freq. only when click set freq. in MAP65"));
    place(1, nullptr,
          check("Auto_Start", "Track Start On / Off", "If ON  at start-up Kelvora in running"));
    place(1, nullptr,
          check("Autoupdate_flag", "Frequency Auto Update",
                "If ON at the start-up the frequency is Auto Update"));
    place(
        1, nullptr,
        check("Doppler_Check", "Doppler Rx Tx", "Is ON DX Doppler is calculated in TX frequency"));
    QComboBox* virtualPtt = combo("Virtual_PTT", "");
    place(1, captionLabel("Virtual PTT"), virtualPtt, deviceOf(virtualPtt));
    QComboBox* realPtt = combo("Reale_PTT", "");
    place(1, captionLabel("Real PTT"), realPtt, deviceOf(realPtt));
    place(1, captionLabel("Tracking"), combo("Sun_combo", ""));
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(5, 1);
    grid->setColumnMinimumWidth(3, 14);
    // The device column is there on every row, so the value column lines up.
    grid->setColumnMinimumWidth(2, 90);
    grid->setColumnMinimumWidth(6, 90);

    // Serial devices of this machine, and the COM name each one is given in [Ports].
    auto* devices = new QHBoxLayout;
    devices->setSpacing(4);
    auto* devicesCaption = new QLabel("Serial devices:", this);
    devices->addWidget(devicesCaption);
    m_deviceList = new QComboBox(this);
    m_deviceList->setObjectName("DeviceList");
    m_deviceList->setEditable(true);
    m_deviceList->setInsertPolicy(QComboBox::NoInsert);
    m_deviceList->setValidator(oneLine);
    m_deviceList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_deviceList->setMinimumContentsLength(16);
    devices->addWidget(m_deviceList, 1);
    devices->addWidget(new QLabel("as", this));
    m_deviceCom = new QComboBox(this);
    m_deviceCom->setObjectName("DeviceCom");
    for (const std::string& item : config::comboItems("RtxPort")) {
        if (item != "None") {
            m_deviceCom->addItem(toQString(item));
        }
    }
    devices->addWidget(m_deviceCom);
    auto* assign = new QPushButton("Assign", this);
    assign->setObjectName("AssignDevice");
    assign->setAutoDefault(false);
    assign->setToolTip("Write this device for the COM name into section [Ports] of the "
                       "settings file");
    connect(assign, &QPushButton::clicked, this,
            [this] { m_events.run([this] { assignDevice(); }); });
    devices->addWidget(assign);
    auto* devicesHelp = new QLabel(
        "Each COM name stands for a device given in the settings file, section [Ports], "
        "for example COM3=/dev/ttyUSB0; a COM name without an entry is /dev/ttyS0 for COM1, "
        "/dev/ttyS1 for COM2 and so on.",
        this);
    devicesHelp->setObjectName("DevicesHelp");
    devicesHelp->setWordWrap(true);
    // The help text wraps to the width the fields give the dialog, instead of widening it.
    devicesHelp->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    devicesHelp->setMinimumHeight(devicesHelp->fontMetrics().lineSpacing() * 3);

    auto* buttons = new QHBoxLayout;
    // The station rules have a dialog of their own; OK stores them in the record, Save writes them.
    auto* station = new QPushButton("Station...", this);
    station->setObjectName("StationRules");
    station->setToolTip("Station rules: hold while transmitting, limits, horizon, park");
    station->setAutoDefault(false);
    connect(station, &QPushButton::clicked, this, [this] { openStationDialog(); });
    buttons->addWidget(station);
    buttons->addStretch(1);
    struct ButtonRow {
        const char* name;
        const char* caption;
        const char* tip;
        void (*procedure)(Kelv&);
    };
    for (const ButtonRow& entry :
         {ButtonRow{"Save", "Save", "Save settings", Save_Click},
          ButtonRow{"Default", "Default", "Reset parameters", Default_Click},
          ButtonRow{"Finish", "Close", "Close this window.", Finish_Click}}) {
        auto* b = new QPushButton(entry.caption, this);
        b->setObjectName(entry.name);
        b->setToolTip(entry.tip);
        b->setAutoDefault(false);
        void (*procedure)(Kelv&) = entry.procedure;
        connect(b, &QPushButton::clicked, this,
                [this, procedure] { m_events.run([this, procedure] { procedure(m_k); }); });
        buttons->addWidget(b);
    }

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->addLayout(grid);
    layout->addSpacing(6);
    layout->addLayout(devices);
    layout->addWidget(devicesHelp);
    layout->addSpacing(4);
    layout->addLayout(buttons);
}

void SettingsWindow::sync() {
    bool shown = m_k.frmRotor.visible;
    if (shown) {
        if (isHidden()) {
            refreshDevices();
        }
        showRecord();
    }
    if (isHidden() == shown) {
        setVisible(shown);
    }
}

void SettingsWindow::showRecord() {
    config::Settings& s = m_k.settings();
    for (const TextField& text : m_texts) {
        QString value = toQString(s.*text.member);
        if (text.combo != nullptr && text.combo->currentText() != value) {
            QSignalBlocker quiet(text.combo);
            int index = text.combo->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (index >= 0) {
                text.combo->setCurrentIndex(index);
            }
            text.combo->setEditText(value);
        } else if (text.edit != nullptr && text.edit->text() != value) {
            QSignalBlocker quiet(text.edit);
            text.edit->setText(value);
            text.edit->setCursorPosition(0); // a long path shows its beginning
        }
    }
    for (const CheckField& check : m_checks) {
        bool on = s.*check.member == 1;
        if (check.box->isChecked() != on) {
            QSignalBlocker quiet(check.box);
            check.box->setChecked(on);
        }
    }
    for (const AddedField& field : m_added) {
        std::string value = s.value(field.section, field.key, field.defaultValue);
        if (field.edit != nullptr && field.edit->text() != toQString(value)) {
            QSignalBlocker quiet(field.edit);
            field.edit->setText(toQString(value));
        } else if (field.box != nullptr && field.box->isChecked() != (value == "1")) {
            QSignalBlocker quiet(field.box);
            field.box->setChecked(value == "1");
        }
    }
    showTypeRows();
    showPortDevices();
}

void SettingsWindow::showTypeRows() {
    for (const TypeRows& rows : m_typeRows) {
        bool network = m_k.settings().*rows.type == rows.networkType;
        for (QWidget* w : rows.serial) {
            w->setVisible(!network);
        }
        for (QWidget* w : rows.network) {
            w->setVisible(network);
        }
    }
}

void SettingsWindow::refreshDevices() {
    std::vector<SerialDevice> devices = findSerialDevices();
    QString keep = m_deviceList->currentText();
    m_deviceList->clear();
    QStringList lines;
    for (const SerialDevice& device : devices) {
        m_deviceList->addItem(toQString(device.path));
        m_deviceList->setItemData(m_deviceList->count() - 1, toQString(device.description),
                                  Qt::ToolTipRole);
        lines << toQString(device.path) + (device.description.empty()
                                               ? QString()
                                               : "  " + toQString(device.description));
    }
    if (!keep.isEmpty()) {
        m_deviceList->setEditText(keep);
    }
    m_devicesTip =
        "Serial devices found: " + (lines.isEmpty() ? QString("none") : "\n" + lines.join('\n')) +
        "\nA COM name is given a device in the settings file, section [Ports], "
        "for example COM3=/dev/ttyUSB0.";
}

void SettingsWindow::showPortDevices() {
    const std::string& ini = m_k.iniPath();
    for (const PortHint& hint : m_ports) {
        std::optional<int> n = ports::portNumber(hint.combo->currentText().toStdString());
        QString text =
            n ? QString::fromUtf8("\u2192 ") + toQString(ports::portDevice(ini, *n)) : QString();
        if (hint.device->text() != text) {
            hint.device->setText(text);
        }
        if (hint.device->toolTip() != m_devicesTip) {
            hint.device->setToolTip(m_devicesTip);
        }
    }
}

void SettingsWindow::assignDevice() {
    std::string device = m_deviceList->currentText().trimmed().toStdString();
    std::string com = m_deviceCom->currentText().toStdString();
    if (device.empty() || com.empty()) {
        return;
    }
    if (!config::WriteStringIni("Ports", com, device, m_k.iniPath())) {
        m_k.dialogs.messageBox("The device could not be written to " + m_k.iniPath() + ".");
    }
    showPortDevices();
}

void SettingsWindow::openStationDialog() {
    auto* dialog = new StationDialog(this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setValues(station::stationValues(m_k));
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        StationDialog::Values values = dialog->values();
        m_events.run([this, values] { station::storeStationValues(m_k, values); });
    });
    dialog->open();
}

void SettingsWindow::closeEvent(QCloseEvent* event) {
    // The logic decides: the close box unloads the dialog, and sync() hides it.
    event->ignore();
    m_events.run([this] { Form_Unload_Settings(m_k); });
}

void SettingsWindow::reject() {
    close();
}

} // namespace kelvora::ui
