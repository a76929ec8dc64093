// The marker segments of the frame and its scans (ITU-T T.81 B.2).

#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/outputstream.h"

namespace {

bool IsLuminance(const TJpegEncoderComponent *component, const TJpegEncoderComponent &y)
{
    return component == &y;
}

} // namespace

void TJpegEncoder::WriteComment(const std::string &text)
{
    // The length field counts itself, the text and its terminating 0.
    if (text.size() > 65535 - 3)
        throw EJpegError("Comment text too long for COM marker");
    FStream->PutByte(0xFF);
    FStream->PutByte(0xFE);
    FStream->PutWord(uint16_t(text.size() + 3));
    FStream->PutBytes(text.data(), text.size());
    FStream->PutByte(0);
}

void TJpegEncoder::WriteStartOfFrame(uint8_t marker)
{
    const int count = FrameComponentCount();
    FStream->PutByte(0xFF);
    FStream->PutByte(marker);
    FStream->PutWord(uint16_t(8 + 3 * count));
    FStream->PutByte(8); // sample precision
    FStream->PutWord(uint16_t(FImageHeight));
    FStream->PutWord(uint16_t(FImageWidth));
    FStream->PutByte(uint8_t(count));
    for (int i = 0; i < count; ++i) {
        const TJpegEncoderComponent &component = FComponents[size_t(i)];
        FStream->PutByte(uint8_t(i + 1));
        FStream->PutByte(uint8_t(component.FHSampling * 16 + component.FVSampling));
        FStream->PutByte(FQuantIndex[size_t(i)]);
    }
}

void TJpegEncoder::WriteQuantizationTables()
{
    int used = 0;
    for (const TJpegEncoderQuantizationTable &table : FQuantTables)
        used += table.FUsed;
    FStream->PutByte(0xFF);
    FStream->PutByte(0xDB);
    FStream->PutWord(uint16_t(2 + 65 * used));
    for (int t = 0; t < 4; ++t) {
        const TJpegEncoderQuantizationTable &table = FQuantTables[size_t(t)];
        if (!table.FUsed)
            continue;
        FStream->PutByte(uint8_t(t)); // 8-bit precision
        for (int k = 0; k < 64; ++k)
            FStream->PutByte(uint8_t(table.GetValue(JpegZigzag[size_t(k)])));
    }
}

void TJpegEncoder::WriteHuffmanTables(bool dc, bool ac)
{
    const bool hasY = IsLuminance(FScanComponents[0], FComponents[0]);
    const bool luminance = hasY;
    const bool chrominance = !hasY || FScanComponentCount > 1;
    struct Entry {
        uint8_t ClassAndId;
        const TJpegHuffmanEncoder *Table;
    };
    Entry entries[4];
    int count = 0;
    if (luminance) {
        if (dc)
            entries[count++] = {0x00, &FHuffmanTables[2]};
        if (ac)
            entries[count++] = {0x10, &FHuffmanTables[0]};
    }
    if (chrominance) {
        if (dc)
            entries[count++] = {0x01, &FHuffmanTables[3]};
        if (ac)
            entries[count++] = {0x11, &FHuffmanTables[1]};
    }
    int length = 2;
    for (int i = 0; i < count; ++i)
        length += entries[i].Table->DefinitionLength();
    FStream->PutByte(0xFF);
    FStream->PutByte(0xC4);
    FStream->PutWord(uint16_t(length));
    for (int i = 0; i < count; ++i) {
        FStream->PutByte(entries[i].ClassAndId);
        entries[i].Table->WriteDefinition(*FStream);
    }
}

void TJpegEncoder::ClearTables(bool dc, bool ac)
{
    const bool hasY = IsLuminance(FScanComponents[0], FComponents[0]);
    if (hasY) {
        if (dc)
            FHuffmanTables[2].ClearCounts();
        if (ac)
            FHuffmanTables[0].ClearCounts();
    }
    if (!hasY || FScanComponentCount > 1) {
        if (ac)
            FHuffmanTables[1].ClearCounts();
        if (dc)
            FHuffmanTables[3].ClearCounts();
    }
}

void TJpegEncoder::BuildTables(bool dc, bool ac)
{
    const bool hasY = IsLuminance(FScanComponents[0], FComponents[0]);
    if (hasY) {
        if (dc)
            FHuffmanTables[2].Build();
        if (ac)
            FHuffmanTables[0].Build();
    }
    if (!hasY || FScanComponentCount > 1) {
        if (ac)
            FHuffmanTables[1].Build();
        if (dc)
            FHuffmanTables[3].Build();
    }
}

void TJpegEncoder::WriteStartOfScan(int ss, int se, int ah, int al, bool dcRefinement)
{
    FStream->PutByte(0xFF);
    FStream->PutByte(0xDA);
    FStream->PutWord(uint16_t(6 + 2 * FScanComponentCount));
    FStream->PutByte(uint8_t(FScanComponentCount));
    for (int i = 0; i < FScanComponentCount; ++i) {
        const TJpegEncoderComponent *component = FScanComponents[size_t(i)];
        const int number = int(component - FComponents.data()) + 1;
        FStream->PutByte(uint8_t(number));
        // A DC refinement scan uses no table; its selectors are all 0.
        FStream->PutByte(number == 1 || dcRefinement ? 0x00 : 0x11);
    }
    FStream->PutByte(uint8_t(ss));
    FStream->PutByte(uint8_t(se));
    FStream->PutByte(uint8_t(ah * 16 + al));
}

void TJpegEncoder::WriteRestartInterval(uint16_t interval)
{
    FStream->PutByte(0xFF);
    FStream->PutByte(0xDD);
    FStream->PutWord(4);
    FStream->PutWord(interval);
}

void TJpegEncoder::PutRestartMarker(int n)
{
    FStream->EndBits();
    FStream->PutByte(0xFF);
    FStream->PutByte(uint8_t(0xD0 + n));
    FStream->BeginBits(8);
}
