// The "Calibrate" window: a pointing scan on the tracked source, each point's power as it comes,
// Stop at any step, the fit, and Apply to rotor.dat after the operator confirms.
#pragma once

#include "calibration/scan.h"
#include "state/kelv.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>
#include <string>

class QLabel;
class QPushButton;
class QTableWidget;

namespace kelvora::hamlib {
class HamlibLink;
}
namespace kelvora::platform {
class QtTcpSocket;
}

namespace kelvora::ui {

class CalibrateWindow : public QWidget {
    Q_OBJECT
public:
    CalibrateWindow(Kelv& k, QWidget* parent);
    ~CalibrateWindow() override;

    // Start: the [Calibration] settings, the tracked source and the station's devices.
    void startOnStation();
    // A scan on any devices (the simulated station in the tests and the screenshot).
    void startScan(std::unique_ptr<calibration::Scan> scan, calibration::ScanDevices& devices);
    // One second of the scan: a move, or a reading of the dwell; the timer calls it.
    void advance();
    void stop();
    bool scanning() const { return m_scan && !m_finished; }
    const std::optional<calibration::BeamFit>& fit() const { return m_fit; }

private:
    void addRow(const calibration::ScanOffset& offset, const std::string& power);
    void finish();
    void apply();
    void askLevel();
    bool settled();

    Kelv& m_k;
    QTableWidget* m_table;
    QLabel* m_status;
    QLabel* m_result;
    QPushButton* m_startButton;
    QPushButton* m_stopButton;
    QPushButton* m_applyButton;
    QTimer m_seconds;
    QTimer m_linkPoll;

    std::unique_ptr<calibration::Scan> m_scan;
    calibration::ScanDevices* m_devices = nullptr;
    std::unique_ptr<calibration::ScanDevices> m_ownDevices;
    std::unique_ptr<platform::QtTcpSocket> m_socket;
    std::unique_ptr<hamlib::HamlibLink> m_link;
    std::string m_level = "STRENGTH";
    bool m_dwelling = false;
    bool m_settling = false; // the rotor is still on its way to the point
    double m_settleStart = 0;
    bool m_finished = false;
    double m_dwellStart = 0;
    std::optional<calibration::BeamFit> m_fit;
    calibration::Correction m_correction;
};

} // namespace kelvora::ui
