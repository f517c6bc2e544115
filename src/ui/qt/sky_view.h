// The sky view window: a polar plot of the sky with the Moon, the Sun, the target, the antenna,
// its trail, the horizon mask and the limits, drawn with QPainter from the logic's scene.
#pragma once

#include "ui/qt/window_events.h"

#include <QColor>
#include <QFont>
#include <QPointF>
#include <QWidget>

class QTimer;

namespace kelvora {
struct Kelv;
struct SkyScene;
} // namespace kelvora

namespace kelvora::ui {

// The colours of one palette; the dark set keeps every mark legible on a dark window.
struct SkyColours {
    QColor background, grid, text, mask, limits, moon, sun, target, commanded, antenna, trail, hold;
};
SkyColours skyColours(bool dark);

// Where azimuth/elevation lands on a plot of `radius` around `centre`: north up, east right,
// the zenith in the centre, the horizon on the rim (below it, outside the rim).
QPointF skyPoint(double az, double el, QPointF centre, double radius);

// The plot's place in a window of `size` and the font of its texts, from the painter's font.
struct SkyLayout {
    QFont font;
    double line = 0; // the font's line height
    QPointF centre;
    double radius = 0; // of the horizon ring
    double mark = 0;   // the radius of the antenna's mark; the other marks scale with it
};
SkyLayout skyLayout(QSize size, QFont font);

// Responsibilities:
// - Shows and hides itself as SkyView::visible says (sync()); its close box clears the flag.
// - Checks twice a second whether the scene changed and repaints only then.
// - Keeps its place and size in the SkyView state so that they are written to the settings.
class SkyViewWindow : public QWidget {
public:
    SkyViewWindow(Kelv& k, WindowEvents& events, QWidget* parent);

    void sync();
    // Draws the scene on any paint device of the given size (the window, or an image in tests).
    static void paintScene(QPainter& painter, QSize size, const SkyScene& scene,
                           const SkyColours& colours);
    unsigned paintCount() const { return m_paints; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void poll();
    void recordPlace();

    Kelv& m_k;
    WindowEvents& m_events;
    QTimer* m_timer;
    unsigned m_drawnRevision = ~0u;
    unsigned m_paints = 0;
    bool m_placed = false;
};

} // namespace kelvora::ui
