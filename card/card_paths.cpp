#include "card/card_paths.h"

#include "card/card_layout.h"
#include "imaging/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

bool IsInTemplates(const QString &path, const QStringList &templateFolders)
{
    for (const QString &templates : templateFolders) {
        if (IsInsideFolder(path, templates))
            return true;
    }
    return false;
}

void RefuseTemplateChange(const QString &path, const QStringList &templateFolders, const QString &message)
{
    if (IsInTemplates(path, templateFolders))
        throw ECardError(message);
}

TTemplatesShield::TTemplatesShield(const QStringList &templateFolders)
{
    for (const QString &templates : templateFolders) {
        FFolders.push_back(QFile::encodeName(templates).toStdString());
        ProtectFolderFromWrites(FFolders.back(), "It lies in the program's templates, which are never changed: "
                                                 "every new card starts from them.");
    }
}

TTemplatesShield::~TTemplatesShield()
{
    for (const std::string &folder : FFolders)
        UnprotectFolderFromWrites(folder);
}

QString CardFilePath(const QString &cardFolder, const QString &name)
{
    const QString normal = QString(name).replace(QLatin1Char('\\'), QLatin1Char('/'));
    bool leadsOut = normal.startsWith(QLatin1Char('/'));
    for (const QString &part : normal.split(QLatin1Char('/')))
        leadsOut = leadsOut || part.trimmed() == QLatin1String("..");
    if (leadsOut)
        throw ECardError(QStringLiteral("The card names the file \"%1\", which lies outside the card folder \"%2\"; "
                                        "a card reads only its own files.")
                             .arg(name, QDir::toNativeSeparators(cardFolder)));
    return cardFolder + name;
}
