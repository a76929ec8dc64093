#include "templates/template_pictures.h"

#include "templates/template_art.h"
#include "templates/template_ornaments.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

#include <cmath>

QImage RosesPicture(QSize size)
{
    return PaintedPicture(size, [](QPainter &painter, double w, double h) {
        const double u = std::min(w, h);
        QRadialGradient ground(w * 0.5, h * 0.4, std::max(w, h) * 0.8);
        ground.setColorAt(0, QColor(255, 248, 242));
        ground.setColorAt(1, QColor(222, 190, 180));
        painter.fillRect(QRectF(0, 0, w, h), ground);
        // Out-of-focus light behind the flowers.
        QRandomGenerator random(21);
        painter.setPen(Qt::NoPen);
        for (int i = 0; i < 26; ++i) {
            const QPointF at(random.bounded(w), random.bounded(h * 0.6));
            const double r = u * (0.03 + random.bounded(0.07));
            QRadialGradient bokeh(at, r);
            bokeh.setColorAt(0, QColor(255, 255, 255, 110));
            bokeh.setColorAt(1, QColor(255, 255, 255, 0));
            painter.setBrush(bokeh);
            painter.drawEllipse(at, r, r);
        }
        // Leaves fanning out behind a rounded bouquet of roses.
        for (int i = 0; i < 18; ++i) {
            const double angle = -80 + i * 160.0 / 17;
            DrawLeafSprig(painter, QPointF(w * 0.5, h * 0.62), u * (0.36 + (i % 3) * 0.06), angle,
                          QColor(126, 160, 120).darker(100 + (i % 4) * 8));
        }
        const QColor blush[] = {QColor(240, 170, 170), QColor(250, 206, 196), QColor(226, 140, 150),
                                QColor(255, 236, 226), QColor(236, 186, 200)};
        struct Bloom {
            double X, Y, Size;
        };
        const Bloom blooms[] = {{0.5, 0.46, 0.17},  {0.28, 0.5, 0.14},  {0.72, 0.5, 0.14}, {0.38, 0.32, 0.13},
                                {0.62, 0.32, 0.13}, {0.5, 0.2, 0.11},   {0.18, 0.34, 0.1}, {0.82, 0.34, 0.1},
                                {0.38, 0.66, 0.13}, {0.62, 0.66, 0.13}, {0.16, 0.6, 0.1},  {0.84, 0.62, 0.1},
                                {0.5, 0.8, 0.11},   {0.27, 0.8, 0.09},  {0.73, 0.8, 0.09}};
        int colour = 0;
        for (const Bloom &bloom : blooms)
            DrawRose(painter, QPointF(bloom.X * w, bloom.Y * h), u * bloom.Size, blush[colour++ % 5]);
    });
}

QImage NurseryPicture(QSize size)
{
    return PaintedPicture(size, [](QPainter &painter, double w, double h) {
        const QLinearGradient sky = VerticalGradient(0, h, QColor(120, 150, 206), QColor(214, 200, 236));
        painter.fillRect(QRectF(0, 0, w, h), sky);
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
    });
}

QImage WinterVillagePicture(QSize size)
{
    return PaintedPicture(size, [](QPainter &painter, double w, double h) {
        const double u = std::min(w, h);
        const QLinearGradient sky = VerticalGradient(0, h * 0.6, QColor(18, 32, 72), QColor(92, 120, 172));
        painter.fillRect(QRectF(0, 0, w, h), sky);
        painter.setPen(Qt::NoPen);
        QRandomGenerator stars(3);
        for (int i = 0; i < 70; ++i) {
            painter.setBrush(QColor(255, 255, 240, 80 + stars.bounded(150)));
            const double r = 0.6 + stars.bounded(1.4);
            painter.drawEllipse(QPointF(stars.bounded(w), stars.bounded(h * 0.45)), r, r);
        }
        const QPointF moon(w * 0.76, h * 0.16);
        QRadialGradient halo(moon, u * 0.24);
        halo.setColorAt(0, QColor(255, 250, 220, 120));
        halo.setColorAt(1, QColor(255, 250, 220, 0));
        painter.setBrush(halo);
        painter.drawEllipse(moon, u * 0.24, u * 0.24);
        painter.setBrush(QColor(252, 248, 228));
        painter.drawEllipse(moon, u * 0.06, u * 0.06);

        // Hills from far to near, each with its firs: smaller and bluer far away.
        struct Hill {
            double Top, Tilt;
            QColor Snow, Fir;
            int Firs;
            double FirHeight;
        };
        const Hill hills[] = {
            {0.5, -0.05, QColor(176, 192, 222), QColor(60, 86, 110), 9, 0.07},
            {0.62, 0.04, QColor(214, 224, 242), QColor(40, 90, 76), 5, 0.12},
            {0.8, -0.03, QColor(246, 249, 255), QColor(30, 84, 62), 2, 0.26},
        };
        QRandomGenerator random(31);
        const double cottageWidth = w * 0.3;
        const double cottageLeft = w * 0.4;
        QPointF door;
        for (int i = 0; i < 3; ++i) {
            const Hill &hill = hills[i];
            const auto ridge = [&](double x) {
                return h * hill.Top + h * hill.Tilt * (x / w - 0.5) - h * 0.03 * std::sin(M_PI * x / w * (1.5 + i));
            };
            QPainterPath shape;
            shape.moveTo(0, h);
            for (double x = 0; x <= w + 4; x += 4)
                shape.lineTo(x, ridge(x));
            shape.lineTo(w, h);
            painter.setBrush(hill.Snow);
            painter.drawPath(shape);
            if (i == 1) {
                // The cottage on the middle hill, a warm light on the snow.
                const double hw = cottageWidth;
                const double hh = hw * 0.6;
                const double x = cottageLeft;
                const double base = ridge(x + hw / 2) + h * 0.05;
                const QRectF wall(x, base - hh, hw, hh);
                QRadialGradient light(QPointF(wall.center().x(), base), hw);
                light.setColorAt(0, QColor(255, 214, 130, 70));
                light.setColorAt(1, QColor(255, 214, 130, 0));
                painter.setBrush(light);
                painter.drawEllipse(QPointF(wall.center().x(), base), hw, hw * 0.45);
                painter.setBrush(QColor(150, 86, 62));
                painter.drawRect(wall);
                painter.setBrush(QColor(120, 68, 50));
                painter.drawRect(QRectF(wall.right() - hw * 0.22, wall.top() - hh * 0.55, hw * 0.1, hh * 0.4));
                QPainterPath roof;
                roof.moveTo(wall.left() - hw * 0.08, wall.top() + 2);
                roof.lineTo(wall.center().x(), wall.top() - hh * 0.62);
                roof.lineTo(wall.right() + hw * 0.08, wall.top() + 2);
                roof.quadTo(wall.center().x(), wall.top() + hh * 0.1, wall.left() - hw * 0.08, wall.top() + 2);
                painter.setBrush(QColor(250, 252, 255));
                painter.drawPath(roof);
                for (double wx : {0.14, 0.62}) {
                    const QRectF pane(wall.left() + hw * wx, wall.top() + hh * 0.3, hw * 0.22, hh * 0.3);
                    painter.setBrush(QColor(255, 206, 110));
                    painter.drawRect(pane);
                    painter.setPen(QPen(QColor(120, 68, 50), std::max(1.0, hw / 90)));
                    painter.drawLine(QPointF(pane.center().x(), pane.top()), QPointF(pane.center().x(), pane.bottom()));
                    painter.drawLine(QPointF(pane.left(), pane.center().y()), QPointF(pane.right(), pane.center().y()));
                    painter.setPen(Qt::NoPen);
                }
                painter.setBrush(QColor(96, 54, 40));
                painter.drawRoundedRect(QRectF(wall.left() + hw * 0.42, wall.top() + hh * 0.38, hw * 0.15, hh * 0.62),
                                        3, 3);
                // Smoke curling from the chimney.
                painter.setBrush(QColor(230, 236, 248, 90));
                for (int puff = 0; puff < 4; ++puff)
                    painter.drawEllipse(
                        QPointF(wall.right() - hw * 0.17 + puff * hw * 0.05, wall.top() - hh * (0.7 + puff * 0.22)),
                        hw * (0.04 + puff * 0.012), hw * (0.03 + puff * 0.01));
                door = QPointF(wall.left() + hw * 0.495, base);
            }
            for (int t = 0; t < hill.Firs; ++t) {
                // Near firs stand at the sides, leaving the cottage in view.
                double x = (t + 0.5) * w / hill.Firs + (random.bounded(1.0) - 0.5) * w * 0.06;
                if (i == 2)
                    x = t == 0 ? w * 0.1 : w * 0.92;
                if (i == 1 && x > cottageLeft - w * 0.06 && x < cottageLeft + cottageWidth * 1.15)
                    continue;
                const double tall = h * hill.FirHeight * (0.8 + random.bounded(0.4));
                const QPointF base(x, ridge(x) + tall * 0.08);
                for (int tier = 0; tier < 3; ++tier) {
                    const double top = base.y() - tall * (1.0 - tier * 0.22);
                    const double bottom = base.y() - tall * (0.4 - tier * 0.2);
                    const double half = tall * (0.18 + tier * 0.08);
                    painter.setBrush(hill.Fir.lighter(100 + tier * 6));
                    painter.drawPolygon(
                        QPolygonF{QPointF(x, top), QPointF(x - half, bottom), QPointF(x + half, bottom)});
                    painter.setBrush(QColor(255, 255, 255, 215));
                    painter.drawPolygon(QPolygonF{QPointF(x, top),
                                                  QPointF(x - half * 0.45, top + (bottom - top) * 0.45),
                                                  QPointF(x, top + (bottom - top) * 0.35),
                                                  QPointF(x + half * 0.45, top + (bottom - top) * 0.45)});
                }
            }
        }
        // The trodden path from the door down towards us, widening as it nears.
        QPainterPath path;
        const double step = cottageWidth;
        path.moveTo(door + QPointF(-step * 0.06, 0));
        path.cubicTo(QPointF(door.x() - step * 0.35, h * 0.8), QPointF(door.x() + step * 0.45, h * 0.88),
                     QPointF(door.x() - step * 0.15, h));
        path.lineTo(door.x() + step * 0.55, h);
        path.cubicTo(QPointF(door.x() + step * 0.85, h * 0.88), QPointF(door.x() - step * 0.05, h * 0.8),
                     door + QPointF(step * 0.06, 0));
        const QLinearGradient trodden = VerticalGradient(door.y(), h, QColor(196, 206, 228), QColor(214, 222, 240));
        painter.setBrush(trodden);
        painter.drawPath(path);

        QRandomGenerator flakes(9);
        painter.setBrush(QColor(255, 255, 255, 210));
        for (int i = 0; i < 160; ++i)
            painter.drawEllipse(QPointF(flakes.bounded(w), flakes.bounded(h)), 1 + flakes.bounded(2.2),
                                1 + flakes.bounded(2.2));
    });
}

QImage TulipFieldPicture(QSize size)
{
    return PaintedPicture(size, [](QPainter &painter, double w, double h) {
        const QLinearGradient sky = VerticalGradient(0, h * 0.55, QColor(140, 196, 240), QColor(255, 236, 206));
        painter.fillRect(QRectF(0, 0, w, h), sky);
        painter.setPen(Qt::NoPen);
        QRadialGradient sun(w * 0.25, h * 0.25, w * 0.2);
        sun.setColorAt(0, QColor(255, 244, 180));
        sun.setColorAt(0.35, QColor(255, 226, 120));
        sun.setColorAt(1, QColor(255, 226, 120, 0));
        painter.setBrush(sun);
        painter.drawEllipse(QPointF(w * 0.25, h * 0.25), w * 0.2, w * 0.2);
        DrawCloud(painter, QPointF(w * 0.7, h * 0.18), w * 0.3, QColor(255, 255, 255, 220));
        const QLinearGradient field = VerticalGradient(h * 0.5, h, QColor(150, 200, 110), QColor(84, 150, 70));
        painter.setBrush(field);
        painter.drawRect(QRectF(0, h * 0.5, w, h * 0.5));
        const QColor colours[] = {QColor(236, 64, 84), QColor(255, 170, 60), QColor(250, 120, 170),
                                  QColor(255, 220, 80)};
        for (int row = 0; row < 5; ++row) {
            const double y = h * (0.58 + row * 0.1);
            const double tall = h * (0.08 + row * 0.045);
            const int count = 14 - row * 2;
            for (int i = 0; i < count; ++i)
                DrawTulip(painter, QPointF((i + 0.5 + (row % 2) * 0.5) * w / count, y + tall * 0.3), tall,
                          colours[(i + row) % 4]);
        }
    });
}

QImage FireworksPicture(QSize size)
{
    return PaintedPicture(size, [](QPainter &painter, double w, double h) {
        const QLinearGradient sky = VerticalGradient(0, h, QColor(14, 16, 46), QColor(70, 40, 96));
        painter.fillRect(QRectF(0, 0, w, h), sky);
        // Bursts sized by the shorter side, so a wide window shows them whole.
        const double s = std::min(w, h);
        DrawFireworkBurst(painter, QPointF(w * 0.28, h * 0.34), s * 0.26, QColor(255, 200, 80), 24);
        DrawFireworkBurst(painter, QPointF(w * 0.7, h * 0.3), s * 0.22, QColor(255, 110, 160), 22);
        DrawFireworkBurst(painter, QPointF(w * 0.52, h * 0.5), s * 0.14, QColor(120, 220, 255), 18);
        DrawFireworkBurst(painter, QPointF(w * 0.1, h * 0.6), s * 0.1, QColor(190, 255, 150), 14);
        DrawFireworkBurst(painter, QPointF(w * 0.9, h * 0.58), s * 0.1, QColor(200, 170, 255), 14);
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
    });
}

QImage SeasidePicture(QSize size)
{
    return PaintedPicture(size, [](QPainter &painter, double w, double h) {
        const double horizon = h * 0.52;
        const QLinearGradient sky = VerticalGradient(0, horizon, QColor(84, 160, 220), QColor(214, 236, 246));
        painter.fillRect(QRectF(0, 0, w, horizon + 1), sky);
        painter.setPen(Qt::NoPen);
        QRadialGradient sun(w * 0.78, h * 0.2, w * 0.14);
        sun.setColorAt(0, QColor(255, 250, 214));
        sun.setColorAt(0.45, QColor(255, 224, 130));
        sun.setColorAt(1, QColor(255, 224, 130, 0));
        painter.setBrush(sun);
        painter.drawEllipse(QPointF(w * 0.78, h * 0.2), w * 0.14, w * 0.14);
        DrawCloud(painter, QPointF(w * 0.24, h * 0.16), w * 0.26, QColor(255, 255, 255, 230));
        DrawCloud(painter, QPointF(w * 0.52, h * 0.3), w * 0.16, QColor(255, 255, 255, 190));
        // A far headland, then the sea darkening towards the horizon.
        QPainterPath headland;
        headland.moveTo(0, horizon);
        headland.cubicTo(w * 0.1, horizon - h * 0.12, w * 0.24, horizon - h * 0.09, w * 0.36, horizon);
        painter.setBrush(QColor(120, 160, 150));
        painter.drawPath(headland);
        const QLinearGradient sea = VerticalGradient(horizon, h * 0.8, QColor(40, 110, 170), QColor(90, 190, 200));
        painter.setBrush(sea);
        painter.drawRect(QRectF(0, horizon, w, h - horizon));
        // Glints of the sun on the water.
        QRandomGenerator random(23);
        painter.setBrush(QColor(255, 255, 255, 150));
        for (int i = 0; i < 60; ++i) {
            const double y = horizon + 6 + random.bounded(h * 0.24);
            const double x = w * 0.78 + (random.bounded(1.0) - 0.5) * w * (0.1 + (y - horizon) / h);
            painter.drawRoundedRect(QRectF(x, y, 4 + random.bounded(10.0), 1.6), 0.8, 0.8);
        }
        // The beach in the foreground, with the edge of the surf.
        QPainterPath beach;
        beach.moveTo(0, h * 0.82);
        beach.cubicTo(w * 0.3, h * 0.74, w * 0.6, h * 0.9, w, h * 0.78);
        beach.lineTo(w, h);
        beach.lineTo(0, h);
        const QLinearGradient sand = VerticalGradient(h * 0.75, h, QColor(246, 226, 182), QColor(226, 196, 146));
        painter.setBrush(sand);
        painter.drawPath(beach);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(255, 255, 255, 210), h * 0.012, Qt::SolidLine, Qt::RoundCap));
        painter.drawPath(QPainterPath(beach).translated(0, -h * 0.008));
        // A sailing boat on the water.
        const QPointF boat(w * 0.46, horizon + h * 0.1);
        const double s = h * 0.11;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(150, 70, 50));
        painter.drawPolygon(QPolygonF{boat + QPointF(-s * 0.6, 0), boat + QPointF(s * 0.6, 0),
                                      boat + QPointF(s * 0.45, s * 0.18), boat + QPointF(-s * 0.45, s * 0.18)});
        painter.setBrush(QColor(255, 255, 255));
        painter.drawPolygon(
            QPolygonF{boat + QPointF(0, -s * 1.2), boat + QPointF(0, -s * 0.05), boat + QPointF(s * 0.55, -s * 0.05)});
        painter.setBrush(QColor(240, 120, 90));
        painter.drawPolygon(QPolygonF{boat + QPointF(-s * 0.04, -s), boat + QPointF(-s * 0.04, -s * 0.05),
                                      boat + QPointF(-s * 0.4, -s * 0.05)});
        // Two gulls.
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(70, 80, 90), h * 0.007, Qt::SolidLine, Qt::RoundCap));
        for (QPointF gull : {QPointF(w * 0.3, h * 0.3), QPointF(w * 0.36, h * 0.26)}) {
            QPainterPath wings;
            const double g = w * 0.025;
            wings.moveTo(gull + QPointF(-g, 0));
            wings.quadTo(gull + QPointF(-g * 0.5, -g * 0.6), gull);
            wings.quadTo(gull + QPointF(g * 0.5, -g * 0.6), gull + QPointF(g, 0));
            painter.drawPath(wings);
        }
    });
}
