#include "dialogs/directory_copy.h"

#include "card/card_lock.h"
#include "imaging/atomicfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
bool CopyOneFile(const QString &from, const QString &to, QString *failure)
{
    const auto fail = [&](const QString &why) {
        if (failure->isEmpty())
            *failure = QStringLiteral("The file \"%1\" could not be copied to \"%2\": %3")
                           .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to), why);
        return false;
    };
    if (QFileInfo(to).isDir())
        return fail(QStringLiteral("a folder of that name is in the way."));
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink())
        QFile::remove(to);
    QFile file(from);
    return file.copy(to) || fail(file.errorString());
}

bool CopyTree(const QString &source, const QString &dest, QString *failure)
{
    const QDir folder(source);
    const QFileInfo info(source);
    if (!info.isDir() || !info.isExecutable() || !info.isReadable())
        RaiseCannotEnter(source);
    // The listing is taken whole before anything is created, as the
    // destination may be a new sibling in the same parent.
    const QFileInfoList entries =
        folder.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    if (!QDir().mkpath(dest)) {
        if (failure->isEmpty())
            *failure = QStringLiteral("The folder \"%1\" could not be created.").arg(QDir::toNativeSeparators(dest));
        return false;
    }
    bool complete = true;
    for (const QFileInfo &entry : entries) {
        const QString from = Joined(source, entry.fileName());
        const QString to = Joined(dest, entry.fileName());
        if (entry.isSymLink() && entry.isDir())
            continue;  // followed, it could loop or bring in what lies outside
        if (IsAtomicFileTemporary(QFile::encodeName(entry.fileName()).toStdString()))
            continue;  // half a file that a killed program left behind
        if (entry.fileName() == CardLockFileName)
            continue;  // the mark of a window that has the source open
        if (entry.isDir()) {
            if (!CopyTree(from, to, failure))
                complete = false;
        } else if (!entry.isFile()) {
            // Sockets, pipes and devices are no card content; and reading a
            // pipe could wait for ever.
            if (failure->isEmpty())
                *failure = QStringLiteral("\"%1\" is not a regular file and was not copied.")
                               .arg(QDir::toNativeSeparators(from));
            complete = false;
        } else if (!CopyOneFile(from, to, failure)) {
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
    QString failure;
    return CopyDirectory(source, dest, &failure);
}

bool CopyDirectory(const QString &source, const QString &dest, QString *failure)
{
    failure->clear();
    if (source.isEmpty()) {
        *failure = QStringLiteral("No folder was given to copy.");
        return false;
    }
    if (!QFileInfo(source).isDir())
        RaiseCannotEnter(source);
    // A copy into its own source would meet itself while it copies.
    if (IsSameOrInside(dest, source)) {
        *failure = QStringLiteral("The folder \"%1\" cannot be copied into itself.")
                       .arg(QDir::toNativeSeparators(source));
        return false;
    }
    return CopyTree(source, dest, failure);
}

namespace {

constexpr char HiddenPrefix[] = ".tessaly-new-";

QString SystemReason() { return QString::fromLocal8Bit(std::strerror(errno)); }

} // namespace

QString StartHiddenFolder(const QString &parent, QString *failure)
{
    QByteArray name = QFile::encodeName(Joined(parent, QString::fromLatin1(HiddenPrefix)))
                      + QByteArray::number(qint64(::getpid())) + "-XXXXXX";
    if (::mkdtemp(name.data()) == nullptr) {
        *failure = QStringLiteral("The folder for the new card could not be made in \"%1\": %2")
                       .arg(QDir::toNativeSeparators(parent), SystemReason());
        return {};
    }
    return QFile::decodeName(name) + QLatin1Char('/');
}

bool MoveFolderIntoPlace(const QString &hidden, const QString &dest, QString *failure)
{
    QString from = hidden;
    while (from.endsWith(QLatin1Char('/')))
        from.chop(1);
    const QByteArray source = QFile::encodeName(from), target = QFile::encodeName(dest);
    // Never over an existing name, not even an empty folder that a plain
    // rename would replace.
    int moved = ::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE);
    if (moved != 0 && errno == EINVAL) {
        struct stat info;
        if (::lstat(target.constData(), &info) == 0)
            errno = EEXIST;
        else
            moved = ::rename(source.constData(), target.constData());
    }
    if (moved == 0)
        return true;
    *failure = QStringLiteral("The new card could not be put in place as \"%1\": %2")
                   .arg(QDir::toNativeSeparators(dest), SystemReason());
    return false;
}

int RemoveAbandonedHiddenFolders(const QString &parent)
{
    int removed = 0;
    const QStringList names = QDir(parent).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks);
    for (const QString &name : names) {
        if (!name.startsWith(QLatin1String(HiddenPrefix)))
            continue;
        bool isNumber = false;
        const qint64 pid = name.mid(int(sizeof HiddenPrefix) - 1).section(QLatin1Char('-'), 0, 0).toLongLong(&isNumber);
        // Still being built by a program that runs (this one, or another
        // window's): left alone.
        if (isNumber && pid > 0 && (::kill(pid_t(pid), 0) == 0 || errno == EPERM))
            continue;
        if (QDir(Joined(parent, name)).removeRecursively())
            ++removed;
    }
    return removed;
}
