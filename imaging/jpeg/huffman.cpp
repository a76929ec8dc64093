#include "imaging/jpeg/huffman.h"

#include "imaging/jpeg/outputstream.h"


void TJpegHuffmanEncoder::ClearCounts()
{
    FCounts.fill(0);
    FCounts[256] = 1;
    FBuilt = false;
}

void TJpegHuffmanEncoder::Build()
{
    if (FBuilt)
        return;
    constexpr int Symbols = 257;
    // Tree depths of 257 symbols stay below 257, so these arrays cannot
    // overflow however skewed the counts are.
    std::array<int, Symbols> codeSize{};
    std::array<int, Symbols> chain;
    chain.fill(-1);
    std::array<int, Symbols + 1> lengthCounts{};
    FLengthCounts.fill(0);
    FSymbols.fill(0);
    FCodeLength.fill(0);
    FCode.fill(0);

    // Figure K.1: merge the two least frequent trees until one is left; ties
    // go to the higher-numbered symbol.
    for (;;) {
        int c1 = -1;
        int c2 = -1;
        for (int v = 0; v < Symbols; ++v) {
            if (FCounts[v] == 0)
                continue;
            if (c1 < 0 || FCounts[c1] >= FCounts[v]) {
                c2 = c1;
                c1 = v;
            } else if (c2 < 0 || FCounts[c2] >= FCounts[v]) {
                c2 = v;
            }
        }
        if (c2 < 0)
            break;
        FCounts[c1] += FCounts[c2];
        FCounts[c2] = 0;
        int v = c1;
        ++codeSize[v];
        while (chain[v] >= 0) {
            v = chain[v];
            ++codeSize[v];
        }
        chain[v] = c2;
        v = c2;
        ++codeSize[v];
        while (chain[v] >= 0) {
            v = chain[v];
            ++codeSize[v];
        }
    }

    int longest = 0;
    for (int v = 0; v < Symbols; ++v)
        if (codeSize[v] > 0) {
            ++lengthCounts[codeSize[v]];
            if (codeSize[v] > longest)
                longest = codeSize[v];
        }

    // Figure K.3: no code longer than 16 bits.
    for (int length = longest; length > 16; --length) {
        while (lengthCounts[length] > 0) {
            int j = length - 2;
            while (lengthCounts[j] == 0)
                --j;
            lengthCounts[length] -= 2;
            lengthCounts[length - 1] += 1;
            lengthCounts[j + 1] += 2;
            lengthCounts[j] -= 1;
        }
    }
    // Withdraw the reserved symbol's code, one of the longest.
    for (int length = 16; length > 0; --length)
        if (lengthCounts[length] > 0) {
            --lengthCounts[length];
            break;
        }
    for (int length = 1; length <= 16; ++length)
        FLengthCounts[length - 1] = uint8_t(lengthCounts[length]);

    // Figure K.4: symbols by tree depth, then by value.
    int count = 0;
    for (int size = 1; size <= longest; ++size)
        for (int v = 0; v < 256; ++v)
            if (codeSize[v] == size)
                FSymbols[count++] = uint8_t(v);

    // Figure C.2: canonical codes from the adjusted length counts, handed out
    // in the order above.
    uint32_t code = 0;
    int k = 0;
    const int listed = SymbolCount();
    for (int length = 1; length <= 16; ++length) {
        for (int i = 0; i < FLengthCounts[length - 1] && k < listed; ++i, ++k) {
            FCode[FSymbols[k]] = uint16_t(code);
            FCodeLength[FSymbols[k]] = uint8_t(length);
            ++code;
        }
        code <<= 1;
    }
    FBuilt = true;
}

int TJpegHuffmanEncoder::SymbolCount() const
{
    int n = 0;
    for (int length = 0; length < 16; ++length)
        n += FLengthCounts[length];
    return n;
}

void TJpegHuffmanEncoder::WriteDefinition(TOutputByteStream &stream) const
{
    for (int length = 0; length < 16; ++length)
        stream.PutByte(FLengthCounts[length]);
    const int n = SymbolCount();
    for (int k = 0; k < n; ++k)
        stream.PutByte(FSymbols[k]);
}

int TJpegHuffmanEncoder::DefinitionLength() const
{
    return 17 + SymbolCount();
}
