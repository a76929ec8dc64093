#pragma once
// Drawing the printer calibration sheet: its rulers and texts in black on
// white, at any resolution. Printed without the printer's offsets, since
// it is what measures them.

#include "report/calibration_sheet.h"

#include <QImage>

class QPainter;

// The painter's device has `dotsPerTenth` pixels to a tenth of a millimetre
// from the page's top-left corner.
void PaintCalibrationSheet(QPainter &painter, const TCalibrationSheet &sheet, double dotsPerTenth);
