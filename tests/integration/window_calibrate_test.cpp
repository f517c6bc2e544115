// The Calibrate window driven on the simulated station: the points as they come, Stop, the fit.
#include "calibration/calibration_demo.h"
#include "integration/window_test_support.h"
#include "ui/qt/calibrate_window.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace kelvora::windowtests {
namespace {

using calibration::SimulatedStation;

struct CalibrateWindowTest : WindowFixture {
    ui::CalibrateWindow* open() {
        writeSettings();
        click("mnuCalibrate");
        auto* window = windows.mainWindow().findChild<ui::CalibrateWindow*>();
        EXPECT_NE(window, nullptr);
        return window;
    }
    // The simulated second: the window's timer tick, then the station's clock moves on.
    void run(ui::CalibrateWindow& window, SimulatedStation& station, int seconds) {
        for (int i = 0; i < seconds && window.scanning(); ++i) {
            window.advance();
            station.sleepFor(1);
        }
    }
    std::unique_ptr<calibration::Scan> scanOf(const astro::Observer& place) {
        calibration::ScanSettings s;
        s.beamDeg = 3;
        s.offSourceDeg = 15;
        return std::make_unique<calibration::Scan>(s, astro::Body::Sun, place);
    }
};

TEST_F(CalibrateWindowTest, ShowsEachPointThenTheFitAndLogsTheScan) {
    ui::CalibrateWindow* window = open();
    ASSERT_NE(window, nullptr);
    const astro::Observer place = calibration::demoObserver();
    SimulatedStation station(astro::Body::Sun, place,
                             *calibration::demoScanStart(astro::Body::Sun, place), 1);
    station.rotor().hiddenAzError = 0.4;
    station.rotor().hiddenElError = -0.2;
    station.receiver().beamDeg = 3;
    station.receiver().flux = 30;
    window->startScan(scanOf(place), station);
    auto* table = window->findChild<QTableWidget*>("tblPoints");
    run(*window, station, 12); // two points of six seconds each: a move, then five readings
    EXPECT_EQ(table->rowCount(), 2);
    EXPECT_FALSE(window->findChild<QPushButton*>("cmdApply")->isEnabled());
    run(*window, station, 1000);
    ASSERT_FALSE(window->scanning());
    EXPECT_EQ(table->rowCount(), 14); // 13 points of the cross and the cold sky
    ASSERT_TRUE(window->fit().has_value());
    EXPECT_TRUE(window->fit()->trustworthy) << window->fit()->verdict;
    EXPECT_TRUE(window->findChild<QPushButton*>("cmdApply")->isEnabled());
    const std::string fit = window->findChild<QLabel*>("lblFit")->text().toStdString();
    EXPECT_NE(fit.find("azimuth -0.4"), std::string::npos) << fit;
    EXPECT_NE(fit.find("elevation +0.2"), std::string::npos) << fit;
    std::ifstream log(k.programFolder + "/calibration.log");
    std::stringstream text;
    text << log.rdbuf();
    EXPECT_NE(text.str().find(" Sun correction az -0.4"), std::string::npos) << text.str();
    // For the README: the window after a simulated scan.
    if (const char* path = std::getenv("KELVORA_CALIBRATE_SCREENSHOT")) {
        window->show();
        QApplication::processEvents();
        window->grab().save(QString::fromUtf8(path));
    }

    // Stopped after three points: no more moves, and a fit of three points is not applied.
    window->startScan(scanOf(place), station);
    run(*window, station, 18);
    window->stop();
    EXPECT_FALSE(window->scanning());
    EXPECT_EQ(table->rowCount(), 3);
    EXPECT_FALSE(window->fit()->trustworthy);
    EXPECT_FALSE(window->findChild<QPushButton*>("cmdApply")->isEnabled());
}

} // namespace
} // namespace kelvora::windowtests
