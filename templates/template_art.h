#pragma once
// Small drawing helpers shared by the template designs. Everything is
// deterministic, so every build produces the same templates.

#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QRectF>

#include <functional>

// A gradient from `from` at height `top` to `to` at height `bottom`.
QLinearGradient VerticalGradient(double top, double bottom, QColor from, QColor to);

void DrawFlower(QPainter &painter, QPointF centre, double radius, QColor petals, QColor heart);
void DrawBalloon(QPainter &painter, QPointF centre, double radius, QColor colour);
void DrawLeafSprig(QPainter &painter, QPointF base, double length, double angleDegrees, QColor colour);
// Soft round dots scattered over `area`, the same for the same seed.
void DrawConfetti(QPainter &painter, const QRectF &area, int count, unsigned seed);
// Paints `rect` in the template key colour without antialiasing, so every
// pixel of the window is exactly the key and none outside it is.
void PaintKeyWindow(QPainter &painter, const QRect &rect, bool ellipse = false);

// A white mount with a soft shadow round a picture window.
void DrawMount(QPainter &painter, const QRectF &window, double border);

// A picture of `size` painted by `paint` with an antialiased painter, given
// the picture's width and height.
QImage PaintedPicture(QSize size, const std::function<void(QPainter &painter, double w, double h)> &paint);

// The sample pictures shown in the templates' picture windows.
QImage MeadowPicture(QSize size);
QImage BouquetPicture(QSize size);
