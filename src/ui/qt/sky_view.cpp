// The sky view window.
#include "ui/qt/sky_view.h"

#include "sky/sky_view.h"
#include "state/kelv.h"
#include "ui/qt/small_windows.h"

#include <QCloseEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace kelvora::ui {

namespace {

constexpr double kLowestDrawnEl = -8; // below the horizon a mark sits just outside the rim

double radians(double degrees) {
    return degrees * std::numbers::pi / 180;
}

// The ring of a plot of radius `radius` where elevation `el` lies.
double ringRadius(double el, double radius) {
    return radius * (90 - el) / 90;
}

// A pie-shaped region between two azimuths (degrees, clockwise from north) and two elevations.
QPainterPath skyBand(double azFrom, double azTo, double elLow, double elHigh, QPointF centre,
                     double radius) {
    QPainterPath path;
    double outer = ringRadius(elLow, radius);
    double inner = ringRadius(elHigh, radius);
    // Qt's angles run counter-clockwise from east: azimuth a is at 90 - a.
    QRectF outerBox(centre.x() - outer, centre.y() - outer, 2 * outer, 2 * outer);
    QRectF innerBox(centre.x() - inner, centre.y() - inner, 2 * inner, 2 * inner);
    path.arcMoveTo(outerBox, 90 - azFrom);
    path.arcTo(outerBox, 90 - azFrom, -(azTo - azFrom));
    if (inner > 0) {
        path.arcTo(innerBox, 90 - azTo, azTo - azFrom);
    } else {
        path.lineTo(centre);
    }
    path.closeSubpath();
    return path;
}

// Draws a label up and to the right of `at`, or below it where that would cover a label drawn
// before (the Sun and the Moon close together); returns the box it took.
QRectF drawLabel(QPainter& p, QPointF at, const QString& text, const QColor& colour,
                 const std::vector<QRectF>& taken = {}) {
    p.setPen(colour);
    QFontMetricsF metrics(p.font());
    QRectF box = metrics.boundingRect(text);
    for (QPointF offset :
         {QPointF(8, -6), QPointF(8, metrics.ascent() + 6), QPointF(-8 - box.width(), -6),
          QPointF(-8 - box.width(), metrics.ascent() + 6)}) {
        QRectF placed = box.translated(at + offset);
        bool free = std::none_of(taken.begin(), taken.end(),
                                 [&placed](const QRectF& r) { return r.intersects(placed); });
        if (free) {
            p.drawText(at + offset, text);
            return placed;
        }
    }
    p.drawText(at + QPointF(8, -6), text);
    return box.translated(at + QPointF(8, -6));
}

} // namespace

SkyColours skyColours(bool dark) {
    if (dark) {
        return {QColor(28, 28, 32),        QColor(112, 112, 112),     QColor(224, 224, 224),
                QColor(170, 135, 90, 120), QColor(255, 80, 80, 70),   QColor(216, 216, 216),
                QColor(255, 192, 32),      QColor(255, 80, 80),       QColor(96, 160, 255),
                QColor(64, 224, 128),      QColor(64, 224, 128, 150), QColor(255, 144, 64)};
    }
    return {QColor(251, 251, 248),    QColor(150, 150, 150),    QColor(32, 32, 32),
            QColor(120, 95, 60, 110), QColor(200, 40, 40, 55),  QColor(120, 120, 120),
            QColor(235, 150, 0),      QColor(208, 16, 16),      QColor(16, 96, 208),
            QColor(16, 144, 64),      QColor(16, 144, 64, 150), QColor(192, 64, 0)};
}

QPointF skyPoint(double az, double el, QPointF centre, double radius) {
    double r = ringRadius(std::max(el, kLowestDrawnEl), radius);
    return {centre.x() + r * std::sin(radians(az)), centre.y() - r * std::cos(radians(az))};
}

SkyLayout skyLayout(QSize size, QFont font) {
    SkyLayout layout;
    double side = std::min(size.width(), size.height());
    font.setPixelSize(static_cast<int>(std::clamp(side / 32, 10.0, 16.0)));
    layout.font = font;
    layout.line = QFontMetricsF(font).height();
    // Room for the legend line above and the compass letters around the rim.
    layout.centre = QPointF(size.width() / 2.0, size.height() / 2.0 + layout.line / 2);
    layout.radius = std::max(20.0, side / 2 - 1.6 * layout.line - 4);
    layout.mark = std::max(4.0, layout.radius / 28);
    return layout;
}

SkyViewWindow::SkyViewWindow(Kelv& k, WindowEvents& events, QWidget* parent)
    : QWidget(parent, Qt::Window), m_k(k), m_events(events), m_timer(new QTimer(this)) {
    setObjectName("frmSkyView");
    setWindowTitle("Sky view");
    setMinimumSize(200, 200);
    m_timer->setInterval(500);
    connect(m_timer, &QTimer::timeout, this, [this] { poll(); });
}

void SkyViewWindow::sync() {
    SkyView& view = m_k.part<SkyView>();
    if (view.visible && !m_placed) {
        if (view.width > 0 && view.height > 0) {
            move(view.left, view.top);
            resize(std::max(view.width, minimumWidth()), std::max(view.height, minimumHeight()));
        } else {
            resize(460, 480);
        }
        m_placed = true;
    }
    applyVisible(this, view.visible);
    if (view.visible) {
        view.remembered = true;
        recordPlace();
        m_timer->start();
        poll();
    } else {
        m_timer->stop();
    }
}

void SkyViewWindow::poll() {
    SkyView& view = m_k.part<SkyView>();
    if (m_k.rs.Tracking_on == 0) {
        view.update(m_k); // no tick runs: the Moon and the Sun still move
    }
    if (view.revision() != m_drawnRevision) {
        update();
    }
}

void SkyViewWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    bool dark = palette().color(QPalette::Window).lightness() < 128;
    const SkyView& view = m_k.part<SkyView>();
    paintScene(painter, size(), view.scene(), skyColours(dark));
    m_drawnRevision = view.revision();
    ++m_paints;
}

namespace {

// Where the antenna cannot or may not point: limits, then the mask over them.
void drawForbidden(QPainter& p, const SkyScene& scene, const SkyColours& c,
                   const SkyLayout& layout) {
    const double radius = layout.radius;
    const QPointF centre = layout.centre;
    p.setPen(Qt::NoPen);
    p.setBrush(c.limits);
    if (scene.elLimited) {
        if (scene.elMin > 0) {
            p.drawPath(skyBand(0, 360, 0, scene.elMin, centre, radius));
        }
        if (scene.elMax < 90) {
            p.drawPath(skyBand(0, 360, scene.elMax, 90, centre, radius));
        }
    }
    if (scene.azLimited && scene.azMax - scene.azMin < 360) {
        p.drawPath(skyBand(scene.azMax, scene.azMin + 360, 0, 90, centre, radius));
    }
    if (!scene.mask.empty()) {
        QPolygonF mask;
        for (std::size_t i = 0; i < scene.mask.size(); ++i) {
            mask << skyPoint(static_cast<double>(i) * kMaskStepDeg, std::max(scene.mask[i], 0.0),
                             centre, radius);
        }
        for (int az = 360; az >= 0; az -= kMaskStepDeg) {
            mask << skyPoint(az, 0, centre, radius);
        }
        p.setBrush(c.mask);
        p.drawPolygon(mask);
    }
}

// Rings every 30 degrees of elevation, the cardinal lines and their letters.
void drawGrid(QPainter& p, const SkyColours& c, const SkyLayout& layout) {
    const double line = layout.line;
    const double radius = layout.radius;
    const QPointF centre = layout.centre;
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(c.grid, 1));
    for (int el = 0; el < 90; el += 30) {
        double r = ringRadius(el, radius);
        p.drawEllipse(centre, r, r);
        if (el > 0) {
            p.drawText(skyPoint(0, el, centre, radius) + QPointF(3, -2), QString::number(el));
        }
    }
    p.drawLine(skyPoint(0, 0, centre, radius), skyPoint(180, 0, centre, radius));
    p.drawLine(skyPoint(90, 0, centre, radius), skyPoint(270, 0, centre, radius));
    p.setPen(c.text);
    const std::pair<double, const char*> cardinals[] = {
        {0, "N"}, {90, "E"}, {180, "S"}, {270, "W"}};
    for (auto [az, name] : cardinals) {
        QPointF at = skyPoint(az, -7, centre, radius);
        QRectF box(at.x() - line, at.y() - line / 2, 2 * line, line);
        p.drawText(box, Qt::AlignCenter, name);
    }
}

void drawTrail(QPainter& p, const SkyScene& scene, const SkyColours& c, const SkyLayout& layout) {
    const double radius = layout.radius;
    const double mark = layout.mark;
    const QPointF centre = layout.centre;
    if (scene.trail.size() > 1) {
        QPolygonF trail;
        for (const SkyPoint& point : scene.trail) {
            trail << skyPoint(point.az, point.el, centre, radius);
        }
        p.setPen(
            QPen(c.trail, std::max(2.0, mark / 2), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(trail);
    }
}

void drawBodies(QPainter& p, const SkyScene& scene, const SkyColours& c, const SkyLayout& layout) {
    const double radius = layout.radius;
    const double mark = layout.mark;
    const QPointF centre = layout.centre;
    // A body below the horizon is drawn hollow, just outside the rim.
    std::vector<QRectF> labels;
    auto body = [&](const std::optional<SkyPoint>& at, const QColor& colour, const char* name,
                    double extent) {
        if (!at) {
            return;
        }
        QPointF xy = skyPoint(at->az, at->el, centre, radius);
        p.setPen(QPen(colour.darker(140), 1));
        p.setBrush(at->el >= 0 ? QBrush(colour) : QBrush(Qt::NoBrush));
        p.drawEllipse(xy, extent, extent);
        labels.push_back(drawLabel(p, xy + QPointF(extent / 2, 0), name, c.text, labels));
    };
    body(scene.sun, c.sun, "Sun", mark * 1.4);
    body(scene.moon, c.moon, "Moon", mark * 1.4);
    body(scene.star, c.text, scene.targetName.c_str(), mark * 0.8);
}

// The target, where the antenna was sent and where it stands.
void drawMarks(QPainter& p, const SkyScene& scene, const SkyColours& c, const SkyLayout& layout) {
    const double radius = layout.radius;
    const double mark = layout.mark;
    const QPointF centre = layout.centre;
    if (scene.plannedPath.size() > 1) {
        QPolygonF path;
        for (const SkyPoint& point : scene.plannedPath) {
            path << skyPoint(point.az, point.el, centre, radius);
        }
        p.setPen(QPen(c.commanded, std::max(1.5, mark / 3), Qt::DashLine));
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(path);
    }
    if (scene.target) {
        QPointF xy = skyPoint(scene.target->az, scene.target->el, centre, radius);
        double r = mark * 2.4;
        p.setPen(QPen(c.target, 2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(xy, r, r);
        for (auto [dx, dy] :
             {std::pair{1, 0}, std::pair{-1, 0}, std::pair{0, 1}, std::pair{0, -1}}) {
            p.drawLine(xy + QPointF(dx * r, dy * r), xy + QPointF(dx * r * 1.6, dy * r * 1.6));
        }
    }
    if (scene.commanded) {
        QPointF xy = skyPoint(scene.commanded->az, scene.commanded->el, centre, radius);
        p.setPen(QPen(c.commanded, 2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(xy.x() - mark * 1.8, xy.y() - mark * 1.8, mark * 3.6, mark * 3.6));
    }
    if (scene.measured) {
        QPointF xy = skyPoint(scene.measured->az, scene.measured->el, centre, radius);
        p.setPen(QPen(c.background, 1.5));
        p.setBrush(c.antenna);
        p.drawEllipse(xy, mark, mark);
    }
}

// The legend: what is tracked and from where, the marks, and a held state in its colour.
void drawLegend(QPainter& p, QSize size, const SkyScene& scene, const SkyColours& c,
                const SkyLayout& layout) {
    const double line = layout.line;
    p.setPen(c.text);
    double y = line;
    QString tracked = scene.targetName.empty() ? QString("No target")
                                               : QString("%1 %2 UTC, %3")
                                                     .arg(QString::fromStdString(scene.targetName),
                                                          QString::fromStdString(scene.time),
                                                          QString::fromStdString(scene.source));
    p.drawText(QPointF(6, y), tracked);
    // The marks' key in their own colours, bottom right.
    double x = size.width() - 6;
    const std::pair<QString, QColor> keys[] = {{"\u25cf antenna", c.antenna},
                                               {"\u25a1 commanded", c.commanded},
                                               {"\u25ef target", c.target}};
    for (const auto& [text, colour] : keys) {
        x -= QFontMetricsF(layout.font).horizontalAdvance(text + "  ");
        p.setPen(colour);
        p.drawText(QPointF(x, size.height() - 6), text);
    }
    if (!scene.holdText.empty()) {
        p.setPen(c.hold);
        p.drawText(QPointF(6, 2 * y), QString::fromStdString(scene.holdText));
    }
}

} // namespace

void SkyViewWindow::paintScene(QPainter& p, QSize size, const SkyScene& scene,
                               const SkyColours& c) {
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(QPoint(0, 0), size), c.background);
    SkyLayout layout = skyLayout(size, p.font());
    p.setFont(layout.font);
    drawForbidden(p, scene, c, layout);
    drawGrid(p, c, layout);
    drawTrail(p, scene, c, layout);
    drawBodies(p, scene, c, layout);
    drawMarks(p, scene, c, layout);
    drawLegend(p, size, scene, c, layout);
}

void SkyViewWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    m_events.run([this] { m_k.part<SkyView>().visible = false; });
}

void SkyViewWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    recordPlace();
}

void SkyViewWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    recordPlace();
}

void SkyViewWindow::recordPlace() {
    if (!m_placed || !isVisible()) {
        return;
    }
    SkyView& view = m_k.part<SkyView>();
    view.left = pos().x();
    view.top = pos().y();
    view.width = width();
    view.height = height();
}

} // namespace kelvora::ui
