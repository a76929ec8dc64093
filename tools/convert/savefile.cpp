#include "tools/convert/savefile.h"

#include "imaging/fileerrors.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

void SaveFileAtomically(const std::string &fileName, std::string_view contents)
{
    const std::string temporary = fileName + ".tmp";
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        throw EFCreateError(fileName);

    const auto fail = [&](int error) {
        ::close(fd);
        ::unlink(temporary.c_str());
        throw EFCreateError(fileName, error);
    };
    size_t written = 0;
    while (written < contents.size()) {
        const ssize_t n = ::write(fd, contents.data() + written, contents.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            fail(errno);
        }
        written += size_t(n);
    }
    if (::fsync(fd) != 0)
        fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw EFCreateError(fileName, error);
    }
    if (std::rename(temporary.c_str(), fileName.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        throw EFCreateError(fileName, error);
    }
}
