#pragma once
// One card, one window. A window that opens a card locks it through a lock
// file in the card folder; a second window finds the lock held and may open
// the card read-only. The lock is the system's lock on the open file, so a
// program that crashed holds nothing: its lock file is recognised as stale
// and taken over. Save also notices a card whose files changed on disk
// since they were read (another program, a window that opened it
// read-only and was saved over), and a file shared by all windows, such as
// Temp.bmp, is written and read back under a lock of its own.

#include <QString>

#include <memory>
#include <vector>

// A lock on one file, held while the object lives and by no one once the
// process has ended, however it ended.
class TFileLock {
public:
    // Takes the lock on `path` (created when missing). With `wait` it waits
    // for another holder; without, it gives up at once. Null when the lock
    // is held elsewhere (and `wait` is false) or the file cannot be made
    // (a read-only folder); `why`, when given, says which.
    static std::unique_ptr<TFileLock> Take(const QString &path, bool wait, QString *why = nullptr);
    // Releases the lock; with `removeFile` the lock file goes too.
    ~TFileLock();
    TFileLock(const TFileLock &) = delete;
    TFileLock &operator=(const TFileLock &) = delete;

private:
    TFileLock(const QString &path, int file, bool removeFile) : FPath(path), FFile(file), FRemoveFile(removeFile) {}
    QString FPath;
    int FFile;
    bool FRemoveFile;
};

// The lock under which a file every window shares (Temp.bmp) is written and
// read back: a hidden lock file beside it, waited for. Null when the folder
// takes no lock file; the file is then used without one.
std::unique_ptr<TFileLock> LockSharedFile(const QString &path);

// The name of a card folder's lock file; it is never copied with the card.
inline const QString CardLockFileName = QStringLiteral(".tessaly-lock");

enum class TCardLockState {
    Locked,        // this window holds the card
    HeldElsewhere, // another window or program has it open
    NotLockable,   // the folder takes no lock file (read-only): nothing can be saved there anyway
};

// The lock on a card folder (ending in '/'). Its lock file is removed when
// the card is closed.
class TCardLock {
public:
    explicit TCardLock(const QString &cardFolder);
    TCardLockState State() const { return FState; }

private:
    std::unique_ptr<TFileLock> FLock;
    TCardLockState FState;
};

// What the card's files (Card.crd and the texts) looked like on disk when
// they were read or written: equal stamps mean no one changed them between.
class TCardStamp {
public:
    TCardStamp() = default;
    static TCardStamp Of(const QString &cardFolder);
    bool operator==(const TCardStamp &other) const = default;

private:
    struct TFileStamp {
        bool Exists = false;
        unsigned long long Inode = 0;
        long long Size = 0;
        long long ModifiedNanoseconds = 0;
        bool operator==(const TFileStamp &other) const = default;
    };
    std::vector<TFileStamp> FFiles;
};
