// The Plan window drawn offscreen: the window shaded where the plan has it and nowhere else.
// With KELVORA_SCREENSHOT set, the shown window is also saved there: under xvfb-run with
// QT_QPA_PLATFORM=xcb this makes screenshots/plan_window.png.
#include "config/settings.h"
#include "fakes/kelv_fixture.h"
#include "ui/qt/plan_window.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace kelvora {
namespace {

TEST(PlanWindowTest, WindowsShadedWhereThePlanHasThem) {
    fakes::KelvFixture f;
    f.clock.utcMidnight = 1796688000; // 2026-12-08T00:00:00
    const std::pair<const char*, const char*> keys[] = {
        {"Locator", "JO65"}, {"DX_Locator", "FN30"}, {"DX_El_Min", "0"}};
    for (const auto& [key, value] : keys) {
        f.k.settings().setValue("Station", key, value);
    }
    f.k.settings().setValue("Rotor_Range", "Az_High", "450");
    f.folder.write("mask.txt", "0,2\n90,4\n150,3\n180,1.5\n210,3\n270,5\n");
    f.k.settings().setValue("Station", "Horizon_File", "mask.txt");
    ui::PlanWindow window(f.k, nullptr);
    window.resize(820, 560);
    window.open();
    QImage image(window.size(), QImage::Format_RGB32);
    QPainter painter(&image);
    window.render(&painter);
    painter.end();

    // The chart spans 24 hours from x = 48 to the width less 16; JO65's one window is
    // 07:39-13:13, so 10:00 lies inside it and 02:00 and 20:00 outside, high on the chart.
    const double left = 48, width = window.width() - 64;
    auto at = [&](double hours) {
        return image.pixelColor(static_cast<int>(left + hours / 24 * width), 40);
    };
    const QColor background(251, 251, 248);
    EXPECT_NE(at(10), background) << "inside the window";
    EXPECT_GT(at(10).green(), at(10).red()) << "shaded green";
    EXPECT_EQ(at(2), background);
    EXPECT_EQ(at(20), background);
    if (const char* path = std::getenv("KELVORA_SCREENSHOT")) {
        EXPECT_TRUE(window.grab().save(path));
    }
}

} // namespace
} // namespace kelvora
