#include "templates/template_art.h"
#include "templates/template_kit.h"
#include "templates/template_ornaments.h"
#include "templates/template_pictures.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

// Season's greetings on letter paper: a winter night with falling snow, fir
// branches and holly, a gold-framed window onto a snowy village.
TemplateDesign SeasonsGreetingsTemplate()
{
    TemplateDesign design =
        StartDesign(QStringLiteral("Season's Greetings"), TemplatePaper::LetterLandscape, QColor(24, 44, 84));
    const double W = design.Width();
    const double H = design.Height();
    const QRect window(92, 120, 430, 540);
    const QColor gold(226, 190, 116);
    {
        QPainter painter(&design.Background);
        painter.setRenderHint(QPainter::Antialiasing);
        const QLinearGradient night = VerticalGradient(0, H, QColor(14, 28, 60), QColor(40, 70, 120));
        painter.fillRect(design.Rect(), night);
        QRadialGradient glow(W * 0.74, H * 0.36, W * 0.42);
        glow.setColorAt(0, QColor(120, 150, 210, 90));
        glow.setColorAt(1, QColor(120, 150, 210, 0));
        painter.fillRect(design.Rect(), glow);

        // Snow: many soft dots, a few drawn flakes.
        QRandomGenerator random(29);
        painter.setPen(Qt::NoPen);
        for (int i = 0; i < 260; ++i) {
            painter.setBrush(QColor(255, 255, 255, 60 + random.bounded(140)));
            const double r = 0.8 + random.bounded(2.4);
            painter.drawEllipse(QPointF(random.bounded(W), random.bounded(H)), r, r);
        }
        // Flakes round the greeting, none over its words.
        for (QPointF flake :
             {QPointF(600, 250), QPointF(1010, 250), QPointF(570, 420), QPointF(1020, 470), QPointF(590, 640),
              QPointF(860, 660), QPointF(1000, 690), QPointF(780, 80), QPointF(880, 40), QPointF(560, 60)})
            DrawSnowflake(painter, flake, 8 + random.bounded(8.0), QColor(255, 255, 255, 130 + random.bounded(80)));

        // Snow drifts along the bottom.
        QPainterPath drift;
        drift.moveTo(0, H);
        drift.lineTo(0, H - 70);
        drift.cubicTo(W * 0.25, H - 120, W * 0.45, H - 40, W * 0.7, H - 86);
        drift.cubicTo(W * 0.85, H - 112, W * 0.95, H - 80, W, H - 96);
        drift.lineTo(W, H);
        const QLinearGradient snow = VerticalGradient(H - 120, H, QColor(236, 242, 252), QColor(196, 212, 236));
        painter.setBrush(snow);
        painter.drawPath(drift);

        // Fir branches hanging from the top corners, holly where they meet.
        const QColor fir(46, 110, 80);
        for (int i = 0; i < 4; ++i) {
            DrawPineBranch(painter, QPointF(-10 + i * 40, -10), 170 - i * 22, 205 - i * 14, fir.lighter(100 + i * 8));
            DrawPineBranch(painter, QPointF(W + 10 - i * 40, -10), 170 - i * 22, 155 + i * 14,
                           fir.lighter(100 + i * 8));
        }
        DrawHolly(painter, QPointF(70, 48), 60, 20);
        DrawHolly(painter, QPointF(W - 70, 48), 60, -20);

        // The frame: gold rule, white mount, a second thin rule.
        const QRectF mount = QRectF(window).adjusted(-14, -14, 14, 14);
        for (int i = 5; i >= 1; --i) {
            painter.setBrush(QColor(0, 0, 20, 22));
            painter.drawRect(mount.adjusted(-i, -i, i, i).translated(i, i * 1.4));
        }
        painter.setBrush(QColor(250, 248, 242));
        painter.drawRect(mount);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(gold, 3));
        painter.drawRect(mount.adjusted(-6, -6, 6, 6));
        painter.setPen(QPen(gold, 1));
        painter.drawRect(QRectF(window).adjusted(-5, -5, 5, 5));
        DrawHolly(painter, mount.bottomRight() + QPointF(-6, -4), 54, -30);

        // Gold stars round the greeting.
        for (QPointF star : {QPointF(636, 150), QPointF(960, 126), QPointF(1000, 340), QPointF(600, 540)})
            DrawStar(painter, star, 9, gold);
        DrawTwinkle(painter, QPointF(960, 610), 12, gold);
        DrawTwinkle(painter, QPointF(700, 110), 8, gold);
        PaintKeyWindow(painter, window);
    }
    AddWindowPicture(design, window, WinterVillagePicture(window.size() * 2));

    design.Texts.push_back({.Rect = {590, 160, 1010, 350},
                            .Family = QStringLiteral("Dancing Script"),
                            .PointSize = 54,
                            .Bold = true,
                            .Colour = gold,
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("Season\u2019s"), QStringLiteral("Greetings")}});
    design.Texts.push_back({.Rect = {596, 366, 1004, 484},
                            .Family = QStringLiteral("EB Garamond"),
                            .PointSize = 19,
                            .Italic = true,
                            .Colour = QColor(236, 236, 244),
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("May the magic of the season fill your home with warmth, "
                                                          "laughter and peace, and may the new year bring you "
                                                          "every happiness.")}});
    design.Texts.push_back({.Rect = {610, 496, 990, 556},
                            .Family = QStringLiteral("Dancing Script"),
                            .PointSize = 24,
                            .Colour = QColor(236, 236, 244),
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("With love, the Millers")}});
    return design;
}
