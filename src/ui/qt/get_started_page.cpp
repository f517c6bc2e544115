// The "Get started" page: place, source, rotor and radio, then Start tracking.
#include "ui/qt/get_started_page.h"

#include "config/settings.h"
#include "ports/serial_ports.h"
#include "state/kelv.h"
#include "tracking/device_lists.h"
#include "tracking/get_started.h"
#include "ui/qt/qt_binding.h"
#include "ui/qt/settings_window.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kelvora::ui {

namespace {

void rotorType(Kelv& k, const std::string& type) {
    chooseRotorType(k, type);
}
void radioType(Kelv& k, const std::string& type) {
    k.settings().RtxType = type;
}

// The device a port field stands for, as the page offers it: the path, or "None".
QString shownDevice(Kelv& k, const std::string& com) {
    std::optional<int> n = ports::portNumber(com);
    return n ? toQString(ports::portDevice(k.iniPath(), *n)) : QString("None");
}

} // namespace

GetStartedPage::GetStartedPage(Kelv& k, WindowEvents& events, QWidget* parent)
    : QWidget(parent), m_k(k), m_events(events) {
    setObjectName("GetStarted");
    auto* layout = new QVBoxLayout(this);
    auto* title = new QLabel("Get started", this);
    QFont font = title->font();
    font.setBold(true);
    font.setPointSize(font.pointSize() + 3);
    title->setFont(font);
    layout->addWidget(title);
    auto* intro = new QLabel("Where the station is, what to track and the rotor and radio it "
                             "drives. Start tracking begins at once; Skip shows every setting.",
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    m_placeHolder = new QVBoxLayout;
    layout->addLayout(m_placeHolder);

    // Each field has its Alt key, so the page can be filled in from the keyboard alone.
    auto* grid = new QGridLayout;
    m_rotorType = typeCombo("StartRotorType", "RotorType", rotorType);
    m_rotorPort = portCombo("StartRotorPort", static_cast<int>(DeviceRole::Rotor));
    m_radioType = typeCombo("StartRadioType", "RtxType", radioType);
    m_radioPort = portCombo("StartRadioPort", static_cast<int>(DeviceRole::Radio));
    const struct {
        const char* caption;
        QWidget* field;
        int row, column;
    } captions[] = {{"&Rotor:", m_rotorType, 0, 0},
                    {"&Port:", m_rotorPort, 0, 2},
                    {"R&adio:", m_radioType, 2, 0},
                    {"P&ort:", m_radioPort, 2, 2}};
    for (const auto& c : captions) {
        auto* label = new QLabel(c.caption, this);
        label->setBuddy(c.field);
        grid->addWidget(label, c.row, c.column, Qt::AlignRight);
        grid->addWidget(c.field, c.row, c.column + 1);
    }
    auto* test = new QPushButton("&Test", this);
    test->setObjectName("TestRotor");
    test->setAutoDefault(false);
    test->setToolTip("Asks the rotor for its position once and shows the answer");
    grid->addWidget(test, 0, 4);
    m_reply = new QLabel(this);
    m_reply->setObjectName("TestReply");
    grid->addWidget(m_reply, 1, 1, 1, 4);
    connect(test, &QPushButton::clicked, this, [this] {
        std::string reply;
        m_events.run([this, &reply] { reply = testRotor(m_k); });
        m_reply->setText(toQString(reply));
    });
    grid->setColumnStretch(3, 1);
    layout->addLayout(grid);
    layout->addStretch(1);

    auto* buttons = new QHBoxLayout;
    auto* skip = new QPushButton("S&kip", this);
    skip->setObjectName("SkipGetStarted");
    skip->setAutoDefault(false);
    skip->setToolTip("Every setting, in the usual dialog");
    connect(skip, &QPushButton::clicked, this,
            [this] { m_events.run([this] { skipGetStarted(m_k); }); });
    auto* start = new QPushButton("&Start tracking", this);
    start->setObjectName("StartTracking");
    start->setAutoDefault(false);
    connect(start, &QPushButton::clicked, this, [this] {
        // A port typed but not yet left counts: the Alt key does not move the focus.
        for (QComboBox* port : {m_rotorPort, m_radioPort}) {
            emit port->lineEdit()->editingFinished();
        }
        m_events.run([this] { startFromGetStarted(m_k); });
    });
    buttons->addWidget(skip);
    buttons->addStretch(1);
    buttons->addWidget(start);
    layout->addLayout(buttons);
}

QComboBox* GetStartedPage::typeCombo(const char* name, const char* field,
                                     void (*choose)(Kelv&, const std::string&)) {
    auto* box = new QComboBox(this);
    box->setObjectName(name);
    for (const std::string& item : settingsComboItems(field)) {
        box->addItem(toQString(item));
    }
    // sync() changes the index with signals blocked: only the operator's choice is stored.
    connect(box, &QComboBox::currentIndexChanged, this, [this, box, choose](int) {
        std::string text = box->currentText().toStdString();
        m_events.run([this, choose, text] { choose(m_k, text); });
    });
    return box;
}

QComboBox* GetStartedPage::portCombo(const char* name, int role) {
    auto* box = new QComboBox(this);
    box->setObjectName(name);
    box->setEditable(true); // a device not found (a pseudo-terminal) can be typed
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumContentsLength(18);
    box->setToolTip("The serial device: one found on this machine, or a path typed here");
    auto choose = [this, box, role] {
        std::string device = box->currentText().trimmed().toStdString();
        m_events.run([this, device, role] {
            if (device.empty() || device == "None") {
                (role == static_cast<int>(DeviceRole::Rotor) ? m_k.settings().RotorPort
                                                             : m_k.settings().RtxPort) = "None";
            } else if (choosePortDevice(m_k, static_cast<DeviceRole>(role), device).empty()) {
                m_k.dialogs.messageBox("The device could not be written to " + m_k.iniPath() + ".");
            }
        });
    };
    connect(box, &QComboBox::activated, this, choose);
    connect(box->lineEdit(), &QLineEdit::editingFinished, this, choose);
    return box;
}

void GetStartedPage::refreshDevices() {
    for (QComboBox* box : {m_rotorPort, m_radioPort}) {
        QSignalBlocker quiet(box);
        QString keep = box->currentText();
        box->clear();
        box->addItem("None");
        for (const SerialDevice& device : findSerialDevices()) {
            box->addItem(toQString(device.path));
            box->setItemData(box->count() - 1, toQString(device.description), Qt::ToolTipRole);
        }
        box->setEditText(keep);
    }
}

void GetStartedPage::sync() {
    config::Settings& s = m_k.settings();
    const std::pair<QComboBox*, QString> shown[] = {
        {m_rotorType, toQString(s.RotorType)},
        {m_radioType, toQString(s.RtxType)},
        {m_rotorPort, shownDevice(m_k, s.RotorPort)},
        {m_radioPort, shownDevice(m_k, s.RtxPort)},
    };
    for (const auto& [box, text] : shown) {
        if (box->currentText() != text && !box->hasFocus()) {
            QSignalBlocker quiet(box);
            int index = box->findText(text);
            if (index >= 0) {
                box->setCurrentIndex(index);
            }
            if (box->isEditable()) {
                box->setEditText(text);
            }
        }
    }
}

} // namespace kelvora::ui
