#include "report/calibration_sheet.h"

#include "card/card_layout.h"
#include "report/rounding.h"

namespace {

constexpr TLength SmallestSide = TLength::FromMm(60.0);
constexpr TLength ShortTick = TLength::FromMm(2.0);
constexpr TLength MillimetreTick = TLength::FromMm(3.5);
constexpr TLength NumberedTick = TLength::FromMm(5.0);
constexpr TLength LabelGap = TLength::FromMm(1.5);
constexpr TLength TextSize = TLength::FromMm(3.5);

QString NumberText(int halfMillimetres)
{
    const int mm = halfMillimetres / 2;
    return mm > 0 ? QStringLiteral("+%1").arg(mm) : QString::number(mm);
}

// A ruler whose zero is at `zero`, running along x (Across) or y (Down),
// its ticks on one side of the spine.
TCalibrationRuler RulerAt(TRulerAxis axis, TPagePoint zero)
{
    TCalibrationRuler ruler;
    ruler.Axis = axis;
    ruler.Zero = zero;
    const int steps = RoundHalfEven(RulerReach.TenthsMm() / RulerStep.TenthsMm());
    auto along = [&](TLength offset, TLength side) {
        return axis == TRulerAxis::Across ? TPagePoint{zero.X + offset, zero.Y + side}
                                          : TPagePoint{zero.X + side, zero.Y + offset};
    };
    ruler.Spine = {along(RulerStep * -steps, TLength()), along(RulerStep * steps, TLength())};
    for (int k = -steps; k <= steps; ++k) {
        const TLength offset = RulerStep * k;
        const bool numbered = k % 10 == 0;
        const TLength length = numbered ? NumberedTick : k % 2 == 0 ? MillimetreTick : ShortTick;
        TRulerTick tick;
        tick.Offset = offset;
        tick.Line = {along(offset, TLength()), along(offset, length)};
        if (numbered) {
            tick.Label = NumberText(k);
            tick.LabelAt = along(offset, length + LabelGap + (axis == TRulerAxis::Across ? TextSize : TLength()));
        }
        ruler.Ticks.push_back(tick);
    }
    return ruler;
}

} // namespace

TCalibrationSheet CalibrationSheet(TPageSize size, TSheetSide side)
{
    if (size.Width < SmallestSide || size.Height < SmallestSide)
        throw ECardError(QStringLiteral("The paper (%1 x %2 mm) is too small for the calibration sheet: it needs "
                                        "at least %3 mm on each side.")
                             .arg(QString::number(size.Width.Mm(), 'f', 1), QString::number(size.Height.Mm(), 'f', 1),
                                  QString::number(SmallestSide.Mm(), 'f', 0)));
    TCalibrationSheet sheet;
    sheet.Side = side;
    sheet.Size = size;
    const TLength middleX = size.Width * 0.5;
    const TLength middleY = size.Height * 0.5;
    // Across the vertical middle line a quarter of the way down and up;
    // across the horizontal one a quarter of the way in from either side.
    sheet.Rulers.push_back(RulerAt(TRulerAxis::Across, {middleX, size.Height * 0.25}));
    sheet.Rulers.push_back(RulerAt(TRulerAxis::Across, {middleX, size.Height * 0.75}));
    sheet.Rulers.push_back(RulerAt(TRulerAxis::Down, {size.Width * 0.25, middleY}));
    sheet.Rulers.push_back(RulerAt(TRulerAxis::Down, {size.Width * 0.75, middleY}));

    const TLength margin = TLength::FromMm(15.0);
    const TLength textWidth = size.Width - margin * 2.0;
    const QString title = side == TSheetSide::Front ? QStringLiteral("Printer calibration: front")
                                                    : QStringLiteral("Printer calibration: back");
    sheet.Texts.push_back({{margin, margin}, textWidth, TextSize * 1.5, title});
    sheet.Texts.push_back({{margin, margin + TextSize * 3.0},
                           textWidth,
                           TextSize,
                           QStringLiteral("Fold this sheet in half, edge exactly on edge, once across and once "
                                          "along, and open it again. Where a fold crosses a ruler, read the number "
                                          "there (between two numbers, count the half millimetres). Type the "
                                          "numbers of the rulers that run across as the offset to the right, those "
                                          "of the rulers that run down as the offset down.")});
    return sheet;
}
