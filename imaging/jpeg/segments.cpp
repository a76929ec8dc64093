// The marker segments of the frame and its scans (ITU-T T.81 B.2).

#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/outputstream.h"

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

// The tables a scan uses, in the order luminance DC, luminance AC,
// chrominance DC, chrominance AC.
void TJpegEncoder::WriteHuffmanTables(const TScanJob &job)
{
    const bool luminance = job.Components[0] == &FComponents[0];
    const bool chrominance = !luminance || job.ComponentCount > 1;
    struct Entry {
        uint8_t ClassAndId;
        int Table;
    };
    const Entry order[4] = {{0x00, 2}, {0x10, 0}, {0x01, 3}, {0x11, 1}};
    int length = 2;
    for (const Entry &entry : order)
        if (UsesTable(job, entry.Table, luminance, chrominance))
            length += FHuffmanTables[size_t(entry.Table)].DefinitionLength();
    FStream->PutByte(0xFF);
    FStream->PutByte(0xC4);
    FStream->PutWord(uint16_t(length));
    for (const Entry &entry : order)
        if (UsesTable(job, entry.Table, luminance, chrominance)) {
            FStream->PutByte(entry.ClassAndId);
            FHuffmanTables[size_t(entry.Table)].WriteDefinition(*FStream);
        }
}

void TJpegEncoder::WriteStartOfScan(const TScanJob &job)
{
    FStream->PutByte(0xFF);
    FStream->PutByte(0xDA);
    FStream->PutWord(uint16_t(6 + 2 * job.ComponentCount));
    FStream->PutByte(uint8_t(job.ComponentCount));
    for (int i = 0; i < job.ComponentCount; ++i) {
        const TJpegEncoderComponent *component = job.Components[size_t(i)];
        const int number = int(component - FComponents.data()) + 1;
        FStream->PutByte(uint8_t(number));
        // A DC refinement scan uses no table; its selectors are all 0.
        FStream->PutByte(number == 1 || job.Kind == TScanJob::DcRefine ? 0x00 : 0x11);
    }
    FStream->PutByte(uint8_t(job.Ss));
    FStream->PutByte(uint8_t(job.Se));
    FStream->PutByte(uint8_t(job.Ah * 16 + job.Al));
}

void TJpegEncoder::WriteRestartInterval(uint16_t interval)
{
    FStream->PutByte(0xFF);
    FStream->PutByte(0xDD);
    FStream->PutWord(4);
    FStream->PutWord(interval);
}
