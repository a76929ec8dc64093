#include "dialogs/picture_target.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool IsCardOwnFile(const QString &name, const CardLayout &layout)
{
    if (name == QLatin1String("Card.crd") || name == layout.BackgroundFile.Text())
        return true;
    for (int slot = 0; slot < 5; ++slot) {
        if (name == QString::number(slot) + QLatin1String(".rtf"))
            return true;
    }
    return false;
}

[[noreturn]] void Refuse(const QString &name)
{
    throw ECardError(QStringLiteral("The card names its picture file \"%1\", which is not a picture file "
                                    "of the card folder, so the picture cannot be changed.")
                         .arg(name));
}

} // namespace

QString CardPictureTarget(const QString &cardFolder, const CardLayout &layout)
{
    const QString name = layout.Pictures[0].FileName.Text();
    if (name.trimmed().isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
        || name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) || IsCardOwnFile(name, layout))
        Refuse(name);
    const QString target = cardFolder + name;
    const QFileInfo file(target);
    if (file.exists() || file.isSymLink()) {
        // A link may point anywhere; what it leads to must lie in the folder.
        const QString resolved = file.canonicalFilePath();
        const QString folder = QDir(cardFolder).canonicalPath();
        if (resolved.isEmpty() || folder.isEmpty() || QFileInfo(resolved).absolutePath() != folder
            || IsCardOwnFile(QFileInfo(resolved).fileName(), layout))
            Refuse(name);
    }
    return target;
}
