#include "controls/shape.h"

#include "controls/accessibility.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

TShape::TShape(QWidget *parent) : QWidget(parent)
{
    InstallControlAccessibility();
    // Only what the shape paints is drawn; a clear shape shows what lies under it.
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setMouseTracking(true);
}

TShape::~TShape()
{
    endStandInCapture();
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
    m_buttonsHeld = event->buttons();
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
    // The capture ends before the handler runs: the handler may show, move
    // or even delete this shape.
    m_buttonsHeld = event->buttons();
    if (m_buttonsHeld == Qt::NoButton)
        endStandInCapture();
    if (OnMouseUp)
        OnMouseUp(this, event->button(), event->modifiers(),
                  event->position().toPoint().x(), event->position().toPoint().y());
    event->accept();
}

void TShape::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // A release that never came (another window took the mouse) must not
    // leave a stale press behind.
    m_buttonsHeld &= QGuiApplication::mouseButtons();
    QWidget *parent = parentWidget();
    if (m_buttonsHeld != Qt::NoButton && !m_standIn && parent && parent->isVisible())
        startStandInCapture();
}

void TShape::startStandInCapture()
{
    m_standIn = parentWidget();
    m_standIn->installEventFilter(this);
    // The cursor of the shape stays on while it is hidden, as it would under
    // the toolkit's capture.
    m_standIn->grabMouse(cursor());
}

void TShape::endStandInCapture()
{
    if (!m_standIn)
        return;
    m_standIn->removeEventFilter(this);
    if (QWidget::mouseGrabber() == m_standIn)
        m_standIn->releaseMouse();
    m_standIn = nullptr;
}

bool TShape::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_standIn)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
        forwardFromStandIn(*static_cast<QMouseEvent *>(event));
        return true;
    default:
        return false;
    }
}

void TShape::forwardFromStandIn(const QMouseEvent &event)
{
    const QPointF local = mapFrom(m_standIn.data(), event.position());
    QEvent::Type type = event.type();
    Qt::MouseButton button = event.button();
    if (type == QEvent::MouseMove && event.buttons() == Qt::NoButton) {
        // The release went elsewhere (another window took the mouse): end the
        // press here as if it had come, rather than leave the grab on.
        type = QEvent::MouseButtonRelease;
        button = Qt::MouseButton(m_buttonsHeld.toInt() & -m_buttonsHeld.toInt());
    }
    QMouseEvent forwarded(type, local, event.scenePosition(), event.globalPosition(), button,
                          event.buttons(), event.modifiers(), event.pointingDevice());
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        mousePressEvent(&forwarded);
        break;
    case QEvent::MouseMove:
        mouseMoveEvent(&forwarded);
        break;
    default:
        mouseReleaseEvent(&forwarded);
        break;
    }
}
