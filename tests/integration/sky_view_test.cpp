// The sky view drawn offscreen (pixels where the marks must be).
#include "sky/sky_view.h"
#include "ui/qt/sky_view.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

namespace kelvora {
namespace {

using ui::SkyViewWindow;

// Every channel within `tolerance` of the expected colour.
bool near(QColor got, QColor want, int tolerance = 12) {
    return std::abs(got.red() - want.red()) <= tolerance &&
           std::abs(got.green() - want.green()) <= tolerance &&
           std::abs(got.blue() - want.blue()) <= tolerance;
}

// North up, east right, the zenith in the centre, the horizon on the rim of radius 90.
TEST(SkyViewTest, PolarPlotAxes) {
    const std::tuple<double, double, double, double> cases[] = {
        {0, 0, 100, 10},    {90, 0, 190, 100}, {180, 0, 100, 190}, {270, 30, 40, 100},
        {45, 90, 100, 100}, {0, -30, 100, 2}, // below the horizon: just outside the rim
    };
    for (auto [az, el, x, y] : cases) {
        QPointF p = ui::skyPoint(az, el, QPointF(100, 100), 90);
        EXPECT_NEAR(p.x(), x, 1e-9) << az << "/" << el;
        EXPECT_NEAR(p.y(), y, 1e-9) << az << "/" << el;
    }
}

TEST(SkyViewTest, MoonAntennaAndMaskWhereTheyBelong) {
    SkyScene scene;
    scene.moon = SkyPoint{90, 30};
    scene.target = scene.moon;
    scene.targetName = "Moon";
    scene.sun = SkyPoint{300, 10};
    scene.measured = SkyPoint{200, 45};
    scene.trail = {{150, 20}, {180, 35}, {200, 45}};
    scene.mask.assign(360 / kMaskStepDeg + 1, 0.0);
    for (int az = 100; az <= 140; az += kMaskStepDeg) {
        scene.mask[static_cast<std::size_t>(az / kMaskStepDeg)] = 25; // a hill in the south-east
    }
    for (bool dark : {false, true}) {
        for (int side : {300, 640}) {
            ui::SkyColours colours = ui::skyColours(dark);
            QImage image(side, side, QImage::Format_RGB32);
            QPainter painter(&image);
            ui::SkyLayout layout = ui::skyLayout(image.size(), painter.font());
            SkyViewWindow::paintScene(painter, image.size(), scene, colours);
            painter.end();
            ASSERT_GT(layout.radius, side / 3.0) << side;
            auto at = [&](double az, double el) {
                QPointF p = ui::skyPoint(az, el, layout.centre, layout.radius);
                return image.pixelColor(p.toPoint());
            };
            std::string what = (dark ? "dark " : "light ") + std::to_string(side);
            EXPECT_TRUE(near(at(90, 30), colours.moon)) << what << " Moon";
            EXPECT_TRUE(near(at(200, 45), colours.antenna)) << what << " antenna";
            EXPECT_TRUE(near(at(300, 10), colours.sun)) << what << " Sun";
            EXPECT_FALSE(near(at(120, 12), colours.background, 4)) << what << " mask";
            EXPECT_TRUE(near(at(60, 12), colours.background, 4)) << what << " open sky";
        }
    }
}

// The light and the dark palette both keep each mark apart from the background.
TEST(SkyViewTest, MarksStandOutInBothPalettes) {
    for (bool dark : {false, true}) {
        ui::SkyColours c = ui::skyColours(dark);
        for (QColor mark : {c.moon, c.sun, c.target, c.commanded, c.antenna, c.text, c.hold}) {
            EXPECT_GT(std::abs(mark.lightness() - c.background.lightness()), 60)
                << (dark ? "dark " : "light ") << mark.name().toStdString();
        }
    }
}

} // namespace
} // namespace kelvora
