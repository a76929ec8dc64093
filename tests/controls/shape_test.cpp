#include "controls/shape.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

#include <vector>

namespace {

QImage Grab(TShape &shape)
{
    QImage image(shape.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    shape.render(&image);
    return image;
}

TEST(Shape, ClearShapeDrawsOnlyItsOutlineInsideItsBounds)
{
    TShape shape;
    shape.resize(20, 10);
    shape.setBrushStyle(Qt::NoBrush);
    shape.setPenColor(QColor(0, 0, 128));
    shape.setPenWidth(2);
    const QImage image = Grab(shape);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 0, 128));
    EXPECT_EQ(image.pixelColor(1, 1), QColor(0, 0, 128));
    EXPECT_EQ(image.pixelColor(19, 9), QColor(0, 0, 128));
    EXPECT_EQ(image.pixelColor(10, 5), QColor(Qt::white)); // inside stays clear
}

TEST(Shape, FilledShapeAndMouseHandlersInClientCoordinates)
{
    QWidget parent;
    parent.resize(100, 100);
    TShape shape(&parent);
    shape.setGeometry(30, 40, 7, 7);
    shape.setBrushColor(QColor(192, 220, 192));
    shape.setPenColor(Qt::blue);
    EXPECT_EQ(Grab(shape).pixelColor(3, 3), QColor(192, 220, 192));

    QPoint down, up;
    Qt::MouseButton pressed = Qt::NoButton;
    shape.OnMouseDown = [&](TShape *, Qt::MouseButton b, Qt::KeyboardModifiers, int x, int y) {
        pressed = b;
        down = {x, y};
    };
    shape.OnMouseUp = [&](TShape *, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) { up = {x, y}; };
    parent.show();
    QTest::mousePress(&shape, Qt::RightButton, {}, QPoint(2, 3));
    QTest::mouseRelease(&shape, Qt::RightButton, {}, QPoint(4, 5));
    EXPECT_EQ(pressed, Qt::RightButton);
    EXPECT_EQ(down, QPoint(2, 3));
    EXPECT_EQ(up, QPoint(4, 5));
}

TEST(Shape, DottedOutlineLightsEveryOtherPixel)
{
    TShape shape;
    shape.resize(12, 6);
    shape.setBrushStyle(Qt::NoBrush);
    shape.setPenStyle(Qt::DotLine);
    shape.setPenColor(QColor(128, 128, 0));
    const QImage image = Grab(shape);
    EXPECT_EQ(image.pixelColor(0, 0), QColor(128, 128, 0));
    EXPECT_EQ(image.pixelColor(1, 0), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(2, 0), QColor(128, 128, 0));
}

TEST(Shape, PressedShapeThatHidesKeepsTheMouseUntilTheRelease)
{
    QWidget parent;
    parent.resize(100, 100);
    TShape shape(&parent);
    shape.setGeometry(30, 40, 7, 7);
    std::vector<QPoint> moves;
    QPoint up;
    shape.OnMouseDown = [&](TShape *s, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { s->hide(); };
    shape.OnMouseMove = [&](TShape *, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        moves.push_back({x, y});
    };
    shape.OnMouseUp = [&](TShape *s, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y) {
        up = {x, y};
        s->show();
    };
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QWindow *window = parent.windowHandle();

    QTest::mousePress(window, Qt::LeftButton, {}, QPoint(33, 43));
    ASSERT_TRUE(shape.isHidden());
    moves.clear();
    QTest::mouseMove(window, QPoint(60, 20));
    QTest::mouseRelease(window, Qt::LeftButton, {}, QPoint(60, 20));
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0], QPoint(30, -20)); // relative to the shape's unchanged place
    EXPECT_EQ(up, QPoint(30, -20));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

} // namespace
