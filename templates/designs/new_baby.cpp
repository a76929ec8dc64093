#include "templates/template_art.h"
#include "templates/template_kit.h"
#include "templates/template_ornaments.h"
#include "templates/template_pictures.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRandomGenerator>

#include <cmath>

namespace {

const QColor Pastels[] = {QColor(244, 180, 190), QColor(170, 216, 196), QColor(252, 222, 150), QColor(164, 200, 236),
                          QColor(206, 186, 232)};

// Little flags on a string hung from one side of the card to the other.
void DrawBunting(QPainter &painter, double width, double top, double sag, int flags)
{
    const auto stringAt = [&](double x) { return top + sag * std::sin(M_PI * x / width); };
    painter.save();
    painter.setPen(QPen(QColor(150, 140, 150), 1.4));
    painter.setBrush(Qt::NoBrush);
    QPainterPath string;
    string.moveTo(0, stringAt(0));
    for (double x = 4; x <= width; x += 4)
        string.lineTo(x, stringAt(x));
    painter.drawPath(string);
    const double step = width / flags;
    for (int i = 0; i < flags; ++i) {
        const double x0 = i * step + step * 0.12;
        const double x1 = (i + 1) * step - step * 0.12;
        const double xm = (x0 + x1) / 2;
        const QPolygonF flag{QPointF(x0, stringAt(x0)), QPointF(x1, stringAt(x1)),
                             QPointF(xm, stringAt(xm) + step * 0.9)};
        painter.setPen(Qt::NoPen);
        painter.setBrush(Pastels[i % 5]);
        painter.drawPolygon(flag);
        // A stitched line inside the edge, as on a sewn flag.
        const QPointF centre = (flag[0] + flag[1] + flag[2]) / 3;
        QPolygonF stitches;
        for (const QPointF &corner : flag)
            stitches << centre + (corner - centre) * 0.72;
        painter.setPen(QPen(QColor(255, 255, 255, 200), 1.2, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolygon(stitches);
    }
    painter.restore();
}

} // namespace

// A new baby card on a Hagaki card in portrait: bunting, a round window with
// a stitched ring, soft clouds and twinkling stars.
TemplateDesign NewBabyTemplate()
{
    TemplateDesign design =
        StartDesign(QStringLiteral("New Baby"), TemplatePaper::HagakiPortrait, QColor(246, 244, 246));
    const double W = design.Width();
    const double H = design.Height();
    const QRect window(int(W / 2) - 128, 110, 256, 256);
    {
        QPainter painter(&design.Background);
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient wash(0, 0, 0, H);
        wash.setColorAt(0, QColor(230, 242, 250));
        wash.setColorAt(0.55, QColor(250, 246, 244));
        wash.setColorAt(1, QColor(252, 232, 234));
        painter.fillRect(design.Rect(), wash);

        // Polka dots in a half-drop grid.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 150));
        for (int row = 0; row * 34 < H; ++row)
            for (int col = 0; col * 34 < W + 34; ++col)
                painter.drawEllipse(QPointF(col * 34 + (row % 2) * 17, row * 34 + 10), 3.2, 3.2);

        DrawBunting(painter, W, 14, 30, 9);
        QRandomGenerator random(13);
        for (int i = 0; i < 40; ++i) {
            const QPointF at(random.bounded(W), 90 + random.bounded(H - 200));
            // Clear of the ring and of the lines of text under it.
            if (QLineF(at, QRectF(window).center()).length() < 170 || (at.y() > 390 && std::abs(at.x() - W / 2) < 200))
                continue;
            DrawTwinkle(painter, at, 4 + random.bounded(5.0), QColor(240, 200, 110, 200));
        }
        DrawCloud(painter, QPointF(90, H - 34), 220, QColor(255, 255, 255));
        DrawCloud(painter, QPointF(W - 80, H - 26), 240, QColor(255, 255, 255));
        DrawCloud(painter, QPointF(W / 2, H - 14), 200, QColor(255, 255, 255, 235));

        // The ring: soft shadow, white band, a stitched line round it.
        const QRectF ring = QRectF(window).adjusted(-16, -16, 16, 16);
        for (int i = 4; i >= 1; --i) {
            painter.setBrush(QColor(120, 130, 160, 12));
            painter.drawEllipse(ring.adjusted(-i, -i, i, i).translated(0, i * 0.8));
        }
        painter.setBrush(QColor(255, 255, 255));
        painter.drawEllipse(ring);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(QColor(150, 190, 226), 2, Qt::DashLine, Qt::RoundCap));
        painter.drawEllipse(ring.adjusted(7, 7, -7, -7));
        DrawHeart(painter, QPointF(ring.center().x(), ring.bottom() - 1), 26, QColor(244, 160, 176));
        PaintKeyWindow(painter, window, true);
    }
    AddWindowPicture(design, window, NurseryPicture(window.size() * 2));

    design.Texts.push_back({.Rect = {30, 404, 529, 446},
                            .Family = QStringLiteral("Comfortaa"),
                            .PointSize = 20,
                            .Bold = true,
                            .Colour = QColor(96, 128, 170),
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("Welcome, little one!")}});
    design.Texts.push_back({.Rect = {30, 448, 529, 530},
                            .Family = QStringLiteral("Dancing Script"),
                            .PointSize = 42,
                            .Bold = true,
                            .Colour = QColor(214, 116, 140),
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("Olivia Rose")}});
    design.Texts.push_back(
        {.Rect = {30, 538, 529, 596},
         .Family = QStringLiteral("Comfortaa"),
         .PointSize = 12,
         .Colour = QColor(110, 110, 130),
         .Align = Qt::AlignHCenter,
         .Paragraphs = {QStringLiteral("born on the third of May"), QStringLiteral("3.4 kg \u00B7 51 cm")}});
    design.Texts.push_back({.Rect = {30, 606, 529, 650},
                            .Family = QStringLiteral("Dancing Script"),
                            .PointSize = 18,
                            .Colour = QColor(110, 110, 130),
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("With love from Mum & Dad")}});
    return design;
}
