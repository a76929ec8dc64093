#include "templates/template_art.h"
#include "templates/template_kit.h"
#include "templates/template_ornaments.h"
#include "templates/template_pictures.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRandomGenerator>

// Congratulations on a Hagaki card in landscape: champagne paper with
// streamers and gold stars, a wide gold-framed window onto fireworks.
TemplateDesign CongratulationsTemplate()
{
    TemplateDesign design =
        StartDesign(QStringLiteral("Congratulations"), TemplatePaper::HagakiLandscape, QColor(252, 244, 226));
    const double W = design.Width();
    const double H = design.Height();
    const QRect window(70, 52, int(W) - 140, 238);
    const QColor gold(204, 160, 74);
    {
        QPainter painter(&design.Background);
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient champagne(0, 0, W * 0.3, H);
        champagne.setColorAt(0, QColor(255, 250, 238));
        champagne.setColorAt(1, QColor(244, 222, 186));
        painter.fillRect(design.Rect(), champagne);
        // Fine diagonal sheen.
        painter.setPen(QPen(QColor(255, 255, 255, 70), 6));
        for (double x = -H; x < W; x += 26)
            painter.drawLine(QPointF(x, H), QPointF(x + H, 0));

        DrawStreamer(painter, QPointF(-10, 120), QPointF(150, -10), 7, QColor(220, 90, 130));
        DrawStreamer(painter, QPointF(-10, 210), QPointF(60, -10), 6, QColor(70, 170, 180));
        DrawStreamer(painter, QPointF(W + 10, 120), QPointF(W - 150, -10), 7, QColor(70, 170, 180));
        DrawStreamer(painter, QPointF(W + 10, 210), QPointF(W - 60, -10), 6, QColor(220, 90, 130));
        DrawConfetti(painter, QRectF(12, 320, 86, H - 330), 28, 19);
        DrawConfetti(painter, QRectF(W - 98, 320, 86, H - 330), 28, 20);
        QRandomGenerator random(37);
        for (int i = 0; i < 14; ++i) {
            const double side = i % 2 ? W - 100 : 14;
            const QPointF at(side + random.bounded(86.0), 326 + random.bounded(H - 346));
            DrawStar(painter, at, 4 + random.bounded(5.0), gold, random.bounded(72.0));
        }

        // The frame: deep plum band, gold rules, the window inside.
        const QRectF frame = QRectF(window).adjusted(-12, -12, 12, 12);
        painter.setPen(Qt::NoPen);
        for (int i = 5; i >= 1; --i) {
            painter.setBrush(QColor(80, 40, 20, 16));
            painter.drawRoundedRect(frame.adjusted(-i, -i, i, i).translated(0, i * 1.2), 8, 8);
        }
        painter.setBrush(QColor(96, 36, 80));
        painter.drawRoundedRect(frame, 8, 8);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(gold, 2));
        painter.drawRoundedRect(frame.adjusted(4, 4, -4, -4), 5, 5);
        for (QPointF star : {frame.topLeft(), frame.topRight(), frame.bottomLeft(), frame.bottomRight()})
            DrawStar(painter, star, 13, gold, 0);
        PaintKeyWindow(painter, window);
    }
    AddWindowPicture(design, window, FireworksPicture(window.size() * 2));

    design.Texts.push_back({.Rect = {40, 328, int(W) - 40, 410},
                            .Family = QStringLiteral("Dancing Script"),
                            .PointSize = 44,
                            .Bold = true,
                            .Colour = QColor(110, 36, 86),
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("Congratulations!")}});
    design.Texts.push_back({.Rect = {90, 414, int(W) - 90, 476},
                            .Family = QStringLiteral("EB Garamond"),
                            .PointSize = 15,
                            .Italic = true,
                            .Colour = QColor(90, 66, 56),
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("on your wonderful achievement! All your hard work"),
                                           QStringLiteral("has paid off, and we are so proud of you.")}});
    design.Texts.push_back({.Rect = {90, 480, int(W) - 90, 530},
                            .Family = QStringLiteral("Dancing Script"),
                            .PointSize = 20,
                            .Colour = QColor(110, 36, 86),
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("With love, Grandma & Grandpa")}});
    return design;
}
