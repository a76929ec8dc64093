#include "imaging/exiforientation.h"

#include <cstring>

#include <libexif/exif-data.h>
#include <libexif/exif-utils.h>

namespace {

// Releases libexif's data on every return.
struct TExifDataRef {
    ExifData *Data;
    ~TExifDataRef()
    {
        if (Data)
            exif_data_unref(Data);
    }
};

} // namespace

int ReadExifOrientation(const uint8_t *data, size_t size)
{
    static const uint8_t ExifHeader[6] = {'E', 'x', 'i', 'f', 0, 0};
    if (size < sizeof ExifHeader || std::memcmp(data, ExifHeader, sizeof ExifHeader) != 0)
        return 1;
    TExifDataRef exif{exif_data_new()};
    if (!exif.Data)
        return 1;
    // Only the main picture's tags are wanted: maker notes are skipped, and
    // libexif is kept from "fixing" the data it loads.
    exif_data_set_option(exif.Data, EXIF_DATA_OPTION_IGNORE_UNKNOWN_TAGS);
    exif_data_unset_option(exif.Data, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(exif.Data, data, unsigned(size));
    ExifEntry *entry = exif_content_get_entry(exif.Data->ifd[EXIF_IFD_0], EXIF_TAG_ORIENTATION);
    if (!entry || entry->format != EXIF_FORMAT_SHORT || entry->components < 1 || entry->size < 2)
        return 1;
    const int orientation = exif_get_short(entry->data, exif_data_get_byte_order(exif.Data));
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
}
