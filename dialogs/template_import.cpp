#include "dialogs/template_import.h"

#include "card/card_open.h"
#include "dialogs/card_names.h"
#include "dialogs/directory_copy.h"
#include "dialogs/template_archive.h"
#include "dialogs/template_preview.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <exception>

namespace {

[[noreturn]] void Refuse(const QString &why)
{
    throw ETemplateImportError(why.toStdString());
}

bool HoldsCard(const QString &folder)
{
    return QFileInfo(folder + QStringLiteral("/template.bmp")).isFile();
}

// Where an unpacked archive keeps its template: at its top, or in its one
// folder. The name it is listed under comes with it.
struct TFound {
    QString Folder;
    QString Name;
};

TFound FindTemplateIn(const QString &unpacked, const QString &archiveName)
{
    if (HoldsCard(unpacked))
        return {unpacked, archiveName};
    const QStringList folders = QDir(unpacked).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    if (folders.size() == 1 && HoldsCard(unpacked + QLatin1Char('/') + folders[0]))
        return {unpacked + QLatin1Char('/') + folders[0], folders[0]};
    Refuse(QStringLiteral("The archive holds no template: a template is a folder with template.bmp, Card.crd "
                          "and preview.jpg."));
}

// The template reads as a card reads when it is opened: layout, background,
// pictures and every text; and the gallery can show its preview.
void CheckTemplate(const QString &folder, const QString &name)
{
    try {
        LoadCard(folder + QStringLiteral("/template.bmp"));
    } catch (const std::exception &e) {
        Refuse(QStringLiteral("The template \"%1\" cannot be used: %2").arg(name, QString::fromUtf8(e.what())));
    }
    const TPreview preview = LoadPreview(folder + QStringLiteral("/preview.jpg"));
    if (preview.Image.isNull())
        Refuse(QStringLiteral("The template \"%1\" cannot be used: %2").arg(name, preview.Error));
}

} // namespace

QString ImportTemplate(const QString &source, const QString &userTemplates, const QStringList &templateFolders)
{
    const QFileInfo info(source);
    const bool archive = info.isFile() && info.suffix().compare(QStringLiteral("zip"), Qt::CaseInsensitive) == 0;
    if (!info.isDir() && !archive)
        Refuse(QStringLiteral("\"%1\" is neither a template folder nor a .zip file.").arg(QDir::toNativeSeparators(source)));
    if (!QDir().mkpath(userTemplates))
        Refuse(QStringLiteral("The templates folder \"%1\" cannot be made.").arg(QDir::toNativeSeparators(userTemplates)));

    // Made beside its final place, hidden from the gallery, and renamed into
    // place whole: the list never shows half a template.
    QTemporaryDir staging(QDir(userTemplates).filePath(QStringLiteral(".import-XXXXXX")));
    if (!staging.isValid())
        Refuse(QStringLiteral("The templates folder \"%1\" cannot be written: %2")
                   .arg(QDir::toNativeSeparators(userTemplates), staging.errorString()));
    TFound found;
    if (archive) {
        try {
            UnpackArchiveFile(source, staging.path());
        } catch (const EArchiveError &e) {
            Refuse(QString::fromUtf8(e.what()));
        }
        found = FindTemplateIn(staging.path(), info.completeBaseName());
    } else {
        if (!HoldsCard(source))
            Refuse(QStringLiteral("\"%1\" holds no template: a template is a folder with template.bmp, Card.crd "
                                  "and preview.jpg.")
                       .arg(QDir::toNativeSeparators(source)));
        found = {staging.path() + QStringLiteral("/template"), QDir(source).dirName()};
        try {
            if (!CopyDirectory(source, found.Folder))
                Refuse(QStringLiteral("The template \"%1\" could not be copied.").arg(found.Name));
        } catch (const EDirectoryError &e) {
            Refuse(QString::fromUtf8(e.what()));
        }
    }

    const QString root = QDir(userTemplates).absolutePath() + QLatin1Char('/');
    // The rules of a card's name hold for a template's too.
    const QString problem = CardNameProblem(found.Name, root);
    if (!problem.isEmpty() && problem != CardNameExistsMessage)
        Refuse(problem);
    bool taken = !problem.isEmpty();
    for (const QString &folder : templateFolders)
        taken = taken || QFileInfo::exists(QDir(folder).filePath(found.Name));
    if (taken)
        Refuse(QStringLiteral("A template named \"%1\" is already in the list. Rename the folder to import "
                              "it beside that one.")
                   .arg(found.Name));
    CheckTemplate(found.Folder, found.Name);
    if (!QDir().rename(found.Folder, root + found.Name))
        Refuse(QStringLiteral("The template \"%1\" could not be put into \"%2\".")
                   .arg(found.Name, QDir::toNativeSeparators(userTemplates)));
    return found.Name;
}
