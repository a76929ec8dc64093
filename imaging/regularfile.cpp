#include "imaging/regularfile.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char *NotARegularFile = "It is not a regular file (it may be a folder, a device or a FIFO).";

class TFileHandle {
public:
    explicit TFileHandle(int file) : FFile(file) {}
    ~TFileHandle()
    {
        if (FFile >= 0)
            ::close(FFile);
    }
    TFileHandle(const TFileHandle &) = delete;
    TFileHandle &operator=(const TFileHandle &) = delete;
    int Get() const { return FFile; }

private:
    int FFile;
};

} // namespace

void CheckRegularFile(const std::string &fileName)
{
    struct stat info;
    if (::stat(fileName.c_str(), &info) != 0)
        throw EFOpenError(fileName, errno);
    if (!S_ISREG(info.st_mode))
        throw EFOpenError(fileName, std::string(NotARegularFile));
}

std::string ReadRegularFile(const std::string &fileName, size_t maxBytes)
{
    // O_NONBLOCK makes opening a FIFO return at once; the type is then
    // checked on the open file itself, so nothing can be swapped in between.
    const TFileHandle file(::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (file.Get() < 0)
        throw EFOpenError(fileName, errno);
    struct stat info;
    if (::fstat(file.Get(), &info) != 0)
        throw EFOpenError(fileName, errno);
    if (!S_ISREG(info.st_mode))
        throw EFOpenError(fileName, std::string(NotARegularFile));

    std::string contents;
    contents.resize(std::min(maxBytes, size_t(info.st_size > 0 ? info.st_size : 0)));
    size_t done = 0;
    for (;;) {
        if (done == contents.size()) {
            // The file may have grown since it was examined.
            if (done >= maxBytes)
                break;
            contents.resize(std::min(maxBytes, done + 65536));
        }
        const ssize_t got = ::read(file.Get(), contents.data() + done, contents.size() - done);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw EReadError(fileName, errno);
        if (got == 0)
            break;
        done += size_t(got);
    }
    contents.resize(done);
    return contents;
}
