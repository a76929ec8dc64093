#pragma once
// A printer's own offset: how far it puts everything from where it was
// asked to, corrected for every print and PDF made for that printer. The
// front of a sheet and its back (printed after the sheet has gone through
// the duplex unit or been turned by hand) have offsets of their own.
//
// An offset is the shift applied to the page, in tenths of a millimetre,
// x to the right and y down on the page as it reads upright: exactly the
// numbers a person reads on the calibration sheet (see
// report/calibration_sheet.h) and types in.
//
// Kept per printer name in the user's settings, group "PrinterCalibration",
// one sub-group per printer (its name percent-encoded, since a name may hold
// '/' or '\', which settings take as separators) with the whole tenths
// FrontX, FrontY, BackX and BackY.

#include "report/imposition.h"

#include <QString>

class QSettings;

struct TPageOffset {
    TLength X;
    TLength Y;
    constexpr bool operator==(const TPageOffset &) const = default;
};

struct TPrinterCalibration {
    TPageOffset Front;
    TPageOffset Back;
    constexpr bool operator==(const TPrinterCalibration &) const = default;
    bool IsZero() const { return *this == TPrinterCalibration{}; }
};

// No printer is off by more than this; a larger number is a mistake.
constexpr TLength MaxPrinterOffset = TLength::FromMm(20.0);

// Why the offset cannot be taken ("The offset ... is larger than ..."), or
// an empty text when it can.
QString PrinterOffsetProblem(TPageOffset offset);

// The printer's calibration, zero for a printer never calibrated. An entry
// that is not a whole number of tenths within MaxPrinterOffset (a settings
// file edited by hand or damaged) counts as zero: a wrong number must not
// move the card off the paper, and the calibration dialog shows it as zero
// for the person to measure again.
TPrinterCalibration ReadPrinterCalibration(const QSettings &settings, const QString &printerName);
// Stores the calibration, each offset rounded to whole tenths of a
// millimetre; a zero calibration removes the printer's entry. Raises
// ECardError with PrinterOffsetProblem's text for an offset out of range.
void WritePrinterCalibration(QSettings &settings, const QString &printerName, const TPrinterCalibration &calibration);

// The key of the printer's sub-group within "PrinterCalibration".
QString PrinterSettingsKey(const QString &printerName);

// The pages moved by the printer's offsets: the fronts by Front, the backs
// by Back. Everything printed on a page moves (placements, trim, folds,
// marks); the paper stays.
TImposition Calibrated(const TImposition &imposition, const TPrinterCalibration &calibration);
TImposedPage Shifted(const TImposedPage &page, TPageOffset offset);
