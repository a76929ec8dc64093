// The encoder's files as libjpeg-turbo sees them: accepted with warnings
// fatal, and as faithful as its own encoder's at the same job.

#include "imaging/jpeg/jpegencoder.h"
#include "jpeg_test_support.h"

#include <filesystem>
#include <functional>

#include <gtest/gtest.h>

namespace {

class JpegRealWorld : public ::testing::Test {
protected:
    std::string Dir = MakeTempDir();
    void TearDown() override { std::filesystem::remove_all(Dir); }

    std::string Write(const std::string &name, const TBitmapImage &image,
                      const std::function<void(TJpegEncoder &)> &configure)
    {
        TJpegEncoder encoder;
        configure(encoder);
        const std::string path = Dir + "/" + name + ".jpg";
        encoder.WriteImageFile(path, image);
        return path;
    }
};

void Scans(TJpegEncoder &encoder, std::initializer_list<std::initializer_list<int>> scans)
{
    encoder.ClearScans();
    int i = 1;
    for (auto components : scans)
        encoder.Scan(i++).Components = TJpegComponentSet::Of(components);
}

} // namespace

TEST_F(JpegRealWorld, EverySettingDecodes)
{
    // Odd sizes, so every edge padding and partial MCU is exercised.
    const TBitmapImage photo = MakePhoto(203, 117, 3);
    struct Case {
        std::string Name;
        std::function<void(TJpegEncoder &)> Configure;
        double MinPsnr;
    };
    const std::vector<Case> cases = {
        {"default", [](TJpegEncoder &) {}, 30},
        {"quality0", [](TJpegEncoder &e) { e.SetQuality(0); }, 20},
        {"quality9", [](TJpegEncoder &e) { e.SetQuality(9); }, 45},
        {"grayscale", [](TJpegEncoder &e) { e.SetGrayscale(true); e.SetQuality(9); }, 10},
        {"gray2x2", [](TJpegEncoder &e) { e.SetGrayscale(true); e.SetSampling(1, 2, 2); }, 10},
        {"420", [](TJpegEncoder &e) { e.SetSampling(1, 2, 2); }, 28},
        {"422", [](TJpegEncoder &e) { e.SetSampling(1, 2, 1); e.SetRestartRows(1); }, 28},
        {"411", [](TJpegEncoder &e) { e.SetSampling(1, 4, 1); }, 25},
        {"chroma2x2", [](TJpegEncoder &e) { e.SetSampling(2, 2, 2); e.SetSampling(3, 1, 2); }, 28},
        {"factor3", [](TJpegEncoder &e) { e.SetSampling(1, 3, 3); Scans(e, {{1}, {2, 3}}); e.SetQuality(9); }, 30},
        {"factor3x1", [](TJpegEncoder &e) { e.SetSampling(1, 3, 1); e.SetSampling(3, 1, 3); }, 25},
        {"4x4split", [](TJpegEncoder &e) { e.SetSampling(1, 4, 4); Scans(e, {{1}, {2, 3}}); }, 25},
        {"threeScans", [](TJpegEncoder &e) { Scans(e, {{1}, {2}, {3}}); e.SetRestartRows(3); }, 30},
        {"yThenChroma", [](TJpegEncoder &e) { Scans(e, {{1}, {2, 3}}); }, 30},
        {"chromaFirst", [](TJpegEncoder &e) { Scans(e, {{2, 3}, {1}}); e.SetRestartRows(1); }, 30},
        {"restart", [](TJpegEncoder &e) { e.SetRestartRows(1); e.SetSampling(1, 2, 2); }, 28},
        {"tables", [](TJpegEncoder &e) { e.SetQuantizationTable(3, 2); e.SetQuantizationTable(1, 3); }, 30},
        {"comment", [](TJpegEncoder &e) { e.SetComment("For Mum, with love"); }, 30},
    };
    for (const Case &c : cases) {
        const std::string path = Write(c.Name, photo, c.Configure);
        EXPECT_TRUE(AcceptedByLibjpeg(path)) << c.Name;
        const DecodedImage decoded = DecodeJpegFile(path);
        ASSERT_TRUE(decoded.Ok()) << c.Name << ": " << decoded.Error;
        EXPECT_EQ(decoded.Width, 203) << c.Name;
        EXPECT_EQ(decoded.Height, 117) << c.Name;
        EXPECT_GE(Psnr(photo, decoded), c.MinPsnr) << c.Name;
    }
    // Tiny pictures: a single pixel and a single row.
    for (auto [w, h] : {std::pair{1, 1}, std::pair{1, 9}, std::pair{65, 1}}) {
        const std::string path = Write("tiny", MakePhoto(w, h), [](TJpegEncoder &e) { e.SetSampling(1, 2, 2); });
        EXPECT_TRUE(AcceptedByLibjpeg(path)) << w << "x" << h;
    }
}

TEST_F(JpegRealWorld, QualityNineIsAsFaithfulAsLibjpeg)
{
    for (auto [w, h, seed] : {std::tuple{240, 160, 11u}, std::tuple{97, 61, 12u}}) {
        const TBitmapImage photo = MakePhoto(w, h, seed);
        const std::string ours = Write("ours", photo, [](TJpegEncoder &e) { e.SetQuality(9); });
        const std::string bmp = Dir + "/photo.bmp";
        const std::string theirs = Dir + "/theirs.jpg";
        WriteBmp24(bmp, photo);
        ASSERT_EQ(RunCommand("cjpeg -quality 100 -sample 1x1 -dct float -outfile '" + theirs + "' '" + bmp + "'"), 0);
        const double ourPsnr = Psnr(photo, DecodeJpegFile(ours));
        const double theirPsnr = Psnr(photo, DecodeJpegFile(theirs));
        EXPECT_GE(ourPsnr, theirPsnr - 0.3) << w << "x" << h;
    }
    // Flat colours come back within 2 per channel.
    for (auto [r, g, b] : {std::tuple{255, 0, 0}, std::tuple{0, 0, 255}, std::tuple{12, 200, 90},
                           std::tuple{255, 255, 255}, std::tuple{0, 0, 0}, std::tuple{128, 64, 250}}) {
        const TBitmapImage flat = MakeFlat(21, 13, uint8_t(r), uint8_t(g), uint8_t(b));
        const std::string path = Write("flat", flat, [](TJpegEncoder &e) { e.SetQuality(9); });
        EXPECT_LE(MaxDifference(flat, DecodeJpegFile(path)), 2) << r << "," << g << "," << b;
    }
}
