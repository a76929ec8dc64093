#include "card/card_paths.h"

#include "card/card_layout.h"
#include "imaging/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// The real path of `path`, or of its folder followed by its name when it
// does not exist yet; empty when neither can be found.
QString RealPath(const QString &path)
{
    const QFileInfo info(path);
    const QString real = info.canonicalFilePath();
    if (!real.isEmpty())
        return real;
    const QString folder = QFileInfo(info.absolutePath()).canonicalFilePath();
    return folder.isEmpty() ? QString() : folder + QLatin1Char('/') + info.fileName();
}

} // namespace

QString TemplatesFolder(const QString &programFolder)
{
    return programFolder + QStringLiteral("Template");
}

bool IsInsideFolder(const QString &path, const QString &folder)
{
    QString inner = path;
    while (inner.size() > 1 && inner.endsWith(QLatin1Char('/')))
        inner.chop(1);
    inner = RealPath(inner);
    const QString outer = QFileInfo(folder).canonicalFilePath();
    return !inner.isEmpty() && !outer.isEmpty() && (inner == outer || inner.startsWith(outer + QLatin1Char('/')));
}

bool IsInTemplates(const QString &path, const QString &programFolder)
{
    return IsInsideFolder(path, TemplatesFolder(programFolder));
}

void RefuseTemplateChange(const QString &path, const QString &programFolder, const QString &message)
{
    if (IsInTemplates(path, programFolder))
        throw ECardError(message);
}

TTemplatesShield::TTemplatesShield(const QString &programFolder)
    : FFolder(QFile::encodeName(TemplatesFolder(programFolder)).toStdString())
{
    ProtectFolderFromWrites(FFolder, "It lies in the program's templates, which are never changed: every new "
                                     "card starts from them.");
}

TTemplatesShield::~TTemplatesShield()
{
    UnprotectFolderFromWrites(FFolder);
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
