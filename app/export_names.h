#pragma once
// The name a card export is written under, from the name the user typed and
// the filter chosen in the save dialog.

#include <QString>

// The filters of the export dialog, in order: index 1 writes a bitmap, any
// other index a JPEG.
inline constexpr int BitmapFilterIndex = 1;

// The extension of a file's name: from the last dot of the name (not of its
// folder) on, dot included; empty when the name has no dot.
QString ExtensionOfName(const QString &fileName);

// `chosen` with ".bmp" appended unless its extension is ".bmp" in any case
// (bitmap filter), or with ".jpg" appended unless it is ".jpg" or ".jpeg" in
// any case (any other filter). So card.jpeg exported as a bitmap becomes
// card.jpeg.bmp, and card.bmp exported as a JPEG card.bmp.jpg.
QString ExportFileName(const QString &chosen, int filterIndex);
