// Windows metafiles (libwmf) and enhanced metafiles (libemf2svg): each
// library turns the file into SVG, which Qt SVG draws on a white 24-bit
// picture at the metafile's own pixel size.
#include "pictures/picture_file.h"
#include "report/length.h"

#include <QFile>
#include <QPainter>
#include <QSvgRenderer>

#include <cmath>
#include <cstdlib>
#include <memory>

#include <emf2svg.h>
#include <libwmf/api.h>
#include <libwmf/svg.h>

namespace {

// No metafile is drawn larger than the largest picture any reader accepts.
constexpr qint64 MaxMetafilePixels = MaxPicturePixels;

QByteArray ReadWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        FailToLoadPicture(path, file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        FailToLoadPicture(path, file.errorString());
    if (bytes.isEmpty())
        FailToLoadPicture(path, QStringLiteral("The file is empty"));
    return bytes;
}

QImage DrawSvg(const QString &path, const QByteArray &svg, QSize size)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        FailToLoadPicture(path, QStringLiteral("The metafile cannot be drawn"));
    if (size.isEmpty())
        size = renderer.defaultSize();
    if (size.isEmpty())
        FailToLoadPicture(path, QStringLiteral("The metafile has no size"));
    CheckPictureSize(path, size);
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull())
        FailToLoadPicture(path, QStringLiteral("Not enough memory for the picture, which would be %1 x %2 pixels")
                                    .arg(size.width())
                                    .arg(size.height()));
    picture.fill(Qt::white);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return picture;
}

QString WmfReason(wmf_error_t error)
{
    switch (error) {
    case wmf_E_InsMem: return QStringLiteral("Not enough memory");
    case wmf_E_EOF: return QStringLiteral("The metafile ends too early");
    case wmf_E_BadFormat: return QStringLiteral("Not a Windows metafile, or a damaged one");
    default: return QStringLiteral("The metafile cannot be read (error %1)").arg(int(error));
    }
}

// libwmf's player and its SVG output stream, released on every path. libwmf
// keeps track of everything it allocated (the stream's buffer included) and
// frees it all in wmf_api_destroy.
struct TWmfSession {
    wmfAPI *Api = nullptr;
    wmfStream *Out = nullptr;
    bool MemoryOpen = false;
    ~TWmfSession()
    {
        if (!Api)
            return;
        if (Out) {
            char *buffer = nullptr;
            unsigned long length = 0;
            wmf_stream_destroy(Api, Out, &buffer, &length);
        }
        if (MemoryOpen)
            wmf_mem_close(Api);
        wmf_api_destroy(Api);
    }
};

} // namespace

QImage ReadWmfPicture(const QString &path)
{
    QByteArray bytes = ReadWholeFile(path);
    TWmfSession session;
    wmfAPI_Options options{};
    options.function = wmf_svg_function;
    const unsigned long flags = WMF_OPT_FUNCTION | WMF_OPT_IGNORE_NONFATAL | WMF_OPT_NO_ERROR
                                | WMF_OPT_NO_DEBUG;
    wmf_error_t error = wmf_api_create(&session.Api, flags, &options);
    if (error != wmf_E_None || !session.Api)
        FailToLoadPicture(path, WmfReason(error));

    wmf_svg_t *device = WMF_SVG_GetData(session.Api);
    device->out = session.Out = wmf_stream_create(session.Api, nullptr); // to memory
    device->Description = const_cast<char *>("Tessaly");
    error = wmf_mem_open(session.Api, reinterpret_cast<unsigned char *>(bytes.data()), long(bytes.size()));
    if (error != wmf_E_None)
        FailToLoadPicture(path, WmfReason(error));
    session.MemoryOpen = true;

    wmfD_Rect bounds{};
    if ((error = wmf_scan(session.Api, 0, &bounds)) != wmf_E_None)
        FailToLoadPicture(path, WmfReason(error));
    // Measured as on a standard screen: one pixel to 1/96 inch, a card pixel.
    unsigned int width = 0, height = 0;
    if ((error = wmf_display_size(session.Api, &width, &height, TLength::CardPixelsPerInch,
                                  TLength::CardPixelsPerInch)) != wmf_E_None)
        FailToLoadPicture(path, WmfReason(error));
    if (width == 0 || height == 0 || qint64(width) * height > MaxMetafilePixels)
        FailToLoadPicture(path, QStringLiteral("The metafile has no usable size"));
    device->bbox = bounds;
    device->width = width;
    device->height = height;
    if ((error = wmf_play(session.Api, 0, &bounds)) != wmf_E_None)
        FailToLoadPicture(path, WmfReason(error));

    char *svg = nullptr;
    unsigned long svgLength = 0;
    wmf_stream_destroy(session.Api, session.Out, &svg, &svgLength);
    session.Out = nullptr;
    const QByteArray document(svg, qsizetype(svgLength)); // svg is libwmf's
    return DrawSvg(path, document, QSize(int(width), int(height)));
}

QImage ReadEmfPicture(const QString &path)
{
    QByteArray bytes = ReadWholeFile(path);
    // The header record (EMR_HEADER, type 1) with its device bounds; an
    // enhanced metafile is at least that long.
    if (bytes.size() < 88 || bytes.at(0) != 1 || bytes.mid(40, 4) != QByteArrayLiteral(" EMF"))
        FailToLoadPicture(path, QStringLiteral("Not an enhanced metafile"));

    generatorOptions options{};
    options.nameSpace = const_cast<char *>("");
    options.svgDelimiter = true;
    options.emfplus = true;
    char *svg = nullptr;
    size_t svgLength = 0;
    const int ok = emf2svg(bytes.data(), size_t(bytes.size()), &svg, &svgLength, &options);
    const std::unique_ptr<char, decltype(&std::free)> owned(svg, &std::free);
    if (!ok || !svg || svgLength == 0)
        FailToLoadPicture(path, QStringLiteral("The enhanced metafile is damaged"));
    return DrawSvg(path, QByteArray(svg, qsizetype(svgLength)), QSize());
}
