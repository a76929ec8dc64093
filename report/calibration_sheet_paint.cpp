#include "report/calibration_sheet_paint.h"

#include <QFont>
#include <QPainter>
#include <QPen>

#include <algorithm>

namespace {

QPointF At(TPagePoint point, double dotsPerTenth)
{
    return QPointF(point.X.TenthsMm(), point.Y.TenthsMm()) * dotsPerTenth;
}

QFont FontOfHeight(TLength height, double dotsPerTenth)
{
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, int(height.TenthsMm() * dotsPerTenth)));
    return font;
}

} // namespace

void PaintCalibrationSheet(QPainter &painter, const TCalibrationSheet &sheet, double dotsPerTenth)
{
    painter.save();
    QPen pen(Qt::black);
    pen.setWidthF(CalibrationLineWidth.TenthsMm() * dotsPerTenth);
    pen.setCapStyle(Qt::FlatCap);
    painter.setPen(pen);
    const QFont labelFont = FontOfHeight(TLength::FromMm(2.5), dotsPerTenth);
    for (const TCalibrationRuler &ruler : sheet.Rulers) {
        painter.drawLine(At(ruler.Spine.From, dotsPerTenth), At(ruler.Spine.To, dotsPerTenth));
        painter.setFont(labelFont);
        const QFontMetricsF metrics(labelFont);
        for (const TRulerTick &tick : ruler.Ticks) {
            painter.drawLine(At(tick.Line.From, dotsPerTenth), At(tick.Line.To, dotsPerTenth));
            if (tick.Label.isEmpty())
                continue;
            const QPointF anchor = At(tick.LabelAt, dotsPerTenth);
            if (ruler.Axis == TRulerAxis::Across)
                painter.drawText(anchor - QPointF(metrics.horizontalAdvance(tick.Label) / 2, 0), tick.Label);
            else
                painter.drawText(anchor + QPointF(0, metrics.ascent() / 2), tick.Label);
        }
    }
    for (const TPageText &text : sheet.Texts) {
        painter.setFont(FontOfHeight(text.Size, dotsPerTenth));
        const QRectF box(At(text.At, dotsPerTenth), QSizeF(text.Width.TenthsMm() * dotsPerTenth, 1e6));
        painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text.Text);
    }
    painter.restore();
}
