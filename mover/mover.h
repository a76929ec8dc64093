#pragma once
// TMover lets the user move and resize one control at a time on a container
// with the mouse. It frames the selected control with a dotted rectangle (the
// frame) and eight small square handles; dragging the frame moves the
// control, dragging a handle resizes it. During a drag the control is hidden
// and only the frame follows the mouse; on release the control takes the
// frame's place. Each step is reported through optional callbacks that may
// veto or adjust it.
//
// The mover is not a widget: it owns ten shape controls (the frame, a
// start-position marker shown during a move, and the handles) which live in
// the container beside the controls they move. Use it as
//     auto *mover = new TMover(form);   // the form owns the mover
//     mover->AttachTo(container);       // once, right after construction
//     mover->OnEndMove = ...;           // optional callbacks and settings,
//     mover->ApplyColors();             //   ApplyColors after changing colours
//     mover->Select(control);           // control: a child of the container
// While a control is selected the frame and the handles lie above every
// control of the container, so no other control can cover a handle. A
// selected control that takes the keyboard focus (a text box) keeps the
// presses inside it and the frame takes the ring around it; any other
// control is dragged by a press anywhere inside the frame.
//
// Rectangles are in the container's client coordinates; a QRect here is read
// by left, top, width and height, and a width or height may be zero or
// negative while a handle is dragged past the opposite edge.

#include <QColor>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class TShape;

class TMover : public QObject {
    Q_OBJECT
public:
    // Allow and vRect come in set (Allow true, vRect the proposed frame
    // rectangle, margin included); a handler vetoes a step by clearing Allow
    // and adjusts it by changing vRect.
    using TSelectEvent = std::function<void(QWidget *vControl, bool &Allow)>;
    using TMoveResizeEvent = std::function<void(QWidget *vControl, QRect &vRect, bool &Allow)>;
    // xy: the release position in the frame's client coordinates.
    using TEndMoveCheckEvent = std::function<void(QWidget *vControl, bool Moved, QPoint xy)>;
    using TEndMoveResizeEvent = std::function<void(QWidget *vControl)>;
    using TDClickEvent = std::function<void(TMover *Sender)>;

    // The shapes start out as hidden children of the owner form.
    explicit TMover(QWidget *owner);
    ~TMover() override;

    // Makes the container the parent of the ten shapes; the controls later
    // selected must be children of the same container.
    void AttachTo(QWidget *container);
    // Frames the control; false when there is none or OnSelecting refuses.
    bool Select(QWidget *control);
    // Removes the frame unless OnUnSelecting refuses.
    void Unselect();
    // Pushes the colour settings into the shapes and reframes the selection.
    void ApplyColors();
    // Moves the selected control by (dx, dy) as a drag of the frame would,
    // reported the same way: OnMoving with the proposed frame rectangle (which
    // may veto or adjust it), then OnEndMove with xy (0, 0). The keyboard's
    // way to move. False when nothing is selected, a drag is in progress, the
    // step was refused or the control did not move.
    bool Nudge(int dx, int dy);

    // The control the frame surrounds, or null. Held weakly: a control that
    // is destroyed while selected takes the frame away with it.
    QWidget *SelectedControl() const { return m_selected.data(); }

    // A left-button drag of the frame or of a handle is in progress (the
    // selected control is hidden meanwhile).
    bool IsDragging() const { return Dragging; }

    // The side of each square handle, in pixels.
    static constexpr int HandleSize = 7;

    // Settings; see ApplyColors.
    int FrameMargin = 4; // 0 means 8 at the next Select
    QColor FrameColor{128, 128, 0};
    QColor DragFrameColor{0, 0, 0};
    QColor MarkerColor{0, 255, 0};
    QColor HandleColor{192, 220, 192};
    QColor HandleBorderColor{0, 0, 255};

    TSelectEvent OnSelecting;
    TSelectEvent OnUnSelecting;
    TMoveResizeEvent OnMoving;
    TMoveResizeEvent OnResizing;
    TEndMoveCheckEvent OnEndMove;
    TEndMoveResizeEvent OnEndResize;
    TDClickEvent OnDClick;

    // Milliseconds on a monotonic clock, so a clock change cannot fake or
    // swallow a double press. Tests replace it to step time by hand.
    std::function<qint64()> MonotonicClock;

private:
    enum ShapeIndex { Marker, Frame, TopLeft, TopRight, TopMiddle, MiddleLeft, MiddleRight,
                      BottomLeft, BottomRight, BottomMiddle, ShapeCount };
    // Later shapes lie above earlier ones: handles over the frame, the frame
    // over the marker.
    static constexpr ShapeIndex StackingOrder[] = {Marker, Frame, BottomLeft, TopLeft, TopRight,
                                                   BottomRight, TopMiddle, BottomMiddle,
                                                   MiddleLeft, MiddleRight};

    TShape *shape(ShapeIndex index) const;
    bool shapesAlive() const;
    void setFrameBounds(const QRect &bounds);
    void raiseShapes();
    void PlaceHandles();
    void ShowHandles();
    void HideHandles();
    void ShowFrame();
    void HideFrame();
    void setFrameAtRest(bool atRest);
    void forgetDestroyedControl();
    // The selected control hides during a drag, which takes the keyboard
    // focus away from it; it gets the focus back when it shows again.
    void hideForDrag();
    void showAfterDrag(QWidget *control);

    // Mouse handlers of the frame and the handles (mover_drag.cpp).
    void FrameMouseDown(TShape *sender, Qt::MouseButton button, int x, int y);
    void FrameMouseMove(int x, int y);
    void FrameMouseUp(TShape *sender, Qt::MouseButton button, int x, int y);
    void HandleMouseDown(TShape *sender, Qt::MouseButton button, int x, int y);
    void HandleMouseMove(int x, int y);
    void HandleMouseUp(TShape *sender, Qt::MouseButton button, int x, int y);
    void record(TShape *sender, int x, int y);

    std::array<QPointer<TShape>, ShapeCount> m_shapes;
    QPointer<QWidget> m_selected;
    QMetaObject::Connection m_selectedWatch;
    // The frame's bounds as the mover set them; the widget itself cannot be
    // narrower than zero, these can.
    QRect m_frameBounds;
    // The frame leaves presses inside the selected control to it.
    bool m_hollowFrame = false;
    // The selected control had the keyboard focus when the drag began.
    bool m_focusBeforeDrag = false;

    bool Dragging = false;
    QPoint DownPoint;
    QString PressedName;
    QRect StartRect;
    QRect DragRect;
    // Time of the last left press on the frame; none until the first press,
    // which is never a double press.
    std::optional<qint64> LastPressTime;
    bool DoubleClicked = false;
};
