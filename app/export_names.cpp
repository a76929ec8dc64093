#include "app/export_names.h"

#include <QFileInfo>

QString ExportFilter()
{
    return QStringLiteral("Bitmaps (*.bmp);;JPEG Image File (*.jpg);;PDF Document (*.pdf);;"
                          "Export for a print shop (*.pdf)");
}

QString ExtensionOfName(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

TExportChoice ExportChoice(const QString &chosen, int filterIndex)
{
    const QString extension = ExtensionOfName(chosen).toUpper();
    if (extension == QStringLiteral(".BMP"))
        return {chosen, TExportType::Bitmap};
    if (extension == QStringLiteral(".JPG") || extension == QStringLiteral(".JPEG"))
        return {chosen, TExportType::Jpeg};
    if (extension == QStringLiteral(".PDF"))
        return {chosen, filterIndex == PrintShopFilterIndex ? TExportType::PrintShop : TExportType::Pdf};
    switch (filterIndex) {
    case BitmapFilterIndex:
        return {chosen + QStringLiteral(".bmp"), TExportType::Bitmap};
    case PdfFilterIndex:
        return {chosen + QStringLiteral(".pdf"), TExportType::Pdf};
    case PrintShopFilterIndex:
        return {chosen + QStringLiteral(".pdf"), TExportType::PrintShop};
    default:
        return {chosen + QStringLiteral(".jpg"), TExportType::Jpeg};
    }
}
