#include "templates/template_art.h"
#include "templates/template_kit.h"
#include "templates/template_pictures.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

// A postcard: a holiday picture and the message on the left, stamp box and
// address rules on the right.
TemplateDesign PostcardTemplate()
{
    TemplateDesign design = StartDesign(QStringLiteral("Postcard"), TemplatePaper::A5Landscape, QColor(251, 246, 236));
    const double W = design.Width();
    const double H = design.Height();
    const QRect window(52, 52, 344, 176);
    {
        QPainter painter(&design.Background);
        painter.setRenderHint(QPainter::Antialiasing);
        // Card stock, a little warmer towards its edges.
        QRadialGradient stock(W / 2, H / 2, W * 0.6);
        stock.setColorAt(0, QColor(253, 250, 242));
        stock.setColorAt(1, QColor(242, 232, 212));
        painter.fillRect(design.Rect(), stock);
        const QColor ink(190, 168, 138);
        painter.setPen(QPen(ink, 2));
        painter.drawRect(QRectF(14, 14, W - 28, H - 28));
        painter.setPen(QPen(ink, 1));
        painter.drawRect(QRectF(20, 20, W - 40, H - 40));
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
        const QLinearGradient sky =
            VerticalGradient(scene.top(), scene.bottom(), QColor(120, 190, 230), QColor(215, 238, 250));
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

        // A postmark half over the stamp: a dated ring and wavy cancel lines.
        const QColor postmark(120, 120, 150, 150);
        const QPointF mark(stamp.left() - 12, stamp.center().y() + 6);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(postmark, 1.6));
        painter.drawEllipse(mark, 36, 36);
        painter.drawEllipse(mark, 30, 30);
        QFont small(QStringLiteral("Noto Sans"));
        small.setPixelSize(9);
        small.setBold(true);
        painter.setFont(small);
        painter.drawText(QRectF(mark.x() - 30, mark.y() - 14, 60, 12), Qt::AlignCenter, QStringLiteral("SEASIDE"));
        painter.drawText(QRectF(mark.x() - 30, mark.y() + 2, 60, 12), Qt::AlignCenter, QStringLiteral("12 JUL"));
        for (int line = 0; line < 4; ++line) {
            QPainterPath wave;
            const double y = mark.y() - 18 + line * 12;
            wave.moveTo(mark.x() + 40, y);
            for (int k = 0; k < 3; ++k)
                wave.cubicTo(mark.x() + 48 + k * 22, y - 6, mark.x() + 56 + k * 22, y + 6, mark.x() + 62 + k * 22, y);
            painter.drawPath(wave);
        }

        painter.setPen(QPen(ink, 1));
        for (int y : {300, 345, 390, 435})
            painter.drawLine(QPointF(450, y + 0.5), QPointF(752, y + 0.5));
        DrawLeafSprig(painter, QPointF(452, 520), 70, 55, QColor(150, 190, 140));
        DrawLeafSprig(painter, QPointF(752, 520), 60, -55, QColor(150, 190, 140));

        DrawMount(painter, window, 8);
        PaintKeyWindow(painter, window);
    }
    AddWindowPicture(design, window, SeasidePicture(window.size() * 2));

    design.Texts.push_back({.Rect = {44, 266, 404, 312},
                            .Family = QStringLiteral("Noto Serif Display"),
                            .PointSize = 19,
                            .Bold = true,
                            .Italic = true,
                            .Colour = QColor(44, 93, 124),
                            .Paragraphs = {QStringLiteral("Greetings from the Seaside")}});

    design.Texts.push_back(
        {.Rect = {44, 318, 404, 512},
         .Family = QStringLiteral("Noto Serif"),
         .PointSize = 12,
         .Colour = QColor(59, 59, 59),
         .Paragraphs = {QStringLiteral("Dear Sam,"), QString(),
                        QStringLiteral("the sea is wonderful, the days are long and sunny, and the ice cream "
                                       "is the best I have ever had. I wish you were here!"),
                        QString(), QStringLiteral("See you soon,"), QStringLiteral("Alex")}});
    return design;
}
