#include "templates/template_art.h"
#include "templates/template_kit.h"
#include "templates/template_ornaments.h"
#include "templates/template_pictures.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>

namespace {

const QColor Gold(176, 140, 78);
const QColor Sage(150, 172, 140);

// A short gold rule with a heart in the middle, between two lines of text.
void DrawDivider(QPainter &painter, QPointF centre, double halfWidth)
{
    painter.save();
    painter.setPen(QPen(Gold, 1));
    painter.drawLine(centre + QPointF(-halfWidth, 0), centre + QPointF(-12, 0));
    painter.drawLine(centre + QPointF(12, 0), centre + QPointF(halfWidth, 0));
    painter.restore();
    DrawHeart(painter, centre, 12, Gold);
}

} // namespace

// A wedding invitation on a 6 x 8 in card: ivory paper in a double gold
// frame, an arched window for the couple's photograph, garlands at its foot.
TemplateDesign WeddingTemplate()
{
    TemplateDesign design =
        StartDesign(QStringLiteral("Wedding Invitation"), TemplatePaper::SixByEightPortrait, QColor(252, 248, 240));
    const double W = design.Width();
    const double H = design.Height();
    const QRect window(181, 74, 214, 244);
    {
        QPainter painter(&design.Background);
        painter.setRenderHint(QPainter::Antialiasing);
        QRadialGradient paper(W / 2, H * 0.4, H * 0.8);
        paper.setColorAt(0, QColor(255, 253, 248));
        paper.setColorAt(1, QColor(238, 228, 210));
        painter.fillRect(design.Rect(), paper);

        // A faint pattern of tiny sprigs over the whole paper.
        QRandomGenerator random(41);
        QColor faint = Sage;
        faint.setAlpha(30);
        for (int i = 0; i < 70; ++i)
            DrawLeafSprig(painter, QPointF(random.bounded(W), random.bounded(H)), 16 + random.bounded(10.0),
                          random.bounded(360.0), faint);

        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Gold, 1.6));
        painter.drawRect(QRectF(22, 22, W - 44, H - 44));
        painter.setPen(QPen(Gold, 0.8));
        painter.drawRect(QRectF(28.5, 28.5, W - 57, H - 57));
        for (int corner = 0; corner < 4; ++corner)
            DrawCornerFlourish(painter, QRectF(36, 36, W - 72, H - 72), corner, 58, Gold);

        // The arch: a gold outline round a white mount, the window inside it.
        const QRectF mount = QRectF(window).adjusted(-9, -9, 9, 9);
        painter.setPen(Qt::NoPen);
        for (int i = 4; i >= 1; --i) {
            painter.setBrush(QColor(90, 60, 20, 10));
            painter.drawPath(ArchedWindow(mount.adjusted(-i, -i, i, i).translated(0, i * 0.8)));
        }
        painter.setBrush(QColor(255, 255, 255));
        painter.drawPath(ArchedWindow(mount));
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(Gold, 1.4));
        painter.drawPath(ArchedWindow(mount.adjusted(-5, -5, 5, 5)));

        // Garlands of leaves and blush roses at the foot of the arch.
        const QPointF left(mount.left() - 2, mount.bottom() - 4);
        const QPointF right(mount.right() + 2, mount.bottom() - 4);
        for (int i = 0; i < 3; ++i) {
            DrawLeafSprig(painter, left, 64 - i * 10, -40 - i * 28, Sage.darker(100 + i * 8));
            DrawLeafSprig(painter, right, 64 - i * 10, 40 + i * 28, Sage.darker(100 + i * 8));
        }
        DrawRose(painter, left + QPointF(6, -2), 17, QColor(236, 184, 176));
        DrawRose(painter, left + QPointF(-16, 10), 11, QColor(246, 214, 200));
        DrawRose(painter, right + QPointF(-6, -2), 17, QColor(236, 184, 176));
        DrawRose(painter, right + QPointF(16, 10), 11, QColor(246, 214, 200));

        DrawDivider(painter, QPointF(W / 2, 532), 90);
        DrawDivider(painter, QPointF(W / 2, 654), 60);
        PaintKeyPath(painter, ArchedWindow(window));
    }
    AddWindowPicture(design, window, RosesPicture(window.size() * 2));

    const QColor ink(96, 78, 62);
    design.Texts.push_back({.Rect = {60, 356, 516, 384},
                            .Family = QStringLiteral("EB Garamond"),
                            .PointSize = 12,
                            .Colour = ink,
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("Together with their families")}});
    design.Texts.push_back({.Rect = {40, 384, 536, 452},
                            .Family = QStringLiteral("Dancing Script"),
                            .PointSize = 38,
                            .Colour = QColor(150, 112, 56),
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("Emma & James")}});
    design.Texts.push_back({.Rect = {60, 458, 516, 516},
                            .Family = QStringLiteral("EB Garamond"),
                            .PointSize = 13,
                            .Italic = true,
                            .Colour = ink,
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("request the pleasure of your company"),
                                           QStringLiteral("at the celebration of their marriage")}});
    design.Texts.push_back({.Rect = {60, 546, 516, 640},
                            .Family = QStringLiteral("EB Garamond"),
                            .PointSize = 13,
                            .Colour = ink,
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("Saturday, the fourteenth of June"),
                                           QStringLiteral("at four o\u2019clock in the afternoon"),
                                           QStringLiteral("The Old Orchard, Meadow Lane")}});
    design.Texts.push_back({.Rect = {60, 668, 516, 712},
                            .Family = QStringLiteral("Dancing Script"),
                            .PointSize = 17,
                            .Colour = QColor(150, 112, 56),
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("and afterwards for dinner and dancing")}});
    return design;
}
