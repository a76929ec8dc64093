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
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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

// The file read a piece at a time as libjpeg asks for it, rather than held
// whole: a photo is megabytes, which would be memory touched once and
// thrown away. A read error ends the decode with the system's reason; the
// end of the file in mid-picture is libjpeg's own warning, which loses the
// picture (WarningLosesPicture).
struct TFileSource {
    jpeg_source_mgr Base; // first: libjpeg hands back a pointer to it
    int File = -1;
    JOCTET Buffer[16384];
};

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

boolean FillInputBuffer(j_decompress_ptr info)
{
    static const JOCTET EndOfImage[2] = {0xFF, JPEG_EOI};
    auto &source = *reinterpret_cast<TFileSource *>(info->src);
    ssize_t got;
    do
        got = ::read(source.File, source.Buffer, sizeof source.Buffer);
    while (got < 0 && errno == EINTR);
    if (got < 0)
        FailWith(reinterpret_cast<j_common_ptr>(info), std::strerror(errno));
    if (got == 0) {
        WARNMS(info, JWRN_JPEG_EOF);
        source.Base.next_input_byte = EndOfImage;
        source.Base.bytes_in_buffer = 2;
        return TRUE;
    }
    source.Base.next_input_byte = source.Buffer;
    source.Base.bytes_in_buffer = size_t(got);
    return TRUE;
}

void SkipInputData(j_decompress_ptr info, long count)
{
    jpeg_source_mgr &source = *info->src;
    while (count > 0 && size_t(count) > source.bytes_in_buffer) {
        count -= long(source.bytes_in_buffer);
        source.bytes_in_buffer = 0;
        FillInputBuffer(info);
    }
    if (count > 0) {
        source.next_input_byte += count;
        source.bytes_in_buffer -= size_t(count);
    }
}

void UseFileSource(jpeg_decompress_struct &info, TFileSource &source, int file)
{
    source.File = file;
    source.Base.init_source = InitSource;
    source.Base.fill_input_buffer = FillInputBuffer;
    source.Base.skip_input_data = SkipInputData;
    source.Base.resync_to_restart = jpeg_resync_to_restart;
    source.Base.term_source = TermSource;
    source.Base.bytes_in_buffer = 0;
    source.Base.next_input_byte = nullptr;
    info.src = &source.Base;
}

// Closes the file on every way out of a decode.
struct TFileGuard {
    int File;
    ~TFileGuard()
    {
        if (File >= 0)
            ::close(File);
    }
};

uint8_t MultiplyScaled(unsigned a, unsigned b)
{
    return uint8_t((a * b + 127) / 255);
}

// CMYK (libjpeg's output for CMYK and YCCK files) to blue-green-red, in
// place. Adobe's applications store the inks inverted (255 = no ink) and
// mark their files with an Adobe segment; other writers store them plainly.
void ConvertCmykRow(TPixel *row, int32_t width, bool inverted, uint8_t alpha)
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
                        MultiplyScaled(cyan, black), alpha};
    }
}

// libjpeg-turbo fills the fourth byte of its BGRX output; it becomes the
// alpha the caller asked for.
void SetAlpha(TPixel *row, int32_t width, uint8_t alpha)
{
    // As words, which the compiler turns into a few vector instructions.
    using TPixelWord = uint32_t __attribute__((may_alias));
    auto *words = reinterpret_cast<TPixelWord *>(row);
    const uint32_t bits = uint32_t(alpha) << 24;
    for (int32_t x = 0; x < width; ++x)
        words[x] = (words[x] & 0x00FFFFFFu) | bits;
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
    const TFileGuard file{::open(fileName.c_str(), O_RDONLY | O_CLOEXEC)};
    if (file.File < 0)
        throw EFOpenError(fileName, errno);
    struct stat status{};
    if (::fstat(file.File, &status) == 0 && S_ISREG(status.st_mode) && status.st_size == 0)
        throw EJpegError(DescribeFailure(fileName, "The file is empty"));
    Decode(nullptr, 0, file.File, fileName, image);
}

void TJpegDecoder::ReadImageMemory(const uint8_t *data, size_t size, const std::string &name,
                                   TBitmapImage &image)
{
    if (size == 0)
        throw EJpegError(DescribeFailure(name, "The file is empty"));
    Decode(data, size, -1, name, image);
}

void TJpegDecoder::Decode(const uint8_t *data, size_t size, int file, const std::string &name, TBitmapImage &image)
{
    if (ScaleDenominator != 1 && ScaleDenominator != 2 && ScaleDenominator != 4
        && ScaleDenominator != 8)
        throw EJpegError("JPEG scale must be 1, 2, 4 or 8");

    // Nothing with a destructor may be created between setjmp and the end
    // of the decode except what the guard and the image already own.
    jpeg_decompress_struct info{};
    TErrorManager errors{};
    TDecompressGuard guard{&info};
    jpeg_progress_mgr progress{};
    progress.progress_monitor = MonitorProgress;
    TBitmapImage band; // rows on their way to a turned picture
    TFileSource source;

    info.err = jpeg_std_error(&errors.Base);
    errors.Base.error_exit = ErrorExit;
    errors.Base.emit_message = EmitMessage;
    if (setjmp(errors.Jump))
        throw EJpegError(DescribeFailure(name, errors.Message));

    jpeg_create_decompress(&info);
    info.progress = &progress;
    if (file >= 0)
        UseFileSource(info, source, file);
    else
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
    const int orientation = HonourExifOrientation ? Orientation : 1;
    // A picture turned by a quarter is put upright band by band as it is
    // decoded, rather than decoded whole and then copied turned: each band
    // row lands in a column of the upright picture (orientation.h). Any
    // other picture has its rows decoded straight into the upright row they
    // belong in, mirrored there while still in the cache.
    const bool turnRows = IsTransposingOrientation(orientation);
    const bool mirrorRows = MirrorsRows(orientation);
    const uint8_t alpha = OpaqueAlpha ? 255 : 0;
    constexpr int32_t RowsPerCall = 16;
    constexpr int32_t BandRows = 64;
    if (turnRows) {
        image.SetSize(height, width);
        band.SetSize(width, BandRows);
    } else {
        image.SetSize(width, height);
    }
    int32_t bandFirst = 0; // the stored row the band starts with
    const auto target = [&](int32_t storedRow) {
        return turnRows ? &band.At(0, storedRow - bandFirst) : &image.At(0, UprightRowOf(orientation, storedRow, height));
    };

    // Rows are decoded straight into pixels, which have the layout of
    // libjpeg-turbo's BGRX output.
    // The picture's pages are asked for ahead of the rows that fill them,
    // as rows arrive, so a damaged file costs at most a band. A turned
    // picture is written across all its pages from the first band on, so
    // its pages are asked for once that band has decoded.
    JSAMPROW rows[RowsPerCall];
    int32_t preparedEnd = 0;   // stored rows of an unturned picture whose pages are provided
    while (info.output_scanline < info.output_height) {
        const auto first = int32_t(info.output_scanline);
        const int32_t wanted = turnRows ? std::min({RowsPerCall, height - first, bandFirst + BandRows - first})
                                        : std::min(RowsPerCall, height - first);
        if (!turnRows && first + wanted > preparedEnd) {
            const int32_t end = std::min(height, first + BandRows);
            const int32_t top = std::min(UprightRowOf(orientation, first, height), UprightRowOf(orientation, end - 1, height));
            PreparePages(&image.At(0, top), size_t(end - first) * size_t(width) * sizeof(TPixel));
            preparedEnd = end;
        }
        for (int32_t i = 0; i < wanted; ++i)
            rows[i] = reinterpret_cast<JSAMPROW>(target(first + i));
        const auto read = int32_t(jpeg_read_scanlines(&info, rows, JDIMENSION(wanted)));
        for (int32_t i = 0; i < read; ++i) {
            TPixel *row = reinterpret_cast<TPixel *>(rows[i]);
            if (cmyk)
                ConvertCmykRow(row, width, info.saw_Adobe_marker, alpha);
            else
                SetAlpha(row, width, alpha);
            if (mirrorRows)
                std::reverse(row, row + width);
        }
        const int32_t next = first + read;
        if (turnRows && (next == bandFirst + BandRows || next == height)) {
            if (bandFirst == 0)
                PreparePages(image.Pixels.data(), image.Pixels.size() * sizeof(TPixel));
            PlaceRowsUpright(&band.At(0, 0), bandFirst, next - bandFirst, width, height, orientation, image);
            bandFirst = next;
        }
        ReportProgress(1, 1, DecodeDescription, uint32_t(int64_t(next) * 100 / height));
    }
    jpeg_finish_decompress(&info);
}
