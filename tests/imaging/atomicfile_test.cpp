#include "imaging/atomicfile.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <vector>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const std::string &path, const std::string &bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

int TemporariesIn(const std::string &folder)
{
    int count = 0;
    for (const auto &entry : fs::directory_iterator(folder))
        count += IsAtomicFileTemporary(entry.path().filename().string()) ? 1 : 0;
    return count;
}

class AtomicFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        Dir = testing::TempDir() + "atomicfile-" + std::to_string(::getpid()) + "/";
        fs::remove_all(Dir);
        fs::create_directories(Dir);
    }
    void TearDown() override
    {
        SetAtomicFileCalls(nullptr);
        fs::remove_all(Dir);
    }
    std::string Dir;
};

TEST_F(AtomicFile, WritesANewFileAndReplacesAnOldOneKeepingItsMode)
{
    const std::string path = Dir + "Card.crd";
    WriteFileAtomically(path, "first");
    EXPECT_EQ(ReadAll(path), "first");

    ::chmod(path.c_str(), 0640);
    {
        TAtomicFile file(path);
        file.Write("sec");
        file.Write("ond");
        EXPECT_EQ(ReadAll(path), "first"); // nothing replaced before Commit
        file.Commit();
    }
    EXPECT_EQ(ReadAll(path), "second");
    struct stat info;
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    EXPECT_EQ(TemporariesIn(Dir), 0);
}

TEST_F(AtomicFile, AFileNeverCommittedLeavesTheOldOne)
{
    const std::string path = Dir + "0.rtf";
    WriteAll(path, "old");
    {
        TAtomicFile file(path);
        file.Write("half a file");
    }
    EXPECT_EQ(ReadAll(path), "old");
    EXPECT_EQ(TemporariesIn(Dir), 0);
}

// Each system call the writer makes, failed in turn: the old file stays
// whole, the temporary file goes and the error names the file and reason.
TEST_F(AtomicFile, EachFailedSystemCallKeepsTheOldFile)
{
    static int failing = 0;
    const TAtomicFileCalls calls = {
        [](int f, const void *d, size_t n) -> ssize_t {
            if (failing == 0) {
                errno = ENOSPC;
                return -1;
            }
            return ::write(f, d, n);
        },
        [](int f) {
            if (failing == 1) {
                errno = EIO;
                return -1;
            }
            return ::fsync(f);
        },
        [](int f) {
            const int result = ::close(f);
            if (failing == 2) {
                errno = EDQUOT;
                return -1;
            }
            return result;
        },
        [](const char *from, const char *to) {
            if (failing == 3) {
                errno = EXDEV;
                return -1;
            }
            return std::rename(from, to);
        },
    };
    const std::string reasons[] = {"No space left on device", "Input/output error", "Disk quota exceeded",
                                   "Invalid cross-device link"};
    const std::string path = Dir + "Card.crd";
    for (failing = 0; failing < 4; ++failing) {
        SCOPED_TRACE(failing);
        WriteAll(path, "old");
        SetAtomicFileCalls(&calls);
        try {
            WriteFileAtomically(path, "new contents");
            ADD_FAILURE() << "no error";
        } catch (const EWriteError &error) {
            EXPECT_EQ(std::string(error.what()),
                      "Cannot write file \"" + path + "\". " + reasons[failing]);
        }
        SetAtomicFileCalls(nullptr);
        EXPECT_EQ(ReadAll(path), "old");
        EXPECT_EQ(TemporariesIn(Dir), 0);
    }
}

// Files that belong together: a failure to write or sync any of them keeps
// every one old; a rename failing part-way leaves the earlier ones new.
TEST_F(AtomicFile, FilesWrittenTogetherAreAllOldAfterAFailedWrite)
{
    static std::string failingFor;
    static int failingCall = 0;
    const TAtomicFileCalls calls = {
        [](int f, const void *d, size_t n) -> ssize_t {
            if (failingCall == 0 && std::string_view(static_cast<const char *>(d), n).starts_with(failingFor)) {
                errno = ENOSPC;
                return -1;
            }
            return ::write(f, d, n);
        },
        [](int f) {
            // The second file's sync: the first one has been synced by then.
            static int syncs = 0;
            if (failingCall == 1 && ++syncs == 2) {
                syncs = 0;
                errno = EIO;
                return -1;
            }
            return ::fsync(f);
        },
        ::close,
        [](const char *from, const char *to) {
            if (failingCall == 2 && std::string_view(to).ends_with("1.rtf")) {
                errno = EIO;
                return -1;
            }
            return std::rename(from, to);
        },
    };
    const std::vector<TFileContents> files = {
        {Dir + "0.rtf", "new zero"}, {Dir + "1.rtf", "new one"}, {Dir + "Card.crd", "new layout"}};
    for (failingCall = 0; failingCall < 3; ++failingCall) {
        SCOPED_TRACE(failingCall);
        failingFor = "new one";
        WriteAll(Dir + "0.rtf", "old zero");
        WriteAll(Dir + "1.rtf", "old one");
        WriteAll(Dir + "Card.crd", "old layout");
        SetAtomicFileCalls(&calls);
        try {
            WriteFilesAtomically(files);
            ADD_FAILURE() << "no error";
        } catch (const EWriteError &error) {
            EXPECT_NE(std::string(error.what()).find(Dir + "1.rtf"), std::string::npos) << error.what();
        }
        SetAtomicFileCalls(nullptr);
        EXPECT_EQ(ReadAll(Dir + "0.rtf"), failingCall == 2 ? "new zero" : "old zero");
        EXPECT_EQ(ReadAll(Dir + "1.rtf"), "old one");
        EXPECT_EQ(ReadAll(Dir + "Card.crd"), "old layout");
        EXPECT_EQ(TemporariesIn(Dir), 0);
    }
    WriteFilesAtomically(files);
    EXPECT_EQ(ReadAll(Dir + "0.rtf") + ReadAll(Dir + "1.rtf") + ReadAll(Dir + "Card.crd"),
              "new zeronew onenew layout");
}

TEST_F(AtomicFile, ASymbolicLinkIsFollowedAndKept)
{
    fs::create_directories(Dir + "real");
    WriteAll(Dir + "real/card.jpg", "old");
    fs::create_symlink("real/card.jpg", Dir + "link.jpg");
    fs::create_symlink(Dir + "real/new.jpg", Dir + "dangling.jpg");

    WriteFileAtomically(Dir + "link.jpg", "new");
    WriteFileAtomically(Dir + "dangling.jpg", "made");

    EXPECT_TRUE(fs::is_symlink(Dir + "link.jpg"));
    EXPECT_EQ(ReadAll(Dir + "real/card.jpg"), "new");
    EXPECT_TRUE(fs::is_symlink(Dir + "dangling.jpg"));
    EXPECT_EQ(ReadAll(Dir + "real/new.jpg"), "made");
    EXPECT_EQ(TemporariesIn(Dir) + TemporariesIn(Dir + "real"), 0);
}

TEST_F(AtomicFile, ALinkLeadingOutOfTheConfiningFolderIsReplacedNotFollowed)
{
    fs::create_directories(Dir + "card");
    fs::create_directories(Dir + "elsewhere");
    WriteAll(Dir + "elsewhere/target", "theirs");
    WriteAll(Dir + "card/own", "own");
    fs::create_symlink(Dir + "elsewhere/target", Dir + "card/out");
    fs::create_symlink("own", Dir + "card/in");
    fs::create_symlink("../card/own", Dir + "card/roundabout");
    WriteFilesAtomically({{Dir + "card/out", "new out"}, {Dir + "card/in", "new in"}}, Dir + "card");
    EXPECT_EQ(ReadAll(Dir + "elsewhere/target"), "theirs");
    EXPECT_FALSE(fs::is_symlink(Dir + "card/out"));
    EXPECT_EQ(ReadAll(Dir + "card/out"), "new out");
    // Inside the folder a link is followed as ever, however it gets there.
    EXPECT_TRUE(fs::is_symlink(Dir + "card/in"));
    EXPECT_EQ(ReadAll(Dir + "card/own"), "new in");
    TAtomicFile roundabout(Dir + "card/roundabout", TSpecialTarget::Refuse, Dir + "card");
    roundabout.Write("again");
    roundabout.Commit();
    EXPECT_TRUE(fs::is_symlink(Dir + "card/roundabout"));
    EXPECT_EQ(ReadAll(Dir + "card/own"), "again");
    // Without a confining folder the writer follows every link.
    WriteFileAtomically(Dir + "card/out", "x");
    EXPECT_EQ(ReadAll(Dir + "card/out"), "x");
}

TEST_F(AtomicFile, AProtectedFolderIsNeverWrittenWhateverLinkLeadsThere)
{
    fs::create_directories(Dir + "shielded");
    WriteAll(Dir + "shielded/file", "kept");
    fs::create_symlink(Dir + "shielded/file", Dir + "link");
    fs::create_symlink(Dir + "shielded", Dir + "folderlink");
    ProtectFolderFromWrites(Dir + "shielded", "It is protected.");
    for (const std::string name : {"shielded/file", "shielded/new", "link", "folderlink/file"}) {
        try {
            WriteFileAtomically(Dir + name, "changed");
            ADD_FAILURE() << name << " was written";
        } catch (const EFCreateError &error) {
            EXPECT_NE(std::string(error.what()).find("It is protected."), std::string::npos) << error.what();
        }
    }
    UnprotectFolderFromWrites(Dir + "shielded");
    EXPECT_EQ(ReadAll(Dir + "shielded/file"), "kept");
    EXPECT_FALSE(fs::exists(Dir + "shielded/new"));
    WriteFileAtomically(Dir + "link", "changed");
    EXPECT_EQ(ReadAll(Dir + "shielded/file"), "changed");
}

TEST_F(AtomicFile, ANewWriteRemovesWhatKilledWritesLeftButNotAWriteGoingOn)
{
    // A write going on (another window's): its temporary file is held.
    TAtomicFile going(Dir + "other.jpg");
    going.Write("partly");
    // Left by a killed program: no one holds them.
    WriteAll(Dir + ".card.bmp.tessaly-Ab12Cd", "half");
    WriteAll(Dir + ".Temp.bmp.tessaly-Zz99Yy", "half");
    ASSERT_EQ(TemporariesIn(Dir), 3);
    WriteFileAtomically(Dir + "card.jpg", "whole");
    EXPECT_EQ(TemporariesIn(Dir), 1);
    going.Finish(); // closed, still held until renamed
    EXPECT_EQ(RemoveStaleTemporaries(Dir), 0);
    going.Commit();
    EXPECT_EQ(ReadAll(Dir + "other.jpg"), "partly");
    EXPECT_EQ(TemporariesIn(Dir), 0);
}

TEST_F(AtomicFile, AFifoIsRefusedAtOnceOrWrittenInPlace)
{
    const std::string fifo = Dir + "Card.crd";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_THROW(WriteFileAtomically(fifo, "x"), EFCreateError);
    // In place, with nobody reading, it fails at once instead of waiting.
    EXPECT_THROW(WriteFileAtomically(fifo, "x", TSpecialTarget::WriteInPlace), EFCreateError);
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(TemporariesIn(Dir), 0);
    EXPECT_THROW(WriteFileAtomically(Dir, "x", TSpecialTarget::WriteInPlace), EFCreateError);
}

TEST_F(AtomicFile, ADeviceNodeIsNeverReplaced)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "making a device node (mknod) needs root; CI runs as root";
    // A node of /dev/null's numbers in the test's own folder, never a system one.
    const std::string device = Dir + "null";
    ASSERT_EQ(::mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
    try {
        WriteFileAtomically(device, "x");
        ADD_FAILURE() << "a device was written over";
    } catch (const EFCreateError &error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file \"" + device
                                                 + "\". It is not a regular file (it may be a device or a FIFO), "
                                                   "and it is never replaced by one.");
    }
    EXPECT_TRUE(fs::is_character_file(device));
    WriteFileAtomically(device, "into the device", TSpecialTarget::WriteInPlace);
    EXPECT_TRUE(fs::is_character_file(device));
    // /dev/full's numbers: written in place the write fails as the disk
    // would, and the node stays a device.
    const std::string full = Dir + "full";
    ASSERT_EQ(::mknod(full.c_str(), S_IFCHR | 0666, makedev(1, 7)), 0);
    EXPECT_THROW(WriteFileAtomically(full, "x", TSpecialTarget::WriteInPlace), EWriteError);
    EXPECT_TRUE(fs::is_character_file(full));
    EXPECT_EQ(TemporariesIn(Dir), 0);
}

TEST_F(AtomicFile, StaleTemporariesAreRecognisedAndRemoved)
{
    EXPECT_TRUE(IsAtomicFileTemporary(".Card.crd.tessaly-a1B2c3"));
    EXPECT_FALSE(IsAtomicFileTemporary("Card.crd"));
    EXPECT_FALSE(IsAtomicFileTemporary(".hidden"));
    EXPECT_FALSE(IsAtomicFileTemporary("Card.crd.tessaly-a1B2c3"));

    WriteAll(Dir + ".Card.crd.tessaly-a1B2c3", "stale");
    WriteAll(Dir + ".0.rtf.tessaly-XyZ123", "stale");
    WriteAll(Dir + "0.rtf", "kept");
    EXPECT_EQ(RemoveStaleTemporaries(Dir), 2);
    EXPECT_EQ(TemporariesIn(Dir), 0);
    EXPECT_EQ(ReadAll(Dir + "0.rtf"), "kept");

    // A very long name still gets a temporary name the system accepts.
    const std::string longName = Dir + std::string(250, 'n');
    WriteFileAtomically(longName, "long");
    EXPECT_EQ(ReadAll(longName), "long");
}

} // namespace
