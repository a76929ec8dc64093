#include "imaging/jpeg/outputstream.h"

#include "imaging/jpeg/jpegerror.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

// ---- TOutputByteStream ----

void TOutputByteStream::PutBytes(const void *data, size_t count)
{
    const auto *source = static_cast<const uint8_t *>(data);
    while (count > 0) {
        const size_t room = size_t(FLimit - FCurrent);
        const size_t chunk = count < room ? count : room;
        std::memcpy(FCurrent, source, chunk);
        FCurrent += chunk;
        source += chunk;
        count -= chunk;
        if (FCurrent == FLimit)
            Flush();
    }
}

void TOutputByteStream::PutByte(uint8_t value)
{
    if (FCurrent >= FLimit)
        Flush();
    *FCurrent++ = value;
}

void TOutputByteStream::PutWord(uint16_t value)
{
    if (FCurrent + 2 >= FLimit)
        Flush();
    *FCurrent++ = uint8_t(value >> 8);
    *FCurrent++ = uint8_t(value);
    if (FCurrent >= FLimit)
        Flush();
}

void TOutputByteStream::BeginBits(int position)
{
    if (FCurrent >= FLimit)
        Flush();
    FBitPosition = position;
    *FCurrent = 0;
}

void TOutputByteStream::AdvanceByte()
{
    ++FCurrent;
    if (FCurrent >= FLimit)
        Flush();
    *FCurrent = 0;
}

// ---- TJpegOutputStream ----

void TJpegOutputStream::BeginBits(int position)
{
    TOutputByteStream::BeginBits(position);
    FBits = TBitState{};
}

TJpegOutputStream::TBitState TJpegOutputStream::MoveBytes(TBitState state)
{
    // Four bytes at once while none of them is 0xFF and the buffer has room.
    while (state.Accumulated >= 32 && FLimit - FCurrent > 8) {
        const uint32_t word = uint32_t(state.Accumulator >> (state.Accumulated - 32));
        const uint32_t inverted = ~word; // a 0xFF byte becomes a zero byte
        if (((inverted - 0x01010101u) & ~inverted & 0x80808080u) != 0)
            break;
        FCurrent[0] = uint8_t(word >> 24);
        FCurrent[1] = uint8_t(word >> 16);
        FCurrent[2] = uint8_t(word >> 8);
        FCurrent[3] = uint8_t(word);
        FCurrent += 4;
        state.Accumulated -= 32;
    }
    while (state.Accumulated >= 8) {
        state.Accumulated -= 8;
        const uint8_t byte = uint8_t(state.Accumulator >> state.Accumulated);
        if (FLimit - FCurrent > 2) {
            *FCurrent++ = byte;
            if (byte == 0xFF)
                *FCurrent++ = 0x00; // the stuffed byte (T.81 B.1.1.5)
        } else {
            *FCurrent = byte;
            if (byte == 0xFF)
                AdvanceByte();
            AdvanceByte();
        }
    }
    return state;
}

void TJpegOutputStream::EndBits()
{
    FBits = MoveBytes(FBits);
    if (FBits.Accumulated > 0) {
        // Padding bits are 0, so this byte is never 0xFF.
        *FCurrent = uint8_t(FBits.Accumulator << (8 - FBits.Accumulated));
        AdvanceByte();
    }
    FBits = TBitState{};
    FBitPosition = -1;
}

// ---- TJpegOutputFileStream ----

namespace {

std::string SystemReason(int error)
{
    return std::strerror(error);
}

} // namespace

TJpegOutputFileStream::TJpegOutputFileStream() : FBuffer(new uint8_t[BufferSize]) {}

TJpegOutputFileStream::~TJpegOutputFileStream()
{
    Abandon();
}

void TJpegOutputFileStream::Open(const std::string &fileName)
{
    const std::string tempName = fileName + ".tmp";
    const int file = ::open(tempName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (file < 0)
        throw EFCreateError(fileName, errno);
    FFile = file;
    FFileName = fileName;
    FTempName = tempName;
    FCurrent = FBuffer.get();
    FLimit = FBuffer.get() + BufferSize;
}

void TJpegOutputFileStream::Flush()
{
    const uint8_t *start = FBuffer.get();
    size_t remaining = size_t(FCurrent - start);
    // The buffer is reset first: a failed flush must not be retried by the
    // clean-up path with the same bytes.
    FCurrent = FBuffer.get();
    FLimit = FBuffer.get() + BufferSize;
    if (FFile < 0)
        return;
    while (remaining > 0) {
        const ssize_t written = ::write(FFile, start, remaining);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            const int error = written < 0 ? errno : ENOSPC;
            throw EWriteError("Cannot write file \"" + FFileName + "\". " + SystemReason(error));
        }
        start += written;
        remaining -= size_t(written);
    }
}

void TJpegOutputFileStream::Close()
{
    if (FFile < 0)
        return;
    try {
        Flush();
        if (::fsync(FFile) != 0)
            throw EWriteError("Cannot write file \"" + FFileName + "\". " + SystemReason(errno));
        const int file = FFile;
        FFile = -1;
        if (::close(file) != 0)
            throw EWriteError("Cannot write file \"" + FFileName + "\". " + SystemReason(errno));
        if (std::rename(FTempName.c_str(), FFileName.c_str()) != 0)
            throw EWriteError("Cannot write file \"" + FFileName + "\". " + SystemReason(errno));
    } catch (...) {
        Abandon();
        throw;
    }
    FTempName.clear();
}

void TJpegOutputFileStream::Abandon() noexcept
{
    if (FFile >= 0) {
        ::close(FFile);
        FFile = -1;
    }
    if (!FTempName.empty()) {
        ::unlink(FTempName.c_str());
        FTempName.clear();
    }
}
