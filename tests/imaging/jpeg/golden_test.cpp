// Stored fingerprints of encoded files: every speed-up of the encoder must
// leave each byte of its output as it was. A failure prints the new value;
// only a deliberate change of the output may update the table.

#include "../bmp_builder.h"
#include "imaging/jpeg/image_convert.h"
#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/scanscript.h"
#include "jpeg_test_support.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <random>
#include <tuple>

#include <gtest/gtest.h>

namespace {

// FNV-1a, 64 bits: enough to catch any accidental change of a byte.
struct Fingerprint {
    uint64_t Value = 0xcbf29ce484222325ull;
    void Add(const std::vector<uint8_t> &bytes)
    {
        for (uint8_t b : bytes)
            Value = (Value ^ b) * 0x100000001b3ull;
        for (int i = 0; i < 8; ++i) // the length too, so joined files stay apart
            Value = (Value ^ ((bytes.size() >> (8 * i)) & 0xFF)) * 0x100000001b3ull;
    }
    std::string Hex() const
    {
        char text[17];
        std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(Value));
        return text;
    }
};

// The threads every encoding of a test shares (its parameter).
int threads = 1;

std::vector<uint8_t> Encode(TJpegEncoder &encoder, const TBitmapImage &image)
{
    encoder.SetThreads(threads);
    TMemoryOutputStream stream;
    encoder.WriteToStream(stream, image);
    return stream.Bytes();
}

std::string FingerprintOf(TJpegEncoder &encoder, const TBitmapImage &image)
{
    Fingerprint print;
    print.Add(Encode(encoder, image));
    return print.Hex();
}

// Uniform noise: large coefficients of every category in every band.
TBitmapImage MakeNoise(int width, int height, unsigned seed)
{
    TBitmapImage image;
    image.SetSize(width, height);
    std::mt19937 random(seed);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            TPixel &p = image.At(x, y);
            p.Red = uint8_t(random());
            p.Green = uint8_t(random());
            p.Blue = uint8_t(random());
        }
    return image;
}

struct GoldenCase {
    const char *Name;
    bool Progressive;
    const char *Script; // progressive only; empty: the default script
    bool Grayscale;
    int Quality;
    std::array<int, 6> Sampling;
    int RestartRows;
    const char *Expected;
};

} // namespace

// Each test runs once per kernel level the CPU supports and per number of
// threads (one, two, and three sharing two cores or fewer): every level and
// every thread count must give the same bytes.
class JpegGoldenOutput : public ::testing::TestWithParam<std::tuple<TJpegSimdLevel, int>> {
protected:
    TScopedSimdLevel Level{std::get<0>(GetParam())};
    void SetUp() override { threads = std::get<1>(GetParam()); }
    void TearDown() override { threads = 1; }
};

INSTANTIATE_TEST_SUITE_P(EveryKernel, JpegGoldenOutput,
                         ::testing::Combine(::testing::ValuesIn(SupportedSimdLevels()), ::testing::Values(1, 2, 3)),
                         [](const auto &info) {
                             return std::string(JpegSimdLevelName(std::get<0>(info.param))) + "_" +
                                    std::to_string(std::get<1>(info.param)) + "threads";
                         });

TEST_P(JpegGoldenOutput, SettingsAndScriptsKeepTheirBytes)
{
    const std::vector<GoldenCase> cases = {
        {"sequential q9", false, "", false, 9, {1, 1, 1, 1, 1, 1}, 0, "2e45d69be8589551 b2a4a3c6a6625367"},
        {"sequential q3", false, "", false, 3, {1, 1, 1, 1, 1, 1}, 0, "0cea3a58b188dff1 c73493e9823b4275"},
        {"sequential gray", false, "", true, 9, {1, 1, 1, 1, 1, 1}, 0, "a86d6ade57cbb8bd 1a1966a977596c50"},
        {"sequential 2x2 restart", false, "", false, 6, {2, 2, 1, 1, 1, 1}, 1, "8e6c7a6acc0f9289 85dd47e2008ad71b"},
        {"sequential 2x1 1x2", false, "", false, 9, {2, 1, 1, 2, 1, 1}, 2, "97595b3227db871c 427feeb10de7df56"},
        {"progressive default", true, "", false, 9, {1, 1, 1, 1, 1, 1}, 0, "4051415479cbd037 dd57cf51c932707f"},
        {"progressive default gray", true, "", true, 9, {1, 1, 1, 1, 1, 1}, 0, "d5643473143f1c46 f1636c446d653c9f"},
        {"progressive spectral", true, "y+cb+cr:0:0 y:5:0 y:63:0 cb:63:0 cr:63:0", false, 3, {1, 1, 1, 1, 1, 1}, 0, "484042ce0bf6b626 e72340492474b94d"},
        {"progressive mixed", true, "y:0:2 cb:0:0 cr:0:13 y:1:1 y:2:0 y:63:13 cb:63:3 cr:10:0 cr:63:1", false, 9,
         {1, 1, 1, 1, 1, 1}, 0, "b4baee51a187a8a4 d0cdf36db4bfcdc9"},
        {"progressive gray 13", true, "y:0:13 y:63:13", true, 9, {1, 1, 1, 1, 1, 1}, 0, "52a85ad44ec5c009 c28da0649243abcc"},
        {"progressive gray q0", true, "y:0:1 y:9:3 y:63:1", true, 0, {2, 2, 1, 1, 1, 1}, 0, "d5d44e7b1c339651 a01636d6f4fc8c0a"},
        {"progressive default 2x2", true, "", false, 3, {2, 2, 1, 1, 1, 1}, 0, "6a064ee37feda405 4f282773777384dd"},
        {"progressive sampled", true, "y+cb+cr:0:3 cr:63:2 cb:20:1 cb:63:0 y:2:4 y:40:2 y:63:5", false, 9,
         {2, 1, 1, 2, 1, 1}, 0, "eea232483b48d4eb c4e9240aae5ec018"},
        {"progressive 3x1", true, "y+cb+cr:0:1 y:63:1 cb:63:1 cr:63:1", false, 9, {3, 1, 1, 1, 1, 1}, 0, "15e90730a5b6338b e18e25d2246d0333"},
    };
    const TBitmapImage photo = MakePhoto(203, 117, 21);
    const TBitmapImage noise = MakeNoise(61, 45, 5);
    for (const GoldenCase &c : cases) {
        std::string actual;
        for (const TBitmapImage *image : {&photo, &noise}) {
            TJpegEncoder encoder;
            encoder.SetGrayscale(c.Grayscale);
            encoder.SetQuality(c.Quality);
            encoder.SetRestartRows(c.RestartRows);
            for (int component = 1; component <= 3; ++component)
                encoder.SetSampling(component, c.Sampling[size_t(2 * component - 2)],
                                    c.Sampling[size_t(2 * component - 1)]);
            encoder.SetProgressive(c.Progressive);
            if (c.Progressive && *c.Script == 0)
                ApplyDefaultProgressiveScript(encoder);
            else if (c.Progressive)
                ApplyScanScript(encoder, c.Script, true);
            if (!actual.empty())
                actual += ' ';
            actual += FingerprintOf(encoder, *image);
        }
        EXPECT_EQ(actual, c.Expected) << c.Name;
    }
}

TEST_P(JpegGoldenOutput, CardSizedPhotoKeepsItsBytes)
{
    // The size of a card export, at the export's settings.
    const TBitmapImage card = MakePhoto(793, 559, 3);
    TJpegEncoder sequential;
    sequential.SetQuality(9);
    EXPECT_EQ(FingerprintOf(sequential, card), "1e1957761c2cecc6");
    TJpegEncoder progressive;
    progressive.SetQuality(9);
    progressive.SetProgressive(true);
    ApplyDefaultProgressiveScript(progressive);
    EXPECT_EQ(FingerprintOf(progressive, card), "f5c806a4c2c36973");
}

TEST_P(JpegGoldenOutput, RandomSettingsKeepTheirBytes)
{
    // Random settings, scripts and sizes, joined into one fingerprint.
    std::mt19937 random(29);
    Fingerprint print;
    for (int trial = 0; trial < 150; ++trial) {
        TJpegEncoder encoder;
        encoder.SetGrayscale(random() % 4 == 0);
        encoder.SetProgressive(random() % 2 == 0);
        encoder.SetQuality(int(random() % 10));
        encoder.SetRestartRows(int(random() % 3));
        for (int c = 1; c <= 3; ++c)
            encoder.SetSampling(c, int(random() % 2) + 1, int(random() % 2) + 1);
        if (encoder.Progressive()) {
            encoder.ClearScans();
            int scans = 0;
            auto add = [&](int components, int end, int approximation) {
                TJpegScan &scan = encoder.Scan(++scans);
                scan.Components.Bits = uint8_t(components << 1);
                scan.SpectralEnd = uint8_t(end);
                scan.Approximation = uint8_t(approximation);
            };
            add(7, 0, int(random() % 4));
            for (int c = 0; c < 3; ++c)
                for (int end = 0; end < 63;) {
                    end = std::min(63, end + 1 + int(random() % 40));
                    add(1 << c, end, int(random() % 14));
                }
        }
        const int width = int(random() % 70) + 1, height = int(random() % 70) + 1;
        const TBitmapImage image = random() % 2 ? MakePhoto(width, height, unsigned(trial))
                                                : MakeNoise(width, height, unsigned(trial));
        try {
            print.Add(Encode(encoder, image));
        } catch (const EJpegError &error) {
            const std::string message = error.what();
            print.Add(std::vector<uint8_t>(message.begin(), message.end()));
        }
    }
    EXPECT_EQ(print.Hex(), "bc4865f3cb3aab91");
}

namespace {

void SetScans(TJpegEncoder &encoder, std::initializer_list<std::initializer_list<int>> scans)
{
    encoder.ClearScans();
    int i = 1;
    for (auto components : scans)
        encoder.Scan(i++).Components = TJpegComponentSet::Of(components);
}

} // namespace

TEST_P(JpegGoldenOutput, EverySettingTheTestsUseKeepsItsBytes)
{
    // The settings and scripts of the other encoder tests and of the
    // command-line tool's tests, on a photo and on noise.
    struct Case {
        const char *Name;
        std::function<void(TJpegEncoder &)> Configure;
        const char *Expected;
    };
    const std::vector<Case> cases = {
        {"default", [](TJpegEncoder &) {}, "f020eebbbde58198 dcc23f84141e1666"},
        {"quality0", [](TJpegEncoder &e) { e.SetQuality(0); }, "566cda0a18ffdac6 2cd10ca8f2e10b5f"},
        {"gray2x2", [](TJpegEncoder &e) { e.SetGrayscale(true); e.SetSampling(1, 2, 2); }, "d2c0ee4f2e40424e 61ae969a48bffe98"},
        {"420", [](TJpegEncoder &e) { e.SetSampling(1, 2, 2); }, "7ae5048c8a714959 c87018b8c127d78c"},
        {"422 restart", [](TJpegEncoder &e) { e.SetSampling(1, 2, 1); e.SetRestartRows(1); }, "5aadb9643c3153bc eb4eaccb53e5bc03"},
        {"411", [](TJpegEncoder &e) { e.SetSampling(1, 4, 1); }, "ac57877ea5728165 e81896c7b303d83d"},
        {"chroma2x2", [](TJpegEncoder &e) { e.SetSampling(2, 2, 2); e.SetSampling(3, 1, 2); }, "1c6cc34009508f77 2404d646505dccbb"},
        {"factor3", [](TJpegEncoder &e) { e.SetSampling(1, 3, 3); SetScans(e, {{1}, {2, 3}}); e.SetQuality(9); }, "f8931cbcdac6406a ad00c356606678c7"},
        {"factor3x1", [](TJpegEncoder &e) { e.SetSampling(1, 3, 1); e.SetSampling(3, 1, 3); }, "02e5a34d2ad44cb6 f83fdf7e89e1812f"},
        {"4x4split", [](TJpegEncoder &e) { e.SetSampling(1, 4, 4); SetScans(e, {{1}, {2, 3}}); }, "57cc4dfc10d09ce8 1a9510f7897d7ffe"},
        {"threeScans", [](TJpegEncoder &e) { SetScans(e, {{1}, {2}, {3}}); e.SetRestartRows(3); }, "4403d4ba84722c01 ad7cc5abc815c378"},
        {"yThenChroma", [](TJpegEncoder &e) { SetScans(e, {{1}, {2, 3}}); }, "c1e62aae6423d048 ec03ac9d63638d50"},
        {"chromaFirst", [](TJpegEncoder &e) { SetScans(e, {{2, 3}, {1}}); e.SetRestartRows(1); }, "c249f8e59b5c960d 6c6ce02431387b48"},
        {"restart 2x2", [](TJpegEncoder &e) { e.SetRestartRows(1); e.SetSampling(1, 2, 2); }, "7e4d78798bddd675 cb2acd73dd3ffc9f"},
        {"tables", [](TJpegEncoder &e) { e.SetQuantizationTable(3, 2); e.SetQuantizationTable(1, 3); }, "9122b0b98576b216 d94b0aa7d311392b"},
        {"comment", [](TJpegEncoder &e) { e.SetComment("For Mum, with love"); }, "fd53b7658813ca0d db0daf2584203051"},
        {"tool y cb+cr", [](TJpegEncoder &e) { e.SetQuality(9); ApplyScanScript(e, "y cb+cr", false); e.SetRestartRows(2); }, "58beed4d195befbd 986c4d66449e8055"},
        {"tool cr cb y", [](TJpegEncoder &e) { e.SetQuality(9); ApplyScanScript(e, "cr cb y", false); }, "dae38dcfde404d8c 03a7e5d4f3d06420"},
        {"tool 3x1 comment", [](TJpegEncoder &e) { e.SetQuality(9); e.SetSampling(1, 3, 1); e.SetComment("Merry Christmas"); }, "3960058c864d7a37 902c054ecea1fa57"},
        {"tool progressive gray q5", [](TJpegEncoder &e) { e.SetQuality(5); e.SetGrayscale(true); e.SetProgressive(true); ApplyDefaultProgressiveScript(e); }, "da2356f8d68f10c2 87c068f9782f1f14"},
        {"tool progressive 2x2", [](TJpegEncoder &e) {
             e.SetQuality(9);
             e.SetSampling(1, 2, 2);
             e.SetProgressive(true);
             ApplyScanScript(e, "y+cb+cr:0:1 y:5:2 cb:63:1 cr:63:1 y:63:2", true);
         }, "e585f7670e9c98aa 51bfdb0260ba1e96"},
        {"script cr 13", [](TJpegEncoder &e) { e.SetProgressive(true); ApplyScanScript(e, "y+cb+cr:0:1 y:5:2 cb:63:1 cr:63:13 y:63:2", true); }, "df78da6c842a7191 2e5343f1bb787c06"},
        {"progressive restart", [](TJpegEncoder &e) { e.SetRestartRows(1); e.SetProgressive(true); ApplyScanScript(e, "y+cb+cr:0:0 y:5:0 y:63:0 cb:63:0 cr:63:0", true); }, "7db0a7f8f371d80b aa706e92d31d20c5"},
    };
    const TBitmapImage photo = MakePhoto(203, 117, 3);
    const TBitmapImage noise = MakeNoise(77, 41, 8);
    for (const Case &c : cases) {
        std::string actual;
        for (const TBitmapImage *image : {&photo, &noise}) {
            TJpegEncoder encoder;
            c.Configure(encoder);
            if (!actual.empty())
                actual += ' ';
            actual += FingerprintOf(encoder, *image);
        }
        EXPECT_EQ(actual, c.Expected) << c.Name;
    }
}

TEST_P(JpegGoldenOutput, SizesAroundEveryEdgeKeepTheirBytes)
{
    // Widths and heights on both sides of block, MCU and strip edges, in
    // one fingerprint per setting.
    struct Case {
        const char *Name;
        std::function<void(TJpegEncoder &)> Configure;
        const char *Expected;
    };
    const std::vector<Case> cases = {
        {"sequential", [](TJpegEncoder &e) { e.SetQuality(9); }, "26818f760924d891"},
        {"gray", [](TJpegEncoder &e) { e.SetGrayscale(true); }, "2a3126e953e6f11d"},
        {"2x2 restart", [](TJpegEncoder &e) { e.SetSampling(1, 2, 2); e.SetRestartRows(2); }, "e8a3904720e7b8b8"},
        {"progressive", [](TJpegEncoder &e) { e.SetProgressive(true); ApplyDefaultProgressiveScript(e); }, "dcfa50f8e34efac7"},
    };
    const int sizes[] = {1, 2, 7, 8, 9, 15, 16, 17, 31, 33, 64, 100};
    for (const Case &c : cases) {
        Fingerprint print;
        for (int width : sizes)
            for (int height : sizes) {
                TJpegEncoder encoder;
                c.Configure(encoder);
                print.Add(Encode(encoder, MakePhoto(width, height, unsigned(width * 131 + height))));
            }
        EXPECT_EQ(print.Hex(), c.Expected) << c.Name;
    }
}

TEST_P(JpegGoldenOutput, LargeImagesKeepTheirBytes)
{
    // Many rows and blocks, so that work shared out by rows and end-of-band
    // runs that reach their limit (32767 blocks) are covered.
    const TBitmapImage photo = MakePhoto(1000, 700, 11);
    TJpegEncoder sequential;
    sequential.SetQuality(9);
    TJpegEncoder progressive;
    progressive.SetQuality(9);
    progressive.SetProgressive(true);
    ApplyDefaultProgressiveScript(progressive);
    TJpegEncoder restart;
    restart.SetSampling(1, 2, 2);
    restart.SetRestartRows(3);
    EXPECT_EQ(FingerprintOf(sequential, photo) + " " + FingerprintOf(progressive, photo) + " " +
                  FingerprintOf(restart, photo),
              "0ef8fe0f9e989fd1 7e326ddf270ec7e8 de1443a471c2de64");

    // Mostly flat: nearly every block ends its bands with zeros.
    TBitmapImage flat = MakeFlat(1601, 1400, 200, 120, 40);
    for (int i = 0; i < 40; ++i)
        flat.At(37 * i, 31 * i) = TPixel{0, 255, 0, 0};
    TJpegEncoder runs;
    runs.SetProgressive(true);
    ApplyScanScript(runs, "y+cb+cr:0:1 y:5:2 cr:63:1 cb:63:1 y:63:2", true);
    TJpegEncoder gray;
    gray.SetGrayscale(true);
    gray.SetProgressive(true);
    ApplyScanScript(gray, "y:0:0 y:63:1", true);
    EXPECT_EQ(FingerprintOf(runs, flat) + " " + FingerprintOf(gray, flat), "743c10c54bbef54b 400643dd3b2a40fb");

    const TBitmapImage noise = MakeNoise(640, 480, 17);
    TJpegEncoder loud;
    loud.SetQuality(9);
    EXPECT_EQ(FingerprintOf(loud, noise), "6669c4f7663c1e27");
}

TEST_P(JpegGoldenOutput, ConvertedBitmapFilesKeepTheirBytes)
{
    // The export's conversion of BMP files of several layouts, each holding
    // the same picture.
    const std::string dir = MakeTempDir();
    const TBitmapImage picture = MakePhoto(83, 50, 13);
    auto rows = [&](int bytesPerPixel, bool topDown) {
        std::string pixels;
        for (int i = 0; i < picture.Height; ++i) {
            const int y = topDown ? i : picture.Height - 1 - i;
            std::string row;
            for (int x = 0; x < picture.Width; ++x) {
                const TPixel &p = picture.At(x, y);
                row += char(p.Blue);
                row += char(p.Green);
                row += char(p.Red);
                if (bytesPerPixel == 4)
                    row += '\0';
            }
            row.resize((row.size() + 3) & ~size_t(3), '\0');
            pixels += row;
        }
        return pixels;
    };
    auto file = [&](int bitCount, bool topDown, uint32_t headerSize) {
        bmptest::BmpFile bmp = bmptest::Sized(picture.Width, topDown ? -picture.Height : picture.Height,
                                              uint16_t(bitCount));
        bmp.HeaderSize = headerSize;
        bmp.Pixels = rows(bitCount / 8, topDown);
        return bmp.Build();
    };
    Fingerprint print;
    for (const std::string &bytes : {file(24, false, 40), file(24, true, 40), file(32, false, 40),
                                     file(32, true, 108), file(24, false, 12)}) {
        WriteFileBytes(dir + "/Temp.bmp", std::vector<uint8_t>(bytes.begin(), bytes.end()));
        for (int quality : {9, 3}) {
            TJpegEncoder encoder;
            encoder.SetThreads(threads);
            ASSERT_TRUE(ConvertBmpToJpeg(dir + "/Temp.bmp", dir + "/card.jpg", quality, encoder));
            print.Add(ReadFileBytes(dir + "/card.jpg"));
        }
    }
    std::filesystem::remove_all(dir);
    EXPECT_EQ(print.Hex(), "2bcaa2ba6000d4e5");
}

namespace {

// Every progress report of an encoding, in order, as one fingerprint.
Fingerprint *progressPrint = nullptr;

void RecordProgress(TBitmapImageCoder &, uint32_t, uint32_t pass, uint32_t passes, const std::string &description,
                    uint32_t percent, bool &)
{
    const std::string line = std::to_string(pass) + "/" + std::to_string(passes) + " " + description + " " +
                             std::to_string(percent) + "\n";
    progressPrint->Add(std::vector<uint8_t>(line.begin(), line.end()));
}

} // namespace

TEST_P(JpegGoldenOutput, ProgressReportsKeepTheirOrder)
{
    struct Case {
        const char *Name;
        std::function<void(TJpegEncoder &)> Configure;
        const char *Expected;
    };
    const std::vector<Case> cases = {
        {"sequential", [](TJpegEncoder &e) { e.SetQuality(9); }, "c3cca76cb330cd07"},
        {"gray", [](TJpegEncoder &e) { e.SetGrayscale(true); }, "4a1c5b1a25d6ba7b"},
        {"two scans 2x2 restart", [](TJpegEncoder &e) { e.SetSampling(1, 2, 2); e.SetRestartRows(1); SetScans(e, {{1}, {2, 3}}); }, "7b1822c4750fa7d2"},
        {"progressive", [](TJpegEncoder &e) { e.SetProgressive(true); ApplyDefaultProgressiveScript(e); }, "5fab9c6fe457fdda"},
        {"progressive gray", [](TJpegEncoder &e) { e.SetGrayscale(true); e.SetProgressive(true); ApplyDefaultProgressiveScript(e); }, "dbc4ee697b36dbb2"},
    };
    const TBitmapImage photo = MakePhoto(203, 117, 3);
    for (const Case &c : cases) {
        Fingerprint print;
        progressPrint = &print;
        TJpegEncoder encoder;
        c.Configure(encoder);
        encoder.ProgressFunction = RecordProgress;
        Encode(encoder, photo);
        progressPrint = nullptr;
        EXPECT_EQ(print.Hex(), c.Expected) << c.Name;
    }
}
