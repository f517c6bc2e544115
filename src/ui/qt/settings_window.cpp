// The settings dialog: radio, rotor, Linrad and general settings, and the serial devices.
#include "ui/qt/settings_window.h"

#include "config/ini_file.h"
#include "config/settings.h"
#include "config/settings_schema.h"
#include "ports/serial_ports.h"
#include "radio/radio_models.h"
#include "rotor/rotor_types.h"
#include "state/kelv.h"
#include "station/station_control.h"
#include "tracking/device_lists.h"
#include "tracking/settings_buttons.h"
#include "ui/qt/get_started_page.h"
#include "ui/qt/place_group.h"
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
#include <QStackedWidget>
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

QLabel* bannerLabel(const char* text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

std::vector<QWidget*> joined(std::initializer_list<std::vector<QWidget*>> parts) {
    std::vector<QWidget*> all;
    for (const std::vector<QWidget*>& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
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

// Two halves side by side: radio and Linrad on the left (0), rotor and general on the right (1).
// Each half has a label column, a value column and a column for port devices.
struct SettingsWindow::Grid {
    SettingsWindow& window;
    QGridLayout* layout = new QGridLayout;
    int rows[2] = {0, 0};

    // Returns the widgets of the row, for the rows shown only with some device types.
    std::vector<QWidget*> place(int half, const char* caption, QWidget* value,
                                QWidget* extra = nullptr) {
        int row = rows[half]++;
        int column = half * 4;
        std::vector<QWidget*> placed;
        if (caption != nullptr) {
            auto* label = new QLabel(caption, &window);
            layout->addWidget(label, row, column, Qt::AlignRight | Qt::AlignVCenter);
            placed.push_back(label);
        }
        if (value != nullptr) {
            layout->addWidget(value, row, column + 1);
            placed.push_back(value);
        }
        if (extra != nullptr) {
            layout->addWidget(extra, row, column + 2);
            placed.push_back(extra);
        }
        return placed;
    }
    void banner(int half, const char* text) {
        layout->addWidget(bannerLabel(text, &window), rows[half]++, half * 4, 1, 3);
    }
};

void SettingsWindow::build() {
    m_oneLine = new OneLineValidator(this);
    Grid grid{*this};
    grid.layout->setHorizontalSpacing(6);
    grid.layout->setVerticalSpacing(4);
    buildRadio(grid);
    buildLinrad(grid);
    buildRotor(grid);
    buildGeneral(grid);
    grid.layout->setColumnStretch(1, 1);
    grid.layout->setColumnStretch(5, 1);
    grid.layout->setColumnMinimumWidth(3, 14);
    // The device column is there on every row, so the value column lines up.
    grid.layout->setColumnMinimumWidth(2, 90);
    grid.layout->setColumnMinimumWidth(6, 90);

    // Two pages: every setting, and "Get started" after a first start; the place group is
    // lent to the page that shows.
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_pages = new QStackedWidget(this);
    outer->addWidget(m_pages);
    m_allSettings = new QWidget(m_pages);
    m_pages->addWidget(m_allSettings);
    auto* layout = new QVBoxLayout(m_allSettings);
    layout->setContentsMargins(10, 8, 10, 8);
    layout->addLayout(grid.layout);
    m_placeSlot = new QVBoxLayout;
    layout->addLayout(m_placeSlot);
    m_place = new PlaceGroup(m_k, m_events, m_allSettings);
    m_placeSlot->addWidget(m_place);
    layout->addSpacing(6);
    buildDevices(layout);
    layout->addSpacing(4);
    layout->addLayout(buildButtons());
    m_getStarted = new GetStartedPage(m_k, m_events, m_pages);
    m_pages->addWidget(m_getStarted);
}

void SettingsWindow::showPage() {
    QWidget* page = m_k.rs.Get_started ? static_cast<QWidget*>(m_getStarted) : m_allSettings;
    if (m_pages->currentWidget() == page) {
        return;
    }
    m_pages->setCurrentWidget(page);
    (page == m_getStarted ? m_getStarted->placeHolder() : m_placeSlot)->addWidget(m_place);
    // A stack is as large as its largest page unless the hidden one is ignored: Get started
    // fits below the main window on a 1366x768 screen only at its own size.
    for (QWidget* each : {m_allSettings, static_cast<QWidget*>(m_getStarted)}) {
        QSizePolicy::Policy policy = each == page ? QSizePolicy::Preferred : QSizePolicy::Ignored;
        each->setSizePolicy(policy, policy);
    }
    if (page == m_getStarted) {
        m_getStarted->refreshDevices();
        adjustSize();
    }
}

QComboBox* SettingsWindow::combo(const char* field, const char* tip) {
    auto* box = new QComboBox(this);
    box->setObjectName(field);
    box->setEditable(true); // the settings file may hold a text that is not an item
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setValidator(m_oneLine);
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
}

QWidget* SettingsWindow::deviceOf(QComboBox* box) const {
    for (const PortHint& hint : m_ports) {
        if (hint.combo == box) {
            return hint.device;
        }
    }
    return nullptr;
}

std::vector<QWidget*> SettingsWindow::portRow(Grid& grid, int half, const char* caption,
                                              const char* field, const char* tip) {
    QComboBox* box = combo(field, tip);
    return grid.place(half, caption, box, deviceOf(box));
}

QLineEdit* SettingsWindow::edit(const char* field, const char* tip) {
    auto* line = new QLineEdit(this);
    line->setObjectName(field);
    line->setValidator(m_oneLine);
    if (tip != nullptr) {
        line->setToolTip(tip);
    }
    std::string config::Settings::*member = keyOf(field).text;
    m_texts.push_back({member, nullptr, line});
    connect(line, &QLineEdit::textEdited, this, [this, member](const QString& text) {
        m_events.run([this, member, text] { m_k.settings().*member = text.toStdString(); });
    });
    return line;
}

QCheckBox* SettingsWindow::check(const char* field, const char* caption, const char* tip) {
    auto* box = new QCheckBox(caption, this);
    box->setObjectName(field);
    box->setToolTip(tip);
    int config::Settings::*member = keyOf(field).check;
    m_checks.push_back({member, box});
    connect(box, &QCheckBox::toggled, this, [this, member](bool on) {
        m_events.run([this, member, on] { m_k.settings().*member = on ? 1 : 0; });
    });
    return box;
}

// The newer keys: caption, help and default from their schema rows.
QWidget* SettingsWindow::added(const char* section, const char* key) {
    const config::SchemaRow& row = config::schemaRow(section, key);
    if (row.type == config::ValueType::Flag) {
        auto* box = new QCheckBox(toQString(std::string(row.caption)), this);
        box->setObjectName(key);
        box->setToolTip(toQString(config::tooltipOf(row)));
        m_added.push_back({&row, nullptr, box});
        connect(box, &QCheckBox::toggled, this, [this, section, key](bool on) {
            m_events.run([this, section, key, on] {
                m_k.settings().setValue(section, key, on ? "1" : "0");
            });
        });
        return box;
    }
    auto* line = new QLineEdit(this);
    line->setObjectName(key);
    line->setValidator(m_oneLine);
    line->setToolTip(toQString(config::tooltipOf(row)));
    m_added.push_back({&row, line, nullptr});
    connect(line, &QLineEdit::textEdited, this, [this, section, key](const QString& text) {
        m_events.run([this, section, key, text] {
            m_k.settings().setValue(section, key, text.toStdString());
        });
    });
    return line;
}

std::vector<QWidget*> SettingsWindow::addedRow(Grid& grid, int half, const char* section,
                                               const char* key) {
    std::string caption(config::schemaRow(section, key).caption);
    return grid.place(half, caption.c_str(), added(section, key));
}

QWidget* SettingsWindow::row3(QWidget* a, QWidget* b, QWidget* c) {
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
}

void SettingsWindow::buildRadio(Grid& grid) {
    grid.banner(0, "---------------------- Rtx / Cat -----------------------------");
    grid.place(0, "Cat:", combo("RtxType", "Rtx  type selection"));
    std::vector<QWidget*> rigAddress = addedRow(grid, 0, "Hamlib", "Rig_Address");
    std::vector<QWidget*> rtxSerial = joined(
        {portRow(grid, 0, "Port:", "RtxPort", "Com port for Rtx"),
         portRow(grid, 0, nullptr, "RtxPort2", "Com port2 for Rtx"),
         grid.place(0, "Baud Rate:", combo("RtxBaud", "Baudrate selection for serial ports"))});
    grid.place(0, "Icom Address hex",
               row3(edit("IcomAddr", "Icom address"),
                    edit("IcomAddr1", "Icom address 2 for special purpose"), nullptr));
    rtxSerial = joined({rtxSerial, grid.place(0, "Com Property:",
                                              row3(combo("Parity", "Com parity values"),
                                                   combo("Bits", "Com data bit values"),
                                                   combo("StopBit", "Com stop bit values")))});
    m_typeRows.push_back(
        {&config::Settings::RtxType,
         [](std::string_view t) { return radio::radioChosen(t) && !radio::radioUsesLine(t); },
         rtxSerial, rigAddress});
    grid.place(0, "Frequency TXOffset Khz", edit("Offset", "Frequency offset for TX Khz"));
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
    grid.place(0, "Path\\Filename", fileRow);
}

void SettingsWindow::buildLinrad(Grid& grid) {
    grid.banner(0, "-------------------------------- Linrad ---------------------------------");
    const struct {
        const char* caption;
        const char* field;
        const char* tip;
    } rows[] = {
        {"Linrad host IP", "Linrad_IP", "Tcp/ip address of Linrad"},
        {"Port", "Linrad_Port", "Tcp port number of Linrad"},
        {"Linrad center freq. Hz", "Linrad_center",
         "Central hardware frequency of Linrad in Hertz"},
        {"Linrad Offset Hz", "Linrad_offset", "Offset frequency of Linrad in Hertz"},
    };
    for (const auto& row : rows) {
        grid.place(0, row.caption, edit(row.field, row.tip));
    }
}

void SettingsWindow::buildRotor(Grid& grid) {
    grid.banner(1, "--------------------------- Rotor ---------------------------------");
    grid.place(1, "Rotor Interface:", combo("RotorType", "Rotor interface type selection"));
    std::vector<QWidget*> rotAddress = addedRow(grid, 1, "Hamlib", "Rot_Address");
    std::vector<QWidget*> rotorSerial = joined(
        {portRow(grid, 1, "Port:", "RotorPort", "Com port for Rotor interface"),
         grid.place(1, "Baud Rate:", combo("RotorBaud", "Baudrate selection for serial ports")),
         grid.place(
             1, "Pace Delay (Secs.):",
             edit("RotorPaceDelay", "Character-rate pace down delay time in secs. for controller")),
         grid.place(1,
                    "Time Out (Secs.):", edit("RotorTimeOutDelay", "Seconds for Rotor Time out ")),
         grid.place(1, "Com Property:",
                    row3(combo("RotorParity", "Com parity values"),
                         combo("RotorBits", "Com data bit values"),
                         combo("RotorStopbit", "Com stop bit values")))});
    grid.place(1, "Refresh Rotors seconds",
               combo("Refresh_Rotore", "Seconds refresh for bi-directional"));
    rotorSerial = joined({rotorSerial, grid.place(1, "Ports Handshaking",
                                                  combo("Contollo_Flusso", "Handshaking coms"))});
    m_typeRows.push_back(
        {&config::Settings::RotorType,
         [](std::string_view t) { return rotor::rotorChosen(t) && !rotor::rotorUsesLine(t); },
         rotorSerial, rotAddress});
    // Kelvora as a rotctld for loggers and other programs.
    grid.place(1, "rotctld server:",
               row3(added("Hamlib", "Server"), added("Hamlib", "Server_Address"),
                    added("Hamlib", "Server_Port")));
    grid.place(1, nullptr, added("Hamlib", "Server_Moves"));
}

void SettingsWindow::buildGeneral(Grid& grid) {
    grid.rows[1]++;
    const struct {
        const char* field;
        const char* caption;
        const char* tip;
    } checks[] = {
        {"map65_fqso2", "Set Tx freq. from MAP65",
         "If ON , Kelvora read freq. only when click set freq. in MAP65"},
        {"Auto_Start", "Track Start On / Off", "If ON  at start-up Kelvora in running"},
        {"Autoupdate_flag", "Frequency Auto Update",
         "If ON at the start-up the frequency is Auto Update"},
        {"Doppler_Check", "Doppler Rx Tx", "Is ON DX Doppler is calculated in TX frequency"},
    };
    for (const auto& row : checks) {
        grid.place(1, nullptr, check(row.field, row.caption, row.tip));
    }
    portRow(grid, 1, "Virtual PTT", "Virtual_PTT", "");
    portRow(grid, 1, "Real PTT", "Reale_PTT", "");
    grid.place(1, "Tracking", combo("Sun_combo", ""));
}

// Serial devices of this machine, and the COM name each one is given in [Ports].
void SettingsWindow::buildDevices(QVBoxLayout* layout) {
    auto* devices = new QHBoxLayout;
    devices->setSpacing(4);
    devices->addWidget(new QLabel("Serial devices:", this));
    m_deviceList = new QComboBox(this);
    m_deviceList->setObjectName("DeviceList");
    m_deviceList->setEditable(true);
    m_deviceList->setInsertPolicy(QComboBox::NoInsert);
    m_deviceList->setValidator(m_oneLine);
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
    layout->addLayout(devices);
    layout->addWidget(devicesHelp);
}

QHBoxLayout* SettingsWindow::buildButtons() {
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
        if (entry.procedure == Save_Click) {
            b->setShortcut(QKeySequence::Save); // Ctrl+S, the caption as it always was
        }
        void (*procedure)(Kelv&) = entry.procedure;
        connect(b, &QPushButton::clicked, this,
                [this, procedure] { m_events.run([this, procedure] { procedure(m_k); }); });
        buttons->addWidget(b);
    }
    return buttons;
}

void SettingsWindow::sync() {
    bool shown = m_k.frmRotor.visible;
    if (shown) {
        if (isHidden()) {
            refreshDevices();
            m_getStarted->refreshDevices();
        }
        showPage();
        showRecord();
    }
    if (isHidden() == shown) {
        setVisible(shown);
        if (shown && m_k.rs.Get_started) {
            m_place->focusFirst(); // the first thing to type on the page
        }
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
        std::string value = s.value(field.row->section, field.row->key, field.row->defaultText);
        if (field.edit != nullptr && field.edit->text() != toQString(value)) {
            QSignalBlocker quiet(field.edit);
            field.edit->setText(toQString(value));
        } else if (field.box != nullptr && field.box->isChecked() != (value == "1")) {
            QSignalBlocker quiet(field.box);
            field.box->setChecked(value == "1");
        }
    }
    m_place->sync();
    m_getStarted->sync();
    showTypeRows();
    showPortDevices();
}

void SettingsWindow::showTypeRows() {
    for (const TypeRows& rows : m_typeRows) {
        bool network = rows.reachedOverNetwork(m_k.settings().*rows.type);
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
