// Feeds arbitrary bytes to TBmpDecoder::ReadImageStream. A file may decode
// or raise EBmpError; anything else (another exception, a sanitizer report,
// a progress percentage out of range) is a finding.

#include "imaging/bmpdecoder.h"

#include <cstddef>
#include <cstdint>
#include <istream>
#include <streambuf>

namespace {

// Reads the fuzzer's bytes in place.
class MemoryBuffer : public std::streambuf {
public:
    MemoryBuffer(const uint8_t *data, size_t size)
    {
        char *begin = const_cast<char *>(reinterpret_cast<const char *>(data));
        setg(begin, begin, begin + size);
    }
};

void CheckProgress(TBitmapImageCoder &, uint32_t, uint32_t pass, uint32_t passes,
                   const std::string &, uint32_t percent, bool &)
{
    if (percent > 100 || pass != 1 || passes != 1)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    MemoryBuffer buffer(data, size);
    std::istream stream(&buffer);
    TBmpDecoder decoder;
    decoder.ProgressFunction = CheckProgress;
    TBitmapImage image;
    try {
        decoder.ReadImageStream(stream, image);
    } catch (const EBmpError &) {
    }
    return 0;
}
