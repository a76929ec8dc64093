#include "templates/template_pictures.h"

#include "templates/template_art.h"
#include "templates/template_ornaments.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>

namespace {

QImage Canvas(QSize size) { return QImage(size, QImage::Format_RGB32); }

} // namespace

QImage RosesPicture(QSize size)
{
    QImage image = Canvas(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    QRadialGradient ground(w * 0.5, h * 0.45, w * 0.75);
    ground.setColorAt(0, QColor(255, 246, 240));
    ground.setColorAt(1, QColor(226, 196, 186));
    painter.fillRect(image.rect(), ground);
    QRandomGenerator random(21);
    for (int i = 0; i < 16; ++i)
        DrawLeafSprig(painter, QPointF(random.bounded(w), h * 0.55 + random.bounded(h * 0.5)), h * 0.25,
                      -70 + random.bounded(140.0), QColor(126, 160, 120));
    const QColor blush[] = {QColor(240, 170, 170), QColor(250, 206, 196), QColor(226, 140, 150), QColor(255, 236, 226)};
    const QPointF spots[] = {{0.3, 0.48}, {0.55, 0.42}, {0.76, 0.56}, {0.42, 0.7}, {0.66, 0.76}, {0.2, 0.74},
                             {0.86, 0.32}, {0.12, 0.36}};
    for (int i = 0; i < 8; ++i)
        DrawRose(painter, QPointF(spots[i].x() * w, spots[i].y() * h), w * (0.1 + (i % 3) * 0.025), blush[i % 4]);
    return image;
}

QImage NurseryPicture(QSize size)
{
    QImage image = Canvas(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(120, 150, 206));
    sky.setColorAt(1, QColor(214, 200, 236));
    painter.fillRect(image.rect(), sky);
    QRandomGenerator random(5);
    for (int i = 0; i < 30; ++i)
        DrawTwinkle(painter, QPointF(random.bounded(w), random.bounded(h * 0.7)), 3 + random.bounded(6.0),
                    QColor(255, 250, 220, 200));
    // A crescent: a bright disc with a disc of sky over one side.
    const QPointF moon(w * 0.5, h * 0.42);
    const double r = w * 0.2;
    QPainterPath crescent;
    crescent.addEllipse(moon, r, r);
    QPainterPath bite;
    bite.addEllipse(moon + QPointF(r * 0.55, -r * 0.25), r * 0.85, r * 0.85);
    QRadialGradient glow(moon, r * 1.8);
    glow.setColorAt(0, QColor(255, 248, 200, 140));
    glow.setColorAt(1, QColor(255, 248, 200, 0));
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(moon, r * 1.8, r * 1.8);
    painter.setBrush(QColor(255, 226, 130));
    painter.drawPath(crescent.subtracted(bite));
    // A sleeping face: a closed eye and a smile on the crescent.
    painter.setPen(QPen(QColor(170, 120, 60), r * 0.05, Qt::SolidLine, Qt::RoundCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRectF(moon.x() - r * 0.72, moon.y() - r * 0.25, r * 0.3, r * 0.2), 180 * 16, 180 * 16);
    painter.drawArc(QRectF(moon.x() - r * 0.78, moon.y() + r * 0.1, r * 0.4, r * 0.3), 200 * 16, 120 * 16);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(250, 160, 150, 150));
    painter.drawEllipse(moon + QPointF(-r * 0.45, r * 0.12), r * 0.1, r * 0.07);
    DrawCloud(painter, QPointF(w * 0.22, h * 0.82), w * 0.5, QColor(255, 255, 255, 235));
    DrawCloud(painter, QPointF(w * 0.78, h * 0.88), w * 0.55, QColor(250, 246, 255, 240));
    DrawCloud(painter, QPointF(w * 0.82, h * 0.2), w * 0.3, QColor(255, 255, 255, 150));
    return image;
}

QImage WinterVillagePicture(QSize size)
{
    QImage image = Canvas(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    QLinearGradient sky(0, 0, 0, h * 0.75);
    sky.setColorAt(0, QColor(24, 42, 84));
    sky.setColorAt(1, QColor(98, 128, 176));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(250, 246, 226));
    painter.drawEllipse(QPointF(w * 0.8, h * 0.18), w * 0.05, w * 0.05);
    const QColor snow[] = {QColor(206, 220, 240), QColor(230, 238, 250), QColor(248, 250, 255)};
    for (int i = 0; i < 3; ++i) {
        QPainterPath hill;
        const double top = h * (0.55 + i * 0.11);
        hill.moveTo(0, h);
        hill.lineTo(0, top + (i % 2 ? -12 : 14));
        hill.cubicTo(w * 0.35, top - 40 + i * 10, w * 0.65, top + 40, w, top - 6);
        hill.lineTo(w, h);
        painter.setBrush(snow[i]);
        painter.drawPath(hill);
        // Firs on each hill, darker further away.
        QRandomGenerator random(31 + i);
        for (int t = 0; t < 5 - i; ++t) {
            const double x = random.bounded(w);
            const double base = top + 8 + random.bounded(20.0);
            const double th = h * (0.1 + i * 0.04) + random.bounded(h * 0.04);
            QPolygonF fir{QPointF(x, base - th), QPointF(x - th * 0.32, base), QPointF(x + th * 0.32, base)};
            painter.setBrush(QColor(30 + i * 10, 78 + i * 14, 60 + i * 8));
            painter.drawPolygon(fir);
            painter.setBrush(QColor(255, 255, 255, 200));
            painter.drawPolygon(QPolygonF{QPointF(x, base - th), QPointF(x - th * 0.1, base - th * 0.68),
                                          QPointF(x + th * 0.1, base - th * 0.68)});
        }
    }
    // The cottage with a warm window.
    const QRectF house(w * 0.52, h * 0.62, w * 0.2, h * 0.16);
    painter.setBrush(QColor(140, 80, 60));
    painter.drawRect(house);
    painter.setBrush(QColor(250, 250, 255));
    painter.drawPolygon(QPolygonF{house.topLeft() + QPointF(-w * 0.02, 2), QPointF(house.center().x(), house.top() - h * 0.1),
                                  house.topRight() + QPointF(w * 0.02, 2)});
    QRadialGradient lamp(house.center(), w * 0.12);
    lamp.setColorAt(0, QColor(255, 210, 110, 180));
    lamp.setColorAt(1, QColor(255, 210, 110, 0));
    painter.setBrush(lamp);
    painter.drawEllipse(house.center(), w * 0.12, w * 0.12);
    painter.setBrush(QColor(255, 214, 120));
    painter.drawRect(QRectF(house.left() + house.width() * 0.2, house.top() + house.height() * 0.3, house.width() * 0.25,
                            house.height() * 0.3));
    painter.setBrush(QColor(90, 50, 40));
    painter.drawRect(QRectF(house.left() + house.width() * 0.6, house.top() + house.height() * 0.35, house.width() * 0.22,
                            house.height() * 0.65));
    QRandomGenerator flakes(9);
    painter.setBrush(QColor(255, 255, 255, 210));
    for (int i = 0; i < 120; ++i)
        painter.drawEllipse(QPointF(flakes.bounded(w), flakes.bounded(h)), 1 + flakes.bounded(2.2), 1 + flakes.bounded(2.2));
    return image;
}

QImage TulipFieldPicture(QSize size)
{
    QImage image = Canvas(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    QLinearGradient sky(0, 0, 0, h * 0.55);
    sky.setColorAt(0, QColor(140, 196, 240));
    sky.setColorAt(1, QColor(255, 236, 206));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    QRadialGradient sun(w * 0.25, h * 0.25, w * 0.2);
    sun.setColorAt(0, QColor(255, 244, 180));
    sun.setColorAt(0.35, QColor(255, 226, 120));
    sun.setColorAt(1, QColor(255, 226, 120, 0));
    painter.setBrush(sun);
    painter.drawEllipse(QPointF(w * 0.25, h * 0.25), w * 0.2, w * 0.2);
    DrawCloud(painter, QPointF(w * 0.7, h * 0.18), w * 0.3, QColor(255, 255, 255, 220));
    QLinearGradient field(0, h * 0.5, 0, h);
    field.setColorAt(0, QColor(150, 200, 110));
    field.setColorAt(1, QColor(84, 150, 70));
    painter.setBrush(field);
    painter.drawRect(QRectF(0, h * 0.5, w, h * 0.5));
    const QColor colours[] = {QColor(236, 64, 84), QColor(255, 170, 60), QColor(250, 120, 170), QColor(255, 220, 80)};
    for (int row = 0; row < 5; ++row) {
        const double y = h * (0.58 + row * 0.1);
        const double tall = h * (0.08 + row * 0.045);
        const int count = 14 - row * 2;
        for (int i = 0; i < count; ++i)
            DrawTulip(painter, QPointF((i + 0.5 + (row % 2) * 0.5) * w / count, y + tall * 0.3), tall,
                      colours[(i + row) % 4]);
    }
    return image;
}

QImage FireworksPicture(QSize size)
{
    QImage image = Canvas(size);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    QLinearGradient sky(0, 0, 0, h);
    sky.setColorAt(0, QColor(14, 16, 46));
    sky.setColorAt(1, QColor(70, 40, 96));
    painter.fillRect(image.rect(), sky);
    DrawFireworkBurst(painter, QPointF(w * 0.3, h * 0.3), w * 0.2, QColor(255, 200, 80), 24);
    DrawFireworkBurst(painter, QPointF(w * 0.72, h * 0.22), w * 0.16, QColor(255, 110, 160), 20);
    DrawFireworkBurst(painter, QPointF(w * 0.62, h * 0.52), w * 0.12, QColor(120, 220, 255), 16);
    DrawFireworkBurst(painter, QPointF(w * 0.18, h * 0.58), w * 0.08, QColor(190, 255, 150), 14);
    // The skyline, with lit windows.
    QRandomGenerator random(17);
    painter.setPen(Qt::NoPen);
    double x = 0;
    while (x < w) {
        const double bw = w * (0.06 + random.bounded(0.08));
        const double bh = h * (0.12 + random.bounded(0.2));
        painter.setBrush(QColor(20, 18, 40));
        painter.drawRect(QRectF(x, h - bh, bw, bh));
        painter.setBrush(QColor(255, 214, 120, 200));
        for (double wy = h - bh + 8; wy < h - 8; wy += 14)
            for (double wx = x + 5; wx < x + bw - 8; wx += 11)
                if (random.bounded(3) == 0)
                    painter.drawRect(QRectF(wx, wy, 4, 6));
        x += bw + 2;
    }
    return image;
}
