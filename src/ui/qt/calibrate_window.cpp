#include "ui/qt/calibrate_window.h"

#include "calibration/calibration_files.h"
#include "calibration/station_scan.h"
#include "config/settings.h"
#include "hamlib/hamlib_link.h"
#include "platform/qt/qt_tcp_socket.h"
#include "sources/tracking_source.h"
#include "tracking/startup.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <cstdio>

namespace kelvora::ui {

namespace {

QString number(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return QString::fromUtf8(text);
}

// YYYYMMDD-HHMMSS of a UTC time, for the backup's name.
std::string stamp(double utcSeconds) {
    std::string t = astro::UtcTime::fromUnixSeconds(utcSeconds).toString();
    return t.substr(0, 4) + t.substr(5, 2) + t.substr(8, 2) + "-" + t.substr(11, 2) +
           t.substr(14, 2) + t.substr(17, 2);
}

} // namespace

CalibrateWindow::CalibrateWindow(Kelv& k, QWidget* parent)
    : QWidget(parent, Qt::Window), m_k(k), m_table(new QTableWidget(0, 3, this)),
      m_status(new QLabel(this)), m_result(new QLabel(this)),
      m_startButton(new QPushButton("Start", this)), m_stopButton(new QPushButton("Stop", this)),
      m_applyButton(new QPushButton("Apply", this)) {
    setObjectName("frmCalibrate");
    setWindowTitle("Calibrate");
    m_table->setObjectName("tblPoints");
    m_table->setHorizontalHeaderLabels({"Cross-el °", "El °", "Power dB"});
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->verticalHeader()->setVisible(false);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_status->setObjectName("lblStatus");
    m_result->setObjectName("lblFit");
    m_result->setWordWrap(true);
    m_startButton->setObjectName("cmdStart");
    m_stopButton->setObjectName("cmdStop");
    m_applyButton->setObjectName("cmdApply");
    m_stopButton->setEnabled(false);
    m_applyButton->setEnabled(false);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_startButton);
    buttons->addWidget(m_stopButton);
    buttons->addStretch();
    buttons->addWidget(m_applyButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_status);
    layout->addWidget(m_table, 1);
    layout->addWidget(m_result);
    layout->addLayout(buttons);
    resize(420, 520);

    connect(m_startButton, &QPushButton::clicked, this, [this] { startOnStation(); });
    connect(m_stopButton, &QPushButton::clicked, this, [this] { stop(); });
    connect(m_applyButton, &QPushButton::clicked, this, [this] { apply(); });
    m_seconds.setInterval(1000);
    connect(&m_seconds, &QTimer::timeout, this, [this] { advance(); });
    m_linkPoll.setInterval(100);
    connect(&m_linkPoll, &QTimer::timeout, this, [this] {
        if (m_link) {
            m_link->poll();
        }
    });
    m_status->setText("Scans the tracked source; tracking pauses while it runs.");
}

CalibrateWindow::~CalibrateWindow() = default;

void CalibrateWindow::startOnStation() {
    Parsed<calibration::ScanSettings> settings =
        calibration::readScanSettings(m_k.settings().lookup("Calibration"));
    std::optional<astro::Observer> place = configuredPlace(m_k);
    if (!settings || !place) {
        m_status->setText(QString::fromStdString(
            settings ? "No station place: set [Station] Locator, or Latitude and Longitude"
                     : settings.error));
        return;
    }
    const astro::Body body = trackedBody(m_k);
    auto devices = std::make_unique<calibration::StationScanDevices>(m_k, body, *place);
    m_link.reset();
    if (settings.value->powerSource == calibration::PowerSource::Simulated) {
        devices->simulated.emplace(1);
        devices->simulated->beamDeg = settings.value->beamDeg;
    } else {
        m_socket = std::make_unique<platform::QtTcpSocket>();
        m_link = std::make_unique<hamlib::HamlibLink>(hamlib::Daemon::Rig, *m_socket, m_k.clock);
        std::string error;
        if (!m_link->setAddress(m_k.settings().value("Hamlib", "Rig_Address"), error)) {
            m_status->setText(QString::fromStdString("[Hamlib] Rig_Address: " + error));
            m_link.reset();
            return;
        }
        calibration::StationScanDevices* target = devices.get();
        m_link->onLevel = [this, target](const std::string& level, std::optional<double> value) {
            if (value) {
                target->levelArrived(*value);
            } else if (level == "STRENGTH") {
                m_level = "RAWSTR"; // the back-end has no calibrated strength
            }
        };
        m_linkPoll.start();
    }
    calibration::ScanDevices& ref = *devices;
    m_ownDevices = std::move(devices);
    startScan(std::make_unique<calibration::Scan>(*settings.value, body, *place), ref);
    m_seconds.start();
}

void CalibrateWindow::startScan(std::unique_ptr<calibration::Scan> scan,
                                calibration::ScanDevices& devices) {
    m_scan = std::move(scan);
    m_devices = &devices;
    m_dwelling = false;
    m_finished = false;
    m_fit.reset();
    m_table->setRowCount(0);
    m_result->clear();
    m_startButton->setEnabled(false);
    m_stopButton->setEnabled(true);
    m_applyButton->setEnabled(false);
    m_status->setText(QString("Scanning %1: %2 points")
                          .arg(QString::fromUtf8(astro::bodyName(m_scan->body()).data()))
                          .arg(m_scan->plan().size()));
}

void CalibrateWindow::askLevel() {
    if (m_link && m_link->connected()) {
        m_link->send(hamlib::getLevelCommand(m_level));
    }
}

void CalibrateWindow::advance() {
    if (!scanning()) {
        return;
    }
    using calibration::StepResult;
    if (!m_dwelling) {
        const std::size_t index = m_scan->nextIndex();
        switch (m_scan->moveToNext(*m_devices)) {
        case StepResult::Done:
            finish();
            return;
        case StepResult::Paused:
            m_status->setText("Paused: " + QString::fromStdString(m_scan->lastReason()));
            return;
        case StepResult::Skipped:
            addRow(m_scan->plan()[index], "skipped: " + m_scan->lastReason());
            return;
        default:
            m_dwelling = true;
            m_settling = true;
            m_settleStart = m_devices->utcSeconds();
            break;
        }
    }
    const QString point =
        QString("Point %1 of %2").arg(m_scan->nextIndex()).arg(m_scan->plan().size());
    if (m_settling) {
        if (!settled()) {
            m_status->setText(point + ": the antenna is on its way");
            return;
        }
        m_settling = false;
        m_dwellStart = m_devices->utcSeconds();
        m_status->setText(point + ": reading the receiver");
        askLevel();
        return;
    }
    if (std::optional<double> db = m_devices->powerDb()) {
        m_scan->addReading(*db);
    }
    if (m_devices->utcSeconds() - m_dwellStart < m_scan->settings().dwellSeconds - 1e-6) {
        askLevel();
        return;
    }
    m_dwelling = false;
    const calibration::ScanOffset& offset = m_scan->plan()[m_scan->nextIndex() - 1];
    const std::size_t before = m_scan->points().size();
    if (m_scan->finishPoint(*m_devices) == StepResult::Skipped) {
        addRow(offset, m_scan->lastReason());
    } else if (offset.coldSky) {
        addRow(offset, number("%.2f", *m_scan->coldSkyDb()).toStdString());
    } else if (m_scan->points().size() > before) {
        addRow(offset, number("%.2f", m_scan->points().back().measured.powerDb).toStdString());
    }
    if (m_scan->done()) {
        finish();
    }
}

// The dwell starts once the antenna has arrived, or after kSettleSeconds whatever it says.
bool CalibrateWindow::settled() {
    constexpr double kSettleSeconds = 60;
    return m_devices->settled() || m_devices->utcSeconds() - m_settleStart >= kSettleSeconds;
}

void CalibrateWindow::addRow(const calibration::ScanOffset& offset, const std::string& power) {
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    m_table->setItem(row, 0,
                     new QTableWidgetItem(offset.coldSky ? QString("cold sky")
                                                         : number("%+.2f", offset.crossElDeg)));
    m_table->setItem(row, 1, new QTableWidgetItem(number("%+.2f", offset.elDeg)));
    m_table->setItem(row, 2, new QTableWidgetItem(QString::fromStdString(power)));
    m_table->scrollToBottom();
}

void CalibrateWindow::stop() {
    if (scanning()) {
        m_scan->stop();
        m_dwelling = false;
        finish();
        m_status->setText("Stopped");
    }
}

void CalibrateWindow::finish() {
    m_finished = true;
    m_seconds.stop();
    m_linkPoll.stop();
    m_startButton->setEnabled(true);
    m_stopButton->setEnabled(false);
    calibration::BeamFit fit = m_scan->fit();
    const double el = m_scan->points().empty() ? 0 : m_scan->points().front().source.el;
    m_correction = calibration::correctionOf(fit, el);
    m_fit = fit;
    const double utc = m_devices->utcSeconds();
    calibration::appendToLog(m_k.programFolder,
                             calibration::logRecord(astro::UtcTime::fromUnixSeconds(utc).toString(),
                                                    *m_scan, fit, m_correction));
    QString text = number("Correction: azimuth %+.2f°", m_correction.azDeg) +
                   number(", elevation %+.2f°", m_correction.elDeg) +
                   number("\nOffsets ±%.3f°", fit.crossElSigmaDeg) +
                   number(" / ±%.3f°", fit.elSigmaDeg) + number(", beam %.2f°", fit.beamDeg);
    if (fit.sourceNoiseDb) {
        text += number(", source noise %.2f dB", *fit.sourceNoiseDb);
    }
    text += fit.trustworthy ? QString("\nThe fit can be applied to rotor.dat.")
                            : "\nNot trustworthy: " + QString::fromStdString(fit.verdict);
    m_result->setText(text);
    m_applyButton->setEnabled(fit.trustworthy);
    m_status->setText("Scan done; logged in calibration.log");
}

void CalibrateWindow::apply() {
    if (!m_fit || !m_fit->trustworthy) {
        return;
    }
    const QString question =
        number("Add %+.2f° to every azimuth correction", m_correction.azDeg) +
        number(" and %+.2f° to every elevation correction of rotor.dat?", m_correction.elDeg) +
        "\nThe present file is kept as a dated backup.";
    if (QMessageBox::question(this, "Calibrate", question) != QMessageBox::Yes) {
        return;
    }
    std::string error = calibration::applyToRotorDat(m_k.programFolder, m_correction,
                                                     stamp(m_k.clock.utcSeconds()));
    if (!error.empty()) {
        m_status->setText(QString::fromStdString(error));
        return;
    }
    Load_Rotor_dat(m_k);
    m_applyButton->setEnabled(false); // applied once: a second click would add it again
    m_status->setText("rotor.dat corrected; the previous file is kept beside it");
}

} // namespace kelvora::ui
