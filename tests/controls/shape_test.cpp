#include "controls/shape.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

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

} // namespace
