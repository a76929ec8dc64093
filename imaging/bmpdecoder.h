#pragma once
// The BMP decoder: reads the OS/2 (12-byte header) and Windows (40-byte and
// longer headers) forms of a BMP file into a TBitmapImage. It handles 1, 2,
// 4, 8, 16, 24 and 32 bits per pixel, uncompressed rows, 8-bit and 4-bit
// run-length compression and bit-field colour masks.

#include "imaging/bitmapimage.h"
#include "imaging/rowsource.h"

#include <array>
#include <cstdint>
#include <istream>
#include <memory>
#include <string>

struct TBmpRowLayout;

// Every format error of a BMP file; the message says which.
class EBmpError : public EGraphicsException {
public:
    using EGraphicsException::EGraphicsException;
};

// One colour-table entry as a BMP file stores it.
struct TBmpColor {
    uint8_t Blue = 0;
    uint8_t Green = 0;
    uint8_t Red = 0;
    uint8_t Reserved = 0;
};

class TBmpDecoder : public TBitmapImageDecoder {
public:
    // The colour table of the current file. Entries a file does not supply
    // keep what an earlier file left there (zero in a new decoder).
    std::array<TBmpColor, 256> ColorMap{};
    // Number of entries the current file declares; only the first 256 are
    // kept, the rest are read past.
    uint32_t ColorCount = 0;

    // The largest image the decoder accepts: 2^28 pixels (1 GiB in memory,
    // 16384 x 16384). Anything larger is refused before memory is taken.
    static constexpr int64_t MaxPixelCount = int64_t(1) << 28;

    // Opens the file (read-only), decodes it and closes it on every path.
    // A file that cannot be opened raises EFOpenError.
    void ReadImageFile(const std::string &fileName, TBitmapImage &image) override;

    // Decodes the BMP at the stream's current position into image. Raises
    // EBmpError for a malformed file, EGraphicsAbort when the progress
    // function asks to stop.
    void ReadImageStream(std::istream &stream, TBitmapImage &image);

    // The rows of a BMP file, read on demand in any order instead of
    // decoded into an image first: a conversion then holds a few rows at a
    // time, never the whole picture. Only files whose rows can be read that
    // way qualify: uncompressed rows, every one of them present. For any
    // other file (run-length data, a file cut short, a header ReadImageFile
    // refuses), and for a decoder with a progress function, the answer is
    // nullptr, and ReadImageFile decodes or refuses the file as usual. The
    // rows are exactly the pixels ReadImageFile would give; the decoder's
    // colour table is updated as ReadImageFile updates it.
    std::unique_ptr<TPixelRowSource> OpenRows(const std::string &fileName);

private:
    // What is known about the file being read, for one call (bmpdecodestate.h).
    struct DecodeState;

    void ReadOs2Header(DecodeState &state, const uint8_t *header);
    void ReadWindowsHeader(DecodeState &state, const uint8_t *header);
    void ReadColorTable(DecodeState &state, unsigned entrySize);
    void ReadHeaders(DecodeState &state);
    void CheckSize(DecodeState &state);
    void SizeImage(DecodeState &state);
    TBmpRowLayout RowLayout(const DecodeState &state) const;
    void DecodePixels(DecodeState &state);
    void DecodeUncompressedRows(DecodeState &state);
    void DecodeRle8(DecodeState &state);
    void DecodeRle4(DecodeState &state);
    void DecodeRunLength(DecodeState &state, bool fourBit);
    void ReportPosition(const DecodeState &state, int64_t position);
};
