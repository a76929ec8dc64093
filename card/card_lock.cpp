#include "card/card_lock.h"

#include "card/card_layout.h"

#include <QFile>

#include <type_traits>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

std::unique_ptr<TFileLock> TFileLock::Take(const QString &path, bool wait, QString *why)
{
    const QByteArray name = QFile::encodeName(path);
    // A holder that removes the file as it lets go may do so between our
    // open and our lock: the lock is ours only when the name still leads to
    // the file that was locked.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const int file = ::open(name.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (file < 0) {
            if (why != nullptr)
                *why = QStringLiteral("The lock file \"%1\" cannot be made: %2")
                           .arg(path, QString::fromLocal8Bit(std::strerror(errno)));
            return nullptr;
        }
        int locked;
        do
            locked = ::flock(file, LOCK_EX | (wait ? 0 : LOCK_NB));
        while (locked != 0 && errno == EINTR);
        if (locked != 0) {
            ::close(file);
            if (why != nullptr)
                *why = QStringLiteral("It is held by another window or program.");
            return nullptr;
        }
        struct stat opened, named;
        if (::fstat(file, &opened) == 0 && ::stat(name.constData(), &named) == 0 && opened.st_ino == named.st_ino
            && opened.st_dev == named.st_dev)
            return std::unique_ptr<TFileLock>(new TFileLock(path, file, true));
        ::close(file);
    }
    if (why != nullptr)
        *why = QStringLiteral("The lock file \"%1\" keeps changing.").arg(path);
    return nullptr;
}

TFileLock::~TFileLock()
{
    // Removed while still locked, so no one can take the old file's lock
    // after the name has gone.
    if (FRemoveFile)
        ::unlink(QFile::encodeName(FPath).constData());
    ::close(FFile);
}

std::unique_ptr<TFileLock> LockSharedFile(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    return TFileLock::Take(path.left(slash + 1) + QLatin1Char('.') + path.mid(slash + 1) + QStringLiteral(".lock"),
                           true);
}

TCardLock::TCardLock(const QString &cardFolder)
{
    const QString path = cardFolder + CardLockFileName;
    FLock = TFileLock::Take(path, false);
    if (FLock) {
        FState = TCardLockState::Locked;
        return;
    }
    // Held, or no lock file can be made at all.
    const int file = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    FState = file >= 0 ? TCardLockState::HeldElsewhere : TCardLockState::NotLockable;
    if (file >= 0)
        ::close(file);
}

TCardStamp TCardStamp::Of(const QString &cardFolder)
{
    TCardStamp stamp;
    QStringList names{QStringLiteral("Card.crd")};
    for (std::size_t slot = 0; slot < std::extent_v<decltype(CardLayout::Texts)>; ++slot)
        names << QString::number(slot) + QStringLiteral(".rtf");
    for (const QString &name : names) {
        TFileStamp file;
        struct stat info;
        if (::stat(QFile::encodeName(cardFolder + name).constData(), &info) == 0) {
            file.Exists = true;
            file.Inode = info.st_ino;
            file.Size = info.st_size;
            file.ModifiedNanoseconds = (long long)info.st_mtim.tv_sec * 1000000000LL + info.st_mtim.tv_nsec;
        }
        stamp.FFiles.push_back(file);
    }
    return stamp;
}
