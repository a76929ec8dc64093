// Feeds arbitrary bytes, as a file, to the readers of PNG, GIF, TIFF, WebP
// and HEIF: the first byte chooses the reader, the rest is the file. A file
// may be read (opaque, within the size limit) or refused with
// EPictureError; anything else (another exception, a sanitizer report, a
// picture beyond the limit) is a finding.

#include "pictures/picture_file.h"

#include <QCoreApplication>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {

QString FilePath()
{
    static const QString path = QStringLiteral("/tmp/tessaly-picture-fuzz-%1").arg(getpid());
    return path;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // Qt finds its image format plugins through the application.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static constexpr TPictureType types[] = {TPictureType::Png, TPictureType::Gif, TPictureType::Tiff,
                                             TPictureType::WebP, TPictureType::Heif};
    const TPictureType type = types[data[0] % 5];
    {
        QFile file(FilePath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char *>(data + 1), qint64(size - 1));
    }
    try {
        const QImage picture = type == TPictureType::Heif ? ReadHeifPicture(FilePath()) : ReadQtPicture(FilePath(), type);
        if (picture.hasAlphaChannel() || qint64(picture.width()) * picture.height() > MaxPicturePixels)
            __builtin_trap();
    } catch (const EPictureError &) {
    }
    return 0;
}
