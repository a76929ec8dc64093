// tessaly-picture-reader: reads one picture with a reader the program did
// not write, confined (confine.h), and hands the pixels or the error to the
// program that started it (pictures/picture_sandbox_protocol.h). It is
// started by the program only; its arguments are not meant for a person.

#include "pictures/picture_file.h"
#include "pictures/picture_sandbox.h"
#include "pictures/picture_sandbox_protocol.h"
#include "tools/picture_reader/confine.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImageReader>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <memory>
#include <new>
#include <string>
#include <unistd.h>

namespace {

constexpr int Output = STDOUT_FILENO;

// Everything reaches the pipe, or the helper ends: the program reads a
// short answer as a failure anyway.
void Send(const void *data, size_t count)
{
    const char *next = static_cast<const char *>(data);
    while (count > 0) {
        const ssize_t written = ::write(Output, next, count);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            std::_Exit(3);
        next += written;
        count -= size_t(written);
    }
}

void SendText(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    if (bytes.size() > qsizetype(MaxReaderMessageBytes))
        bytes.truncate(qsizetype(MaxReaderMessageBytes));
    const uint32_t length = uint32_t(bytes.size());
    Send(&length, sizeof length);
    Send(bytes.constData(), length);
}

int SendError(const QString &message, const QString &reason)
{
    Send(ReaderMagic, sizeof ReaderMagic);
    Send(&ReaderError, 1);
    SendText(message);
    SendText(reason);
    return 0;
}

int SendPicture(const QImage &picture)
{
    const QImage pixels = picture.format() == QImage::Format_RGB32 ? picture
                                                                   : picture.convertToFormat(QImage::Format_RGB32);
    Send(ReaderMagic, sizeof ReaderMagic);
    Send(&ReaderPicture, 1);
    const int32_t size[2] = {pixels.width(), pixels.height()};
    Send(size, sizeof size);
    const size_t rowBytes = size_t(pixels.width()) * 4;
    for (int y = 0; y < pixels.height(); ++y)
        Send(pixels.constScanLine(y), rowBytes);
    return 0;
}

template <typename T>
bool Parse(const char *text, T &value)
{
    const char *end = text + std::strlen(text);
    const auto [at, error] = std::from_chars(text, end, value);
    return error == std::errc() && at == end;
}

bool DrawsText(int kind) { return kind == int(TPictureType::Wmf) || kind == int(TPictureType::Emf); }

// The kinds read by Qt's image readers, which may ignore transparency.
bool ReadByQt(int kind)
{
    switch (TPictureType(kind)) {
    case TPictureType::Png:
    case TPictureType::Gif:
    case TPictureType::Tiff:
    case TPictureType::WebP:
    case TPictureType::Unsupported: return true;
    default: return false;
    }
}

QImage ReadHere(const QString &path, int kind, int alpha, int scale)
{
    if (kind == int(TPictureType::Jpeg) && scale > 1) {
        CheckPictureSize(path, DeclaredPictureSize(path, TPictureType::Jpeg));
        return ReadJpegPicture(path, scale);
    }
    if (ReadByQt(kind))
        return ReadQtPicture(path, TPictureType(kind), alpha != int(TAlpha::Ignored));
    return ReadPictureHere(path, TPictureType(kind));
}

// What the readers load on first use is loaded before the confinement:
// Qt's image format plugins and the font configuration.
void LoadWhatReadersNeed(int kind)
{
    if (kind == int(TPictureType::Icon) || ReadByQt(kind))
        QImageReader::supportedImageFormats();
    if (DrawsText(kind)) {
        const QFontMetrics metrics{QFont()};
        metrics.horizontalAdvance(QStringLiteral("Tessaly"));
    }
}

} // namespace

int main(int argc, char **argv)
{
    // Nothing the program holds open is the reader's business.
    ::close_range(3, ~0U, 0);
    int kind = 0, alpha = 0, cpuSeconds = 0, scale = 0;
    int64_t addressSpace = 0, maxPixels = 0;
    if (argc != 8 || !Parse(argv[1], kind) || !Parse(argv[2], alpha) || !Parse(argv[3], cpuSeconds)
        || !Parse(argv[4], addressSpace) || !Parse(argv[5], maxPixels) || !Parse(argv[6], scale) || kind < 0
        || kind > int(TPictureType::Emf) || cpuSeconds <= 0 || addressSpace <= 0 || maxPixels <= 0
        || (scale != 1 && scale != 2 && scale != 4 && scale != 8)) {
        std::fputs("tessaly-picture-reader is started by Tessaly to read one picture; it takes no "
                   "arguments from a person.\n",
                   stderr);
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[7]);
    // One malloc arena: each further thread's arena would take 64 MB of
    // the address space before it held anything.
    ::mallopt(M_ARENA_MAX, 1);
    // Only a metafile's text needs fonts, and so an application; the other
    // readers start faster without one.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::unique_ptr<QGuiApplication> application;
    if (DrawsText(kind))
        application = std::make_unique<QGuiApplication>(argc, argv);
    LoadWhatReadersNeed(kind);

    const std::string confined = ConfineThisProcess({cpuSeconds, addressSpace});
    if (!confined.empty()) {
        const QString reason = QStringLiteral("The picture reader could not be confined (%1), so it was not run.")
                                   .arg(QString::fromStdString(confined));
        return SendError(QStringLiteral("Cannot load the picture \"%1\": %2").arg(path, reason), reason);
    }
    try {
        const QImage picture = ReadHere(path, kind, alpha, scale);
        if (picture.isNull())
            FailToLoadPicture(path, QStringLiteral("The file holds no picture this program reads."));
        if (int64_t(picture.width()) * picture.height() > maxPixels)
            FailToLoadPicture(path, QStringLiteral("The picture has %1 x %2 pixels, more than a card picture may have.")
                                        .arg(picture.width())
                                        .arg(picture.height()));
        return SendPicture(picture);
    } catch (const EPictureError &error) {
        return SendError(QString::fromStdString(error.what()), error.Reason);
    } catch (const std::bad_alloc &) {
        const QString reason = QStringLiteral("Reading it needs more memory than a picture may use.");
        return SendError(QStringLiteral("Cannot load the picture \"%1\": %2").arg(path, reason), reason);
    } catch (const std::exception &error) {
        const QString reason = QString::fromUtf8(error.what());
        return SendError(QStringLiteral("Cannot load the picture \"%1\": %2").arg(path, reason), reason);
    }
}
