#pragma once
// Small drawing helpers shared by the template designs. Everything is
// deterministic, so every build produces the same templates.

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRectF>

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

// The sample pictures shown in the templates' picture windows.
QImage MeadowPicture(QSize size);
QImage BouquetPicture(QSize size);
