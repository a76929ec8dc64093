// The confinement the picture helper puts itself under: tried in a child
// process of the test, which reports what each forbidden step gave.

#include "tools/picture_reader/confine.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Runs `step` in a confined child; its exit code is what the step returned.
template <typename Step>
int InConfinedChild(const TConfinement &limits, Step step, int *signal = nullptr)
{
    const pid_t child = fork();
    if (child == 0) {
        if (!ConfineThisProcess(limits).empty())
            _exit(100);
        _exit(step());
    }
    int status = 0;
    waitpid(child, &status, 0);
    if (signal != nullptr)
        *signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class Confinement : public ::testing::Test {
protected:
    std::string Folder = [] {
        char name[] = "/tmp/confine-XXXXXX";
        return std::string(mkdtemp(name));
    }();
    void TearDown() override { std::system(("rm -rf " + Folder).c_str()); }
};

TEST_F(Confinement, NoFileIsWrittenCreatedOrRemoved)
{
    const std::string existing = Folder + "/existing";
    close(open(existing.c_str(), O_WRONLY | O_CREAT, 0644));
    const std::string created = Folder + "/created";
    const TConfinement limits;
    EXPECT_EQ(InConfinedChild(limits, [&] { return open(created.c_str(), O_WRONLY | O_CREAT, 0644) < 0 ? errno : 0; }),
              EACCES);
    EXPECT_EQ(InConfinedChild(limits, [&] { return open(existing.c_str(), O_RDWR) < 0 ? errno : 0; }), EACCES);
    EXPECT_EQ(InConfinedChild(limits, [&] { return open(existing.c_str(), O_RDONLY | O_TRUNC) < 0 ? errno : 0; }),
              EACCES);
    EXPECT_EQ(InConfinedChild(limits, [&] { return unlink(existing.c_str()) < 0 ? errno : 0; }), EPERM);
    EXPECT_EQ(InConfinedChild(limits, [&] { return rename(existing.c_str(), created.c_str()) < 0 ? errno : 0; }),
              EPERM);
    EXPECT_EQ(InConfinedChild(limits, [&] { return mkdir(created.c_str(), 0755) < 0 ? errno : 0; }), EPERM);
    // Reading stays possible: the reader must read its file.
    EXPECT_EQ(InConfinedChild(limits, [&] {
                  const int file = open(existing.c_str(), O_RDONLY);
                  return file < 0 ? errno : (close(file), 0);
              }),
              0);
    EXPECT_TRUE(access(existing.c_str(), F_OK) == 0);
    EXPECT_FALSE(access(created.c_str(), F_OK) == 0);
}

TEST_F(Confinement, NoNetworkNoProgramNoOtherProcess)
{
    const TConfinement limits;
    EXPECT_EQ(InConfinedChild(limits, [] { return socket(AF_INET, SOCK_STREAM, 0) < 0 ? errno : 0; }), EPERM);
    EXPECT_EQ(InConfinedChild(limits, [] {
                  execl("/bin/true", "true", static_cast<char *>(nullptr));
                  return errno;
              }),
              EPERM);
    EXPECT_EQ(InConfinedChild(limits, [] { return fork() < 0 ? errno : 0; }), EPERM);
    EXPECT_EQ(InConfinedChild(limits, [] { return kill(getppid(), 0) < 0 ? errno : 0; }), EPERM);
}

TEST_F(Confinement, MemoryAndTimeAreBounded)
{
    TConfinement limits;
    limits.AddressSpaceBytes = int64_t(256) << 20;
    limits.CpuSeconds = 1;
    EXPECT_EQ(InConfinedChild(limits, [] { return std::malloc(size_t(512) << 20) == nullptr ? 1 : 0; }), 1);
    int signal = 0;
    InConfinedChild(limits, [] {
        for (volatile unsigned long spin = 0;; spin = spin + 1) {
        }
        return 0;
    }, &signal);
    EXPECT_TRUE(signal == SIGXCPU || signal == SIGKILL) << signal;
}

} // namespace
