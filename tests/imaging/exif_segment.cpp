#include "tests/imaging/exif_segment.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

#include <libexif/exif-data.h>
#include <libexif/exif-utils.h>

std::vector<uint8_t> ExifSegment(int orientation, ExifByteOrder order)
{
    ExifData *exif = exif_data_new();
    exif_data_set_byte_order(exif, order);
    ExifEntry *entry = exif_entry_new();
    exif_content_add_entry(exif->ifd[EXIF_IFD_0], entry);
    exif_entry_initialize(entry, EXIF_TAG_ORIENTATION);
    exif_set_short(entry->data, order, ExifShort(orientation));
    unsigned char *bytes = nullptr;
    unsigned int size = 0;
    exif_data_save_data(exif, &bytes, &size);
    std::vector<uint8_t> segment(bytes, bytes + size);
    std::free(bytes);
    exif_entry_unref(entry);
    exif_data_unref(exif);
    return segment;
}

std::vector<uint8_t> WithSegment(const std::vector<uint8_t> &jpeg, const std::vector<uint8_t> &segment)
{
    const size_t length = segment.size() + 2;
    std::vector<uint8_t> out(jpeg.size() + length + 2);
    const uint8_t marker[6] = {jpeg[0], jpeg[1], 0xFF, 0xE1, uint8_t(length >> 8), uint8_t(length)};
    auto at = std::copy(std::begin(marker), std::end(marker), out.begin());
    at = std::copy(segment.begin(), segment.end(), at);
    std::copy(jpeg.begin() + 2, jpeg.end(), at);
    return out;
}
