#include "templates/template_art.h"
#include "templates/template_kit.h"
#include "templates/template_ornaments.h"
#include "templates/template_pictures.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace {

// Soft rays of sunshine fanning out from `centre` over `area`.
void DrawSunRays(QPainter &painter, const QRectF &area, QPointF centre, int rays, QColor colour)
{
    painter.save();
    painter.setClipRect(area);
    painter.setPen(Qt::NoPen);
    const double reach = std::hypot(area.width(), area.height()) * 1.2;
    for (int i = 0; i < rays * 2; i += 2) {
        const double a0 = i * M_PI / rays;
        const double a1 = (i + 1) * M_PI / rays;
        QPainterPath ray;
        ray.moveTo(centre);
        ray.lineTo(centre + QPointF(std::cos(a0), std::sin(a0)) * reach);
        ray.lineTo(centre + QPointF(std::cos(a1), std::sin(a1)) * reach);
        ray.closeSubpath();
        QRadialGradient fade(centre, reach);
        fade.setColorAt(0, colour);
        QColor clear = colour;
        clear.setAlpha(0);
        fade.setColorAt(0.7, clear);
        painter.setBrush(fade);
        painter.drawPath(ray);
    }
    painter.restore();
}

} // namespace

// A get-well card for an A6 half-fold: the front (right half) full of
// sunshine with a window onto a tulip field, the message inside on the left.
TemplateDesign GetWellTemplate()
{
    TemplateDesign design =
        StartDesign(QStringLiteral("Get Well Soon"), TemplatePaper::A6HalfFoldLandscape, QColor(255, 251, 240));
    const double W = design.Width();
    const double H = design.Height();
    const double fold = W / 2;
    const QRect window(int(fold) + 46, 46, int(fold) - 92, 252);
    const QColor coral(232, 104, 92);
    {
        QPainter painter(&design.Background);
        painter.setRenderHint(QPainter::Antialiasing);

        // Inside: warm paper, a small sun in the corner, tulips along the foot.
        const QLinearGradient inside = VerticalGradient(0, H, QColor(255, 252, 244), QColor(252, 240, 222));
        painter.fillRect(QRectF(0, 0, fold, H), inside);
        DrawSunRays(painter, QRectF(0, 0, fold, H), QPointF(0, 0), 14, QColor(255, 220, 140, 60));
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 214, 120));
        painter.drawEllipse(QPointF(0, 0), 46, 46);
        const QColor tulips[] = {coral, QColor(255, 176, 70), QColor(246, 140, 176), QColor(250, 206, 80)};
        for (int i = 0; i < 11; ++i)
            DrawTulip(painter, QPointF(22 + i * 35.5, H - 6), 44 + (i % 3) * 8, tulips[i % 4]);

        // The front: sky to warm light, rays from the top right, butterflies.
        QLinearGradient sky(0, 0, 0, H);
        sky.setColorAt(0, QColor(204, 232, 250));
        sky.setColorAt(0.6, QColor(255, 246, 226));
        sky.setColorAt(1, QColor(255, 226, 200));
        painter.fillRect(QRectF(fold, 0, fold, H), sky);
        DrawSunRays(painter, QRectF(fold, 0, fold, H), QPointF(W, 0), 18, QColor(255, 255, 255, 110));
        DrawButterfly(painter, QPointF(fold + 30, 340), 26, QColor(250, 170, 90), -20);
        DrawButterfly(painter, QPointF(W - 36, 356), 20, QColor(180, 150, 230), 24);
        DrawButterfly(painter, QPointF(W - 70, 470), 16, QColor(120, 190, 230), 10);
        // Soft meadow hills at the foot of the front, a few tulips on them.
        const QColor hills[] = {QColor(196, 226, 160), QColor(160, 206, 130)};
        for (int i = 0; i < 2; ++i) {
            QPainterPath hill;
            hill.moveTo(fold, H);
            hill.lineTo(fold, H - 50 + i * 18);
            hill.cubicTo(fold + 120, H - 90 + i * 30, W - 150, H - 20 + i * 4, W, H - 70 + i * 26);
            hill.lineTo(W, H);
            painter.setPen(Qt::NoPen);
            painter.setBrush(hills[i]);
            painter.drawPath(hill);
        }
        for (int i = 0; i < 6; ++i)
            DrawTulip(painter, QPointF(fold + 36 + i * 66 + (i % 2) * 12, H - 8 - (i % 3) * 6), 34 + (i % 2) * 8,
                      tulips[(i + 1) % 4]);

        painter.setPen(QPen(QColor(214, 200, 180), 1, Qt::DashLine));
        painter.drawLine(QPointF(fold, 0), QPointF(fold, H));

        DrawMount(painter, window, 10);
        PaintKeyWindow(painter, window);
    }
    AddWindowPicture(design, window, TulipFieldPicture(window.size() * 2));

    design.Texts.push_back({.Rect = {int(fold) + 20, 336, int(W) - 20, 412},
                            .Family = QStringLiteral("Dancing Script"),
                            .PointSize = 40,
                            .Bold = true,
                            .Colour = coral,
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("Get Well Soon")}});
    design.Texts.push_back({.Rect = {int(fold) + 40, 414, int(W) - 40, 470},
                            .Family = QStringLiteral("Comfortaa"),
                            .PointSize = 12,
                            .Colour = QColor(120, 100, 90),
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("sending sunshine your way")}});
    design.Texts.push_back({.Rect = {50, 168, int(fold) - 40, 470},
                            .Family = QStringLiteral("EB Garamond"),
                            .PointSize = 15,
                            .Italic = true,
                            .Colour = QColor(96, 76, 64),
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("Dear Grandma,"), QString(),
                                           QStringLiteral("we are sending you warm soup, good books and lots of "
                                                          "rest. We are thinking of you every day and can\u2019t "
                                                          "wait to see you up and about again."),
                                           QString(), QStringLiteral("Big hugs,"), QStringLiteral("Mia & Leo")}});
    return design;
}
