#include "templates/template_art.h"
#include "templates/template_kit.h"

#include <QLinearGradient>
#include <QPainterPath>

// A thank-you card with a round picture window on the left.
TemplateDesign ThankYouTemplate()
{
    TemplateDesign design = StartDesign(QStringLiteral("Thank You"), TemplatePaper::A5Landscape, QColor(232, 240, 228));
    const double W = design.Width();
    const QRect window(52, 92, 376, 376);
    {
        QPainter painter(&design.Background);
        painter.setRenderHint(QPainter::Antialiasing);
        QLinearGradient wash(0, 0, W, design.Height());
        wash.setColorAt(0, QColor(240, 246, 236));
        wash.setColorAt(1, QColor(218, 232, 214));
        painter.fillRect(design.Rect(), wash);
        // A faint lattice of tiny dots, like a letterpress card.
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 140));
        for (int y = 12; y < design.Height(); y += 24)
            for (int x = 12 + (y / 24 % 2) * 12; x < W; x += 24)
                painter.drawEllipse(QPointF(x, y), 1.6, 1.6);
        DrawLeafSprig(painter, QPointF(470, 545), 160, 20, QColor(140, 180, 130));
        DrawLeafSprig(painter, QPointF(W, 450), 150, -50, QColor(160, 196, 150));
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
    AddWindowPicture(design, window, BouquetPicture(window.size() * 2));

    design.Texts.push_back({.Rect = {470, 120, 770, 230},
                            .Family = QStringLiteral("Noto Serif Display"),
                            .PointSize = 40,
                            .Bold = true,
                            .Italic = true,
                            .Colour = QColor(74, 110, 70),
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("Thank You")}});

    design.Texts.push_back({.Rect = {480, 250, 760, 420},
                            .Family = QStringLiteral("Noto Serif"),
                            .PointSize = 13,
                            .Italic = true,
                            .Colour = QColor(70, 70, 60),
                            .Align = Qt::AlignHCenter,
                            .Paragraphs = {QStringLiteral("for the lovely flowers and for thinking of me."), QString(),
                                           QStringLiteral("With warm wishes,"), QStringLiteral("Alex")}});
    return design;
}
