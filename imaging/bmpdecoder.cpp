#include "imaging/bmpdecoder.h"

#include "imaging/bmpdecodestate.h"
#include "imaging/bmpmasks.h"
#include "imaging/bmprows.h"
#include "imaging/fileerrors.h"
#include "imaging/pages.h"
#include "imaging/regularfile.h"
#include "imaging/streamreading.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <limits>
#include <vector>


namespace {

constexpr uint16_t BmpSignature = 0x4D42; // "BM"
constexpr size_t FileHeaderSize = 14;
// Room for the info header after its size word; longer headers are read in
// part, the rest skipped (nothing past offset 56 is used).
constexpr size_t HeaderBufferSize = 2048;
// Bit-field masks stored after a 40-byte header.
constexpr size_t MaskBytesSize = 12;

const char *const PrematureEndOfStream = "Premature End of Stream";
const char *const NotABmpImage = "Not a BMP Image";
const char *const InvalidHeaderSize = "Invalid header size";
const char *const UnsupportedBitCount = "Unsupported bit count";
const char *const UnsupportedCompression = "Unsupported Compression";
const char *const PrematureEndOfColorTable = "Premature end of file in color table";
const char *const CorruptFile = "Corrupt File";
const char *const PrematureEofInImageData = "Premature EOF in image data";
const char *const NegativeWidth = "Negative width not allowed";

// Compressions accepted with each bit count of a Windows header.
bool CompressionAccepted(uint32_t bitCount, uint32_t compression)
{
    using namespace bmp;
    switch (bitCount) {
    case 1:
    case 24:
        return compression == CompressionNone;
    case 4:
        return compression == CompressionNone || compression == CompressionRle4;
    case 8:
        return compression == CompressionNone || compression == CompressionRle8;
    case 16:
    case 32:
        return compression == CompressionNone || compression == CompressionBitFields;
    default:
        return false;
    }
}

bool BitCountSupported(uint32_t bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24
        || bitCount == 32;
}

// Palette images declare 2^bits entries unless they say otherwise.
uint32_t DefaultColorCount(uint32_t bitCount)
{
    return bitCount < 16 ? uint32_t(1) << bitCount : 0;
}

} // namespace

void TBmpDecoder::ReadImageFile(const std::string &fileName, TBitmapImage &image)
{
    // A folder, a FIFO or a device is refused before it is opened: a FIFO
    // would block the stream's open until some writer came.
    CheckRegularFile(fileName);
    std::ifstream file(fileName, std::ios::binary);
    if (!file)
        throw EFOpenError(fileName);
    ReadImageStream(file, image);
}

void TBmpDecoder::ReadImageStream(std::istream &stream, TBitmapImage &image)
{
    DecodeState state{stream, image};
    ReadHeaders(state);
    SizeImage(state);

    if (state.Consumed > state.PixelDataOffset)
        throw EBmpError(CorruptFile);
    // A gap that the stream cannot fill is not an error here: the pixel
    // reads that follow report it.
    SkipUpTo(stream, state.PixelDataOffset - state.Consumed);

    DecodePixels(state);
    ReportPosition(state, state.PixelTotal);
}

// The file header, the info header and what follows it up to the pixels:
// masks and colour table.
void TBmpDecoder::ReadHeaders(DecodeState &state)
{
    std::istream &stream = state.Stream;
    uint8_t fileHeader[FileHeaderSize];
    if (ReadUpTo(stream, fileHeader, sizeof fileHeader) < sizeof fileHeader)
        throw EBmpError(PrematureEndOfStream);
    if (LittleEndian16(fileHeader) != BmpSignature)
        throw EBmpError(NotABmpImage);
    state.PixelDataOffset = LittleEndian32(fileHeader + 10);
    state.Consumed = FileHeaderSize;

    uint8_t sizeWord[4];
    if (ReadUpTo(stream, sizeWord, sizeof sizeWord) < sizeof sizeWord)
        throw EBmpError(PrematureEndOfStream);
    state.HeaderSize = LittleEndian32(sizeWord);
    if (state.HeaderSize < 4)
        throw EBmpError(PrematureEndOfStream);

    uint8_t header[HeaderBufferSize] = {};
    const uint64_t headerRest = state.HeaderSize - 4;
    const size_t kept = size_t(std::min<uint64_t>(headerRest, HeaderBufferSize));
    if (ReadUpTo(stream, header, kept) < kept || SkipUpTo(stream, headerRest - kept) < headerRest - kept)
        throw EBmpError(PrematureEndOfStream);
    state.Consumed += state.HeaderSize;

    ColorCount = 0;
    if (state.HeaderSize == bmp::Os2HeaderSize)
        ReadOs2Header(state, header);
    else if (state.HeaderSize >= bmp::WindowsHeaderSize)
        ReadWindowsHeader(state, header);
    else
        throw EBmpError(InvalidHeaderSize);
}

void TBmpDecoder::ReadOs2Header(DecodeState &state, const uint8_t *header)
{
    // Offsets are from the start of the info header; the buffer starts
    // after its 4-byte size word.
    state.Width = LittleEndian16(header + 4 - 4);
    state.Height = LittleEndian16(header + 6 - 4);
    state.BitCount = LittleEndian16(header + 10 - 4);
    state.Compression = bmp::CompressionNone;
    ColorCount = DefaultColorCount(state.BitCount);
    ReadColorTable(state, 3);
}

void TBmpDecoder::ReadWindowsHeader(DecodeState &state, const uint8_t *header)
{
    state.Width = int32_t(LittleEndian32(header + 4 - 4));
    state.Height = int32_t(LittleEndian32(header + 8 - 4));
    state.BitCount = LittleEndian16(header + 14 - 4);
    state.Compression = LittleEndian32(header + 16 - 4);
    const uint32_t colorsUsed = LittleEndian32(header + 32 - 4);
    ColorCount = colorsUsed != 0 ? colorsUsed : DefaultColorCount(state.BitCount);

    if (!BitCountSupported(state.BitCount))
        throw EBmpError(UnsupportedBitCount);
    if (!CompressionAccepted(state.BitCount, state.Compression))
        throw EBmpError(UnsupportedCompression);

    if (state.HeaderSize >= 52) {
        state.RedMask = LittleEndian32(header + 40 - 4);
        state.GreenMask = LittleEndian32(header + 44 - 4);
        state.BlueMask = LittleEndian32(header + 48 - 4);
    } else if (state.Compression == bmp::CompressionBitFields) {
        uint8_t masks[MaskBytesSize];
        if (ReadUpTo(state.Stream, masks, sizeof masks) < sizeof masks)
            throw EBmpError(PrematureEndOfStream);
        state.Consumed += MaskBytesSize;
        state.RedMask = LittleEndian32(masks);
        state.GreenMask = LittleEndian32(masks + 4);
        state.BlueMask = LittleEndian32(masks + 8);
    }
    if (state.HeaderSize >= 108)
        state.AlphaMask = LittleEndian32(header + 52 - 4);

    if (ColorCount != 0)
        ReadColorTable(state, 4);
}

// Reads ColorCount entries of entrySize bytes (3: blue, green, red; 4: and
// a reserved byte). Entries past the 256 that ColorMap holds are read past.
void TBmpDecoder::ReadColorTable(DecodeState &state, unsigned entrySize)
{
    const uint32_t keptEntries = std::min<uint32_t>(ColorCount, uint32_t(ColorMap.size()));
    uint8_t table[256 * 4];
    const size_t wanted = size_t(keptEntries) * entrySize;
    const size_t got = ReadUpTo(state.Stream, table, wanted);
    for (size_t i = 0; i < got / entrySize; ++i) {
        const uint8_t *entry = table + i * entrySize;
        ColorMap[i].Blue = entry[0];
        ColorMap[i].Green = entry[1];
        ColorMap[i].Red = entry[2];
        if (entrySize == 4)
            ColorMap[i].Reserved = entry[3];
    }
    if (got < wanted)
        throw EBmpError(PrematureEndOfColorTable);

    const uint64_t rest = uint64_t(ColorCount - keptEntries) * entrySize;
    if (SkipUpTo(state.Stream, rest) < rest)
        throw EBmpError(PrematureEndOfColorTable);
    state.Consumed += uint64_t(ColorCount) * entrySize;
}

void TBmpDecoder::SizeImage(DecodeState &state)
{
    CheckSize(state);
    state.Image.SetSize(state.Width, int32_t(state.Rows()));
}

// Refuses sizes that cannot be held before anything is allocated.
void TBmpDecoder::CheckSize(DecodeState &state)
{
    if (state.Width < 0)
        throw EBmpError(NegativeWidth);
    const int64_t rows = state.Rows();
    const int64_t total = int64_t(state.Width) * rows;
    if (rows > std::numeric_limits<int32_t>::max() || total > MaxPixelCount) {
        throw EBmpError("Image too large: " + std::to_string(state.Width) + " x "
                        + std::to_string(rows) + " pixels (at most "
                        + std::to_string(MaxPixelCount) + " pixels can be read)");
    }
    state.PixelTotal = total;
}

void TBmpDecoder::DecodePixels(DecodeState &state)
{
    switch (state.BitCount) {
    case 1:
    case 2:
    case 4:
        if (state.Compression == bmp::CompressionNone)
            DecodeUncompressedRows(state);
        else
            DecodeRle4(state);
        break;
    case 8:
        if (state.Compression == bmp::CompressionNone)
            DecodeUncompressedRows(state);
        else
            DecodeRle8(state);
        break;
    case 16:
    case 24:
    case 32:
        DecodeUncompressedRows(state);
        break;
    default:
        // Only an OS/2 header lets other bit counts through; the image
        // stays black.
        break;
    }
}

namespace {

// Reads count bytes into row, growing it only as data arrives, so a header
// that promises huge rows cannot make us allocate more than the stream has.
size_t ReadRow(std::istream &stream, std::vector<uint8_t> &row, size_t count)
{
    constexpr size_t Piece = size_t(1) << 20;
    size_t got = 0;
    while (got < count) {
        const size_t want = std::min(count - got, Piece);
        if (row.size() < got + want)
            row.resize(got + want);
        const size_t arrived = ReadUpTo(stream, row.data() + got, want);
        got += arrived;
        if (arrived < want)
            break;
    }
    return got;
}

} // namespace

void TBmpDecoder::DecodeUncompressedRows(DecodeState &state)
{
    const TBmpRowLayout layout = RowLayout(state);
    if (state.PixelTotal == 0)
        return; // nothing to read, however many empty rows the header names

    const int32_t width = state.Width;
    const int32_t rows = state.Image.Height;
    const size_t paddedRowBytes = size_t(layout.PaddedRowBytes());
    const char *shortRow =
        state.BitCount == 24 ? PrematureEofInImageData : PrematureEndOfStream;

    // The image's pages are asked for a band of rows at a time, as rows
    // arrive: a file that stops early costs at most one band.
    const int32_t band = int32_t(std::max<size_t>(1, (size_t(1) << 18) / (size_t(width) * sizeof(TPixel))));
    int32_t preparedFirst = rows, preparedEnd = rows; // rows whose pages are provided
    std::vector<uint8_t> row;
    for (int32_t i = 0; i < rows; ++i) {
        const int32_t y = state.Height > 0 ? rows - 1 - i : i;
        ReportPosition(state, int64_t(y) * width);
        if (ReadRow(state.Stream, row, paddedRowBytes) < paddedRowBytes)
            throw EBmpError(shortRow);

        TPixel *out = state.Image.Pixels.data() + size_t(y) * size_t(width);
        if (y < preparedFirst || y >= preparedEnd) {
            preparedFirst = state.Height > 0 ? std::max(0, y - band + 1) : y;
            preparedEnd = state.Height > 0 ? y + 1 : std::min(rows, y + band);
            PreparePages(state.Image.Pixels.data() + size_t(preparedFirst) * size_t(width),
                         size_t(preparedEnd - preparedFirst) * size_t(width) * sizeof(TPixel));
        }
        ConvertBmpRow(layout, row.data(), out);
    }
}

TBmpRowLayout TBmpDecoder::RowLayout(const DecodeState &state) const
{
    TBmpRowLayout layout;
    layout.Width = state.Width;
    layout.BitCount = state.BitCount;
    layout.ColorMap = &ColorMap;
    if (state.BitCount == 16 || state.BitCount == 32) {
        layout.Masks = TBmpChannelMasks::Prepare(state.BitCount, state.RedMask, state.GreenMask, state.BlueMask,
                                                 state.AlphaMask);
    }
    return layout;
}

// Progress at an image position (y * Width + x). Run-length deltas can
// move the position off the image; the percentage stays within 0 to 100.
void TBmpDecoder::ReportPosition(const DecodeState &state, int64_t position)
{
    if (!ProgressFunction)
        return;
    uint32_t percent = 100;
    if (state.PixelTotal > 0) {
        const int64_t clamped = std::clamp<int64_t>(position, 0, state.PixelTotal);
        percent = uint32_t(clamped * 100 / state.PixelTotal);
    }
    ReportProgress(1, 1, "BMP Decode", percent);
}
