#pragma once
// Ornaments of the newer template designs: stars, snow, holly, roses and the
// like, each drawn round a centre so a design places it with one call.

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

void DrawStar(QPainter &painter, QPointF centre, double radius, QColor colour, double rotationDegrees = 0);
// Four-pointed twinkle, the sparkle of a night sky.
void DrawTwinkle(QPainter &painter, QPointF centre, double radius, QColor colour);
void DrawSnowflake(QPainter &painter, QPointF centre, double radius, QColor colour);
void DrawHeart(QPainter &painter, QPointF centre, double size, QColor colour);
void DrawCloud(QPainter &painter, QPointF centre, double width, QColor colour);
// A sprig of two holly leaves with three berries.
void DrawHolly(QPainter &painter, QPointF centre, double size, double angleDegrees);
// A fir branch of short needles along a gently bent stem.
void DrawPineBranch(QPainter &painter, QPointF base, double length, double angleDegrees, QColor colour);
// A rose seen from above: rings of petals, darker towards the heart.
void DrawRose(QPainter &painter, QPointF centre, double radius, QColor colour);
void DrawTulip(QPainter &painter, QPointF base, double height, QColor colour);
void DrawButterfly(QPainter &painter, QPointF centre, double size, QColor colour, double angleDegrees);
// A scroll in a corner of `frame`; `corner` 0 top-left, 1 top-right,
// 2 bottom-right, 3 bottom-left.
void DrawCornerFlourish(QPainter &painter, const QRectF &frame, int corner, double size, QColor colour);
void DrawFireworkBurst(QPainter &painter, QPointF centre, double radius, QColor colour, int rays);
// A curled paper streamer from `from` to `to`.
void DrawStreamer(QPainter &painter, QPointF from, QPointF to, double width, QColor colour);
// Fills `path` in the template key colour without antialiasing, so every
// window pixel is exactly the key and none outside it is.
void PaintKeyPath(QPainter &painter, const QPainterPath &path);
// A rectangle with an arched top, for picture windows.
QPainterPath ArchedWindow(const QRectF &rect);
