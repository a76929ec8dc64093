#include "imaging/jpeg/jpegencoder.h"

#include "imaging/jpeg/colourconvert.h"
#include "imaging/jpeg/encodermemory.h"
#include "imaging/jpeg/outputstream.h"
#include "imaging/jpeg/strips.h"
#include "imaging/jpeg/systemspecific.h"
#include "imaging/jpeg/workers.h"

#include <thread>

namespace {

// The APP0 segment after its marker: length 16, "JFIF\0", version 1.01, no
// density units, aspect ratio 1:1, no thumbnail (JFIF 1.02).
struct JfifHeader {
    uint16_t Length;
    char Identifier[5];
    uint8_t Version[2];
    uint8_t Units;
    uint16_t XDensity;
    uint16_t YDensity;
    uint8_t ThumbnailWidth;
    uint8_t ThumbnailHeight;
} __attribute__((packed));
static_assert(sizeof(JfifHeader) == 16);

const char *const LibraryComment = "Created using the Brackenfold JPEG library";

constexpr uint32_t MaxDimension = 65535;

} // namespace

TJpegEncoder::TJpegEncoder()
{
    Scan(1).Components = TJpegComponentSet::Of({1, 2, 3});
    for (int i = 0; i < 3; ++i) {
        TJpegEncoderComponent &component = FComponents[size_t(i)];
        component.FDcTable = &FHuffmanTables[i == 0 ? 2 : 3];
        component.FAcTable = &FHuffmanTables[i == 0 ? 0 : 1];
        component.FQuantTable = &FQuantTables[FQuantIndex[size_t(i)]];
    }
    SetQuality(JpegDefaultQuality);
}

TJpegEncoder::~TJpegEncoder() = default;

void TJpegEncoder::SetQuality(int level)
{
    if (level < 0 || level >= JpegQualityLevels)
        throw EJpegError("Quality must be a level from 0 to 9");
    const auto &luminance = LuminanceQuality(level);
    const auto &chrominance = ChrominanceQuality(level);
    for (int i = 0; i < 64; ++i) {
        FQuantTables[0].SetValue(i, luminance[size_t(i)]);
        FQuantTables[2].SetValue(i, luminance[size_t(i)]);
        FQuantTables[1].SetValue(i, chrominance[size_t(i)]);
        FQuantTables[3].SetValue(i, chrominance[size_t(i)]);
    }
    FQuality = uint8_t(level);
}

void TJpegEncoder::SetRestartRows(int rows)
{
    if (rows < 0 || rows > 65535)
        throw EJpegError("Restart interval must be from 0 to 65535 MCU rows");
    FRestartRows = rows;
}

void TJpegEncoder::SetSampling(int component, int horizontal, int vertical)
{
    if (component < 1 || component > 3)
        throw EJpegError("Component number must be 1 (Y), 2 (Cb) or 3 (Cr)");
    if (horizontal < 1 || horizontal > 4 || vertical < 1 || vertical > 4)
        throw EJpegError("Sampling factors must be from 1 to 4");
    FComponents[size_t(component - 1)].FHSampling = uint8_t(horizontal);
    FComponents[size_t(component - 1)].FVSampling = uint8_t(vertical);
}

void TJpegEncoder::SetQuantizationTable(int component, int table)
{
    if (component < 1 || component > 3)
        throw EJpegError("Component number must be 1 (Y), 2 (Cb) or 3 (Cr)");
    if (table < 0 || table > 3)
        throw EJpegError("Quantization table number must be from 0 to 3");
    FQuantIndex[size_t(component - 1)] = uint8_t(table);
    FComponents[size_t(component - 1)].FQuantTable = &FQuantTables[size_t(table)];
}

void TJpegEncoder::ClearScans()
{
    FScans.fill(TJpegScan{});
}

void TJpegEncoder::SetThreads(int count)
{
    if (count < 0 || count > 64)
        throw EJpegError("Threads must be from 0 (the default) to 64");
    FThreads = count;
}

int TJpegEncoder::Threads() const
{
    if (FThreads > 0)
        return FThreads;
    return std::thread::hardware_concurrency() >= 2 ? 2 : 1;
}

int TJpegEncoder::Threads(uint32_t width, uint32_t height) const
{
    if (FThreads > 0)
        return FThreads;
    if (uint64_t(width) * height < MinPixelsForHelpers)
        return 1;
    // Where the other cores are busy a helper would only take turns with
    // the calling thread.
    return ThreadsWithCores(Threads(), LoadAverage(), std::thread::hardware_concurrency());
}

TJpegEncoderMemory &TJpegEncoder::Memory()
{
    if (!FMemory)
        FMemory = std::make_unique<TJpegEncoderMemory>();
    return *FMemory;
}

size_t TJpegEncoder::KeptMemory() const
{
    size_t bytes = FMemory ? FMemory->Bytes() : 0;
    for (const TJpegEncoderComponent &component : FComponents)
        bytes += component.FCoefficients.capacity() * sizeof(TJpegCoefficientBlock) + component.FSamples.capacity();
    return bytes;
}

void TJpegEncoder::ReleaseMemory()
{
    FMemory.reset();
    for (TJpegEncoderComponent &component : FComponents)
        ReleaseBuffers(component);
}

size_t TJpegEncoderMemory::Bytes() const
{
    size_t bytes = Output ? TJpegOutputFileStream::BufferSize : 0;
    for (const TJpegStripScratch &scratch : Scratch)
        bytes += scratch.Rows.Pixels.capacity() * sizeof(TPixel) + scratch.Rows.Bytes.capacity() +
                 scratch.Samples.capacity();
    for (const TJpegStripBlocks &blocks : Blocks)
        bytes += blocks.Blocks.capacity() * sizeof(TJpegCoefficientBlock);
    for (const TJpegRawBits &raw : Raw)
        bytes += raw.Bytes.capacity() + raw.Markers.capacity() * sizeof(TJpegRawBits::TMarker);
    return bytes;
}

void TJpegEncoder::WriteImageFile(const std::string &fileName, const TBitmapImage &image)
{
    CheckImage(image);
    WriteRowsFile(fileName, TBitmapImageRows(image));
}

void TJpegEncoder::WriteToStream(TJpegOutputStream &stream, const TBitmapImage &image)
{
    CheckImage(image);
    WriteRowsToStream(stream, TBitmapImageRows(image));
}

void TJpegEncoder::WriteRowsFile(const std::string &fileName, const TPixelRowSource &rows)
{
    TJpegOutputFileStream stream(Memory().OutputBuffer());
    stream.Open(fileName);
    WriteRowsToStream(stream, rows);
    // On the normal path the file is closed here so that a failing final
    // write raises; on an error the stream discards the unfinished file.
    stream.Close();
}

void TJpegEncoder::WriteRowsToStream(TJpegOutputStream &stream, const TPixelRowSource &rows)
{
    CheckSize(rows);
    FStream = &stream;
    FRestartInterval = 0;
    for (TJpegEncoderComponent &component : FComponents)
        component.FStream = &stream;

    for (TJpegEncoderQuantizationTable &table : FQuantTables)
        table.FUsed = false;
    for (int i = 0; i < FrameComponentCount(); ++i)
        FComponents[size_t(i)].FQuantTable->FUsed = true;
    for (TJpegEncoderQuantizationTable &table : FQuantTables)
        if (table.FUsed)
            table.PrepareScaled();

    FImageWidth = uint32_t(rows.Width());
    FImageHeight = uint32_t(rows.Height());
    FMaxH = 1;
    FMaxV = 1;
    for (int i = 0; i < FrameComponentCount(); ++i) {
        FMaxH = std::max<uint32_t>(FMaxH, FComponents[size_t(i)].FHSampling);
        FMaxV = std::max<uint32_t>(FMaxV, FComponents[size_t(i)].FVSampling);
    }
    if (FGrayscale) {
        FMaxH = FComponents[0].FHSampling;
        FMaxV = FComponents[0].FVSampling;
    }
    FMcuRows = (FImageHeight + 8 * FMaxV - 1) / (8 * FMaxV);
    FMcuCols = (FImageWidth + 8 * FMaxH - 1) / (8 * FMaxH);

    CheckSettings();
    CountPasses();

    TJpegWorkers workers(Threads(FImageWidth, FImageHeight));
    try {
        stream.PutByte(0xFF);
        stream.PutByte(0xD8); // SOI

        JfifHeader header{systemspecific::HostToBigEndian(16),
                          {'J', 'F', 'I', 'F', 0},
                          {1, 1},
                          0,
                          systemspecific::HostToBigEndian(1),
                          systemspecific::HostToBigEndian(1),
                          0,
                          0};
        stream.PutByte(0xFF);
        stream.PutByte(0xE0); // APP0
        stream.PutBytes(&header, sizeof header);

        if (!FComment.empty())
            WriteComment(FComment);
        WriteComment(LibraryComment);

        // The first pass turns the picture into blocks, a strip at a time.
        ++FCurrentPass;
        const std::array<TJpegEncoderComponent *, 3> components = {&FComponents[0], &FComponents[1],
                                                                   &FComponents[2]};
        const TJpegStrips strips(components, FrameComponentCount(), FImageWidth, FImageHeight, FMaxH, FMaxV,
                                 FGrayscale);
        if (CanStream())
            WriteStreamedFrame(rows, strips, workers);
        else
            WriteStoredFrame(rows, strips, workers);

        stream.PutByte(0xFF);
        stream.PutByte(0xD9); // EOI
    } catch (...) {
        for (TJpegEncoderComponent &component : FComponents)
            component.FCoefficients.clear();
        throw;
    }
    // The arrays keep their memory for the next file (ReleaseMemory).
    for (TJpegEncoderComponent &component : FComponents)
        component.FCoefficients.clear();
}

void TJpegEncoder::CheckImage(const TBitmapImage &image) const
{
    CheckSize(TBitmapImageRows(image));
    if (image.Pixels.size() < size_t(std::max(image.Width, 0)) * size_t(std::max(image.Height, 0)))
        throw EJpegError("Image pixel data is incomplete");
}

void TJpegEncoder::CheckSize(const TPixelRowSource &rows) const
{
    if (rows.Width() <= 0 || rows.Height() <= 0)
        throw EJpegError("Image has no pixels to encode");
    if (uint32_t(rows.Width()) > MaxDimension || uint32_t(rows.Height()) > MaxDimension)
        throw EJpegError("Image is too large for JPEG (at most 65535 x 65535 pixels)");
}

void TJpegEncoder::CheckSettings()
{
    if (!FGrayscale) {
        bool has3 = false, has2or4 = false;
        for (const TJpegEncoderComponent &c : FComponents) {
            has3 |= c.FHSampling == 3;
            has2or4 |= c.FHSampling == 2 || c.FHSampling == 4;
        }
        if (has3 && has2or4)
            throw EJpegError("Fractional Horizontal Sampling");
        has3 = has2or4 = false;
        for (const TJpegEncoderComponent &c : FComponents) {
            has3 |= c.FVSampling == 3;
            has2or4 |= c.FVSampling == 2 || c.FVSampling == 4;
        }
        if (has3 && has2or4)
            throw EJpegError("Fractional Vertical Sampling");
    }
    if (FProgressive)
        CheckProgressiveScript();
    else
        CheckSequentialScript();
    if (!FGrayscale)
        CheckMcuSize();
}

void TJpegEncoder::CheckSequentialScript()
{
    if (FGrayscale) {
        FScanCount = 1;
        if (!Scan(1).Components.Contains(1))
            throw EJpegError("Not all components specified in scans");
        return;
    }
    TJpegComponentSet all;
    int listed = 0;
    for (int i = 1; i <= 3; ++i) {
        all.Bits |= Scan(i).Components.Bits;
        listed += Scan(i).Components.Count();
    }
    if (!(all == TJpegComponentSet::Of({1, 2, 3})))
        throw EJpegError("Not all components specified in scans");
    if (listed > 3)
        throw EJpegError("Component in more than one scan");
    FScanCount = !Scan(3).Components.Empty() ? 3 : !Scan(2).Components.Empty() ? 2 : 1;
}

void TJpegEncoder::CheckMcuSize()
{
    for (uint32_t i = 1; i <= FScanCount; ++i) {
        const TJpegComponentSet components = Scan(int(i)).Components;
        int units = 0;
        for (int c = 1; c <= 3; ++c)
            if (components.Contains(c))
                units += FComponents[size_t(c - 1)].FHSampling * FComponents[size_t(c - 1)].FVSampling;
        if (units > 10 && components.Count() > 1)
            throw EJpegError("Data units in MCU exceeds 10");
    }
}

void TJpegEncoder::CountPasses()
{
    FCurrentPass = 0;
    if (!FProgressive) {
        FPassCount = FGrayscale ? 2 : FScanCount + 4;
        return;
    }
    uint32_t passes = FGrayscale ? 1 : 4;
    for (uint32_t i = 1; i <= FScanCount; ++i) {
        const TJpegScan &scan = Scan(int(i));
        if (!FGrayscale || scan.Components.Contains(1))
            passes += scan.Approximation + 1u;
    }
    FPassCount = passes;
}

void TJpegEncoder::ReportProgress(const std::string &description, uint32_t percent)
{
    if (!ProgressFunction || FReporting)
        return;
    FReporting = true;
    const uint32_t pass = FCurrentPass;
    try {
        TBitmapImageCoder::ReportProgress(FCurrentPass, FPassCount, description, std::min<uint32_t>(percent, 100));
    } catch (...) {
        FReporting = false;
        FCurrentPass = pass;
        throw;
    }
    FReporting = false;
    FCurrentPass = pass;
}
