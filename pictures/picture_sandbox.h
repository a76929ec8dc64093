#pragma once
// Pictures read by readers the program did not write (libjpeg, Qt's image
// readers, libwmf, libemf2svg) are decoded in a helper process,
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
    // CPU time the helper may spend, start-up included.
    int CpuSeconds = 4;
    // Time the program waits for the answer at most; a reader blocked on
    // something (a FIFO swapped in for the file) uses no CPU at all.
    int WallSeconds = 8;
    // The helper's whole address space: its libraries, the file's bytes,
    // the reader's work and the finished picture.
    int64_t AddressSpaceBytes = int64_t(512) << 20;
    // The largest picture handed back.
    int64_t MaxPixels = int64_t(1) << 26;
};

// The limits the program's readers run under.
const TReaderLimits &DefaultReaderLimits();

// The picture in `path` read by the reader of `type` in the helper.
// Raises EPictureError naming the file when the reader refuses it, was
// stopped by a limit or ended abnormally, or the helper cannot be started.
QImage ReadPictureConfined(const QString &path, TPictureType type,
                           const TReaderLimits &limits = DefaultReaderLimits());

// Any other format Qt's image readers know (a PNG, say), read the same way.
QImage ReadQtPictureConfined(const QString &path, const TReaderLimits &limits = DefaultReaderLimits());

// Where the helper is looked for: the TESSALY_PICTURE_READER environment
// variable when set, beside the running program, and else where the build
// puts it.
QString PictureReaderPath();
