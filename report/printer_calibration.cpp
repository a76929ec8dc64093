#include "report/printer_calibration.h"

#include "card/card_layout.h"
#include "report/rounding.h"

#include <QSettings>
#include <QUrl>

#include <cmath>

namespace {

const QString GroupName = QStringLiteral("PrinterCalibration");

QString MmText(TLength length) { return QString::number(length.Mm(), 'f', 1); }

// A stored value: whole tenths within the largest offset, else 0.
TLength StoredTenths(const QSettings &settings, const QString &key)
{
    const QVariant value = settings.value(key);
    bool ok = false;
    const int tenths = value.toString().trimmed().toInt(&ok);
    if (!ok || std::abs(tenths) > MaxPrinterOffset.TenthsMm())
        return TLength();
    return TLength::FromTenthsMm(tenths);
}

TPagePoint Moved(TPagePoint point, TPageOffset offset) { return {point.X + offset.X, point.Y + offset.Y}; }

TPageLine Moved(const TPageLine &line, TPageOffset offset)
{
    return {Moved(line.From, offset), Moved(line.To, offset)};
}

void MoveAll(std::vector<TPageLine> &lines, TPageOffset offset)
{
    for (TPageLine &line : lines)
        line = Moved(line, offset);
}

} // namespace

QString PrinterOffsetProblem(TPageOffset offset)
{
    const double limit = MaxPrinterOffset.TenthsMm();
    for (const TLength value : {offset.X, offset.Y}) {
        if (!std::isfinite(value.TenthsMm()) || std::abs(value.TenthsMm()) > limit + 1e-9)
            return QStringLiteral("The offset %1 mm is larger than any printer's: type a number from -%2 to %2 mm.")
                .arg(MmText(value), MmText(MaxPrinterOffset));
    }
    return {};
}

QString PrinterSettingsKey(const QString &printerName)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(printerName));
}

TPrinterCalibration ReadPrinterCalibration(const QSettings &settings, const QString &printerName)
{
    const QString prefix = GroupName + QLatin1Char('/') + PrinterSettingsKey(printerName) + QLatin1Char('/');
    TPrinterCalibration calibration;
    calibration.Front = {StoredTenths(settings, prefix + QStringLiteral("FrontX")),
                         StoredTenths(settings, prefix + QStringLiteral("FrontY"))};
    calibration.Back = {StoredTenths(settings, prefix + QStringLiteral("BackX")),
                        StoredTenths(settings, prefix + QStringLiteral("BackY"))};
    return calibration;
}

void WritePrinterCalibration(QSettings &settings, const QString &printerName, const TPrinterCalibration &calibration)
{
    for (const TPageOffset offset : {calibration.Front, calibration.Back}) {
        const QString problem = PrinterOffsetProblem(offset);
        if (!problem.isEmpty())
            throw ECardError(problem);
    }
    settings.beginGroup(GroupName);
    settings.remove(PrinterSettingsKey(printerName));
    if (!calibration.IsZero()) {
        settings.beginGroup(PrinterSettingsKey(printerName));
        settings.setValue(QStringLiteral("FrontX"), RoundHalfEven(calibration.Front.X.TenthsMm()));
        settings.setValue(QStringLiteral("FrontY"), RoundHalfEven(calibration.Front.Y.TenthsMm()));
        settings.setValue(QStringLiteral("BackX"), RoundHalfEven(calibration.Back.X.TenthsMm()));
        settings.setValue(QStringLiteral("BackY"), RoundHalfEven(calibration.Back.Y.TenthsMm()));
        settings.endGroup();
    }
    settings.endGroup();
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw ECardError(QStringLiteral("The printer's calibration cannot be kept: the settings file \"%1\" cannot "
                                        "be written.")
                             .arg(settings.fileName()));
}

TImposedPage Shifted(const TImposedPage &page, TPageOffset offset)
{
    TImposedPage moved = page;
    for (TPlacement &placement : moved.Placements)
        placement.Origin = Moved(placement.Origin, offset);
    moved.Trim.Left = moved.Trim.Left + offset.X;
    moved.Trim.Top = moved.Trim.Top + offset.Y;
    MoveAll(moved.Folds, offset);
    MoveAll(moved.FoldMarks, offset);
    MoveAll(moved.CropMarks, offset);
    return moved;
}

TImposition Calibrated(const TImposition &imposition, const TPrinterCalibration &calibration)
{
    TImposition moved = imposition;
    for (TImposedPage &page : moved.Pages)
        page = Shifted(page, page.Side == TSheetSide::Back ? calibration.Back : calibration.Front);
    return moved;
}
