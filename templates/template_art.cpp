#include "templates/template_art.h"

#include "templates/template_kit.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>

QImage PaintedPicture(QSize size, const std::function<void(QPainter &painter, double w, double h)> &paint)
{
    QImage image(size, QImage::Format_RGB32);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        paint(painter, size.width(), size.height());
    }
    return image;
}

QLinearGradient VerticalGradient(double top, double bottom, QColor from, QColor to)
{
    QLinearGradient gradient(0, top, 0, bottom);
    gradient.setColorAt(0, from);
    gradient.setColorAt(1, to);
    return gradient;
}

void DrawFlower(QPainter &painter, QPointF centre, double radius, QColor petals, QColor heart)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.translate(centre);
    painter.setBrush(petals);
    for (int i = 0; i < 6; ++i) {
        painter.rotate(60);
        painter.drawEllipse(QRectF(-radius * 0.32, -radius, radius * 0.64, radius * 1.05));
    }
    painter.setBrush(heart);
    painter.drawEllipse(QPointF(0, 0), radius * 0.3, radius * 0.3);
    painter.restore();
}

void DrawBalloon(QPainter &painter, QPointF centre, double radius, QColor colour)
{
    painter.save();
    const double height = radius * 1.2;
    painter.setPen(QPen(QColor(120, 120, 120, 160), 1.2));
    QPainterPath string;
    string.moveTo(centre.x(), centre.y() + height);
    string.cubicTo(centre.x() - 8, centre.y() + height + 30, centre.x() + 8, centre.y() + height + 55, centre.x() - 2,
                   centre.y() + height + 85);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(string);
    QRadialGradient shade(centre - QPointF(radius * 0.35, height * 0.4), radius * 1.6);
    shade.setColorAt(0, colour.lighter(150));
    shade.setColorAt(1, colour.darker(115));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawEllipse(centre, radius, height);
    QPolygonF knot{centre + QPointF(-4, height + 4), centre + QPointF(4, height + 4), centre + QPointF(0, height - 2)};
    painter.setBrush(colour.darker(115));
    painter.drawPolygon(knot);
    painter.restore();
}

void DrawLeafSprig(QPainter &painter, QPointF base, double length, double angleDegrees, QColor colour)
{
    painter.save();
    painter.translate(base);
    painter.rotate(angleDegrees);
    painter.setPen(QPen(colour.darker(120), 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(0, 0), QPointF(0, -length));
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    for (int i = 1; i <= 4; ++i) {
        const double y = -length * i / 5.0;
        const double size = length * (0.28 - i * 0.03);
        for (int side : {-1, 1}) {
            QPainterPath leaf;
            leaf.moveTo(0, y);
            leaf.quadTo(side * size * 0.9, y - size * 0.1, side * size, y - size * 0.8);
            leaf.quadTo(side * size * 0.2, y - size * 0.6, 0, y);
            painter.drawPath(leaf);
        }
    }
    painter.drawEllipse(QPointF(0, -length), length * 0.06, length * 0.1);
    painter.restore();
}

void DrawConfetti(QPainter &painter, const QRectF &area, int count, unsigned seed)
{
    static const QColor colours[] = {QColor(255, 138, 128), QColor(255, 204, 92), QColor(129, 199, 132),
                                     QColor(100, 181, 246), QColor(186, 104, 200)};
    QRandomGenerator random(seed);
    painter.save();
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < count; ++i) {
        QColor colour = colours[random.bounded(5)];
        colour.setAlpha(110 + int(random.bounded(80)));
        painter.setBrush(colour);
        const QPointF at(area.left() + random.bounded(area.width()), area.top() + random.bounded(area.height()));
        const double r = 2.0 + random.bounded(4.0);
        painter.drawEllipse(at, r, r);
    }
    painter.restore();
}

void PaintKeyWindow(QPainter &painter, const QRect &rect, bool ellipse)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgb(WindowKey));
    if (ellipse)
        painter.drawEllipse(rect);
    else
        painter.fillRect(rect, QColor::fromRgb(WindowKey));
    painter.restore();
}

void DrawMount(QPainter &painter, const QRectF &window, double border)
{
    const QRectF mount = window.adjusted(-border, -border, border, border);
    painter.save();
    painter.setPen(Qt::NoPen);
    for (int i = 4; i >= 1; --i) {
        painter.setBrush(QColor(0, 0, 0, 12));
        painter.drawRoundedRect(mount.translated(1.5 * i, 2.0 * i), 5, 5);
    }
    painter.setBrush(QColor(255, 255, 255));
    painter.drawRoundedRect(mount, 5, 5);
    painter.restore();
}

QImage MeadowPicture(QSize size)
{
    return PaintedPicture(size, [](QPainter &painter, double w, double h) {
        const QLinearGradient sky = VerticalGradient(0, h * 0.7, QColor(110, 175, 235), QColor(205, 232, 250));
        painter.fillRect(QRectF(0, 0, w, h), sky);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 214, 102));
        painter.drawEllipse(QPointF(w * 0.78, h * 0.22), w * 0.09, w * 0.09);
        painter.setBrush(QColor(255, 255, 255, 220));
        for (QPointF cloud : {QPointF(w * 0.25, h * 0.18), QPointF(w * 0.5, h * 0.3)}) {
            painter.drawEllipse(cloud, w * 0.08, h * 0.045);
            painter.drawEllipse(cloud + QPointF(w * 0.06, -h * 0.02), w * 0.06, h * 0.05);
        }
        const QColor hills[] = {QColor(140, 196, 112), QColor(104, 168, 88), QColor(76, 140, 70)};
        for (int i = 0; i < 3; ++i) {
            QPainterPath hill;
            const double top = h * (0.55 + i * 0.1);
            hill.moveTo(0, h);
            hill.lineTo(0, top + (i % 2 ? 20 : -10));
            hill.cubicTo(w * 0.3, top - 60 + i * 25, w * 0.6, top + 50, w, top - 20 + i * 10);
            hill.lineTo(w, h);
            painter.setBrush(hills[i]);
            painter.drawPath(hill);
        }
        QRandomGenerator random(7);
        const QColor petals[] = {QColor(255, 255, 255), QColor(255, 182, 193), QColor(255, 224, 102)};
        for (int i = 0; i < 40; ++i) {
            const QPointF at(random.bounded(w), h * 0.78 + random.bounded(h * 0.2));
            DrawFlower(painter, at, 5 + random.bounded(6.0), petals[random.bounded(3)], QColor(250, 190, 60));
        }
    });
}

QImage BouquetPicture(QSize size)
{
    return PaintedPicture(size, [](QPainter &painter, double w, double h) {
        QRadialGradient glow(w / 2, h / 2, w * 0.7);
        glow.setColorAt(0, QColor(255, 243, 236));
        glow.setColorAt(1, QColor(247, 205, 196));
        painter.fillRect(QRectF(0, 0, w, h), glow);
        for (int i = 0; i < 5; ++i)
            DrawLeafSprig(painter, QPointF(w * 0.5, h * 0.98), h * (0.5 + (i % 2) * 0.08), -36 + i * 18,
                          QColor(110, 160, 110));
        QRandomGenerator random(11);
        const QColor petals[] = {QColor(236, 112, 140), QColor(255, 171, 145), QColor(255, 255, 255),
                                 QColor(206, 147, 216)};
        for (int i = 0; i < 14; ++i) {
            const double angle = (-150 + random.bounded(120.0)) * M_PI / 180.0;
            const double distance = h * (0.2 + random.bounded(0.22));
            const QPointF at(w * 0.5 + std::cos(angle) * distance, h * 0.62 + std::sin(angle) * distance);
            DrawFlower(painter, at, w * (0.06 + random.bounded(0.04)), petals[i % 4], QColor(255, 214, 102));
        }
    });
}
