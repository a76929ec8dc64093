#include "app/export_names.h"

#include <QFileInfo>

QString ExtensionOfName(const QString &fileName)
{
    const QString name = QFileInfo(fileName).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

QString ExportFileName(const QString &chosen, int filterIndex)
{
    const QString extension = ExtensionOfName(chosen).toUpper();
    if (filterIndex == BitmapFilterIndex)
        return extension == QStringLiteral(".BMP") ? chosen : chosen + QStringLiteral(".bmp");
    if (extension == QStringLiteral(".JPG") || extension == QStringLiteral(".JPEG"))
        return chosen;
    return chosen + QStringLiteral(".jpg");
}
