// The JPEG reader against libjpeg-turbo's own tools: files made by cjpeg
// (baseline, progressive, grayscale) and CMYK/YCCK files written through
// libjpeg here, then damaged in the ways real files are.

#include "imaging/jpegdecoder.h"

#include "imaging/fileerrors.h"
#include "tests/imaging/jpeg/jpeg_test_support.h"

#include <gtest/gtest.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <jpeglib.h>

namespace {

// 6 x 5, red on blue with a green corner: no symmetry, so a swapped
// channel or flipped row shows.
TBitmapImage RedOnBlue()
{
    TBitmapImage image = MakeFlat(6, 5, 0, 0, 255);
    for (int y = 1; y < 4; ++y)
        for (int x = 1; x < 4; ++x)
            image.At(x, y) = TPixel{0, 0, 255, 0};
    image.At(5, 0) = TPixel{0, 255, 0, 0};
    return image;
}

class JpegDecoder : public ::testing::Test {
protected:
    std::string Dir = MakeTempDir();
    void TearDown() override { std::filesystem::remove_all(Dir); }

    // Writes the image as BMP and converts it with cjpeg and its options.
    std::string Cjpeg(const TBitmapImage &image, const std::string &options,
                      const std::string &name = "picture.jpg")
    {
        const std::string bmp = Dir + "/source.bmp";
        const std::string jpeg = Dir + "/" + name;
        WriteBmp24(bmp, image);
        std::string output;
        EXPECT_EQ(RunCommand("cjpeg " + options + " -outfile '" + jpeg + "' '" + bmp + "'", &output), 0)
            << output;
        return jpeg;
    }

    // What the decoder says about a file, or "" when it reads it.
    static std::string DecodeError(const std::string &path)
    {
        TJpegDecoder decoder;
        TBitmapImage image;
        try {
            decoder.ReadImageFile(path, image);
        } catch (const EJpegError &error) {
            return error.what();
        }
        return "";
    }
};

// Pixel for pixel what libjpeg itself gives for the same file, with the
// alpha asked for.
void ExpectSameAsLibjpeg(const TBitmapImage &image, const std::string &path, uint8_t alpha = 0)
{
    const DecodedImage reference = DecodeJpegFile(path);
    ASSERT_TRUE(reference.Ok()) << reference.Error;
    ASSERT_EQ(image.Width, reference.Width);
    ASSERT_EQ(image.Height, reference.Height);
    for (int y = 0; y < image.Height; ++y)
        for (int x = 0; x < image.Width; ++x) {
            const size_t i = size_t(y) * size_t(image.Width) + size_t(x);
            const auto sample = [&](int c) {
                return reference.Components == 1 ? reference.Samples[i]
                                                 : reference.Samples[i * 3 + size_t(c)];
            };
            const TPixel expected{sample(2), sample(1), sample(0), alpha};
            ASSERT_EQ(image.At(x, y), expected) << "at " << x << ", " << y;
        }
}

TEST_F(JpegDecoder, BaselineProgressiveAndGrayscaleMatchLibjpeg)
{
    const TBitmapImage photo = MakePhoto(67, 45);
    for (const std::string options : {"-quality 90", "-progressive", "-grayscale",
                                      "-grayscale -progressive", "-sample 1x1 -optimize",
                                      "-restart 1 -quality 75"}) {
        SCOPED_TRACE(options);
        const std::string path = Cjpeg(photo, options);
        TJpegDecoder decoder;
        TBitmapImage image;
        decoder.ReadImageFile(path, image);
        ExpectSameAsLibjpeg(image, path);
        decoder.OpaqueAlpha = true;
        decoder.ReadImageFile(path, image);
        ExpectSameAsLibjpeg(image, path, 255);
    }
}

// The file is read a piece at a time: a picture far larger than a piece,
// behind a segment the decoder skips that spans several pieces, reads as
// the same bytes in memory do.
TEST_F(JpegDecoder, FilesReadInPiecesAsInMemory)
{
    const std::string path = Cjpeg(MakePhoto(300, 200), "-quality 95");
    const std::vector<uint8_t> plain = ReadFileBytes(path);
    std::vector<uint8_t> bytes(plain.begin(), plain.begin() + 2); // start of image
    for (const uint8_t marker : {0xE1, 0xE2}) { // APP1, kept for its Exif; APP2, skipped
        const size_t length = 60000;
        bytes.insert(bytes.end(), {0xFF, marker, uint8_t(length >> 8), uint8_t(length & 0xFF)});
        bytes.insert(bytes.end(), length - 2, 0x5A);
    }
    bytes.insert(bytes.end(), plain.begin() + 2, plain.end());
    WriteFileBytes(Dir + "/long.jpg", bytes);
    TJpegDecoder decoder;
    TBitmapImage fromFile, fromMemory;
    decoder.ReadImageFile(Dir + "/long.jpg", fromFile);
    decoder.ReadImageMemory(bytes.data(), bytes.size(), "long.jpg", fromMemory);
    ASSERT_EQ(fromFile.Width, 300);
    EXPECT_EQ(fromFile.Pixels, fromMemory.Pixels);
    ExpectSameAsLibjpeg(fromFile, path);
}

TEST_F(JpegDecoder, ColoursLandInTheirChannelsTopRowFirst)
{
    TJpegDecoder decoder;
    TBitmapImage image;
    decoder.ReadImageFile(Cjpeg(RedOnBlue(), "-quality 100 -sample 1x1"), image);
    ASSERT_EQ(image.Width, 6);
    ASSERT_EQ(image.Height, 5);
    const auto near = [](const TPixel &p, int r, int g, int b) {
        return std::abs(p.Red - r) < 24 && std::abs(p.Green - g) < 24 && std::abs(p.Blue - b) < 24
            && p.Alpha == 0;
    };
    EXPECT_TRUE(near(image.At(0, 0), 0, 0, 255));
    EXPECT_TRUE(near(image.At(2, 2), 255, 0, 0));
    EXPECT_TRUE(near(image.At(5, 0), 0, 255, 0));
    EXPECT_TRUE(near(image.At(5, 4), 0, 0, 255));
}

TEST_F(JpegDecoder, ScaledDecodingRoundsEachSideUp)
{
    const std::string path = Cjpeg(MakePhoto(67, 45), "-quality 90");
    TJpegDecoder decoder;
    decoder.ScaleDenominator = 8;
    TBitmapImage image;
    decoder.ReadImageFile(path, image);
    EXPECT_EQ(image.Width, 9);
    EXPECT_EQ(image.Height, 6);
    decoder.ScaleDenominator = 3;
    EXPECT_THROW(decoder.ReadImageFile(path, image), EJpegError);
}

// A flat CMYK picture written through libjpeg, as print workflows do:
// stored as YCCK or plain CMYK, with or without Adobe's inverted inks.
std::vector<uint8_t> CmykJpeg(J_COLOR_SPACE stored, bool adobeInverted, const uint8_t ink[4])
{
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char *buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = 16;
    info.image_height = 8;
    info.input_components = 4;
    info.in_color_space = JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_colorspace(&info, stored);
    jpeg_set_quality(&info, 100, TRUE);
    info.write_Adobe_marker = adobeInverted;
    jpeg_start_compress(&info, TRUE);
    std::vector<uint8_t> row(16 * 4);
    for (size_t x = 0; x < 16; ++x)
        for (size_t c = 0; c < 4; ++c)
            row[x * 4 + c] = adobeInverted ? uint8_t(255 - ink[c]) : ink[c];
    while (info.next_scanline < info.image_height) {
        JSAMPROW pointer = row.data();
        jpeg_write_scanlines(&info, &pointer, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

TEST_F(JpegDecoder, CmykAndYcckFilesBecomeTheirColours)
{
    // Full magenta and yellow, no cyan, a quarter black: a darkish red.
    const uint8_t ink[4] = {0, 255, 255, 64};
    for (const J_COLOR_SPACE stored : {JCS_CMYK, JCS_YCCK})
        for (const bool adobe : {true, false}) {
            if (stored == JCS_YCCK && !adobe)
                continue; // YCCK is Adobe's own; it always carries the segment
            SCOPED_TRACE(std::to_string(int(stored)) + (adobe ? " Adobe" : " plain"));
            const std::vector<uint8_t> bytes = CmykJpeg(stored, adobe, ink);
            TJpegDecoder decoder;
            TBitmapImage image;
            decoder.ReadImageMemory(bytes.data(), bytes.size(), "cmyk.jpg", image);
            ASSERT_EQ(image.Width, 16);
            const TPixel p = image.At(7, 3);
            EXPECT_NEAR(p.Red, 191, 3);
            EXPECT_NEAR(p.Green, 0, 3);
            EXPECT_NEAR(p.Blue, 0, 3);
            EXPECT_EQ(p.Alpha, 0);
            decoder.OpaqueAlpha = true;
            decoder.ReadImageMemory(bytes.data(), bytes.size(), "cmyk.jpg", image);
            EXPECT_EQ(image.At(7, 3), (TPixel{p.Blue, p.Green, p.Red, 255}));
        }
}

TEST_F(JpegDecoder, DamagedFilesAreErrorsNamingTheFile)
{
    const std::string good = Cjpeg(MakePhoto(64, 48), "-quality 90");
    const std::vector<uint8_t> bytes = ReadFileBytes(good);
    const std::string progressive = Cjpeg(MakePhoto(64, 48), "-progressive", "p.jpg");
    const std::vector<uint8_t> progressiveBytes = ReadFileBytes(progressive);

    const std::string truncated = Dir + "/truncated.jpg";
    WriteFileBytes(truncated, {bytes.begin(), bytes.begin() + std::ptrdiff_t(bytes.size() / 2)});
    EXPECT_NE(DecodeError(truncated).find(truncated), std::string::npos) << DecodeError(truncated);

    const std::string truncatedProgressive = Dir + "/truncated-progressive.jpg";
    WriteFileBytes(truncatedProgressive, {progressiveBytes.begin(),
                                          progressiveBytes.begin() + std::ptrdiff_t(progressiveBytes.size() * 2 / 3)});
    EXPECT_NE(DecodeError(truncatedProgressive), "");

    const std::string headerOnly = Dir + "/header.jpg";
    WriteFileBytes(headerOnly, {bytes.begin(), bytes.begin() + 20});
    EXPECT_NE(DecodeError(headerOnly), "");

    const std::string notJpeg = Dir + "/text.jpg";
    WriteFileBytes(notJpeg, {'h', 'e', 'l', 'l', 'o'});
    EXPECT_NE(DecodeError(notJpeg).find("text.jpg"), std::string::npos);

    const std::string empty = Dir + "/empty.jpg";
    WriteFileBytes(empty, {});
    EXPECT_NE(DecodeError(empty).find("empty.jpg"), std::string::npos);

    TBitmapImage image;
    EXPECT_THROW(TJpegDecoder().ReadImageFile(Dir + "/missing.jpg", image), EFOpenError);
}

TEST_F(JpegDecoder, CorruptedBytesNeverCrash)
{
    const std::vector<uint8_t> sources[] = {
        ReadFileBytes(Cjpeg(MakePhoto(40, 30), "-quality 80")),
        ReadFileBytes(Cjpeg(MakePhoto(40, 30), "-progressive", "p.jpg")),
    };
    unsigned seed = 7;
    for (const auto &source : sources)
        for (int round = 0; round < 300; ++round) {
            std::vector<uint8_t> bytes = source;
            for (int flips = 0; flips < 4; ++flips) {
                seed = seed * 1103515245u + 12345u;
                bytes[(seed >> 8) % bytes.size()] = uint8_t(seed >> 24);
            }
            TJpegDecoder decoder;
            TBitmapImage image;
            try {
                decoder.ReadImageMemory(bytes.data(), bytes.size(), "fuzzed.jpg", image);
            } catch (const EJpegError &error) {
                EXPECT_NE(std::string(error.what()).find("fuzzed.jpg"), std::string::npos);
            }
        }
}

TEST_F(JpegDecoder, HugeDeclaredSizeIsRefusedBeforeDecoding)
{
    std::vector<uint8_t> bytes = ReadFileBytes(Cjpeg(MakePhoto(16, 16), "-quality 90"));
    // The baseline frame header FF C0: length (2), precision (1), height, width.
    for (size_t i = 0; i + 9 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            bytes[i + 5] = bytes[i + 7] = 0x7F;
            bytes[i + 6] = bytes[i + 8] = 0xF0;
            break;
        }
    TJpegDecoder decoder;
    TBitmapImage image;
    try {
        decoder.ReadImageMemory(bytes.data(), bytes.size(), "huge.jpg", image);
        FAIL() << "a 32752 x 32752 picture was accepted";
    } catch (const EJpegError &error) {
        EXPECT_NE(std::string(error.what()).find("too large"), std::string::npos) << error.what();
    }
    EXPECT_EQ(image.PixelCount, 0);
}

TEST_F(JpegDecoder, ProgressFunctionCanStopTheDecode)
{
    const std::string path = Cjpeg(MakePhoto(64, 64), "-quality 90");
    TJpegDecoder decoder;
    decoder.ProgressFunction = [](TBitmapImageCoder &, uint32_t, uint32_t, uint32_t,
                                  const std::string &description, uint32_t, bool &abort) {
        EXPECT_EQ(description, "JPEG Decode");
        abort = true;
    };
    TBitmapImage image;
    EXPECT_THROW(decoder.ReadImageFile(path, image), EGraphicsAbort);
    // The same decoder reads the next file normally.
    decoder.ProgressFunction = nullptr;
    decoder.ReadImageFile(path, image);
    EXPECT_EQ(image.Width, 64);
}

} // namespace
