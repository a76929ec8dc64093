#include "imaging/atomicfile.h"
#include "imaging/jpeg/jpegerror.h"
#include "imaging/jpeg/outputstream.h"
#include "jpeg_test_support.h"

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

#include <gtest/gtest.h>

using Bytes = std::vector<uint8_t>;

TEST(JpegOutputStream, WordsAreBigEndian)
{
    TMemoryOutputStream stream;
    stream.PutWord(0x1234);
    EXPECT_EQ(stream.Bytes(), (Bytes{0x12, 0x34}));
}

TEST(JpegOutputStream, BitWriterExamples)
{
    auto bits = [](auto write) {
        TMemoryOutputStream stream;
        stream.BeginBits(8);
        write(stream);
        stream.EndBits();
        return stream.Bytes();
    };
    EXPECT_EQ(bits([](TJpegOutputStream &s) { s.PutBits(0xFF, 8); }), (Bytes{0xFF, 0x00}));
    EXPECT_EQ(bits([](TJpegOutputStream &s) { s.PutBits(0x5, 3); }), (Bytes{0xA0}));
    EXPECT_EQ(bits([](TJpegOutputStream &s) { s.PutBits(0x7F, 7); }), (Bytes{0xFE}));
    EXPECT_EQ(bits([](TJpegOutputStream &) {}), Bytes{});
    EXPECT_EQ(bits([](TJpegOutputStream &s) { s.PutBits(0x0, 0); }), Bytes{});
    // 16 bits completing 0xFF then 0x12: the stuffed 0x00 sits between them.
    EXPECT_EQ(bits([](TJpegOutputStream &s) { s.PutBits(0xFF12, 16); }), (Bytes{0xFF, 0x00, 0x12}));
    // Only the low count bits are written, across byte boundaries.
    EXPECT_EQ(bits([](TJpegOutputStream &s) {
                  s.PutBits(0xFFFFFFFD, 3); // 101
                  s.PutBits(0x1FF, 9);      // 111111111
                  s.PutBits(0x2, 2);        // 10
              }),
              (Bytes{0xBF, 0xF8}));
}

TEST(JpegOutputStream, FlushesInTheMiddleChangeNothing)
{
    // The same writes through a 5-byte and a large buffer give the same bytes.
    auto write = [](TMemoryOutputStream &s) {
        s.PutByte(0xFF);
        s.PutWord(0xABCD);
        const char text[] = "a comment longer than the buffer";
        s.PutBytes(text, sizeof text);
        s.BeginBits(8);
        for (uint32_t i = 0; i < 200; ++i)
            s.PutBits(i * 2654435761u, int(i % 17));
        s.EndBits();
        s.PutByte(0xD9);
    };
    TMemoryOutputStream small(5), large(1 << 16);
    write(small);
    write(large);
    EXPECT_GT(small.FFlushes, 10u);
    EXPECT_EQ(small.Bytes(), large.Bytes());
}

// The writer's temporary files are gone once a stream is closed or freed.
void ExpectNoTemporaries(const std::string &folder)
{
    for (const auto &entry : std::filesystem::directory_iterator(folder))
        EXPECT_FALSE(IsAtomicFileTemporary(entry.path().filename().string())) << entry.path();
}

class JpegOutputFileStream : public ::testing::Test {
protected:
    std::string Dir = MakeTempDir();
    void TearDown() override { std::filesystem::remove_all(Dir); }
};

TEST_F(JpegOutputFileStream, WritesEverythingAcrossFlushes)
{
    const std::string path = Dir + "/out.jpg";
    Bytes expected(TJpegOutputFileStream::BufferSize * 2 + 17);
    for (size_t i = 0; i < expected.size(); ++i)
        expected[i] = uint8_t(i * 7);
    {
        TJpegOutputFileStream stream;
        stream.Open(path);
        stream.PutBytes(expected.data(), TJpegOutputFileStream::BufferSize - 1);
        stream.PutByte(expected[TJpegOutputFileStream::BufferSize - 1]); // exactly full
        stream.PutByte(expected[TJpegOutputFileStream::BufferSize]);     // flushes first
        stream.PutBytes(expected.data() + TJpegOutputFileStream::BufferSize + 1,
                        expected.size() - TJpegOutputFileStream::BufferSize - 1);
        stream.Close();
        stream.Close(); // a second Close does nothing
    }
    EXPECT_EQ(ReadFileBytes(path), expected);
    ExpectNoTemporaries(Dir);
}

TEST_F(JpegOutputFileStream, UnclosedStreamLeavesTheOldFileInPlace)
{
    const std::string path = Dir + "/card.jpg";
    WriteFileBytes(path, Bytes{1, 2, 3});
    {
        TJpegOutputFileStream stream;
        stream.Open(path);
        stream.PutByte(0xFF);
        // freed without Close, as when the encoder raises
    }
    EXPECT_EQ(ReadFileBytes(path), (Bytes{1, 2, 3}));
    ExpectNoTemporaries(Dir);
    TJpegOutputFileStream neverOpened; // freeing it writes and raises nothing
    neverOpened.Close();
}

TEST_F(JpegOutputFileStream, MissingFolderRaisesCreateError)
{
    TJpegOutputFileStream stream;
    try {
        stream.Open(Dir + "/missing/out.jpg");
        FAIL() << "no error";
    } catch (const EFCreateError &error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file \"" + Dir + "/missing/out.jpg\". No such file or directory");
    }
}

TEST_F(JpegOutputFileStream, ShortWriteRaises)
{
    // A file size limit makes the system refuse part of the write, as a full
    // disk would.
    const std::string path = Dir + "/big.jpg";
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit limited = old;
    limited.rlim_cur = 1000;
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    setrlimit(RLIMIT_FSIZE, &limited);
    bool raised = false;
    {
        TJpegOutputFileStream stream;
        stream.Open(path);
        Bytes data(5000, 0x55);
        stream.PutBytes(data.data(), data.size());
        try {
            stream.Close();
        } catch (const EWriteError &error) {
            raised = std::string(error.what()).starts_with("Cannot write file \"" + path + "\".");
        }
    }
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(raised);
    EXPECT_FALSE(std::filesystem::exists(path));
    ExpectNoTemporaries(Dir);
}
