// Moving with the frame and resizing with the handles. The shape that takes
// a left press keeps the mouse until the release (TShape keeps it even when
// the shape hides itself), so X and Y are always in the pressed shape's own
// client coordinates: the frame's current place during a move, the hidden
// handle's unchanged place during a resize.
#include "mover/mover.h"

#include "controls/shape.h"

namespace {

// Two presses on the frame closer than this are a double press.
constexpr qint64 kDoublePressMs = 200;

// Which edges a handle drags: -1 the left (top) edge, +1 the right (bottom)
// edge, 0 neither.
struct HandleEdges {
    const char *name;
    int horizontal;
    int vertical;
};

constexpr HandleEdges kHandleEdges[] = {
    {"ustsol", -1, -1}, {"ustsag", +1, -1}, {"ustorta", 0, -1}, {"altsol", -1, +1},
    {"altsag", +1, +1}, {"altorta", 0, +1}, {"solorta", -1, 0}, {"sagorta", +1, 0},
};

} // namespace

void TMover::record(TShape *sender, int x, int y)
{
    DownPoint = QPoint(x, y);
    PressedName = sender->objectName();
}

void TMover::FrameMouseDown(TShape *sender, Qt::MouseButton button, int x, int y)
{
    record(sender, x, y);
    if (button == Qt::RightButton) {
        HideHandles();
        return;
    }
    if (button != Qt::LeftButton)
        return;

    Dragging = true;
    hideForDrag();
    HideHandles();
    setFrameAtRest(false);
    TShape *marker = shape(Marker);
    marker->setGeometry(shape(Frame)->geometry());
    marker->show(); // stays at the start position for the whole drag
    DragRect = m_frameBounds;

    const qint64 now = MonotonicClock();
    const bool quick = LastPressTime && now - *LastPressTime < kDoublePressMs;
    LastPressTime = now;
    if (quick) {
        DoubleClicked = true;
        if (OnDClick)
            OnDClick(this);
    }
}

void TMover::FrameMouseMove(int x, int y)
{
    if (!Dragging)
        return;
    // X, Y are relative to the frame, which moves with each accepted step, so
    // the grab point stays under the mouse.
    DragRect = QRect(m_frameBounds.left() + (x - DownPoint.x()),
                     m_frameBounds.top() + (y - DownPoint.y()), m_frameBounds.width(),
                     m_frameBounds.height());
    bool allow = true;
    if (OnMoving)
        OnMoving(m_selected.data(), DragRect, allow);
    if (allow)
        setFrameBounds(DragRect);
}

void TMover::FrameMouseUp(TShape *sender, Qt::MouseButton button, int x, int y)
{
    record(sender, x, y);
    Dragging = false;
    if (button == Qt::LeftButton && m_selected) {
        const QPointer<QWidget> control = m_selected;
        const QPoint position = m_frameBounds.topLeft() + QPoint(FrameMargin, FrameMargin);
        const bool moved = position != control->pos();
        control->move(position);

        setFrameAtRest(true);
        shape(Marker)->hide();
        PlaceHandles();
        ShowHandles();

        // A moved control is reported before it shows again, so the owner can
        // store its new place first.
        if (moved) {
            if (OnEndMove)
                OnEndMove(control.data(), true, QPoint(x, y));
            showAfterDrag(control);
        } else {
            showAfterDrag(control);
            if (!DoubleClicked && OnEndMove)
                OnEndMove(control.data(), false, QPoint(x, y));
        }
    } else if (button == Qt::RightButton && m_selected) {
        ShowHandles();
    }
    DoubleClicked = false;
}

void TMover::HandleMouseDown(TShape *sender, Qt::MouseButton button, int x, int y)
{
    record(sender, x, y);
    if (button != Qt::LeftButton)
        return;
    Dragging = true;
    hideForDrag();
    StartRect = m_frameBounds;
    DragRect = m_frameBounds;
    HideHandles(); // the frame stays, dotted; no marker
}

void TMover::HandleMouseMove(int x, int y)
{
    if (!Dragging)
        return;
    // Total travel since the press: the hidden handle has not moved.
    const int dx = x - DownPoint.x();
    const int dy = y - DownPoint.y();
    const QRect previous = DragRect;

    int left = m_frameBounds.left(), top = m_frameBounds.top();
    int width = m_frameBounds.width(), height = m_frameBounds.height();
    for (const HandleEdges &edges : kHandleEdges) {
        if (PressedName != QLatin1String(edges.name))
            continue;
        // A left or top edge follows the mouse while the opposite edge stays;
        // a right or bottom edge follows it from its start. No minimum size
        // and no swapping: the owner's OnResizing sees the rectangle as is.
        if (edges.horizontal < 0) {
            width = StartRect.width() - dx;
            left = StartRect.left() + dx;
        } else if (edges.horizontal > 0) {
            width = StartRect.width() + dx;
        }
        if (edges.vertical < 0) {
            height = StartRect.height() - dy;
            top = StartRect.top() + dy;
        } else if (edges.vertical > 0) {
            height = StartRect.height() + dy;
        }
    }

    DragRect = QRect(left, top, width, height);
    bool allow = true;
    if (OnResizing)
        OnResizing(m_selected.data(), DragRect, allow);
    if (allow)
        setFrameBounds(DragRect);
    else
        DragRect = previous;
}

void TMover::HandleMouseUp(TShape *sender, Qt::MouseButton button, int x, int y)
{
    record(sender, x, y);
    Dragging = false;
    if (button != Qt::LeftButton || !m_selected)
        return;
    const QPointer<QWidget> control = m_selected;
    const int m = FrameMargin;
    control->setGeometry(m_frameBounds.adjusted(m, m, -m, -m));
    if (OnEndResize)
        OnEndResize(control.data());
    showAfterDrag(control);
    if (m_selected) {
        PlaceHandles();
        ShowHandles();
    }
}
