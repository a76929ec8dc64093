#include "tests/support/failing_rename.h"

#include "imaging/atomicfile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

const char *g_failingSuffix = "";

int RenameFailingFor(const char *from, const char *to)
{
    const size_t length = std::strlen(to), suffix = std::strlen(g_failingSuffix);
    if (length >= suffix && std::strcmp(to + length - suffix, g_failingSuffix) == 0) {
        errno = EIO;
        return -1;
    }
    return std::rename(from, to);
}

} // namespace

TFailingRename::TFailingRename(const char *suffix)
{
    g_failingSuffix = suffix;
    static const TAtomicFileCalls calls{::write, ::fsync, ::close, RenameFailingFor};
    SetAtomicFileCalls(&calls);
}

TFailingRename::~TFailingRename()
{
    SetAtomicFileCalls(nullptr);
    g_failingSuffix = "";
}
