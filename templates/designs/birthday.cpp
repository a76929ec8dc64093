#include "templates/template_art.h"
#include "templates/template_kit.h"

#include <QLinearGradient>
#include <QPainterPath>

// A half-fold birthday card: the front (right half) with a picture window
// and the greeting, the inside message on the left half.
TemplateDesign BirthdayTemplate()
{
    TemplateDesign design;
    design.Paper = TemplatePaper::A5Landscape;
    design.Name = QStringLiteral("Birthday");
    design.Background = NewBackground(TemplatePaper::A5Landscape, QColor(255, 248, 239));
    const double H = design.Background.height();
    const QRect window(455, 62, 280, 250);
    {
        QPainter painter(&design.Background);
        painter.setRenderHint(QPainter::Antialiasing);
        DrawConfetti(painter, QRectF(10, 10, 376, 110), 35, 3);
        DrawConfetti(painter, QRectF(10, 445, 376, 104), 35, 4);

        QLinearGradient front(0, 0, 0, H);
        front.setColorAt(0, QColor(255, 154, 139));
        front.setColorAt(1, QColor(255, 214, 170));
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

    TemplateText message;
    message.Rect = {48, 150, 348, 430};
    message.Family = QStringLiteral("Noto Serif");
    message.PointSize = 14;
    message.Italic = true;
    message.Colour = QColor(92, 60, 48);
    message.Align = Qt::AlignHCenter;
    message.Paragraphs = {QStringLiteral("Dear friend,"), QString(),
                          QStringLiteral("wishing you a day full of laughter, cake and everything you love."),
                          QString(), QStringLiteral("With love,"), QStringLiteral("Alex")};
    design.Texts.push_back(message);

    TemplateText greeting;
    greeting.Rect = {405, 332, 785, 420};
    greeting.Family = QStringLiteral("Dancing Script");
    greeting.PointSize = 38;
    greeting.Bold = true;
    greeting.Colour = QColor(122, 31, 75);
    greeting.Align = Qt::AlignHCenter;
    greeting.Paragraphs = {QStringLiteral("Happy Birthday!")};
    design.Texts.push_back(greeting);
    return design;
}
