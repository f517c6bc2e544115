// The main window: tracking read-outs, frequency read-outs, rotor and radio buttons, status line.
#include "ui/qt/main_window.h"

#include "radio/vfo_buttons.h"
#include "rotor/controller_unit.h"
#include "sky/sky_view.h"
#include "state/kelv.h"
#include "state/message_box.h"
#include "station/station_control.h"
#include "tracking/tracking_cycle.h"
#include "ui/qt/calibrate_window.h"
#include "ui/qt/plan_window.h"
#include "ui/qt/qt_binding.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

namespace kelvora::ui {

namespace {

// Read-outs the operator reads from across the shack: large bold digits of fixed width.
QFont readoutFont(int pointSize) {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSize(pointSize);
    font.setBold(true);
    return font;
}

// A caption that is no control of the model (it never changes); its parent owns it.
QLabel* staticCaption(const QString& text, QWidget* parent) {
    return new QLabel(text, parent);
}

// The unit beside an angle read-out; the read-out keeps the text the logic gives it.
QLabel* degreeSign(const QFont& font, QWidget* parent) {
    auto* sign = new QLabel(QString::fromUtf8("°"), parent);
    sign->setFont(font);
    sign->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return sign;
}

} // namespace

MainWindow::MainWindow(Kelv& k, WindowEvents& events) : m_k(k), m_events(events) {
    setObjectName("frmKelv");
    setWindowTitle(QString::fromUtf8(kMainTitle));
    build();
    sync();
}

// One control of the window: its widget's objectName, its model and what a click runs.
struct MainWindow::ButtonRow {
    const char* name;
    Control MainForm::*control;
    Procedure procedure;
};

namespace {

using ButtonRow = MainWindow::ButtonRow;

// The tracking read-outs, a caption and a value each.
struct ReadoutRow {
    const char* caption;
    const char* name;
    Control MainForm::*control;
};

constexpr ReadoutRow kTrackingRows[] = {
    {"UTC:", "lblTI", &MainForm::lblTI},
    {"Az:", "lblAZ", &MainForm::lblAZ},
    {"EL:", "lblEL", &MainForm::lblEL},
};

constexpr ButtonRow kPolarityButtons[] = {
    {"Command7", &MainForm::Command7, Command7_Click},
    {"Command8", &MainForm::Command8, Command8_Click},
};

// Park or stop the antenna, and resume tracking.
constexpr ButtonRow kStationButtons[] = {
    {"Park", &MainForm::Park, station::Park_Click},
    {"Track", &MainForm::Track, station::Track_Click},
    {"StopRotor", &MainForm::StopRotor, station::StopRotor_Click},
};

// The command buttons of the radio and the controller unit, a grid row each.
constexpr ButtonRow kFirstButtonRow[] = {
    {"Command1", &MainForm::Command1, Command1_Click},
    {"Linrad_freq", &MainForm::Linrad_freq, Linrad_freq_Click},
    {"Host", &MainForm::Host, Host_Click},
    {"Normal", &MainForm::Normal, Normal_Click},
    {"Posizione", &MainForm::Posizione, Posizione_Click},
    {"Command4", &MainForm::Command4, Command4_Click},
};
constexpr ButtonRow kSecondButtonRow[] = {
    {"Command2", &MainForm::Command2, Command2_Click},
    {"Command3", &MainForm::Command3, Command3_Click},
    {"ON_Icom", &MainForm::ON_Icom, ON_Icom_Click},
    {"ON_Icom1", &MainForm::ON_Icom1, ON_Icom1_Click},
};

} // namespace

void MainWindow::build() {
    buildMenus();
    auto* central = new QWidget(this);
    setCentralWidget(central);

    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    top->addWidget(buildTracking(central), 0);
    top->addWidget(buildFrequencies(central), 1);
    top->addWidget(buildRotor(central), 0);
    QLayout* buttons = buildCommandButtons(central);
    QLayout* state = buildStateRow(central);
    QLayout* status = buildStatusRow(central);

    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(8, 6, 8, 6);
    layout->setSpacing(6);
    QLabel* banner = label("DemoBanner", m_k.ui.DemoBanner, central);
    banner->setWordWrap(true);
    banner->setStyleSheet("background: #fff4c0; color: black; padding: 4px;");
    banner->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(banner);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);
    layout->addLayout(state);
    layout->addLayout(status);
}

void MainWindow::buildMenus() {
    MainForm& f = m_k.ui;
    // Menu entries stand directly in the menu bar, as one-click commands.
    auto* menu = menuBar();
    for (const ButtonRow& entry : {ButtonRow{"mnuStart", &MainForm::mnuStart, mnuStart_Click},
                                   ButtonRow{"mnuHelp", &MainForm::mnuHelp, mnuHelp_Click}}) {
        Control& control = f.*entry.control;
        QAction* action = menu->addAction(toQString(control.caption));
        action->setObjectName(entry.name);
        Procedure procedure = entry.procedure;
        connect(action, &QAction::triggered, this,
                [this, procedure] { m_events.run([this, procedure] { procedure(m_k); }); });
        m_bindings.push_back([action, &control] { applyAction(action, control); });
    }

    // View: the sky view and the plan windows, before About.
    QMenu* view = new QMenu("View", menu);
    view->setObjectName("mnuView");
    QAction* sky = view->addAction("Sky view");
    sky->setObjectName("mnuSkyView");
    sky->setCheckable(true);
    connect(sky, &QAction::triggered, this,
            [this] { m_events.run([this] { toggleSkyView(m_k); }); });
    m_bindings.push_back([this, sky] { sky->setChecked(m_k.part<SkyView>().visible); });
    auto* planWindow = new PlanWindow(m_k, this);
    QAction* planAction = view->addAction("Plan");
    planAction->setObjectName("mnuPlan");
    connect(planAction, &QAction::triggered, this, [planWindow] { planWindow->open(); });
    QAction* calibrate = view->addAction("Calibrate");
    calibrate->setObjectName("mnuCalibrate");
    connect(calibrate, &QAction::triggered, this, [this] {
        auto* window = findChild<CalibrateWindow*>();
        if (window == nullptr) {
            window = new CalibrateWindow(m_k, this);
        }
        window->show();
        window->raise();
    });
    QAction* doppler = view->addAction("Doppler window");
    doppler->setObjectName("mnuDoppler");
    doppler->setCheckable(true);
    connect(doppler, &QAction::triggered, this,
            [this](bool on) { m_events.run([this, on] { m_k.frmDoppler.visible = on; }); });
    m_bindings.push_back([this, doppler] { doppler->setChecked(m_k.frmDoppler.visible); });
    menu->insertMenu(menu->actions().back(), view);
}

QLabel* MainWindow::label(const char* name, Control& control, QWidget* parent) {
    auto* widget = new QLabel(parent);
    widget->setObjectName(name);
    m_bindings.push_back([widget, &control] { applyLabel(widget, control); });
    return widget;
}

QPushButton* MainWindow::button(const char* name, Control& control, Procedure procedure,
                                QWidget* parent) {
    auto* widget = new QPushButton(toQString(control.caption), parent);
    widget->setObjectName(name);
    widget->setAutoDefault(false);
    widget->setFocusPolicy(Qt::TabFocus);
    connect(widget, &QPushButton::clicked, this,
            [this, procedure] { m_events.run([this, procedure] { procedure(m_k); }); });
    m_bindings.push_back([widget, &control] { applyButton(widget, control); });
    return widget;
}

QPushButton* MainWindow::button(const ButtonRow& row, QWidget* parent) {
    return button(row.name, m_k.ui.*row.control, row.procedure, parent);
}

QCheckBox* MainWindow::checkBox(const char* name, Control& control, Procedure procedure,
                                QWidget* parent) {
    auto* widget = new QCheckBox(parent);
    widget->setObjectName(name);
    connect(widget, &QCheckBox::toggled, this, [this, &control, procedure](bool on) {
        m_events.run([this, &control, procedure, on] {
            control.value = on ? 1 : 0;
            if (procedure != nullptr) {
                procedure(m_k);
            }
        });
    });
    m_bindings.push_back([widget, &control] { applyCheckBox(widget, control); });
    return widget;
}

QLineEdit* MainWindow::textBox(const char* name, Control& control, QWidget* parent) {
    auto* widget = new QLineEdit(parent);
    widget->setObjectName(name);
    connect(widget, &QLineEdit::textEdited, this, [this, &control](const QString& text) {
        m_events.run([&control, text] { control.caption = text.toStdString(); });
    });
    m_bindings.push_back([widget, &control] { applyLineEdit(widget, control); });
    return widget;
}

// Tracking: time, target azimuth and elevation, object.
QWidget* MainWindow::buildTracking(QWidget* central) {
    MainForm& f = m_k.ui;
    auto* tracking = new QGroupBox("Tracking", central);
    tracking->setObjectName("frameTracking");
    auto* grid = new QGridLayout(tracking);
    grid->setContentsMargins(8, 4, 8, 6);
    grid->setVerticalSpacing(0);
    int row = 0;
    for (const ReadoutRow& entry : kTrackingRows) {
        QLabel* caption = staticCaption(entry.caption, tracking);
        caption->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QLabel* value = label(entry.name, f.*entry.control, tracking);
        value->setFont(readoutFont(20));
        grid->addWidget(caption, row, 0);
        if (entry.control == &MainForm::lblTI) {
            value->setMinimumWidth(QFontMetrics(value->font()).horizontalAdvance("00:00:00") + 4);
            grid->addWidget(value, row, 1);
        } else {
            // The angle and its unit within the width the time takes, so the window keeps its size.
            auto* angle = new QHBoxLayout;
            angle->setSpacing(0);
            angle->addWidget(value);
            angle->addWidget(degreeSign(value->font(), tracking));
            angle->addStretch(1);
            grid->addLayout(angle, row, 1);
        }
        ++row;
    }
    QLabel* object = label("Tracklb", f.Tracklb, tracking);
    QFont objectFont = object->font();
    objectFont.setBold(true);
    objectFont.setPointSize(objectFont.pointSize() + 2);
    object->setFont(objectFont);
    object->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(object, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    return tracking;
}

// Frequencies: the QSO frequency from the tracking file and the one sent to the radio.
QWidget* MainWindow::buildFrequencies(QWidget* central) {
    MainForm& f = m_k.ui;
    auto* frequency = new QWidget(central);
    auto* box = new QVBoxLayout(frequency);
    box->setContentsMargins(0, 0, 0, 0);
    box->setSpacing(3);
    box->addWidget(staticCaption("Map65 / Linrad", frequency));
    for (auto [name, control] :
         {std::pair{"Label_freq", &f.Label_freq}, std::pair{"Label_TX", &f.Label_TX}}) {
        auto* readout = new QLabel(frequency);
        readout->setObjectName(name);
        Control* shown = control; // a structured binding cannot be captured before C++20's fix
        m_bindings.push_back([readout, shown] { applyFrequencyLabel(readout, *shown); });
        readout->setFont(readoutFont(18));
        readout->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        readout->setContentsMargins(8, 2, 8, 2);
        readout->setMinimumWidth(QFontMetrics(readout->font()).horizontalAdvance("-------------") +
                                 20);
        box->addWidget(readout);
    }
    auto* radioRow = new QHBoxLayout;
    QLabel* ptt = label("Ptt", f.Ptt, frequency);
    QFont pttFont = ptt->font();
    pttFont.setBold(true);
    ptt->setFont(pttFont);
    radioRow->addWidget(ptt);
    // The PTT sequencer's step, beside the PTT state; hidden while the sequencer is off.
    QLabel* step = label("PttSequence", f.PttSequence, frequency);
    step->setContentsMargins(4, 0, 4, 0);
    radioRow->addWidget(step);
    radioRow->addStretch(1);
    radioRow->addWidget(label("Tipo_rtx", f.Tipo_rtx, frequency));
    box->addLayout(radioRow);
    // Hidden unless WSJT-X is listened to, or there is a DX place.
    box->addWidget(label("Wsjtx", f.Wsjtx, frequency));
    box->addWidget(label("DxMoon", f.DxMoon, frequency));
    box->addStretch(1);
    return frequency;
}

// Rotor: measured position over the manual entry, manual direction, Stop, polarity.
QWidget* MainWindow::buildRotor(QWidget* central) {
    MainForm& f = m_k.ui;
    auto* rotor = new QWidget(central);
    auto* grid = new QGridLayout(rotor);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2); // room for the station buttons in the same window height
    grid->addWidget(staticCaption("Azimuth", rotor), 0, 0, Qt::AlignHCenter);
    grid->addWidget(staticCaption("Elevation", rotor), 0, 1, Qt::AlignHCenter);
    for (auto [column, name, control] :
         {std::tuple{0, "LabelAZ", &f.LabelAZ}, std::tuple{1, "LabelEL", &f.LabelEL}}) {
        auto* readout = new QLabel(rotor);
        readout->setObjectName(name);
        Control* shown = control; // a structured binding cannot be captured before C++20's fix
        m_bindings.push_back([readout, shown] { applyAngleLabel(readout, *shown); });
        readout->setFont(readoutFont(16));
        readout->setAlignment(Qt::AlignCenter);
        readout->setContentsMargins(6, 1, 6, 1);
        readout->setMinimumWidth(QFontMetrics(readout->font()).horizontalAdvance("000.0°") + 16);
        grid->addWidget(readout, 1, column);
    }
    for (auto [column, name, control] :
         {std::tuple{0, "Text1", &f.Text1}, std::tuple{1, "Text2", &f.Text2}}) {
        QLineEdit* entry = textBox(name, *control, rotor);
        entry->setAlignment(Qt::AlignCenter);
        grid->addWidget(entry, 2, column);
    }
    auto* manualRow = new QHBoxLayout;
    manualRow->setSpacing(4);
    manualRow->addWidget(checkBox("Rotorman", f.Rotorman, Rotorman_Click, rotor));
    manualRow->addWidget(label("Label7", f.Label7, rotor));
    manualRow->addStretch(1);
    grid->addLayout(manualRow, 3, 0, 1, 2);
    auto* rotorButtons = new QHBoxLayout;
    rotorButtons->addWidget(button("Command5", f.Command5, station::Command5_Click, rotor));
    rotorButtons->addWidget(button("Command6", f.Command6, Command6_Click, rotor));
    grid->addLayout(rotorButtons, 4, 0, 1, 2);

    auto* polarity = new QGroupBox(" Antenna Polarity", central);
    polarity->setObjectName("framePolarity");
    auto* polarityBox = new QHBoxLayout(polarity);
    polarityBox->setContentsMargins(6, 2, 6, 4);
    for (const ButtonRow& entry : kPolarityButtons) {
        QPushButton* b = button(entry, polarity);
        b->setMinimumWidth(40);
        polarityBox->addWidget(b);
    }
    grid->addWidget(polarity, 5, 0, 1, 2);

    // Only as large as their captions, so that the window keeps the size it always had.
    auto* stationButtons = new QHBoxLayout;
    stationButtons->setSpacing(2);
    for (const ButtonRow& entry : kStationButtons) {
        QPushButton* b = button(entry, rotor);
        b->setMinimumWidth(b->fontMetrics().horizontalAdvance(b->text()) + 10);
        stationButtons->addWidget(b);
    }
    grid->addLayout(stationButtons, 6, 0, 1, 2);
    return rotor;
}

QLayout* MainWindow::buildCommandButtons(QWidget* central) {
    auto* buttons = new QGridLayout;
    buttons->setHorizontalSpacing(4);
    buttons->setVerticalSpacing(4);
    int column = 0;
    for (const ButtonRow& entry : kFirstButtonRow) {
        buttons->addWidget(button(entry, central), 0, column++);
    }
    column = 0;
    for (const ButtonRow& entry : kSecondButtonRow) {
        buttons->addWidget(button(entry, central), 1, column++);
    }
    QPushButton* options = button("Option", m_k.ui.Option, Option_Click, central);
    options->setShortcut(QKeySequence(Qt::ALT | Qt::Key_O));
    buttons->addWidget(options, 1, 5);
    return buttons;
}

// The state line, what the antenna does and why, with its history one click away.
QLayout* MainWindow::buildStateRow(QWidget* central) {
    MainForm& f = m_k.ui;
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    QLabel* state = label("StateLine", f.StateLine, central);
    QFont stateFont = state->font();
    stateFont.setBold(true);
    stateFont.setPointSize(stateFont.pointSize() + 1);
    state->setFont(stateFont);
    state->setFrameShape(QFrame::StyledPanel);
    state->setContentsMargins(6, 2, 6, 2);
    state->setMinimumWidth(
        QFontMetrics(stateFont).horizontalAdvance("Tracking the Moon (computed)"));
    row->addWidget(state, 1);
    QLabel* command = label("LastCommand", f.LastCommand, central);
    command->setToolTip(
        "The bytes of the last command sent; the trace (argument T) keeps them all");
    command->setTextInteractionFlags(Qt::TextSelectableByMouse);
    command->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    row->addWidget(command);

    auto* history = new QToolButton(central);
    history->setObjectName("StateHistory");
    history->setPopupMode(QToolButton::InstantPopup);
    auto* list = new QMenu(history);
    list->setObjectName("StateHistoryList");
    history->setMenu(list);
    // The list is made when it opens, so that it always holds the newest sentences.
    connect(list, &QMenu::aboutToShow, this, [this, list] {
        list->clear();
        const std::vector<std::string>& entries = m_k.ui.stateHistory;
        for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
            list->addAction(toQString(*it))->setEnabled(false);
        }
    });
    m_bindings.push_back([history, &f] { applyButton(history, f.StateHistory); });
    row->addWidget(history);
    return row;
}

// Status row: auto update, heartbeat, Linrad state, status line.
QLayout* MainWindow::buildStatusRow(QWidget* central) {
    MainForm& f = m_k.ui;
    auto* status = new QHBoxLayout;
    status->setSpacing(6);
    status->addWidget(checkBox("Autoupdate", f.Autoupdate, nullptr, central));
    status->addWidget(label("auto", f.auto_, central));
    status->addSpacing(6);
    QLabel* heartbeat = label("lblFL", f.lblFL, central);
    heartbeat->setFixedSize(14, 14);
    heartbeat->setFrameShape(QFrame::Box);
    status->addWidget(heartbeat);
    QLabel* linrad = label("Linrad_stato", f.Linrad_stato, central);
    linrad->setMinimumWidth(QFontMetrics(linrad->font()).horizontalAdvance("Linrad off") + 8);
    status->addWidget(linrad);
    QLabel* line = label("RotorAZ", f.RotorAZ, central);
    line->setFrameShape(QFrame::StyledPanel);
    line->setFrameShadow(QFrame::Sunken);
    line->setContentsMargins(4, 0, 4, 0);
    line->setTextInteractionFlags(Qt::TextSelectableByMouse);
    status->addWidget(line, 1);
    return status;
}

void MainWindow::sync() {
    for (const std::function<void()>& apply : m_bindings) {
        apply();
    }
}

void MainWindow::applyGeometry() {
    m_trackGeometry = false;
    const MainForm& f = m_k.ui;
    auto pixels = [](double twips) {
        return static_cast<int>(std::lround(twips / kTwipsPerPixel));
    };
    // A stored size the layout cannot hold (0 from a damaged settings file) grows to what fits.
    QSize fits = minimumSizeHint();
    resize(std::max(pixels(f.width), fits.width()), std::max(pixels(f.height), fits.height()));
    move(pixels(f.left), pixels(f.top));
    m_trackGeometry = true;
    recordGeometry();
}

void MainWindow::recordGeometry() {
    if (!m_trackGeometry) {
        return;
    }
    MainForm& f = m_k.ui;
    f.left = pos().x() * kTwipsPerPixel;
    f.top = pos().y() * kTwipsPerPixel;
    f.width = width() * kTwipsPerPixel;
    f.height = height() * kTwipsPerPixel;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (onClose) {
        onClose();
    }
    event->accept();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    recordGeometry();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    recordGeometry();
}

} // namespace kelvora::ui
