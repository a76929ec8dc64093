#include "imaging/atomicfile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <mutex>
#include <vector>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const TAtomicFileCalls SystemCalls = {
    [](int file, const void *data, size_t count) { return ::write(file, data, count); },
    [](int file) { return ::fsync(file); },
    [](int file) { return ::close(file); },
    [](const char *from, const char *to) { return std::rename(from, to); },
};
const TAtomicFileCalls *Calls = &SystemCalls;

// Between the target's name and the six characters mkstemp fills in.
constexpr std::string_view TempMarker = ".tessaly-";
constexpr size_t TempRandomLength = 6;
// Keeps the temporary file's name within the 255 bytes a name may have.
constexpr size_t MaxNameInTempName = 200;

constexpr const char *NotReplaced =
    "It is not a regular file (it may be a device or a FIFO), and it is never replaced by one.";

std::string FolderPart(const std::string &path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NamePart(const std::string &path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a write to `path` must replace: symbolic links followed, a
// dangling one included, so that the link itself stays.
std::string FollowLinks(const std::string &path)
{
    std::string current = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat info;
        if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode))
            return current;
        std::string target(size_t(info.st_size > 0 ? info.st_size : 4096), '\0');
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length < 0)
            return current;
        target.resize(size_t(length));
        current = target.starts_with('/') ? target : FolderPart(current) + target;
    }
    throw EFCreateError(path, ELOOP);
}

// The folder's real path (links resolved), ending in '/'; empty when it
// does not exist.
std::string RealFolder(const std::string &folder)
{
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(folder.empty() ? "." : folder.c_str(), nullptr),
                                                     &std::free);
    if (!real)
        return {};
    std::string path = real.get();
    if (!path.ends_with('/'))
        path += '/';
    return path;
}

bool IsInside(const std::string &realFolder, const std::string &realParent)
{
    return !realFolder.empty() && !realParent.empty() && realFolder.starts_with(realParent);
}

struct TProtectedFolder {
    std::string Folder; // as given
    std::string Real;
    std::string Reason;
};
std::mutex ProtectedLock;
std::vector<TProtectedFolder> &ProtectedFolders()
{
    static std::vector<TProtectedFolder> folders;
    return folders;
}

void CheckNotProtected(const std::string &fileName, const std::string &target)
{
    const std::lock_guard lock(ProtectedLock);
    if (ProtectedFolders().empty())
        return;
    const std::string folder = RealFolder(FolderPart(target));
    for (const TProtectedFolder &shielded : ProtectedFolders()) {
        if (IsInside(folder, shielded.Real))
            throw EFCreateError(fileName, shielded.Reason);
    }
}

[[noreturn]] void RaiseWriteError(const std::string &fileName, int error)
{
    throw EWriteError("Cannot write file \"" + fileName + "\". " + std::strerror(error));
}

// The folder's entry for the renamed file reaches the disk too. A folder
// that cannot be synced (some file systems refuse) leaves the file itself
// complete, so this is not an error.
void SyncFolder(const std::string &folder)
{
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

} // namespace

TAtomicFile::TAtomicFile(const std::string &fileName, TSpecialTarget special, const std::string &confineTo)
    : FFileName(fileName), FTarget(FollowLinks(fileName))
{
    if (!confineTo.empty() && FTarget != fileName
        && !IsInside(RealFolder(FolderPart(FTarget)), RealFolder(confineTo)))
        FTarget = fileName;
    CheckNotProtected(fileName, FTarget);
    struct stat info;
    const bool exists = ::stat(FTarget.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) {
        if (S_ISDIR(info.st_mode))
            throw EFCreateError(fileName, EISDIR);
        if (special == TSpecialTarget::Refuse)
            throw EFCreateError(fileName, std::string(NotReplaced));
        // O_NONBLOCK: a FIFO nobody reads fails at once instead of waiting.
        FFile = ::open(FTarget.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (FFile < 0)
            throw EFCreateError(fileName, errno);
        ::fcntl(FFile, F_SETFL, ::fcntl(FFile, F_GETFL) & ~O_NONBLOCK);
        return;
    }

    // What killed writes left in this folder goes before a new one starts.
    RemoveStaleTemporaries(FolderPart(FTarget));
    std::string name = NamePart(FTarget);
    if (name.size() > MaxNameInTempName)
        name.resize(MaxNameInTempName);
    std::string temp = FolderPart(FTarget) + "." + name + std::string(TempMarker)
                       + std::string(TempRandomLength, 'X');
    const int file = ::mkostemp(temp.data(), O_CLOEXEC);
    if (file < 0)
        throw EFCreateError(fileName, errno);
    // Locked while this writer lives: a cleaner in another window skips it.
    // The lock belongs to the open file, so a second descriptor keeps it
    // after Finish closes the first.
    ::flock(file, LOCK_EX);
    FLock = ::fcntl(file, F_DUPFD_CLOEXEC, 0);
    // mkostemp makes the file private; the result gets the old file's
    // permissions, or those a new file would get.
    mode_t mode = 0;
    if (exists) {
        mode = info.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(file, mode);
    FFile = file;
    FTempName = temp;
}

TAtomicFile::~TAtomicFile()
{
    Abandon();
}

void TAtomicFile::Write(const void *data, size_t count)
{
    if (FFile < 0)
        RaiseWriteError(FFileName, EBADF);
    const char *next = static_cast<const char *>(data);
    while (count > 0) {
        const ssize_t written = Calls->Write(FFile, next, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            Fail(written < 0 ? errno : ENOSPC);
        next += written;
        count -= size_t(written);
    }
}

void TAtomicFile::Finish()
{
    if (FFinished)
        return;
    if (FFile < 0)
        RaiseWriteError(FFileName, EBADF);
    // A device or FIFO written in place may not support fsync.
    if (Calls->Fsync(FFile) != 0 && !(FTempName.empty() && (errno == EINVAL || errno == EROFS)))
        Fail(errno);
    const int file = FFile;
    FFile = -1;
    if (Calls->Close(file) != 0)
        Fail(errno);
    FFinished = true;
}

void TAtomicFile::Commit()
{
    Finish();
    if (FTempName.empty())
        return;
    if (Calls->Rename(FTempName.c_str(), FTarget.c_str()) != 0)
        Fail(errno);
    FTempName.clear();
    if (FLock >= 0) {
        ::close(FLock);
        FLock = -1;
    }
    SyncFolder(FolderPart(FTarget));
}

void TAtomicFile::Fail(int error)
{
    Abandon();
    RaiseWriteError(FFileName, error);
}

void TAtomicFile::Abandon() noexcept
{
    if (FFile >= 0) {
        ::close(FFile);
        FFile = -1;
    }
    if (!FTempName.empty()) {
        ::unlink(FTempName.c_str());
        FTempName.clear();
    }
    if (FLock >= 0) {
        ::close(FLock);
        FLock = -1;
    }
}

void WriteFileAtomically(const std::string &fileName, std::string_view contents, TSpecialTarget special)
{
    TAtomicFile file(fileName, special);
    file.Write(contents);
    file.Commit();
}

void WriteFilesAtomically(const std::vector<TFileContents> &files, const std::string &confineTo)
{
    std::vector<std::unique_ptr<TAtomicFile>> written;
    written.reserve(files.size());
    for (const TFileContents &file : files) {
        written.push_back(std::make_unique<TAtomicFile>(file.FileName, TSpecialTarget::Refuse, confineTo));
        written.back()->Write(file.Contents);
        written.back()->Finish();
    }
    for (const std::unique_ptr<TAtomicFile> &file : written)
        file->Commit();
}

bool IsAtomicFileTemporary(std::string_view fileName)
{
    if (!fileName.starts_with('.') || fileName.size() < 1 + TempMarker.size() + TempRandomLength)
        return false;
    const size_t marker = fileName.size() - TempRandomLength - TempMarker.size();
    return fileName.substr(marker, TempMarker.size()) == TempMarker;
}

int RemoveStaleTemporaries(const std::string &folder)
{
    DIR *dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr)
        return 0;
    std::string prefix = folder;
    if (!prefix.empty() && !prefix.ends_with('/'))
        prefix += '/';
    int removed = 0;
    while (const dirent *entry = ::readdir(dir)) {
        if (!IsAtomicFileTemporary(entry->d_name))
            continue;
        const std::string path = prefix + entry->d_name;
        const int file = ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        // A file some writer still holds is that writer's; anything else of
        // the name (a link, a file no one holds) is left over.
        const bool held = file >= 0 && ::flock(file, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        if (file >= 0)
            ::close(file);
        if (!held && ::unlink(path.c_str()) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

void ProtectFolderFromWrites(const std::string &folder, const std::string &reason)
{
    const std::lock_guard lock(ProtectedLock);
    ProtectedFolders().push_back({folder, RealFolder(folder), reason});
}

void UnprotectFolderFromWrites(const std::string &folder)
{
    const std::lock_guard lock(ProtectedLock);
    auto &folders = ProtectedFolders();
    for (auto at = folders.begin(); at != folders.end(); ++at) {
        if (at->Folder == folder) {
            folders.erase(at);
            return;
        }
    }
}

void SetAtomicFileCalls(const TAtomicFileCalls *calls)
{
    Calls = calls != nullptr ? calls : &SystemCalls;
}
