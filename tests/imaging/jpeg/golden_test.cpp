// Stored fingerprints of encoded files: every speed-up of the encoder must
// leave each byte of its output as it was. A failure prints the new value;
// only a deliberate change of the output may update the table.

#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/scanscript.h"
#include "jpeg_test_support.h"

#include <cstdio>
#include <random>

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

std::vector<uint8_t> Encode(TJpegEncoder &encoder, const TBitmapImage &image)
{
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

// Each test runs once per kernel level the CPU supports: every level must
// give the same bytes.
class JpegGoldenOutput : public ::testing::TestWithParam<TJpegSimdLevel> {
protected:
    TScopedSimdLevel Level{GetParam()};
};

INSTANTIATE_TEST_SUITE_P(EveryKernel, JpegGoldenOutput, ::testing::ValuesIn(SupportedSimdLevels()),
                         [](const auto &info) { return std::string(JpegSimdLevelName(info.param)); });

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
