#pragma once
// Optimal Huffman tables built from the symbol counts of one scan
// (ITU-T T.81 Annex K.2), limited to 16-bit codes.

#include <array>
#include <cstdint>

class TOutputByteStream;

class TJpegHuffmanEncoder {
public:
    TJpegHuffmanEncoder() { ClearCounts(); }

    // Zeroes the counts; the reserved symbol 256 keeps a count of 1 so that
    // no real code consists of 1-bits only.
    void ClearCounts();
    void CountSymbol(uint8_t symbol) { ++FCounts[symbol]; }
    // Builds the code from the counts, which it consumes; does nothing when
    // the code is already built.
    void Build();
    void Lookup(uint8_t symbol, uint16_t &code, uint8_t &length) const
    {
        code = FCode[symbol];
        length = FCodeLength[symbol];
    }
    // The 16 length counts, then the symbols in code order.
    void WriteDefinition(TOutputByteStream &stream) const;
    // Bytes one table adds to a DHT segment, its class/identifier byte included.
    int DefinitionLength() const;

    std::array<uint32_t, 257> FCounts{};
    std::array<uint8_t, 32> FLengthCounts{};
    std::array<uint8_t, 256> FSymbols{};
    std::array<uint8_t, 256> FCodeLength{};
    std::array<uint16_t, 256> FCode{};
    bool FBuilt = false;

private:
    int SymbolCount() const;
};
