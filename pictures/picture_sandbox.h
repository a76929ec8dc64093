#pragma once
// Pictures read by readers the program did not write (libjpeg, Qt's image
// readers, libheif, libwmf, libemf2svg) are decoded in a helper process,
// tessaly-picture-reader, installed beside the program. The helper runs
// with a CPU-time limit, an address-space limit and a system-call filter
// that refuses every file write, network use and new program, and hands
// back the pixels or the reader's error. A file that makes a reader hang,
// crash, read past its buffer or ask for gigabytes therefore costs the
// program a few seconds at most and ends in a message naming the file;
// the program's own memory and files are out of the reader's reach.

#include "pictures/picture_file.h"

#include <QImage>
#include <QString>

#include <cstdint>

// What a confined reader may use.
struct TReaderLimits {
    // CPU time the helper may spend, start-up included: the largest
    // picture, a 100-megapixel 16-bit PNG, takes about 4.5 s.
    int CpuSeconds = 6;
    // Time the program waits for the answer at most; a reader blocked on
    // something (a FIFO swapped in for the file) uses no CPU at all.
    int WallSeconds = 8;
    // The helper's whole address space: its libraries, the file's bytes,
    // the reader's work and the finished picture. A picture of the most
    // pixels any reader accepts (MaxPicturePixels, 400 MB at four bytes a
    // pixel) must fit, with the copies a reader makes on the way (a 16-bit
    // PNG's eight bytes a pixel, the conversion to opaque pixels); what
    // asks for more is a bomb, stopped here. Only the helper's memory:
    // the program holds the finished picture once.
    int64_t AddressSpaceBytes = int64_t(1536) << 20;
    // The largest picture handed back.
    int64_t MaxPixels = MaxPicturePixels;
};

// What a picture's transparency becomes: laid on white, as the picture
// dialog shows it, or ignored (the alpha bytes dropped), as a card's own
// pictures have it. Only the formats Qt's readers read have a choice;
// the other readers lay theirs on white.
enum class TAlpha { OnWhite, Ignored };

// The limits the program's readers run under.
const TReaderLimits &DefaultReaderLimits();

// The picture in `path` read by the reader of `type` in the helper.
// Raises EPictureError naming the file when the reader refuses it, was
// stopped by a limit or ended abnormally, or the helper cannot be started.
// Unsupported lets Qt's readers tell the format from the contents.
QImage ReadPictureConfined(const QString &path, TPictureType type,
                           const TReaderLimits &limits = DefaultReaderLimits(), TAlpha alpha = TAlpha::OnWhite);

// A JPEG file read in the helper by the program's decoder scaled down by
// `scaleDenominator` (1, 2, 4 or 8) as it decodes: a phone's photo read
// at an eighth takes an eighth of the time and a sixty-fourth of the memory.
QImage ReadJpegPictureConfined(const QString &path, int scaleDenominator,
                               const TReaderLimits &limits = DefaultReaderLimits());

// Any format Qt's image readers know, told from the contents, read the
// same way.
QImage ReadQtPictureConfined(const QString &path, const TReaderLimits &limits = DefaultReaderLimits());

// Where the helper is looked for: the TESSALY_PICTURE_READER environment
// variable when set, beside the running program, and else where the build
// puts it.
QString PictureReaderPath();
