#include "places/places.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#ifndef TESSALY_DATA_FROM_PROGRAM
#define TESSALY_DATA_FROM_PROGRAM "../share/tessaly"
#endif

namespace {

QString WithSlash(const QString &folder)
{
    const QString clean = QDir::cleanPath(folder);
    return clean.endsWith(QLatin1Char('/')) ? clean : clean + QLatin1Char('/');
}

bool HoldsTemplates(const QString &folder)
{
    return QFileInfo(folder + QStringLiteral("Template")).isDir();
}

// A folder the program may write into. Root may write everywhere, so an
// installation is never taken for a program's own folder by this alone:
// the caller asks only about a folder that holds Template/.
bool Writable(const QString &folder)
{
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable();
}

QString Location(QStandardPaths::StandardLocation location, const QString &fallback)
{
    const QString found = QStandardPaths::writableLocation(location);
    return found.isEmpty() ? QDir::homePath() + fallback : found;
}

QString SettingsIn(const TUserFolders &user)
{
    return user.Config.isEmpty() ? QString() : WithSlash(user.Config) + QStringLiteral("tessaly/tessaly.conf");
}

// The real path of `path`, or of its folder followed by its name when it
// does not exist yet (a file about to be written); empty when neither can
// be found.
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

TUserFolders DesktopUserFolders()
{
    TUserFolders user;
    user.Documents = Location(QStandardPaths::DocumentsLocation, QStringLiteral("/Documents"));
    user.Cache = Location(QStandardPaths::GenericCacheLocation, QStringLiteral("/.cache"));
    user.DataHome = Location(QStandardPaths::GenericDataLocation, QStringLiteral("/.local/share"));
    user.Config = Location(QStandardPaths::GenericConfigLocation, QStringLiteral("/.config"));
    return user;
}

QStringList TPlaces::TemplateFolders() const
{
    QStringList folders{Templates};
    if (QDir::cleanPath(UserTemplates) != QDir::cleanPath(Templates))
        folders.append(UserTemplates);
    return folders;
}

bool TPlaces::MakeCardsFolder() const
{
    if (!BesideProgram)
        QDir().mkpath(Cards);
    return QFileInfo(Cards).isDir();
}

QString TPlaces::CardsForPeople() const
{
    return FolderForPeople(Cards);
}

QString FolderForPeople(const QString &folder)
{
    const QString home = WithSlash(QDir::homePath());
    QString shown = WithSlash(folder);
    if (shown.startsWith(home))
        shown = QStringLiteral("~/") + shown.mid(home.size());
    if (shown.size() > 1 && shown.endsWith(QLatin1Char('/')))
        shown.chop(1);
    return QDir::toNativeSeparators(shown);
}

TPlaces PlacesBeside(const QString &programFolder, const TUserFolders &user)
{
    TPlaces places;
    places.ProgramFolder = WithSlash(programFolder);
    places.DataFolder = places.ProgramFolder;
    places.Templates = places.DataFolder + QStringLiteral("Template/");
    places.UserTemplates = places.Templates;
    places.Cards = places.ProgramFolder + QStringLiteral("MyCard/");
    places.CacheFolder = places.ProgramFolder;
    places.Guide = places.DataFolder + QStringLiteral("tessaly.html");
    places.Settings = SettingsIn(user);
    places.BesideProgram = true;
    return places;
}

TPlaces PlacesFor(const QString &programFolder, const TUserFolders &user, const QString &dataFromProgram)
{
    const QString program = WithSlash(programFolder);
    if (HoldsTemplates(program) && Writable(program))
        return PlacesBeside(program, user);

    TPlaces places;
    places.ProgramFolder = program;
    places.DataFolder = HoldsTemplates(program) ? program : WithSlash(program + dataFromProgram);
    places.Templates = places.DataFolder + QStringLiteral("Template/");
    places.UserTemplates = WithSlash(user.DataHome) + QStringLiteral("tessaly/Template/");
    places.Cards = WithSlash(user.Documents) + QStringLiteral("Tessaly Cards/");
    places.CacheFolder = WithSlash(user.Cache) + QStringLiteral("tessaly/");
    places.Guide = places.DataFolder + QStringLiteral("tessaly.html");
    places.Settings = SettingsIn(user);
    places.BesideProgram = false;
    return places;
}

TPlaces ProgramPlaces()
{
    return PlacesFor(QCoreApplication::applicationDirPath(), DesktopUserFolders(),
                     QStringLiteral(TESSALY_DATA_FROM_PROGRAM));
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
