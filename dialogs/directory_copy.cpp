#include "dialogs/directory_copy.h"

#include "imaging/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// Joins a folder path, with or without its trailing '/', and a name.
QString Joined(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

[[noreturn]] void RaiseCannotEnter(const QString &folder)
{
    throw EDirectoryError(QStringLiteral("The folder \"%1\" cannot be opened.").arg(QDir::toNativeSeparators(folder))
                              .toStdString());
}

// Copies one file over any file of its name. QFile::copy does not overwrite,
// so an old file is removed first.
bool CopyOneFile(const QString &from, const QString &to)
{
    if (QFileInfo(to).isDir())
        return false;
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink())
        QFile::remove(to);
    return QFile::copy(from, to);
}

bool CopyTree(const QString &source, const QString &dest)
{
    const QDir folder(source);
    const QFileInfo info(source);
    if (!info.isDir() || !info.isExecutable() || !info.isReadable())
        RaiseCannotEnter(source);
    // The listing is taken whole before anything is created, as the
    // destination may be a new sibling in the same parent.
    const QFileInfoList entries =
        folder.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    if (!QDir().mkpath(dest))
        return false;
    bool complete = true;
    for (const QFileInfo &entry : entries) {
        const QString from = Joined(source, entry.fileName());
        const QString to = Joined(dest, entry.fileName());
        if (entry.isSymLink() && entry.isDir())
            continue;  // followed, it could loop or bring in what lies outside
        if (IsAtomicFileTemporary(QFile::encodeName(entry.fileName()).toStdString()))
            continue;  // half a file that a killed program left behind
        if (entry.isDir()) {
            if (!QDir().mkpath(to))
                complete = false;
            else if (!CopyTree(from, to))
                complete = false;
        } else if (!entry.isFile() || !CopyOneFile(from, to)) {
            // Sockets, pipes and devices are no card content; and reading a
            // pipe could wait for ever.
            complete = false;
        }
    }
    return complete;
}

// The real path of a folder that may not exist yet: its nearest existing
// ancestor with links resolved, followed by the missing levels.
QString RealPathOf(const QString &path)
{
    QString existing = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    QStringList missing;
    while (!QFileInfo::exists(existing)) {
        const QString parent = QFileInfo(existing).absolutePath();
        if (parent == existing)
            break;
        missing.prepend(QFileInfo(existing).fileName());
        existing = parent;
    }
    QString real = QFileInfo(existing).canonicalFilePath();
    for (const QString &level : missing)
        real = Joined(real, level);
    return QDir::cleanPath(real);
}

// True when `inner` is `outer` or lies somewhere inside it.
bool IsSameOrInside(const QString &inner, const QString &outer)
{
    return Joined(RealPathOf(inner), QString()).startsWith(Joined(RealPathOf(outer), QString()));
}

} // namespace

bool CopyDirectory(const QString &source, const QString &dest)
{
    if (source.isEmpty())
        return false;
    if (!QFileInfo(source).isDir())
        RaiseCannotEnter(source);
    // A copy into its own source would meet itself while it copies.
    if (IsSameOrInside(dest, source))
        return false;
    return CopyTree(source, dest);
}
