#pragma once
// A rectangle shape control: an outline drawn with a pen (style, colour,
// width) and an optional solid fill, with a cursor, a tooltip and mouse
// handlers. The picture frames, the mover's frame and handles and the crop
// rectangle are all shapes.
//
// The whole rectangle is the shape's hit area, whether or not it is filled.
//
// Like a toolkit shape under mouse capture, a shape that takes a press keeps
// receiving the moves and the release until the buttons go up, even when it
// hides itself meanwhile (the mover's handles do), with positions relative to
// its own place in its parent.

#include <QColor>
#include <QPointer>
#include <QWidget>

#include <functional>

class TShape : public QWidget {
    Q_OBJECT
public:
    // Mouse handlers get the shape, the button (Qt::NoButton for moves), the
    // keyboard modifiers and the position in the shape's client coordinates.
    using MouseHandler = std::function<void(TShape *sender, Qt::MouseButton button,
                                            Qt::KeyboardModifiers shift, int x, int y)>;

    explicit TShape(QWidget *parent = nullptr);
    ~TShape() override;

    Qt::PenStyle penStyle() const { return m_penStyle; }
    void setPenStyle(Qt::PenStyle style);
    QColor penColor() const { return m_penColor; }
    void setPenColor(const QColor &color);
    int penWidth() const { return m_penWidth; }
    void setPenWidth(int width);

    // Qt::NoBrush leaves the inside clear; Qt::SolidPattern fills it.
    Qt::BrushStyle brushStyle() const { return m_brushStyle; }
    void setBrushStyle(Qt::BrushStyle style);
    QColor brushColor() const { return m_brushColor; }
    void setBrushColor(const QColor &color);

    MouseHandler OnMouseDown;
    MouseHandler OnMouseMove;
    MouseHandler OnMouseUp;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Qt drops a hidden widget's implicit mouse grab, so while a button is
    // held on a hidden shape the parent, which stays visible, holds the grab
    // and passes the mouse events back here.
    void startStandInCapture();
    void endStandInCapture();
    void forwardFromStandIn(const QMouseEvent &event);

    Qt::MouseButtons m_buttonsHeld;
    QPointer<QWidget> m_standIn;
    Qt::PenStyle m_penStyle = Qt::SolidLine;
    QColor m_penColor = Qt::black;
    int m_penWidth = 1;
    Qt::BrushStyle m_brushStyle = Qt::SolidPattern;
    QColor m_brushColor = Qt::white;
};
