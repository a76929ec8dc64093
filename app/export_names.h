#pragma once
// What a card export writes and under which name, from the name the user
// typed and the filter chosen in the save dialog.

#include <QString>

// The filters of the export dialog, in order (1-based, as the dialog counts).
inline constexpr int BitmapFilterIndex = 1;
inline constexpr int JpegFilterIndex = 2;
inline constexpr int PdfFilterIndex = 3;
inline constexpr int PrintShopFilterIndex = 4;

// The export dialog's filter list, in the order of the indices above.
QString ExportFilter();

enum class TExportType {
    Bitmap,     // the 96-pixel card as a 24-bit BMP
    Jpeg,       // the same card as a JPEG, through Temp.bmp
    Pdf,        // the printed page
    PrintShop,  // the printed page with bleed, crop marks and trim box
};

struct TExportChoice {
    QString FileName;
    TExportType Type = TExportType::Bitmap;
    friend bool operator==(const TExportChoice &, const TExportChoice &) = default;
};

// The extension of a file's name: from the last dot of the name (not of its
// folder) on, dot included; empty when the name has no dot.
QString ExtensionOfName(const QString &fileName);

// A typed extension (".bmp", ".jpg", ".jpeg" or ".pdf", in any case) decides
// the type whatever the filter, so that a file's name never lies about its
// contents; under the print-shop filter a typed ".pdf" is a print-shop PDF.
// Any other name takes the filter's type and extension appended: ".bmp",
// ".jpg" (also for an index beyond the list) or ".pdf". So card.jpeg under
// the bitmap filter is a JPEG named card.jpeg, and card.png a bitmap named
// card.png.bmp.
TExportChoice ExportChoice(const QString &chosen, int filterIndex);
