#include "templates/template_art.h"
#include "templates/template_kit.h"

#include "card/card_geometry.h"

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
        DrawConfetti(painter, QRectF(405, 440, 380, 110), 30, 5);
        DrawBalloon(painter, QPointF(425, 70), 20, QColor(100, 181, 246));
        DrawBalloon(painter, QPointF(765, 95), 18, QColor(255, 204, 92));
        DrawBalloon(painter, QPointF(428, 470), 14, QColor(186, 104, 200));

        painter.setPen(QPen(QColor(200, 185, 170), 1, Qt::DashLine));
        painter.drawLine(QPointF(396.5, 0), QPointF(396.5, H));

        DrawMount(painter, window, 10);
        PaintKeyWindow(painter, window);
    }
    design.TransparentColour = WindowKey;
    design.Pictures.push_back({ControlToSlotRect(window, QPoint(0, 0)),
                               QStringLiteral("picture.bmp"),
                               MeadowPicture(QSize(560, 500))});

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
    greeting.Rect = {405, 335, 785, 440};
    greeting.Family = QStringLiteral("Noto Serif Display");
    greeting.PointSize = 30;
    greeting.Bold = true;
    greeting.Italic = true;
    greeting.Colour = QColor(122, 31, 75);
    greeting.Align = Qt::AlignHCenter;
    greeting.Paragraphs = {QStringLiteral("Happy Birthday!")};
    design.Texts.push_back(greeting);
    return design;
}
