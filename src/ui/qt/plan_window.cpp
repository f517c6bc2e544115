#include "ui/qt/plan_window.h"

#include "config/settings.h"
#include "sources/tracking_source.h"
#include "state/kelv.h"
#include "station/station_control.h"
#include "tracking/path_planning.h"

#include <QPainter>
#include <QPainterPath>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace kelvora::ui {

namespace {

constexpr double kLowEl = -20, kHighEl = 90;

QString clock(double unix, bool seconds = false) {
    std::string t = astro::UtcTime::fromUnixSeconds(std::round(unix)).toString();
    return QString::fromStdString(t.substr(11, seconds ? 8 : 5));
}

QString degrees(double v) {
    return QString::number(v, 'f', 1) + QChar(0xB0);
}

// The words for one window: its times, its highest point, and how it is flown.
QString windowLine(int n, const plan::PassWindow& w) {
    QString line =
        QString("%1. %2 – %3 UTC, highest %4 at %5")
            .arg(n)
            .arg(clock(w.rise, true), clock(w.set, true), degrees(w.highestEl), clock(w.highestAt));
    const plan::WindowPath& p = w.path;
    line += QString("; path %1..%2").arg(degrees(p.mechLow), degrees(p.mechHigh));
    if (p.path.flipped) {
        line += ", flipped over the top";
    }
    if (p.unwinds.empty()) {
        line += ", no unwind";
    }
    for (double t : p.unwinds) {
        line += ", unwind at " + clock(t);
    }
    return line;
}

struct Chart {
    QRectF area;
    double start = 0, end = 1;
    double x(double unix) const {
        return area.left() + (unix - start) / (end - start) * area.width();
    }
    double y(double el) const {
        return area.bottom() -
               (std::clamp(el, kLowEl, kHighEl) - kLowEl) / (kHighEl - kLowEl) * area.height();
    }
};

void drawGrid(QPainter& p, const Chart& c) {
    p.setPen(QPen(QColor(200, 200, 200), 1));
    for (double el = kLowEl; el <= kHighEl; el += 10) {
        p.drawLine(QPointF(c.area.left(), c.y(el)), QPointF(c.area.right(), c.y(el)));
        p.setPen(QColor(60, 60, 60));
        p.drawText(QRectF(0, c.y(el) - 8, c.area.left() - 4, 16), Qt::AlignRight | Qt::AlignVCenter,
                   degrees(el).replace(".0", ""));
        p.setPen(QPen(QColor(200, 200, 200), 1));
    }
    for (double t = std::ceil(c.start / 10800) * 10800; t <= c.end; t += 10800) {
        p.drawLine(QPointF(c.x(t), c.area.top()), QPointF(c.x(t), c.area.bottom()));
        p.setPen(QColor(60, 60, 60));
        p.drawText(QRectF(c.x(t) - 30, c.area.bottom() + 2, 60, 16), Qt::AlignCenter, clock(t));
        p.setPen(QPen(QColor(200, 200, 200), 1));
    }
    p.setPen(QPen(QColor(90, 90, 90), 1.5));
    p.drawLine(QPointF(c.area.left(), c.y(0)), QPointF(c.area.right(), c.y(0)));
}

void drawCurve(QPainter& p, const Chart& c, const std::vector<plan::PlanSample>& samples,
               double plan::PlanSample::*field, const QPen& pen) {
    QPainterPath path;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        QPointF point(c.x(samples[i].unix), c.y(samples[i].*field));
        i == 0 ? path.moveTo(point) : path.lineTo(point);
    }
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

} // namespace

PlanWindow::PlanWindow(Kelv& k, QWidget* parent)
    : QWidget(parent, Qt::Window), m_k(k), m_timer(new QTimer(this)) {
    setObjectName("frmPlan");
    setWindowTitle("Plan");
    setMinimumSize(480, 360);
    resize(820, 560);
    m_timer->setInterval(60000);
    connect(m_timer, &QTimer::timeout, this, [this] { refresh(); });
}

void PlanWindow::open() {
    refresh();
    show();
    raise();
    m_timer->start();
}

void PlanWindow::refresh() {
    m_picture.plan = planFromNow(m_k);
    m_picture.body = trackedBody(m_k) == astro::Body::Sun ? "Sun" : "Moon";
    m_picture.dxLocator = m_k.part<station::StationPart>().rules.settings().dxLocator;
    update();
}

void PlanWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintPlan(painter, size(), m_picture);
}

void PlanWindow::paintPlan(QPainter& p, QSize size, const PlanPicture& picture) {
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRect(QPoint(0, 0), size), QColor(251, 251, 248));
    QFont font = p.font();
    font.setPixelSize(13);
    p.setFont(font);
    p.setPen(QColor(32, 32, 32));
    if (!picture.plan || picture.plan->samples.empty()) {
        p.drawText(QRect(QPoint(0, 0), size), Qt::AlignCenter,
                   "No plan: set the station's place ([Station] Locator, or Latitude and "
                   "Longitude).");
        return;
    }
    const plan::PassPlan& plan = *picture.plan;
    const int lines = static_cast<int>(plan.windows.size() + plan.common.size()) + 4;
    Chart c;
    c.area = QRectF(48, 30, size.width() - 64, std::max(120.0, size.height() - 60 - 18.0 * lines));
    c.start = plan.samples.front().unix;
    c.end = plan.samples.back().unix;
    p.drawText(QRectF(48, 4, size.width() - 64, 20), Qt::AlignLeft | Qt::AlignVCenter,
               QString::fromStdString(picture.body) + " elevation, next 24 hours from " +
                   QString::fromStdString(astro::UtcTime::fromUnixSeconds(c.start).toString())
                       .replace('T', ' ') +
                   " UTC");
    for (const plan::PassWindow& w : plan.windows) {
        p.fillRect(QRectF(QPointF(c.x(w.rise), c.area.top()), QPointF(c.x(w.set), c.y(kLowEl))),
                   QColor(16, 144, 64, 40));
    }
    for (const plan::PassWindow& w : plan.common) {
        p.fillRect(QRectF(QPointF(c.x(w.rise), c.y(kLowEl) - 10), QPointF(c.x(w.set), c.y(kLowEl))),
                   QColor(16, 96, 208, 160));
    }
    drawGrid(p, c);
    drawCurve(p, c, plan.samples, &plan::PlanSample::maskEl, QPen(QColor(150, 110, 60), 2));
    if (!picture.dxLocator.empty()) {
        drawCurve(p, c, plan.samples, &plan::PlanSample::dxEl,
                  QPen(QColor(16, 96, 208), 1.5, Qt::DashLine));
    }
    drawCurve(p, c, plan.samples, &plan::PlanSample::el, QPen(QColor(208, 16, 16), 2));
    for (const plan::PassWindow& w : plan.windows) {
        for (double t : w.path.unwinds) {
            p.setPen(QPen(QColor(192, 64, 0), 2, Qt::DotLine));
            p.drawLine(QPointF(c.x(t), c.area.top()), QPointF(c.x(t), c.y(kLowEl)));
        }
    }

    double y = c.area.bottom() + 24;
    auto text = [&](const QString& line, const QColor& colour) {
        p.setPen(colour);
        p.drawText(QRectF(12, y, size.width() - 24, 18), Qt::AlignLeft | Qt::AlignVCenter, line);
        y += 18;
    };
    text(QString("Red: the %1; brown: the horizon mask at its azimuth; green: the windows; "
                 "dotted: an unwind.")
             .arg(QString::fromStdString(picture.body)),
         QColor(80, 80, 80));
    if (!picture.dxLocator.empty()) {
        text(QString("Dashed blue: the %1 seen from %2; blue bar: the common windows.")
                 .arg(QString::fromStdString(picture.body),
                      QString::fromStdString(picture.dxLocator)),
             QColor(80, 80, 80));
    }
    if (plan.windows.empty()) {
        text("No window: the body stays under the mask or outside the limits.", QColor(32, 32, 32));
    }
    int n = 0;
    for (const plan::PassWindow& w : plan.windows) {
        text(windowLine(++n, w), QColor(32, 32, 32));
    }
    for (const plan::PassWindow& w : plan.common) {
        text(QString("Common with %1: %2 – %3 UTC, highest %4")
                 .arg(QString::fromStdString(picture.dxLocator), clock(w.rise, true),
                      clock(w.set, true), degrees(w.highestEl)),
             QColor(16, 96, 208));
    }
}

} // namespace kelvora::ui
