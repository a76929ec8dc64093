#include "report/paper_units.h"

namespace {

double CharacterCellMm(TAxis axis, const TUnitScale &scale)
{
    const double cellPoints = axis == TAxis::Horizontal ? 80.0 : 145.3;
    return cellPoints / scale.FontPoints / 2.54;
}

} // namespace

const char *PaperUnitName(TPaperUnit unit)
{
    switch (unit) {
    case TPaperUnit::MM: return "MM";
    case TPaperUnit::Inches: return "Inches";
    case TPaperUnit::Pixes: return "Pixes";
    case TPaperUnit::Characters: return "Characters";
    case TPaperUnit::Native: return "Native";
    }
    return "MM";
}

TPaperUnit PaperUnitFromIndex(int index)
{
    return index >= 0 && index < PaperUnitCount ? static_cast<TPaperUnit>(index) : TPaperUnit::MM;
}

double ToUnit(TLength length, TPaperUnit unit, TAxis axis, const TUnitScale &scale)
{
    switch (unit) {
    case TPaperUnit::MM: return length.Mm();
    case TPaperUnit::Inches: return length.Inches();
    case TPaperUnit::Pixes: return length.Pixels(scale.PixelsPerInch) * scale.ZoomPercent / 100.0;
    case TPaperUnit::Characters: return length.Mm() / CharacterCellMm(axis, scale);
    case TPaperUnit::Native: return length.TenthsMm();
    }
    return length.Mm();
}

TLength FromUnit(double value, TPaperUnit unit, TAxis axis, const TUnitScale &scale)
{
    switch (unit) {
    case TPaperUnit::MM: return TLength::FromMm(value);
    case TPaperUnit::Inches: return TLength::FromInches(value);
    case TPaperUnit::Pixes: return TLength::FromPixels(value * 100.0 / scale.ZoomPercent, scale.PixelsPerInch);
    case TPaperUnit::Characters: return TLength::FromMm(value * CharacterCellMm(axis, scale));
    case TPaperUnit::Native: return TLength::FromTenthsMm(value);
    }
    return TLength::FromMm(value);
}
