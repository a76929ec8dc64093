// The mover's shapes, selection and handle placement. The drag handlers are
// in mover_drag.cpp.
#include "mover/mover.h"

#include "controls/shape.h"

#include <algorithm>
#include <chrono>

namespace {

struct ShapeDescription {
    const char *name;
    Qt::CursorShape cursor;
    const char *accessibleName; // what a screen reader calls it
};

// In creation order; the index is TMover::ShapeIndex.
constexpr ShapeDescription kShapes[] = {
    {"BelirleyiciCerceve", Qt::ArrowCursor, "Start position"},
    {"cerceve", Qt::SizeAllCursor, "Move"},
    {"ustsol", Qt::SizeFDiagCursor, "Resize top left"},
    {"ustsag", Qt::SizeBDiagCursor, "Resize top right"},
    {"ustorta", Qt::SizeVerCursor, "Resize top"},
    {"solorta", Qt::SizeHorCursor, "Resize left"},
    {"sagorta", Qt::SizeHorCursor, "Resize right"},
    {"altsol", Qt::SizeBDiagCursor, "Resize bottom left"},
    {"altsag", Qt::SizeFDiagCursor, "Resize bottom right"},
    {"altorta", Qt::SizeVerCursor, "Resize bottom"},
};

constexpr int kHandleSize = TMover::HandleSize;

QString frameHint()
{
    return QStringLiteral("To Move the Object \nHold it in the dot frame\nDrag and Drop");
}

// A widget cannot be narrower than zero; the mover's rectangles can.
void applyBounds(QWidget *widget, const QRect &bounds)
{
    widget->setGeometry(bounds.left(), bounds.top(), std::max(0, bounds.width()),
                        std::max(0, bounds.height()));
}

} // namespace

TMover::TMover(QWidget *owner) : QObject(owner)
{
    MonotonicClock = [] {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    };
    for (int i = 0; i < ShapeCount; ++i) {
        auto *shape = new TShape(owner);
        shape->setObjectName(QString::fromLatin1(kShapes[i].name));
        shape->setGeometry(50, 0, kHandleSize, kHandleSize);
        shape->setCursor(kShapes[i].cursor);
        shape->setPenWidth(1);
        shape->setAccessibleName(QString::fromLatin1(kShapes[i].accessibleName));
        shape->hide();
        m_shapes[i] = shape;
    }

    TShape *marker = shape(Marker);
    marker->setPenStyle(Qt::DotLine);
    marker->setBrushStyle(Qt::NoBrush);

    TShape *frame = shape(Frame);
    frame->setPenStyle(Qt::DotLine);
    frame->setBrushStyle(Qt::NoBrush);
    frame->setToolTip(frameHint());
    frame->setAccessibleDescription(frameHint());
    frame->OnMouseDown = [this](TShape *s, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
        FrameMouseDown(s, b, x, y);
    };
    frame->OnMouseMove = [this](TShape *, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        FrameMouseMove(x, y);
    };
    frame->OnMouseUp = [this](TShape *s, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
        FrameMouseUp(s, b, x, y);
    };

    for (int i = TopLeft; i < ShapeCount; ++i) {
        TShape *handle = m_shapes[i];
        handle->setPenStyle(Qt::SolidLine);
        handle->setBrushStyle(Qt::SolidPattern);
        handle->OnMouseDown = [this](TShape *s, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
            HandleMouseDown(s, b, x, y);
        };
        handle->OnMouseMove = [this](TShape *, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
            HandleMouseMove(x, y);
        };
        handle->OnMouseUp = [this](TShape *s, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
            HandleMouseUp(s, b, x, y);
        };
    }

    ApplyColors();
}

TMover::~TMover()
{
    // The shapes live in the container but belong to the mover: none may
    // outlive it with handlers bound to it. The container may have taken
    // some with it already.
    for (QPointer<TShape> &shape : m_shapes)
        delete shape.data();
}

TShape *TMover::shape(ShapeIndex index) const
{
    return m_shapes[index].data();
}

bool TMover::shapesAlive() const
{
    return std::all_of(m_shapes.begin(), m_shapes.end(),
                       [](const QPointer<TShape> &shape) { return !shape.isNull(); });
}

void TMover::AttachTo(QWidget *container)
{
    if (!shapesAlive())
        return;
    for (ShapeIndex index : StackingOrder) {
        TShape *s = shape(index);
        const bool hidden = s->isHidden();
        s->setParent(container);
        s->raise();
        // A new parent hides a widget; keep what the mover wants explicitly,
        // so that showing the container later shows no stray shape.
        s->setVisible(!hidden);
    }
}

bool TMover::Select(QWidget *control)
{
    if (!control || !shapesAlive())
        return false;

    const QPointer<QWidget> previous = m_selected;
    m_selected = control; // a handler reading SelectedControl sees the candidate
    bool allow = true;
    if (OnSelecting)
        OnSelecting(control, allow);
    if (!allow || !m_selected) {
        m_selected = previous;
        return false;
    }

    disconnect(m_selectedWatch);
    m_selectedWatch = connect(control, &QObject::destroyed, this, &TMover::forgetDestroyedControl);

    HideFrame();
    raiseShapes();
    // A control that takes the keyboard focus (a text box) keeps the presses
    // inside it, so the user can place the caret; the frame takes only the
    // ring around it. Any other control is moved by a press anywhere on it.
    m_hollowFrame = control->focusPolicy() != Qt::NoFocus;
    if (FrameMargin == 0)
        FrameMargin = 8;
    const int m = FrameMargin;
    setFrameBounds(QRect(control->x() - m, control->y() - m, control->width() + 2 * m,
                         control->height() + 2 * m));
    PlaceHandles();
    ShowFrame();
    return true;
}

void TMover::Unselect()
{
    bool allow = true;
    if (OnUnSelecting)
        OnUnSelecting(m_selected.data(), allow);
    if (!allow)
        return;
    if (shapesAlive())
        HideFrame();
    disconnect(m_selectedWatch);
    m_selected = nullptr;
}

void TMover::ApplyColors()
{
    if (!shapesAlive())
        return;
    shape(Marker)->setPenColor(MarkerColor);
    shape(Frame)->setPenColor(FrameColor);
    for (int i = TopLeft; i < ShapeCount; ++i) {
        m_shapes[i]->setPenColor(HandleBorderColor);
        m_shapes[i]->setBrushColor(HandleColor);
    }
    Select(m_selected.data());
}

void TMover::forgetDestroyedControl()
{
    // A frame around nothing would drag nothing: the selection ends with the
    // control, without OnUnSelecting, which could not keep it anyway.
    disconnect(m_selectedWatch);
    m_selected = nullptr;
    Dragging = false;
    DoubleClicked = false;
    if (!shapesAlive())
        return;
    setFrameAtRest(true);
    shape(Marker)->hide();
    HideFrame();
}

void TMover::raiseShapes()
{
    // While a control is selected nothing on the container may cover its
    // frame or handles, not even a control created after AttachTo.
    for (ShapeIndex index : StackingOrder)
        shape(index)->raise();
}

void TMover::hideForDrag()
{
    if (!m_selected)
        return;
    m_focusBeforeDrag = m_selected->hasFocus();
    m_selected->hide();
}

void TMover::showAfterDrag(QWidget *control)
{
    if (!control)
        return;
    control->show();
    // The user goes on typing where they were before the drag.
    if (m_focusBeforeDrag)
        control->setFocus(Qt::OtherFocusReason);
    m_focusBeforeDrag = false;
}

void TMover::setFrameBounds(const QRect &bounds)
{
    m_frameBounds = bounds;
    TShape *frame = shape(Frame);
    applyBounds(frame, bounds);
    const int m = FrameMargin;
    if (m_hollowFrame && bounds.width() > 2 * m && bounds.height() > 2 * m) {
        const QRect whole(0, 0, bounds.width(), bounds.height());
        frame->setMask(QRegion(whole).subtracted(QRegion(whole.adjusted(m, m, -m, -m))));
    } else {
        frame->clearMask();
    }
}

bool TMover::Nudge(int dx, int dy)
{
    if (!m_selected || Dragging || !shapesAlive())
        return false;
    QRect proposed = m_frameBounds.translated(dx, dy);
    bool allow = true;
    if (OnMoving)
        OnMoving(m_selected.data(), proposed, allow);
    if (!allow)
        return false;
    const QPointer<QWidget> control = m_selected;
    setFrameBounds(proposed);
    const QPoint position = m_frameBounds.topLeft() + QPoint(FrameMargin, FrameMargin);
    const bool moved = position != control->pos();
    control->move(position);
    PlaceHandles();
    if (OnEndMove)
        OnEndMove(control.data(), moved, QPoint(0, 0));
    return moved;
}

void TMover::setFrameAtRest(bool atRest)
{
    TShape *frame = shape(Frame);
    frame->setPenStyle(atRest ? Qt::DotLine : Qt::SolidLine);
    frame->setPenColor(atRest ? FrameColor : DragFrameColor);
    frame->setToolTip(atRest ? frameHint() : QString());
}

void TMover::PlaceHandles()
{
    // The handles lie just outside the frame, touching its corners and the
    // middles of its sides.
    const QRect f = m_frameBounds;
    TShape *tl = shape(TopLeft), *tr = shape(TopRight), *tm = shape(TopMiddle);
    TShape *bl = shape(BottomLeft), *br = shape(BottomRight), *bm = shape(BottomMiddle);
    TShape *ml = shape(MiddleLeft), *mr = shape(MiddleRight);
    tl->move(f.left() - tl->width(), f.top() - tm->height());
    tr->move(f.left() + f.width(), tl->y());
    tm->move(f.left() + (f.width() - tm->width()) / 2, tl->y());
    bl->move(tl->x(), f.top() + f.height());
    br->move(tr->x(), bl->y());
    bm->move(tm->x(), bl->y());
    ml->move(tl->x(), f.top() + (f.height() - ml->height()) / 2);
    mr->move(tr->x(), ml->y());
}

void TMover::ShowHandles()
{
    for (int i = TopLeft; i < ShapeCount; ++i)
        m_shapes[i]->show();
}

void TMover::HideHandles()
{
    for (int i = TopLeft; i < ShapeCount; ++i)
        m_shapes[i]->hide();
}

void TMover::ShowFrame()
{
    ShowHandles();
    shape(Frame)->show();
}

void TMover::HideFrame()
{
    HideHandles();
    shape(Frame)->hide();
}
