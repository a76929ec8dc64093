// HEIF and HEIC files (the photos of phones) through libheif, with its
// H.265 decoder. libheif turns the picture by the file's own
// transformations (the rotation and mirror properties, and a crop) while
// decoding; the Exif orientation that phones also write describes the
// same turn again, and the HEIF standard says readers go by the
// transformations alone, so it is not applied a second time.
#include "pictures/bitmap_qimage.h"
#include "pictures/picture_file.h"

#include <QFile>

#include <libheif/heif.h>

#include <cstring>
#include <memory>

namespace {

struct TContextRelease {
    void operator()(heif_context *context) const { heif_context_free(context); }
};
struct THandleRelease {
    void operator()(const heif_image_handle *handle) const { heif_image_handle_release(handle); }
};
struct TImageRelease {
    void operator()(const heif_image *image) const { heif_image_release(image); }
};
struct TOptionsRelease {
    void operator()(heif_decoding_options *options) const { heif_decoding_options_free(options); }
};

// libheif's message, and for a cut or damaged file the reason a user
// understands first.
QString HeifReason(const heif_error &error)
{
    const QString detail = QString::fromUtf8(error.message ? error.message : "");
    switch (error.code) {
    case heif_error_Invalid_input:
        if (error.subcode == heif_suberror_End_of_data)
            return QStringLiteral("damaged: the file ends too early (%1)").arg(detail);
        if (error.subcode == heif_suberror_No_ftyp_box)
            return QStringLiteral("not a picture this program can read (%1)").arg(detail);
        return QStringLiteral("damaged: %1").arg(detail);
    case heif_error_Unsupported_filetype:
    case heif_error_Unsupported_feature:
        return QStringLiteral("not a picture this program can read (%1)").arg(detail);
    case heif_error_Memory_allocation_error:
        if (error.subcode == heif_suberror_Security_limit_exceeded)
            return QStringLiteral("too large: %1").arg(detail);
        return QStringLiteral("there is not enough memory for the picture (%1)").arg(detail);
    default:
        return QStringLiteral("damaged: %1").arg(detail);
    }
}

void Check(const QString &path, const heif_error &error)
{
    if (error.code != heif_error_Ok)
        FailToLoadPicture(path, HeifReason(error));
}

} // namespace

QImage ReadHeifPicture(const QString &path)
{
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            FailToLoadPicture(path, file.errorString());
        if (file.size() == 0)
            FailToLoadPicture(path, QStringLiteral("The file is empty"));
    }
    std::unique_ptr<heif_context, TContextRelease> context(heif_context_alloc());
    if (!context)
        throw std::bad_alloc();
    Check(path, heif_context_read_from_file(context.get(), QFile::encodeName(path).constData(), nullptr));

    heif_image_handle *rawHandle = nullptr;
    Check(path, heif_context_get_primary_image_handle(context.get(), &rawHandle));
    std::unique_ptr<const heif_image_handle, THandleRelease> handle(rawHandle);
    // The declared size is known before anything is decoded.
    CheckPictureSize(path, QSize(heif_image_handle_get_width(handle.get()), heif_image_handle_get_height(handle.get())));

    std::unique_ptr<heif_decoding_options, TOptionsRelease> options(heif_decoding_options_alloc());
    options->convert_hdr_to_8bit = 1;
    heif_image *rawImage = nullptr;
    Check(path, heif_decode_image(handle.get(), &rawImage, heif_colorspace_RGB, heif_chroma_interleaved_RGBA,
                                  options.get()));
    std::unique_ptr<const heif_image, TImageRelease> image(rawImage);

    const int width = heif_image_get_width(image.get(), heif_channel_interleaved);
    const int height = heif_image_get_height(image.get(), heif_channel_interleaved);
    CheckPictureSize(path, QSize(width, height));
    int stride = 0;
    const uint8_t *pixels = heif_image_get_plane_readonly(image.get(), heif_channel_interleaved, &stride);
    if (pixels == nullptr || width <= 0 || height <= 0)
        FailToLoadPicture(path, QStringLiteral("damaged: the picture has no pixels"));

    // RGBA bytes in memory order are Qt's RGBA8888. The decoded image lends
    // its pixels for the one conversion to the program's opaque format
    // (a picture with alpha laid on white, as every other picture).
    const QImage lent(pixels, width, height, stride, QImage::Format_RGBA8888);
    if (!heif_image_handle_has_alpha_channel(handle.get()))
        return lent.convertToFormat(QImage::Format_RGB32);
    return OpaqueOnWhite(lent); // a new picture: the lent pixels are not kept
}
