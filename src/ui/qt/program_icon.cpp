// Draws the program icon: a night sky, the Moon and a dish aimed at it.
#include "ui/qt/program_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kelvora::ui {

QImage drawProgramIcon(int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);

    // Sky.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(16, 28, 64));
    p.drawRoundedRect(QRectF(1, 1, 62, 62), 10, 10);

    // The Moon, with a darker limb so it reads as a disc at small sizes.
    QRadialGradient moon(QPointF(40, 18), 16, QPointF(37, 15));
    moon.setColorAt(0, QColor(255, 252, 220));
    moon.setColorAt(1, QColor(200, 196, 160));
    p.setBrush(moon);
    p.drawEllipse(QPointF(42, 19), 12, 12);
    p.setBrush(QColor(170, 166, 132));
    p.drawEllipse(QPointF(46, 16), 2.5, 2.5);
    p.drawEllipse(QPointF(38, 23), 2, 2);

    // The dish: a bowl tilted towards the Moon on a mast, with its feed.
    p.save();
    p.translate(22, 44);
    p.rotate(35);
    QPainterPath bowl;
    bowl.moveTo(-14, -4);
    bowl.quadTo(0, 12, 14, -4);
    bowl.lineTo(12, -4);
    bowl.quadTo(0, 8, -12, -4);
    bowl.closeSubpath();
    p.setBrush(QColor(235, 235, 240));
    p.drawPath(bowl);
    p.setPen(QPen(QColor(235, 235, 240), 1.6));
    p.drawLine(QPointF(0, 4), QPointF(0, -10));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(0, -11), 1.8, 1.8);
    p.restore();
    p.setBrush(QColor(235, 235, 240));
    p.drawRect(QRectF(21, 47, 3, 12));
    p.drawRect(QRectF(15, 58, 15, 2.5));

    // The signal path to the Moon and back.
    p.setPen(QPen(QColor(120, 220, 120), 1.4, Qt::DashLine));
    p.drawLine(QPointF(27, 34), QPointF(34, 26));
    p.end();
    return image;
}

QIcon programIcon() {
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128}) {
        icon.addPixmap(QPixmap::fromImage(drawProgramIcon(size)));
    }
    return icon;
}

} // namespace kelvora::ui
