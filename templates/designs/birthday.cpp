#include "templates/template_art.h"
#include "templates/template_kit.h"

#include <QLinearGradient>
#include <QPainterPath>

// A half-fold birthday card: the front (right half) with a picture window
// and the greeting, the inside message on the left half.
TemplateDesign BirthdayTemplate()
{
    TemplateDesign design = StartDesign(QStringLiteral("Birthday"), TemplatePaper::A5Landscape, QColor(255, 248, 239));
    const double H = design.Height();
    const QRect window(455, 62, 280, 232);
    {
        QPainter painter(&design.Background);
        painter.setRenderHint(QPainter::Antialiasing);
        DrawConfetti(painter, QRectF(10, 10, 376, 110), 35, 3);
        DrawConfetti(painter, QRectF(10, 445, 376, 104), 35, 4);

        const QLinearGradient front = VerticalGradient(0, H, QColor(255, 154, 139), QColor(255, 214, 170));
        painter.fillRect(QRectF(397, 0, 396, H), front);
        DrawConfetti(painter, QRectF(405, 440, 260, 110), 26, 5);
        // A bunch of balloons rising from the lower corner, one strayed above.
        DrawBalloon(painter, QPointF(756, 494), 19, QColor(186, 104, 200));
        DrawBalloon(painter, QPointF(714, 506), 22, QColor(100, 181, 246));
        DrawBalloon(painter, QPointF(742, 456), 24, QColor(255, 204, 92));
        DrawBalloon(painter, QPointF(420, 60), 17, QColor(129, 199, 132));

        painter.setPen(QPen(QColor(200, 185, 170), 1, Qt::DashLine));
        painter.drawLine(QPointF(396.5, 0), QPointF(396.5, H));

        DrawMount(painter, window, 10);
        PaintKeyWindow(painter, window);
    }
    AddWindowPicture(design, window, MeadowPicture(window.size() * 2));

    design.Texts.push_back(
        {.Rect = {48, 150, 348, 430},
         .Family = QStringLiteral("Noto Serif"),
         .PointSize = 14,
         .Italic = true,
         .Colour = QColor(92, 60, 48),
         .Align = Qt::AlignHCenter,
         .Paragraphs = {QStringLiteral("Dear friend,"), QString(),
                        QStringLiteral("wishing you a day full of laughter, cake and everything you love."), QString(),
                        QStringLiteral("With love,"), QStringLiteral("Alex")}});

    design.Texts.push_back({.Rect = {405, 332, 785, 420},
                            .Family = QStringLiteral("Dancing Script"),
                            .PointSize = 38,
                            .Bold = true,
                            .Colour = QColor(122, 31, 75),
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("Happy Birthday!")}});
    return design;
}
