#include "dialogs/template_preview.h"

#include <QDir>
#include <QFileInfo>
#include <QImageReader>

TPreview LoadPreview(const QString &path)
{
    TPreview preview;
    const QString shown = QDir::toNativeSeparators(path);
    if (!QFileInfo(path).isFile()) {
        preview.Error = QStringLiteral("The preview \"%1\" cannot be found.").arg(shown);
        return preview;
    }
    QImageReader reader(path, "jpeg");
    preview.Image = reader.read();
    if (preview.Image.isNull())
        preview.Error = QStringLiteral("The preview \"%1\" cannot be read: %2").arg(shown, reader.errorString());
    return preview;
}
