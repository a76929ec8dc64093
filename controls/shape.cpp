#include "controls/shape.h"

#include <QMouseEvent>
#include <QPainter>

TShape::TShape(QWidget *parent) : QWidget(parent)
{
    // Only what the shape paints is drawn; a clear shape shows what lies under it.
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
}

void TShape::setPenStyle(Qt::PenStyle style)
{
    if (m_penStyle != style) {
        m_penStyle = style;
        update();
    }
}

void TShape::setPenColor(const QColor &color)
{
    if (m_penColor != color) {
        m_penColor = color;
        update();
    }
}

void TShape::setPenWidth(int width)
{
    if (m_penWidth != width) {
        m_penWidth = width;
        update();
    }
}

void TShape::setBrushStyle(Qt::BrushStyle style)
{
    if (m_brushStyle != style) {
        m_brushStyle = style;
        update();
    }
}

void TShape::setBrushColor(const QColor &color)
{
    if (m_brushColor != color) {
        m_brushColor = color;
        update();
    }
}

void TShape::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const int w = qMax(1, m_penWidth);
    // The outline lies wholly inside the shape's bounds, as a toolkit shape
    // draws it, so a 2-pixel pen shows both its pixels on every side.
    const QRectF outline = QRectF(rect()).adjusted(w / 2.0, w / 2.0, -w / 2.0, -w / 2.0);
    if (m_brushStyle != Qt::NoBrush)
        painter.fillRect(rect(), QBrush(m_brushColor, m_brushStyle));
    if (m_penStyle != Qt::NoPen && width() > 0 && height() > 0) {
        QPen pen(m_penColor, w, m_penStyle, Qt::SquareCap, Qt::MiterJoin);
        if (m_penStyle == Qt::DotLine)
            pen.setDashPattern({1.0, 1.0}); // every other pixel, as a dotted frame is drawn
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(outline);
    }
}

void TShape::mousePressEvent(QMouseEvent *event)
{
    if (OnMouseDown)
        OnMouseDown(this, event->button(), event->modifiers(),
                    event->position().toPoint().x(), event->position().toPoint().y());
    event->accept();
}

void TShape::mouseMoveEvent(QMouseEvent *event)
{
    if (OnMouseMove)
        OnMouseMove(this, Qt::NoButton, event->modifiers(),
                    event->position().toPoint().x(), event->position().toPoint().y());
    event->accept();
}

void TShape::mouseReleaseEvent(QMouseEvent *event)
{
    if (OnMouseUp)
        OnMouseUp(this, event->button(), event->modifiers(),
                  event->position().toPoint().x(), event->position().toPoint().y());
    event->accept();
}
