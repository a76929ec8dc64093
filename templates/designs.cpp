// The shipped templates. Each is 793 x 559 pixels, the card size of the
// default paper (A5 landscape at 96 pixels per inch).
#include "templates/template_art.h"
#include "templates/template_kit.h"

#include "card/card_geometry.h"

#include <QLinearGradient>
#include <QPainterPath>

namespace {

constexpr int CardWidth = 793;
constexpr int CardHeight = 559;

QImage NewBackground(QColor colour)
{
    QImage image(CardWidth, CardHeight, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A white mount with a soft shadow, round a picture window.
void DrawMount(QPainter &painter, const QRectF &window, double border)
{
    const QRectF mount = window.adjusted(-border, -border, border, border);
    painter.setPen(Qt::NoPen);
    for (int i = 4; i >= 1; --i) {
        painter.setBrush(QColor(0, 0, 0, 12));
        painter.drawRoundedRect(mount.translated(1.5 * i, 2.0 * i), 5, 5);
    }
    painter.setBrush(QColor(255, 255, 255));
    painter.drawRoundedRect(mount, 5, 5);
}

} // namespace

// A half-fold birthday card: the front (right half) with a picture window
// and the greeting, the inside message on the left half.
TemplateDesign BirthdayTemplate()
{
    TemplateDesign design;
    design.Name = QStringLiteral("Birthday");
    design.Background = NewBackground(QColor(255, 248, 239));
    const QRect window(455, 62, 280, 250);
    {
        QPainter painter(&design.Background);
        painter.setRenderHint(QPainter::Antialiasing);
        DrawConfetti(painter, QRectF(10, 10, 376, 110), 35, 3);
        DrawConfetti(painter, QRectF(10, 445, 376, 104), 35, 4);

        QLinearGradient front(0, 0, 0, CardHeight);
        front.setColorAt(0, QColor(255, 154, 139));
        front.setColorAt(1, QColor(255, 214, 170));
        painter.fillRect(QRectF(397, 0, 396, CardHeight), front);
        DrawConfetti(painter, QRectF(405, 440, 380, 110), 30, 5);
        DrawBalloon(painter, QPointF(425, 70), 20, QColor(100, 181, 246));
        DrawBalloon(painter, QPointF(765, 95), 18, QColor(255, 204, 92));
        DrawBalloon(painter, QPointF(428, 470), 14, QColor(186, 104, 200));

        painter.setPen(QPen(QColor(200, 185, 170), 1, Qt::DashLine));
        painter.drawLine(QPointF(396.5, 0), QPointF(396.5, CardHeight));

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

// A plain postcard: message on the left, stamp box and address rules on the right.
TemplateDesign PostcardTemplate()
{
    TemplateDesign design;
    design.Name = QStringLiteral("Postcard");
    design.Background = NewBackground(QColor(251, 246, 236));
    {
        QPainter painter(&design.Background);
        painter.setRenderHint(QPainter::Antialiasing);
        const QColor ink(190, 168, 138);
        painter.setPen(QPen(ink, 2));
        painter.drawRect(QRectF(14, 14, CardWidth - 28, CardHeight - 28));
        painter.setPen(QPen(ink, 1));
        painter.drawRect(QRectF(20, 20, CardWidth - 40, CardHeight - 40));
        painter.drawLine(QPointF(420.5, 70), QPointF(420.5, 500));

        QFont caps(QStringLiteral("Noto Serif"));
        caps.setPixelSize(15);
        caps.setLetterSpacing(QFont::AbsoluteSpacing, 6);
        painter.setFont(caps);
        painter.drawText(QRectF(445, 48, 200, 24), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("POST CARD"));

        // The stamp: a perforated edge round a little seaside scene.
        const QRectF stamp(662, 44, 92, 112);
        painter.setPen(QPen(ink, 1.5, Qt::DotLine));
        painter.setBrush(QColor(255, 255, 255));
        painter.drawRect(stamp);
        const QRectF scene = stamp.adjusted(8, 8, -8, -8);
        QLinearGradient sky(scene.topLeft(), scene.bottomLeft());
        sky.setColorAt(0, QColor(120, 190, 230));
        sky.setColorAt(1, QColor(215, 238, 250));
        painter.fillRect(scene, sky);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 200, 90));
        painter.drawEllipse(QPointF(scene.right() - 20, scene.top() + 22), 11, 11);
        QPainterPath sea;
        sea.moveTo(scene.left(), scene.bottom() - 30);
        sea.cubicTo(scene.left() + 25, scene.bottom() - 40, scene.left() + 50, scene.bottom() - 20, scene.right(),
                    scene.bottom() - 32);
        sea.lineTo(scene.bottomRight());
        sea.lineTo(scene.bottomLeft());
        painter.setBrush(QColor(44, 110, 160));
        painter.drawPath(sea);

        painter.setPen(QPen(ink, 1));
        for (int y : {300, 345, 390, 435})
            painter.drawLine(QPointF(450, y + 0.5), QPointF(752, y + 0.5));
        DrawLeafSprig(painter, QPointF(60, 520), 70, 35, QColor(150, 190, 140));
        DrawLeafSprig(painter, QPointF(380, 520), 60, -35, QColor(150, 190, 140));
    }

    TemplateText title;
    title.Rect = {44, 46, 404, 130};
    title.Family = QStringLiteral("Noto Serif Display");
    title.PointSize = 24;
    title.Bold = true;
    title.Italic = true;
    title.Colour = QColor(44, 93, 124);
    title.Paragraphs = {QStringLiteral("Greetings from the Seaside")};
    design.Texts.push_back(title);

    TemplateText message;
    message.Rect = {44, 150, 404, 470};
    message.Family = QStringLiteral("Noto Serif");
    message.PointSize = 13;
    message.Colour = QColor(59, 59, 59);
    message.Paragraphs = {QStringLiteral("Dear Sam,"), QString(),
                          QStringLiteral("the sea is wonderful, the days are long and sunny, and the ice cream "
                                         "is the best I have ever had. I wish you were here!"),
                          QString(), QStringLiteral("See you soon,"), QStringLiteral("Alex")};
    design.Texts.push_back(message);
    return design;
}

// A thank-you card with a round picture window on the left.
TemplateDesign ThankYouTemplate()
{
    TemplateDesign design;
    design.Name = QStringLiteral("Thank You");
    design.Background = NewBackground(QColor(232, 240, 228));
    const QRect window(52, 92, 376, 376);
    {
        QPainter painter(&design.Background);
        painter.setRenderHint(QPainter::Antialiasing);
        DrawLeafSprig(painter, QPointF(470, 545), 160, 20, QColor(140, 180, 130));
        DrawLeafSprig(painter, QPointF(793, 450), 150, -50, QColor(160, 196, 150));
        DrawLeafSprig(painter, QPointF(760, 30), 110, -150, QColor(160, 196, 150));
        // The ring is drawn first and the window last, inside the ring's
        // solid part: no antialiased pixel of the ring borders the key colour.
        painter.setPen(QPen(QColor(255, 255, 255), 18));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QRectF(window).adjusted(-6, -6, 6, 6));
        painter.setPen(QPen(QColor(201, 164, 92), 2));
        painter.drawEllipse(QRectF(window).adjusted(-16, -16, 16, 16));
        PaintKeyWindow(painter, window, true);
    }
    design.TransparentColour = WindowKey;
    design.Pictures.push_back({ControlToSlotRect(window, QPoint(0, 0)),
                               QStringLiteral("picture.bmp"),
                               BouquetPicture(QSize(600, 600))});

    TemplateText heading;
    heading.Rect = {470, 120, 770, 230};
    heading.Family = QStringLiteral("Noto Serif Display");
    heading.PointSize = 40;
    heading.Bold = true;
    heading.Italic = true;
    heading.Colour = QColor(74, 110, 70);
    heading.Align = Qt::AlignHCenter;
    heading.Paragraphs = {QStringLiteral("Thank You")};
    design.Texts.push_back(heading);

    TemplateText message;
    message.Rect = {480, 250, 760, 420};
    message.Family = QStringLiteral("Noto Serif");
    message.PointSize = 13;
    message.Italic = true;
    message.Colour = QColor(70, 70, 60);
    message.Align = Qt::AlignHCenter;
    message.Paragraphs = {QStringLiteral("for the lovely flowers and for thinking of me."), QString(),
                          QStringLiteral("With warm wishes,"), QStringLiteral("Alex")};
    design.Texts.push_back(message);
    return design;
}
