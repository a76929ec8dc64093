#include "templates/template_ornaments.h"

#include "templates/template_art.h"
#include "templates/template_kit.h"

#include <QRadialGradient>

#include <cmath>

namespace {

// Fills `shape` in `colour`, no outline, leaving the painter as it was.
void FillShape(QPainter &painter, const QPainterPath &shape, QColor colour)
{
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawPath(shape);
    painter.restore();
}

} // namespace

void DrawStar(QPainter &painter, QPointF centre, double radius, QColor colour, double rotationDegrees)
{
    QPolygonF star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? radius * 0.42 : radius;
        const double angle = (rotationDegrees - 90 + i * 36) * M_PI / 180.0;
        star << centre + QPointF(std::cos(angle) * r, std::sin(angle) * r);
    }
    QPainterPath shape;
    shape.addPolygon(star);
    FillShape(painter, shape, colour);
}

void DrawTwinkle(QPainter &painter, QPointF centre, double radius, QColor colour)
{
    QPainterPath path;
    const double w = radius * 0.22;
    path.moveTo(centre + QPointF(0, -radius));
    path.quadTo(centre + QPointF(w, -w), centre + QPointF(radius, 0));
    path.quadTo(centre + QPointF(w, w), centre + QPointF(0, radius));
    path.quadTo(centre + QPointF(-w, w), centre + QPointF(-radius, 0));
    path.quadTo(centre + QPointF(-w, -w), centre + QPointF(0, -radius));
    FillShape(painter, path, colour);
}

void DrawSnowflake(QPainter &painter, QPointF centre, double radius, QColor colour)
{
    painter.save();
    painter.translate(centre);
    painter.setPen(QPen(colour, std::max(1.0, radius / 9), Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 6; ++i) {
        painter.drawLine(QPointF(0, 0), QPointF(0, -radius));
        for (double at : {0.45, 0.72}) {
            const double arm = radius * (at < 0.5 ? 0.3 : 0.2);
            painter.drawLine(QPointF(0, -radius * at), QPointF(arm, -radius * at - arm));
            painter.drawLine(QPointF(0, -radius * at), QPointF(-arm, -radius * at - arm));
        }
        painter.rotate(60);
    }
    painter.restore();
}

void DrawHeart(QPainter &painter, QPointF centre, double size, QColor colour)
{
    QPainterPath heart;
    const double s = size / 2;
    heart.moveTo(centre + QPointF(0, s * 0.9));
    heart.cubicTo(centre + QPointF(-s * 1.4, -s * 0.1), centre + QPointF(-s * 0.6, -s * 1.2),
                  centre + QPointF(0, -s * 0.4));
    heart.cubicTo(centre + QPointF(s * 0.6, -s * 1.2), centre + QPointF(s * 1.4, -s * 0.1),
                  centre + QPointF(0, s * 0.9));
    FillShape(painter, heart, colour);
}

void DrawCloud(QPainter &painter, QPointF centre, double width, QColor colour)
{
    QPainterPath cloud;
    const double h = width * 0.32;
    cloud.addRoundedRect(QRectF(centre.x() - width / 2, centre.y() - h * 0.1, width, h * 0.6), h * 0.3, h * 0.3);
    cloud.addEllipse(centre + QPointF(-width * 0.18, 0), width * 0.2, h * 0.45);
    cloud.addEllipse(centre + QPointF(width * 0.1, -h * 0.15), width * 0.24, h * 0.6);
    cloud.setFillRule(Qt::WindingFill);
    FillShape(painter, cloud.simplified(), colour);
}

void DrawHolly(QPainter &painter, QPointF centre, double size, double angleDegrees)
{
    painter.save();
    painter.translate(centre);
    painter.rotate(angleDegrees);
    for (int side : {-1, 1}) {
        QPainterPath leaf;
        leaf.moveTo(0, 0);
        // A wavy edge of three points on each side of the leaf.
        for (int i = 1; i <= 3; ++i)
            leaf.quadTo(side * size * (i - 0.5) / 3.0, -size * 0.28, side * size * i / 3.0,
                        -size * 0.12 * (i % 2 ? 1 : 0.4));
        for (int i = 3; i >= 1; --i)
            leaf.quadTo(side * size * (i - 0.5) / 3.0, size * 0.22, side * size * (i - 1) / 3.0,
                        size * 0.05 * (i % 2 ? 1 : 0.4));
        const QLinearGradient shade =
            VerticalGradient(-size * 0.3, size * 0.3, QColor(46, 125, 70), QColor(20, 82, 44));
        painter.setPen(QPen(QColor(16, 64, 34), 1));
        painter.setBrush(shade);
        painter.drawPath(leaf);
    }
    painter.setPen(Qt::NoPen);
    for (QPointF berry :
         {QPointF(-size * 0.1, -size * 0.12), QPointF(size * 0.12, -size * 0.1), QPointF(0, size * 0.08)}) {
        QRadialGradient shine(berry - QPointF(size * 0.03, size * 0.03), size * 0.12);
        shine.setColorAt(0, QColor(255, 120, 110));
        shine.setColorAt(1, QColor(178, 16, 30));
        painter.setBrush(shine);
        painter.drawEllipse(berry, size * 0.09, size * 0.09);
    }
    painter.restore();
}

void DrawPineBranch(QPainter &painter, QPointF base, double length, double angleDegrees, QColor colour)
{
    painter.save();
    painter.translate(base);
    painter.rotate(angleDegrees);
    painter.setPen(QPen(colour.darker(160), std::max(1.5, length / 60), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(0, 0), QPointF(0, -length));
    const int needles = int(length / 4);
    for (int i = 2; i < needles; ++i) {
        const double y = -length * i / needles;
        const double reach = length * 0.16 * (1.0 - 0.5 * i / needles);
        QColor needle = colour;
        needle = i % 3 ? colour : colour.lighter(118);
        painter.setPen(QPen(needle, std::max(1.2, length / 110), Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(0, y), QPointF(-reach, y - reach * 0.55));
        painter.drawLine(QPointF(0, y), QPointF(reach, y - reach * 0.55));
    }
    painter.restore();
}

void DrawRose(QPainter &painter, QPointF centre, double radius, QColor colour)
{
    painter.save();
    painter.translate(centre);
    painter.setPen(QPen(colour.darker(125), 0.8));
    for (int ring = 0; ring < 4; ++ring) {
        const double r = radius * (1.0 - ring * 0.22);
        const int petals = 5 + ring;
        painter.setBrush(ring % 2 ? colour.darker(100 + ring * 6) : colour.lighter(112 - ring * 4));
        for (int i = 0; i < petals; ++i) {
            painter.save();
            painter.rotate(i * 360.0 / petals + ring * 23);
            painter.drawEllipse(QRectF(-r * 0.42, -r, r * 0.84, r * 0.95));
            painter.restore();
        }
    }
    painter.setBrush(colour.darker(135));
    painter.drawEllipse(QPointF(0, 0), radius * 0.16, radius * 0.16);
    painter.restore();
}

void DrawTulip(QPainter &painter, QPointF base, double height, QColor colour)
{
    painter.save();
    painter.translate(base);
    painter.setPen(QPen(QColor(76, 140, 70), std::max(1.5, height / 40), Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(0, 0), QPointF(0, -height * 0.7));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(96, 160, 84));
    QPainterPath leaf;
    leaf.moveTo(0, 0);
    leaf.quadTo(-height * 0.3, -height * 0.25, -height * 0.18, -height * 0.5);
    leaf.quadTo(-height * 0.05, -height * 0.2, 0, 0);
    painter.drawPath(leaf);
    const double w = height * 0.17;
    const double top = -height;
    QPainterPath bloom;
    bloom.moveTo(-w, top + height * 0.12);
    bloom.lineTo(-w * 0.5, top + height * 0.03);
    bloom.lineTo(0, top + height * 0.12);
    bloom.lineTo(w * 0.5, top);
    bloom.lineTo(w, top + height * 0.12);
    bloom.cubicTo(w * 1.1, top + height * 0.28, w * 0.6, top + height * 0.34, 0, top + height * 0.34);
    bloom.cubicTo(-w * 0.6, top + height * 0.34, -w * 1.1, top + height * 0.28, -w, top + height * 0.12);
    QLinearGradient shade(-w, 0, w, 0);
    shade.setColorAt(0, colour.lighter(125));
    shade.setColorAt(1, colour.darker(115));
    painter.setBrush(shade);
    painter.drawPath(bloom);
    painter.restore();
}

void DrawButterfly(QPainter &painter, QPointF centre, double size, QColor colour, double angleDegrees)
{
    painter.save();
    painter.translate(centre);
    painter.rotate(angleDegrees);
    painter.setPen(QPen(colour.darker(150), 1));
    for (int side : {-1, 1}) {
        painter.setBrush(colour);
        painter.drawEllipse(QRectF(side > 0 ? 0 : -size * 0.55, -size * 0.5, size * 0.55, size * 0.5));
        painter.setBrush(colour.lighter(125));
        painter.drawEllipse(QRectF(side > 0 ? 0 : -size * 0.38, -size * 0.05, size * 0.38, size * 0.38));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(70, 50, 40));
    painter.drawRoundedRect(QRectF(-size * 0.04, -size * 0.45, size * 0.08, size * 0.8), 2, 2);
    painter.restore();
}

void DrawCornerFlourish(QPainter &painter, const QRectF &frame, int corner, double size, QColor colour)
{
    painter.save();
    const QPointF at[] = {frame.topLeft(), frame.topRight(), frame.bottomRight(), frame.bottomLeft()};
    painter.translate(at[corner & 3]);
    painter.rotate(90.0 * (corner & 3));
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(colour, std::max(1.0, size / 45), Qt::SolidLine, Qt::RoundCap));
    QPainterPath scroll;
    scroll.moveTo(size, 0);
    scroll.cubicTo(size * 0.55, 0, size * 0.3, size * 0.05, size * 0.3, size * 0.3);
    scroll.cubicTo(size * 0.3, size * 0.45, size * 0.5, size * 0.5, size * 0.55, size * 0.38);
    scroll.moveTo(0, size);
    scroll.cubicTo(0, size * 0.55, size * 0.05, size * 0.3, size * 0.3, size * 0.3);
    scroll.cubicTo(size * 0.45, size * 0.3, size * 0.5, size * 0.5, size * 0.38, size * 0.55);
    painter.drawPath(scroll);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(size * 0.12, size * 0.12), size * 0.06, size * 0.06);
    for (double t : {0.7, 1.0})
        painter.drawEllipse(QPointF(size * t, 0), size * 0.025, size * 0.025),
            painter.drawEllipse(QPointF(0, size * t), size * 0.025, size * 0.025);
    painter.restore();
}

void DrawFireworkBurst(QPainter &painter, QPointF centre, double radius, QColor colour, int rays)
{
    painter.save();
    painter.translate(centre);
    painter.setPen(Qt::NoPen);
    QRadialGradient glow(QPointF(0, 0), radius * 1.1);
    QColor haze = colour;
    haze.setAlpha(70);
    glow.setColorAt(0, haze);
    haze.setAlpha(0);
    glow.setColorAt(1, haze);
    painter.setBrush(glow);
    painter.drawEllipse(QPointF(0, 0), radius * 1.1, radius * 1.1);
    // An outer ring of long trails and an inner ring of short sparks between them.
    for (int ring = 0; ring < 2; ++ring) {
        const double reach = ring == 0 ? radius : radius * 0.55;
        const QColor tint = ring == 0 ? colour : colour.lighter(135);
        for (int i = 0; i < rays; ++i) {
            const double angle = (i + ring * 0.5) * 2 * M_PI / rays;
            const QPointF tip(std::cos(angle) * reach, std::sin(angle) * reach);
            QLinearGradient fade(tip * 0.1, tip);
            QColor faint = tint;
            faint.setAlpha(0);
            fade.setColorAt(0, faint);
            fade.setColorAt(1, tint);
            painter.setPen(QPen(QBrush(fade), std::max(1.2, radius / 45), Qt::SolidLine, Qt::RoundCap));
            painter.drawLine(tip * 0.1, tip);
            painter.setPen(Qt::NoPen);
            painter.setBrush(tint.lighter(125));
            painter.drawEllipse(tip, radius / 32 + 1, radius / 32 + 1);
        }
    }
    painter.setBrush(QColor(255, 255, 240, 220));
    painter.drawEllipse(QPointF(0, 0), radius / 18 + 1, radius / 18 + 1);
    painter.restore();
}

void DrawStreamer(QPainter &painter, QPointF from, QPointF to, double width, QColor colour)
{
    // A curled paper ribbon: loops along the line from `from` to `to`, as a
    // streamer springs when it is thrown, thinning towards its end.
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    if (length <= 0)
        return;
    const QPointF along = d / length;
    const QPointF across(-along.y(), along.x());
    const double loop = width * 3.2;
    const int turns = std::max(2, int(length / (loop * 2.6)));
    const int steps = turns * 40;
    painter.save();
    painter.setBrush(Qt::NoBrush);
    for (int i = 0; i < steps; ++i) {
        const auto at = [&](double t) {
            const double phase = 2 * M_PI * turns * t;
            return from + d * t + across * (loop * std::sin(phase)) + along * (loop * 0.9 * std::cos(phase));
        };
        const double t0 = double(i) / steps;
        const double t1 = double(i + 1) / steps;
        // The ribbon's back shows darker where the curl turns away.
        const bool back = std::cos(2 * M_PI * turns * t0) > 0.25;
        painter.setPen(
            QPen(back ? colour.darker(125) : colour, width * (1.0 - 0.55 * t0), Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(at(t0), at(t1));
    }
    painter.restore();
}

void PaintKeyPath(QPainter &painter, const QPainterPath &path)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgb(WindowKey));
    painter.drawPath(path);
    painter.restore();
}

QPainterPath ArchedWindow(const QRectF &rect)
{
    QPainterPath path;
    const double r = rect.width() / 2;
    path.moveTo(rect.left(), rect.bottom());
    path.lineTo(rect.left(), rect.top() + r);
    path.arcTo(QRectF(rect.left(), rect.top(), rect.width(), 2 * r), 180, -180);
    path.lineTo(rect.right(), rect.bottom());
    path.closeSubpath();
    return path;
}
