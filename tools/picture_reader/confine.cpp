#include "tools/picture_reader/confine.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sched.h>
#include <seccomp.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

std::string Failed(const char *what, int error)
{
    return std::string(what) + ": " + std::strerror(error);
}

bool SetLimit(int resource, rlim_t soft, rlim_t hard)
{
    const rlimit limit{soft, hard};
    return ::setrlimit(resource, &limit) == 0;
}

// The system calls that change the file system. A read-only open stays
// allowed: libraries, fonts and the picture itself are read.
constexpr int FileChanges[] = {
    SCMP_SYS(creat),     SCMP_SYS(unlink),     SCMP_SYS(unlinkat),   SCMP_SYS(rename),
    SCMP_SYS(renameat),  SCMP_SYS(renameat2),  SCMP_SYS(mkdir),      SCMP_SYS(mkdirat),
    SCMP_SYS(rmdir),     SCMP_SYS(link),       SCMP_SYS(linkat),     SCMP_SYS(symlink),
    SCMP_SYS(symlinkat), SCMP_SYS(truncate),   SCMP_SYS(chmod),      SCMP_SYS(fchmodat),
    SCMP_SYS(chown),     SCMP_SYS(lchown),     SCMP_SYS(fchownat),   SCMP_SYS(mknod),
    SCMP_SYS(mknodat),   SCMP_SYS(utime),      SCMP_SYS(utimes),     SCMP_SYS(utimensat),
    SCMP_SYS(futimesat), SCMP_SYS(setxattr),   SCMP_SYS(lsetxattr),  SCMP_SYS(fsetxattr),
    SCMP_SYS(removexattr), SCMP_SYS(lremovexattr), SCMP_SYS(fremovexattr),
    SCMP_SYS(mount),     SCMP_SYS(umount2),    SCMP_SYS(pivot_root), SCMP_SYS(chroot),
    SCMP_SYS(name_to_handle_at), SCMP_SYS(open_by_handle_at),
};

// Reaching out of the process: the network, other programs, other
// processes' memory.
constexpr int Outward[] = {
    SCMP_SYS(socket),  SCMP_SYS(socketpair), SCMP_SYS(connect), SCMP_SYS(bind),
    SCMP_SYS(execve),  SCMP_SYS(execveat),   SCMP_SYS(fork),    SCMP_SYS(vfork),
    SCMP_SYS(ptrace),  SCMP_SYS(process_vm_readv), SCMP_SYS(process_vm_writev),
    SCMP_SYS(kcmp),    SCMP_SYS(pidfd_open), SCMP_SYS(pidfd_send_signal),
    SCMP_SYS(pidfd_getfd), SCMP_SYS(setns),  SCMP_SYS(unshare), SCMP_SYS(keyctl),
    SCMP_SYS(add_key), SCMP_SYS(request_key), SCMP_SYS(bpf),    SCMP_SYS(perf_event_open),
    SCMP_SYS(userfaultfd), SCMP_SYS(io_uring_setup),
};

std::string InstallFilter()
{
    scmp_filter_ctx filter = ::seccomp_init(SCMP_ACT_ALLOW);
    if (filter == nullptr)
        return "seccomp_init failed";
    struct Release {
        scmp_filter_ctx Filter;
        ~Release() { ::seccomp_release(Filter); }
    } release{filter};

    const uint32_t refuse = SCMP_ACT_ERRNO(EPERM);
    const uint32_t noAccess = SCMP_ACT_ERRNO(EACCES);
    int rc = 0;
    for (int call : FileChanges)
        rc |= ::seccomp_rule_add(filter, refuse, call, 0);
    for (int call : Outward)
        rc |= ::seccomp_rule_add(filter, refuse, call, 0);
    // openat2 hides its flags behind a pointer: "not there" makes the C
    // library use openat, whose flags can be looked at.
    rc |= ::seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(openat2), 0);
    // clone3 likewise; clone is allowed for threads only.
    rc |= ::seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0);
    rc |= ::seccomp_rule_add(filter, refuse, SCMP_SYS(clone), 1,
                             SCMP_A0(SCMP_CMP_MASKED_EQ, CLONE_THREAD, 0));
    // Opening for writing, creating or truncating, by either call.
    for (const unsigned flag : {unsigned(O_WRONLY), unsigned(O_RDWR), unsigned(O_CREAT), unsigned(O_TRUNC)}) {
        rc |= ::seccomp_rule_add(filter, noAccess, SCMP_SYS(open), 1, SCMP_A1(SCMP_CMP_MASKED_EQ, flag, flag));
        rc |= ::seccomp_rule_add(filter, noAccess, SCMP_SYS(openat), 1, SCMP_A2(SCMP_CMP_MASKED_EQ, flag, flag));
    }
    // Signals to this process only (abort raises one on itself).
    const pid_t self = ::getpid();
    rc |= ::seccomp_rule_add(filter, refuse, SCMP_SYS(kill), 1, SCMP_A0(SCMP_CMP_NE, scmp_datum_t(self)));
    rc |= ::seccomp_rule_add(filter, refuse, SCMP_SYS(tgkill), 1, SCMP_A0(SCMP_CMP_NE, scmp_datum_t(self)));
    rc |= ::seccomp_rule_add(filter, refuse, SCMP_SYS(tkill), 0);
    if (rc != 0)
        return "a system-call rule could not be made";
    if (const int loaded = ::seccomp_load(filter); loaded != 0)
        return Failed("seccomp_load", -loaded);
    return {};
}

} // namespace

std::string ConfineThisProcess(const TConfinement &limits)
{
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0)
        return Failed("PR_SET_NO_NEW_PRIVS", errno);
    // The soft CPU limit stops the reader; the hard one a second later kills
    // a reader that caught the signal.
    const rlim_t cpu = rlim_t(limits.CpuSeconds);
    if (!SetLimit(RLIMIT_CPU, cpu, cpu + 1))
        return Failed("RLIMIT_CPU", errno);
    const rlim_t space = rlim_t(limits.AddressSpaceBytes);
    if (!SetLimit(RLIMIT_AS, space, space))
        return Failed("RLIMIT_AS", errno);
    // No file grows, and no core file is left behind by a crash.
    std::signal(SIGXFSZ, SIG_IGN);
    if (!SetLimit(RLIMIT_FSIZE, 0, 0) || !SetLimit(RLIMIT_CORE, 0, 0))
        return Failed("RLIMIT_FSIZE", errno);
    return InstallFilter();
}
