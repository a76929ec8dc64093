#include "imaging/bmprowreader.h"

#include "imaging/bmpdecodestate.h"
#include "imaging/fileerrors.h"
#include "imaging/pages.h"

#include <cerrno>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

TBmpRowReader::TBmpRowReader(const std::string &fileName) : FFileName(fileName)
{
    // O_NONBLOCK: a FIFO must not block the open; it is refused below.
    FFile = ::open(fileName.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (FFile < 0)
        throw EFOpenError(fileName, errno);
    struct stat info;
    if (::fstat(FFile, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(FFile);
        throw EFOpenError(fileName, std::string("It is not a regular file."));
    }
    FFileSize = uint64_t(info.st_size);
}

TBmpRowReader::~TBmpRowReader()
{
    ::close(FFile);
}

size_t TBmpRowReader::ReadAt(uint64_t offset, uint8_t *into, size_t count) const
{
    size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(FFile, into + done, count - done, off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw EReadError(FFileName, errno);
        if (got == 0)
            break;
        done += size_t(got);
    }
    return done;
}

std::string TBmpRowReader::ReadHead(size_t count) const
{
    std::string head(size_t(std::min<uint64_t>(count, FFileSize)), '\0');
    head.resize(ReadAt(0, reinterpret_cast<uint8_t *>(head.data()), head.size()));
    return head;
}

void TBmpRowReader::SetLayout(const TBmpRowLayout &layout, const std::array<TBmpColor, 256> &colorMap,
                              uint32_t pixelDataOffset, int32_t rows, bool topDown)
{
    FColorMap = colorMap;
    FLayout = layout;
    FLayout.ColorMap = &FColorMap;
    FPixelDataOffset = pixelDataOffset;
    FRows = rows;
    FTopDown = topDown;
}

const TPixel *TBmpRowReader::Rows(int32_t first, int32_t count, TRowScratch &scratch) const
{
    const uint64_t rowBytes = FLayout.PaddedRowBytes();
    const size_t bytes = size_t(rowBytes) * size_t(count);
    if (scratch.Bytes.size() < bytes)
        ResizePrepared(scratch.Bytes, bytes);
    const size_t pixels = size_t(FLayout.Width) * size_t(count);
    if (scratch.Pixels.size() < pixels)
        ResizePrepared(scratch.Pixels, pixels);

    // Bottom-up files hold the strip's rows in the opposite order.
    const uint64_t fileRow = FTopDown ? uint64_t(first) : uint64_t(FRows - first - count);
    if (ReadAt(FPixelDataOffset + fileRow * rowBytes, scratch.Bytes.data(), bytes) < bytes)
        throw EBmpError(FLayout.BitCount == 24 ? "Premature EOF in image data" : "Premature End of Stream");
    for (int32_t i = 0; i < count; ++i) {
        const size_t stored = size_t(FTopDown ? i : count - 1 - i);
        ConvertBmpRow(FLayout, scratch.Bytes.data() + stored * rowBytes,
                      scratch.Pixels.data() + size_t(i) * size_t(FLayout.Width));
    }
    return scratch.Pixels.data();
}

// ---- TBmpDecoder::OpenRows ----

namespace {

// Room for the headers, bit-field masks and colour table of any file the
// reader takes; a file whose pixels start later is decoded the usual way.
constexpr size_t HeadBytes = 65536;

} // namespace

std::unique_ptr<TPixelRowSource> TBmpDecoder::OpenRows(const std::string &fileName)
{
    if (ProgressFunction)
        return nullptr;
    try {
        auto reader = std::make_unique<TBmpRowReader>(fileName);
        std::istringstream head(reader->ReadHead(HeadBytes));
        TBitmapImage unused;
        DecodeState state{head, unused};
        ReadHeaders(state);
        CheckSize(state);
        const bool packed = state.BitCount == 1 || state.BitCount == 2 || state.BitCount == 4 || state.BitCount == 8;
        const bool rows = state.BitCount == 16 || state.BitCount == 24 || state.BitCount == 32
                          || (packed && state.Compression == bmp::CompressionNone);
        if (!rows || state.PixelTotal == 0 || state.Consumed > state.PixelDataOffset)
            return nullptr;
        const TBmpRowLayout layout = RowLayout(state);
        if (state.PixelDataOffset + uint64_t(state.Rows()) * layout.PaddedRowBytes() > reader->FileSize())
            return nullptr;
        reader->SetLayout(layout, ColorMap, state.PixelDataOffset, int32_t(state.Rows()), state.Height < 0);
        return reader;
    } catch (...) {
        return nullptr;
    }
}
