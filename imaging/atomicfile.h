#pragma once
// The one way the program writes a file that a user cares about: a card's
// layout and texts, its pictures, exports and Temp.bmp.
//
// The bytes go into a temporary file beside the target; every write, the
// sync and the close are checked, and only a complete file is renamed over
// the target, after which the folder is synced too. On any failure the
// temporary file is removed and the old file stays whole. A symbolic link is
// followed, so its target is replaced and the link stays. A target that
// exists and is not a regular file (a device, a FIFO) is never renamed over.
//
// Errors are EFCreateError ("Cannot create file ...") when the file cannot be
// started and EWriteError ("Cannot write file ...") afterwards, each with the
// file's name and the system's reason.

#include "imaging/fileerrors.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>
#include <sys/types.h>

// What to do when the target exists and is not a regular file.
enum class TSpecialTarget {
    Refuse,       // the program: raise, the device or FIFO stays as it is
    WriteInPlace, // command-line tools: write into it, as a shell redirect would
};

class TAtomicFile {
public:
    // Starts the temporary file. Raises EFCreateError. With a `confineTo`
    // folder, a symbolic link is followed only while it stays inside that
    // folder: a link leading out of it (a card's 0.rtf pointing at a
    // template's or any other file) is itself replaced by the new file, and
    // the file it pointed at stays as it was.
    explicit TAtomicFile(const std::string &fileName, TSpecialTarget special = TSpecialTarget::Refuse,
                         const std::string &confineTo = {});
    // Without a successful Commit the temporary file is removed and the
    // target stays as it was. Never throws.
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile &) = delete;
    TAtomicFile &operator=(const TAtomicFile &) = delete;

    // Writes all count bytes or raises EWriteError.
    void Write(const void *data, size_t count);
    void Write(std::string_view bytes) { Write(bytes.data(), bytes.size()); }
    // Syncs and closes the file, leaving only the rename to do; raises
    // EWriteError when either step fails. Nothing may be written after it.
    void Finish();
    // Finishes the file when the caller has not, then renames it over the
    // target; raises EWriteError when any step fails.
    void Commit();

    // The name the caller gave, for messages.
    const std::string &FileName() const { return FFileName; }

private:
    void Fail(int error);
    void Abandon() noexcept;

    std::string FFileName;
    std::string FTarget;   // the file that is replaced: links followed
    std::string FTempName; // empty when writing in place
    int FFile = -1;
    int FLock = -1;        // holds the temporary file's lock until it is renamed or removed
    bool FFinished = false;
};

// The whole file in one call.
void WriteFileAtomically(const std::string &fileName, std::string_view contents,
                         TSpecialTarget special = TSpecialTarget::Refuse);

// Several files that belong together, such as a card's texts and its
// layout: every file is written and synced before the first is renamed, so a
// failure to write any of them (a full disk among others) leaves all of them
// as they were. Only a rename failing part-way, which a full disk cannot
// cause, leaves the files before it new and the rest old, each whole. The
// files are renamed in the order given.
struct TFileContents {
    std::string FileName;
    std::string Contents;
};
// `confineTo` as for TAtomicFile: links leading out of it are replaced.
void WriteFilesAtomically(const std::vector<TFileContents> &files, const std::string &confineTo = {});

// Folders no write of the program may change (the shipped templates): a
// file whose target, links followed, lies inside one is refused with
// EFCreateError, whatever command asked. Protect and Unprotect pair up.
void ProtectFolderFromWrites(const std::string &folder, const std::string &reason);
void UnprotectFolderFromWrites(const std::string &folder);

// True for the name (without folder) of one of the writer's temporary files.
// Such names begin with a dot, so file dialogs and folder listings pass them
// over; they are left behind only when the program was killed mid-write.
bool IsAtomicFileTemporary(std::string_view fileName);
// Removes the writer's temporary files left in a folder; returns how many.
// A writer holds a lock on its temporary file until it is renamed or
// removed, so the files of a write going on in another window or program
// are left alone. Every new write removes those of its own folder.
int RemoveStaleTemporaries(const std::string &folder);

// The system calls the writer makes, replaceable so that tests can make a
// write, a sync, a close or a rename fail. nullptr restores the real ones.
struct TAtomicFileCalls {
    ssize_t (*Write)(int file, const void *data, size_t count);
    int (*Fsync)(int file);
    int (*Close)(int file);
    int (*Rename)(const char *from, const char *to);
};
void SetAtomicFileCalls(const TAtomicFileCalls *calls);
