#include "imaging/jpegdecoder.h"

#include "imaging/pages.h"

#include "imaging/exiforientation.h"
#include "imaging/fileerrors.h"
#include "imaging/orientation.h"

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <jpeglib.h>
#include <jerror.h>

namespace {

const char *const DecodeDescription = "JPEG Decode";

// libjpeg calls error_exit when it cannot go on and must not get control
// back; the manager carries the place to jump to and the message, since
// nothing may be thrown through libjpeg's own (C) frames.
struct TErrorManager {
    jpeg_error_mgr Base; // first: libjpeg hands back a pointer to it
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

TErrorManager &ManagerOf(j_common_ptr info)
{
    return *reinterpret_cast<TErrorManager *>(info->err);
}

[[noreturn]] void FailWith(j_common_ptr info, const char *message)
{
    TErrorManager &manager = ManagerOf(info);
    std::snprintf(manager.Message, sizeof manager.Message, "%s", message);
    std::longjmp(manager.Jump, 1);
}

[[noreturn]] void ErrorExit(j_common_ptr info)
{
    TErrorManager &manager = ManagerOf(info);
    (*info->err->format_message)(info, manager.Message);
    std::longjmp(manager.Jump, 1);
}

// Warnings after which the picture is not the file's picture: libjpeg
// would go on with grey rows or garbled blocks. Quirks that lose nothing
// (stray bytes between markers, an unknown JFIF version) stay warnings.
bool WarningLosesPicture(int code)
{
    switch (code) {
    case JWRN_JPEG_EOF:          // the file ends before the picture does
    case JWRN_HIT_MARKER:        // a scan's data stops short
    case JWRN_HUFF_BAD_CODE:     // damaged entropy-coded data
    case JWRN_MUST_RESYNC:       // a restart marker missing or out of order
    case JWRN_BOGUS_PROGRESSION: // scans that contradict each other
        return true;
    default:
        return false;
    }
}

void EmitMessage(j_common_ptr info, int level)
{
    if (level >= 0)
        return; // trace output
    if (WarningLosesPicture(info->err->msg_code))
        ErrorExit(info);
    info->err->num_warnings++;
}

// Called by libjpeg between passes and scans: bounds the work a file can ask for.
void MonitorProgress(j_common_ptr info)
{
    auto *decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (decompress->input_scan_number > TJpegDecoder::MaxScanCount)
        FailWith(info, "Too many scans in a progressive JPEG");
}

// Releases libjpeg's memory on every way out of a decode, a longjmp into
// the reader, a thrown abort or a normal return. A decoder that was never
// created is zero-filled, and destroying it does nothing.
struct TDecompressGuard {
    jpeg_decompress_struct *Info;
    ~TDecompressGuard() { jpeg_destroy_decompress(Info); }
};

uint8_t MultiplyScaled(unsigned a, unsigned b)
{
    return uint8_t((a * b + 127) / 255);
}

// CMYK (libjpeg's output for CMYK and YCCK files) to blue-green-red, in
// place. Adobe's applications store the inks inverted (255 = no ink) and
// mark their files with an Adobe segment; other writers store them plainly.
void ConvertCmykRow(TPixel *row, int32_t width, bool inverted)
{
    for (int32_t x = 0; x < width; ++x) {
        uint8_t *bytes = reinterpret_cast<uint8_t *>(row + x);
        unsigned cyan = bytes[0], magenta = bytes[1], yellow = bytes[2], black = bytes[3];
        if (!inverted) {
            cyan = 255 - cyan;
            magenta = 255 - magenta;
            yellow = 255 - yellow;
            black = 255 - black;
        }
        row[x] = TPixel{MultiplyScaled(yellow, black), MultiplyScaled(magenta, black),
                        MultiplyScaled(cyan, black), 0};
    }
}

// libjpeg-turbo fills the fourth byte of its BGRX output; our pixels carry
// no alpha from a JPEG.
void ClearAlpha(TPixel *row, int32_t width)
{
    for (int32_t x = 0; x < width; ++x)
        row[x].Alpha = 0;
}

std::string DescribeFailure(const std::string &name, const char *reason)
{
    return "Cannot read JPEG file \"" + name + "\". " + reason;
}

} // namespace

void TJpegDecoder::ReadImageFile(const std::string &fileName, TBitmapImage &image)
{
    std::error_code ignored;
    if (std::filesystem::is_directory(fileName, ignored))
        throw EFOpenError(fileName, EISDIR);
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        throw EFOpenError(fileName);
    // The whole file in one read where its size is known (a photo is
    // megabytes); a stream that cannot tell its size is read to its end.
    std::vector<uint8_t> bytes;
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    file.seekg(0, std::ios::beg);
    if (size > 0 && file) {
        bytes.resize(size_t(size));
        file.read(reinterpret_cast<char *>(bytes.data()), size);
        bytes.resize(size_t(file.gcount()));
    } else {
        file.clear();
        bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    if (file.bad())
        throw EFOpenError(fileName, EIO);
    ReadImageMemory(bytes.data(), bytes.size(), fileName, image);
}

void TJpegDecoder::ReadImageMemory(const uint8_t *data, size_t size, const std::string &name,
                                   TBitmapImage &image)
{
    if (ScaleDenominator != 1 && ScaleDenominator != 2 && ScaleDenominator != 4
        && ScaleDenominator != 8)
        throw EJpegError("JPEG scale must be 1, 2, 4 or 8");
    if (size == 0)
        throw EJpegError(DescribeFailure(name, "The file is empty"));

    // Nothing with a destructor may be created between setjmp and the end
    // of the decode except what the guard and the image already own.
    jpeg_decompress_struct info{};
    TErrorManager errors{};
    TDecompressGuard guard{&info};
    jpeg_progress_mgr progress{};
    progress.progress_monitor = MonitorProgress;
    TBitmapImage band; // rows on their way to a turned picture

    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = ErrorExit;
    errors.Base.emit_message = EmitMessage;
    if (setjmp(errors.Jump))
        throw EJpegError(DescribeFailure(name, errors.Message));

    jpeg_create_decompress(&info);
    info.progress = &progress;
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    jpeg_save_markers(&info, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&info, TRUE);
    Orientation = 1;
    for (jpeg_saved_marker_ptr marker = info.marker_list; marker; marker = marker->next)
        if (marker->marker == JPEG_APP0 + 1) {
            Orientation = ReadExifOrientation(marker->data, marker->data_length);
            if (Orientation != 1)
                break;
        }

    if (int64_t(info.image_width) * int64_t(info.image_height) > MaxPixelCount)
        FailWith(reinterpret_cast<j_common_ptr>(&info), "The picture is too large");
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_BGRX;
    info.scale_num = 1;
    info.scale_denom = unsigned(ScaleDenominator);
    jpeg_start_decompress(&info);
    if (info.output_components != 4)
        FailWith(reinterpret_cast<j_common_ptr>(&info), "Unsupported colour layout");

    const auto width = int32_t(info.output_width);
    const auto height = int32_t(info.output_height);
    // A picture turned by a quarter is put upright band by band as it is
    // decoded, rather than decoded whole and then copied turned. Each band
    // row lands in a column of the upright picture; a tall band writes a
    // longer run into each upright row it touches, which spares the memory
    // system most of the scattered writes.
    const bool turnRows = HonourExifOrientation && IsTransposingOrientation(Orientation);
    constexpr int32_t RowsPerCall = 16;
    constexpr int32_t BandRows = 128;
    if (turnRows) {
        image.SetSize(height, width);
        band.SetSize(width, BandRows);
    } else {
        image.SetSize(width, height);
    }

    // Rows are decoded straight into pixels, which have the layout of
    // libjpeg-turbo's BGRX output.
    // The picture's pages are asked for ahead of the rows that fill them,
    // as rows arrive, so a damaged file costs at most a band. A turned
    // picture is written across all its pages from the first band on, so
    // its pages are asked for once that band has decoded.
    JSAMPROW rows[RowsPerCall];
    int32_t bandFirst = 0;     // the stored row the band starts with
    int32_t preparedEnd = 0;   // rows of an upright-decoded picture whose pages are provided
    while (info.output_scanline < info.output_height) {
        const auto first = int32_t(info.output_scanline);
        const int32_t wanted = turnRows ? std::min({RowsPerCall, height - first, bandFirst + BandRows - first})
                                        : std::min(RowsPerCall, height - first);
        if (!turnRows && first + wanted > preparedEnd) {
            const int32_t end = std::min(height, first + BandRows);
            PreparePages(&image.At(0, first), size_t(end - first) * size_t(width) * sizeof(TPixel));
            preparedEnd = end;
        }
        TPixel *target = turnRows ? &band.At(0, first - bandFirst) : &image.At(0, first);
        for (int32_t i = 0; i < wanted; ++i)
            rows[i] = reinterpret_cast<JSAMPROW>(target + size_t(i) * size_t(width));
        const auto read = int32_t(jpeg_read_scanlines(&info, rows, JDIMENSION(wanted)));
        for (int32_t i = 0; i < read; ++i) {
            TPixel *row = target + size_t(i) * size_t(width);
            if (cmyk)
                ConvertCmykRow(row, width, info.saw_Adobe_marker);
            else
                ClearAlpha(row, width);
        }
        const int32_t next = first + read;
        if (turnRows && (next == bandFirst + BandRows || next == height)) {
            if (bandFirst == 0)
                PreparePages(image.Pixels.data(), image.Pixels.size() * sizeof(TPixel));
            PlaceRowsUpright(&band.At(0, 0), bandFirst, next - bandFirst, width, height, Orientation, image);
            bandFirst = next;
        }
        ReportProgress(1, 1, DecodeDescription, uint32_t(int64_t(next) * 100 / height));
    }
    jpeg_finish_decompress(&info);
    if (HonourExifOrientation && !turnRows)
        ApplyOrientation(image, Orientation);
}
