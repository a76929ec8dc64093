#include "pictures/picture_sandbox.h"

#include "pictures/picture_sandbox_protocol.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

// The largest file of each kind read at all, looked at before a byte is
// read: real pictures stay far below, and a larger (or sparse) file would
// only make a reader work for nothing.
int64_t MaxFileBytes(int kind)
{
    constexpr int64_t MB = int64_t(1) << 20;
    switch (kind) {
    case int(TPictureType::Jpeg):
    case int(TPictureType::Png):
    case int(TPictureType::Tiff):
    case int(TPictureType::WebP):
    case int(TPictureType::Heif): return 128 * MB;
    case int(TPictureType::Gif): return 64 * MB;
    case int(TPictureType::Icon): return 16 * MB;
    case int(TPictureType::Wmf):
    case int(TPictureType::Emf): return 32 * MB;
    default: return 128 * MB;
    }
}

QString Megabytes(int64_t bytes)
{
    return QString::number(double(bytes) / double(1 << 20), 'f', bytes < (int64_t(10) << 20) ? 1 : 0);
}

// Only a regular file of a sensible size goes to a reader.
void CheckFile(const QString &path, int kind)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        FailToLoadPicture(path, QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(info.st_mode))
        FailToLoadPicture(path, QStringLiteral("It is not a regular file (it may be a folder, a device or a FIFO)."));
    const int64_t limit = MaxFileBytes(kind);
    if (int64_t(info.st_size) > limit)
        FailToLoadPicture(path, QStringLiteral("The file is %1 MB, larger than the %2 MB any picture of its kind "
                                               "may be.")
                                    .arg(Megabytes(info.st_size), Megabytes(limit)));
}

// Repaints go on while the program waits for a slow reader, so the window
// is never left blank; the user's input waits until the answer is in.
void KeepWindowsPainted()
{
    QCoreApplication *application = QCoreApplication::instance();
    if (application != nullptr && QThread::currentThread() == application->thread())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
}

class THelper {
public:
    THelper(const QString &path, int kind, TAlpha alpha, int scaleDenominator, const TReaderLimits &limits)
        : FPath(path), FLimits(limits), FDeadline(Clock::now() + std::chrono::seconds(limits.WallSeconds))
    {
        Start(kind, alpha, scaleDenominator);
    }
    ~THelper()
    {
        if (FOutput >= 0)
            ::close(FOutput);
        Stop();
    }
    THelper(const THelper &) = delete;
    THelper &operator=(const THelper &) = delete;

    QImage Answer()
    {
        char magic[sizeof ReaderMagic];
        uint8_t status = 0;
        if (!Read(magic, sizeof magic) || std::memcmp(magic, ReaderMagic, sizeof magic) != 0 || !Read(&status, 1))
            Fail();
        if (status == ReaderError) {
            const QString message = ReadText();
            const QString reason = ReadText();
            throw EPictureError(message, reason);
        }
        if (status != ReaderPicture)
            Fail();
        int32_t size[2] = {0, 0};
        if (!Read(size, sizeof size))
            Fail();
        // Checked before the picture's memory is taken.
        if (size[0] <= 0 || size[1] <= 0 || int64_t(size[0]) * size[1] > FLimits.MaxPixels)
            FailToLoadPicture(FPath, QStringLiteral("The picture reader answered with an impossible size."));
        QImage picture(size[0], size[1], QImage::Format_RGB32);
        if (picture.isNull())
            FailToLoadPicture(FPath, QStringLiteral("There is not enough memory for a picture of %1 x %2 pixels.")
                                         .arg(size[0])
                                         .arg(size[1]));
        for (int y = 0; y < size[1]; ++y) {
            if (!Read(picture.scanLine(y), size_t(size[0]) * 4))
                Fail();
        }
        return picture;
    }

private:
    void Start(int kind, TAlpha alpha, int scaleDenominator)
    {
        const QByteArray program = QFile::encodeName(PictureReaderPath());
        int pipe[2];
        if (::pipe2(pipe, O_CLOEXEC) != 0)
            FailToLoadPicture(FPath, QStringLiteral("The picture reader cannot be started: %1")
                                         .arg(QString::fromLocal8Bit(std::strerror(errno))));
        FOutput = pipe[0];
        const std::string arguments[] = {
            std::to_string(kind),
            std::to_string(int(alpha)),
            std::to_string(FLimits.CpuSeconds),
            std::to_string(FLimits.AddressSpaceBytes),
            std::to_string(FLimits.MaxPixels),
            std::to_string(scaleDenominator),
            QFile::encodeName(FPath).toStdString(),
        };
        std::vector<char *> argv;
        argv.push_back(const_cast<char *>(program.constData()));
        for (const std::string &argument : arguments)
            argv.push_back(const_cast<char *>(argument.c_str()));
        argv.push_back(nullptr);

        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, pipe[1], STDOUT_FILENO);
        // What a damaged file makes a library say is of no use to the user.
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
        const int failed = ::posix_spawn(&FChild, program.constData(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(pipe[1]);
        if (failed != 0) {
            FChild = -1;
            FailToLoadPicture(FPath, QStringLiteral("The picture reader \"%1\" cannot be started: %2")
                                         .arg(QString::fromLocal8Bit(program),
                                              QString::fromLocal8Bit(std::strerror(failed))));
        }
    }

    // Reads exactly `count` bytes before the deadline; false when the
    // helper ended first.
    bool Read(void *data, size_t count)
    {
        char *next = static_cast<char *>(data);
        while (count > 0) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(FDeadline - Clock::now());
            if (left.count() <= 0) {
                FTimedOut = true;
                return false;
            }
            pollfd ready{FOutput, POLLIN, 0};
            const int waited = ::poll(&ready, 1, int(std::min<int64_t>(left.count(), 50)));
            if (waited < 0 && errno != EINTR)
                return false;
            if (waited <= 0) {
                KeepWindowsPainted();
                continue;
            }
            const ssize_t got = ::read(FOutput, next, count);
            if (got < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (got <= 0)
                return false;
            next += got;
            count -= size_t(got);
        }
        return true;
    }

    QString ReadText()
    {
        uint32_t length = 0;
        if (!Read(&length, sizeof length) || length > MaxReaderMessageBytes)
            Fail();
        QByteArray bytes(qsizetype(length), '\0');
        if (!Read(bytes.data(), length))
            Fail();
        return QString::fromUtf8(bytes);
    }

    // Ends the helper if it still runs and collects it; returns its status.
    int Stop()
    {
        if (FChild <= 0)
            return FStatus;
        int status = 0;
        pid_t done = ::waitpid(FChild, &status, WNOHANG);
        if (done == 0) {
            ::kill(FChild, SIGKILL);
            done = ::waitpid(FChild, &status, 0);
        }
        FChild = -1;
        FStatus = done > 0 ? status : 0;
        return FStatus;
    }

    // The helper died or said nothing sensible: why, as far as it shows.
    [[noreturn]] void Fail()
    {
        if (FTimedOut) {
            Stop();
            FailToLoadPicture(FPath, QStringLiteral("Reading it took longer than %1 seconds, so it was stopped. The "
                                                    "file may be damaged.")
                                         .arg(FLimits.WallSeconds));
        }
        // A helper that wrote nothing more may still be running.
        const auto wait = Clock::now() + std::chrono::seconds(1);
        int status = 0;
        while (FChild > 0 && Clock::now() < wait) {
            if (::waitpid(FChild, &status, WNOHANG) == FChild) {
                FChild = -1;
                FStatus = status;
                break;
            }
            ::usleep(10000);
        }
        status = Stop();
        QString reason;
        if (WIFSIGNALED(status) && (WTERMSIG(status) == SIGXCPU || WTERMSIG(status) == SIGKILL))
            reason = QStringLiteral("Reading it took more than %1 seconds of computing, so it was stopped. The file "
                                    "may be damaged.")
                         .arg(FLimits.CpuSeconds);
        else if (WIFSIGNALED(status))
            reason = QStringLiteral("The picture reader stopped on it (%1). The file is damaged or not a picture "
                                    "of its kind.")
                         .arg(QString::fromLocal8Bit(::strsignal(WTERMSIG(status))));
        else if (WIFEXITED(status) && WEXITSTATUS(status) == 127)
            reason = QStringLiteral("The picture reader \"%1\" cannot be run.").arg(PictureReaderPath());
        else
            reason = QStringLiteral("The picture reader ended without an answer; reading it may need more "
                                    "memory than a picture may use (%1 MB).")
                         .arg(FLimits.AddressSpaceBytes >> 20);
        FailToLoadPicture(FPath, reason);
    }

    QString FPath;
    TReaderLimits FLimits;
    Clock::time_point FDeadline;
    pid_t FChild = -1;
    int FOutput = -1;
    int FStatus = 0;
    bool FTimedOut = false;
};

QImage ReadConfined(const QString &path, int kind, TAlpha alpha, const TReaderLimits &limits,
                    int scaleDenominator = 1)
{
    CheckFile(path, kind);
    THelper helper(path, kind, alpha, scaleDenominator, limits);
    return helper.Answer();
}

} // namespace

const TReaderLimits &DefaultReaderLimits()
{
    static const TReaderLimits limits;
    return limits;
}

QImage ReadPictureConfined(const QString &path, TPictureType type, const TReaderLimits &limits, TAlpha alpha)
{
    return ReadConfined(path, int(type), alpha, limits);
}

QImage ReadJpegPictureConfined(const QString &path, int scaleDenominator, const TReaderLimits &limits)
{
    return ReadConfined(path, int(TPictureType::Jpeg), TAlpha::Ignored, limits, scaleDenominator);
}

QImage ReadQtPictureConfined(const QString &path, const TReaderLimits &limits)
{
    return ReadConfined(path, int(TPictureType::Unsupported), TAlpha::OnWhite, limits);
}

QString PictureReaderPath()
{
    const QByteArray chosen = qgetenv("TESSALY_PICTURE_READER");
    if (!chosen.isEmpty())
        return QFile::decodeName(chosen);
    const QString name = QStringLiteral("tessaly-picture-reader");
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    const QString beside = QFileInfo(program).absolutePath() + QLatin1Char('/') + name;
    if (!program.isEmpty() && QFileInfo(beside).isExecutable())
        return beside;
    return QStringLiteral(TESSALY_OUTPUT_DIR "/") + name;
}
