#include "imaging/jpeg/jpegencoder.h"
#include "imaging/jpeg/scanscript.h"
#include "jpeg_test_support.h"

#include <filesystem>
#include <random>

#include <gtest/gtest.h>

using Bytes = std::vector<uint8_t>;

namespace {

// What a coder handed to its procedures.
struct Symbol {
    int Code;
    int32_t Bits; // the extra bits, masked to Count bits
    int Count;
    friend bool operator==(const Symbol &, const Symbol &) = default;
};
std::vector<Symbol> recorded;

void RecordAc(TJpegEncoderComponent &, int symbol, int32_t bits, int count)
{
    recorded.push_back({symbol, count == 0 ? 0 : int32_t(uint32_t(bits) & ((1u << count) - 1u)), count});
}

void RecordDc(TJpegEncoderComponent &, int category, int32_t bits)
{
    recorded.push_back({category, category == 0 ? 0 : int32_t(uint32_t(bits) & ((1u << category) - 1u)), category});
}

// One row of blocks, all zero unless set.
TJpegEncoderComponent Blocks(uint32_t count)
{
    TJpegEncoderComponent component;
    component.FDuRows = component.FScanRows = 1;
    component.FDuCols = component.FScanCols = count;
    component.FCoefficients.assign(count, TJpegCoefficientBlock{});
    return component;
}

void SetZigzag(TJpegCoefficientBlock &block, int k, int16_t value)
{
    block[JpegZigzag[size_t(k)]] = value;
}

Bytes Encode(TJpegEncoder &encoder, const TBitmapImage &image)
{
    TMemoryOutputStream stream;
    encoder.WriteToStream(stream, image);
    return stream.Bytes();
}

std::string ScriptError(const std::string &script, bool grayscale = false)
{
    TJpegEncoder encoder;
    encoder.SetProgressive(true);
    encoder.SetGrayscale(grayscale);
    ApplyScanScript(encoder, script, true);
    try {
        Encode(encoder, MakePhoto(16, 16));
    } catch (const EJpegError &error) {
        return error.what();
    }
    return "no error";
}

// (Ss, Se, Ah, Al) of every SOS segment, in file order.
std::vector<std::array<int, 4>> ScanHeaders(const Bytes &file)
{
    std::vector<std::array<int, 4>> headers;
    for (size_t at = 0; at + 3 < file.size(); ++at)
        if (file[at] == 0xFF && file[at + 1] == 0xDA) {
            const size_t end = at + 2 + (size_t(file[at + 2]) << 8 | file[at + 3]);
            headers.push_back({file[end - 3], file[end - 2], file[end - 1] >> 4, file[end - 1] & 15});
        }
    return headers;
}

} // namespace

TEST(JpegProgressiveScript, Messages)
{
    TJpegEncoder encoder; // the default script is one sequential scan
    encoder.SetProgressive(true);
    try {
        Encode(encoder, MakePhoto(8, 8));
        FAIL();
    } catch (const EJpegError &error) {
        EXPECT_STREQ(error.what(), "Scan contains no components");
    }
    EXPECT_EQ(ScriptError("y:63:0"), "AC Scan specified before DC scan for Y Component");
    EXPECT_EQ(ScriptError("y:0:0 y:5:0 y:5:0"), "Duplicate or overlapping spectral selection for Y Component");
    EXPECT_EQ(ScriptError("y+cb+cr:0:0 y+cb:5:0"), "Multiple Components in AC Scan");
    EXPECT_EQ(ScriptError("y+cb+cr:0:14"), "Successive Approximation too large");
    EXPECT_EQ(ScriptError("y:0:0 y+cb+cr:0:0"), "Duplicate Y Component Scan");
    EXPECT_EQ(ScriptError("y+cb+cr:0:0 cb:0:0"), "Duplicate Cb Component Scan");
    EXPECT_EQ(ScriptError("y+cb+cr:0:0 cr:0:0"), "Duplicate Cr Component Scan");
    EXPECT_EQ(ScriptError("y:0:0 cb:9:0"), "AC Scan specified before DC scan for cb Component");
    EXPECT_EQ(ScriptError("y:0:0 cr:9:0"), "AC Scan specified before DC scan for Cr Component");
    EXPECT_EQ(ScriptError("y+cb+cr:0:0 cb:9:0 cb:8:0"), "Duplicate or overlapping spectral selection for Cb Component");
    EXPECT_EQ(ScriptError("y+cb+cr:0:0 cr:9:0 cr:9:0"), "Duplicate or overlapping spectral selection for Cr Component");
    EXPECT_EQ(ScriptError("y+cb+cr:0:0 y:63:0 cb:63:0 cr:62:0"), "Scan contains no components");
    // Grayscale output ignores scans without Y; 256 of them leave Y undefined.
    std::string chroma;
    for (int i = 0; i < 256; ++i)
        chroma += "cb:0:0 ";
    EXPECT_EQ(ScriptError(chroma, true), "Y Component not completely defined by scans");
    EXPECT_EQ(ScriptError("y+cb+cr:0:0 y:63:13 cb:63:0 cr:63:0"), "no error");
    // Descriptors after the one that completes the frame are ignored.
    EXPECT_EQ(ScriptError("y+cb+cr:0:0 y:63:0 cb:63:0 cr:63:0 y:63:0"), "no error");
}

TEST(JpegProgressiveFrame, SpectralStartsAndEmissionOrder)
{
    TJpegEncoder encoder;
    encoder.SetProgressive(true);
    encoder.SetRestartRows(1); // sequential scans only: no DRI, no RST here
    ApplyScanScript(encoder, "y+cb+cr:0:0 y:5:0 y:63:0 cb:63:0 cr:63:0", true);
    Bytes file = Encode(encoder, MakePhoto(40, 24));
    EXPECT_EQ(ScanHeaders(file), (std::vector<std::array<int, 4>>{
                                     {0, 0, 0, 0}, {1, 5, 0, 0}, {6, 63, 0, 0}, {1, 63, 0, 0}, {1, 63, 0, 0}}));
    EXPECT_EQ(file[file.size() - 2], 0xFF);
    for (size_t at = 0; at + 1 < file.size(); ++at)
        ASSERT_FALSE(file[at] == 0xFF && (file[at + 1] == 0xDD || (file[at + 1] & 0xF8) == 0xD0)) << at;
    const Bytes sof{0xFF, 0xC2, 0x00, 0x11};
    EXPECT_NE(std::search(file.begin(), file.end(), sof.begin(), sof.end()), file.end());

    // Approximation 2: first emissions of all, then the refinements in rounds.
    TJpegEncoder gray;
    gray.SetProgressive(true);
    gray.SetGrayscale(true);
    ApplyScanScript(gray, "y:0:1 y:63:2", true);
    file = Encode(gray, MakePhoto(24, 24));
    EXPECT_EQ(ScanHeaders(file), (std::vector<std::array<int, 4>>{
                                     {0, 0, 0, 1}, {1, 63, 0, 2}, {0, 0, 1, 0}, {1, 63, 2, 1}, {1, 63, 1, 0}}));
    EXPECT_EQ(gray.PassCount(), 1u + 2u + 3u);
    EXPECT_EQ(gray.Scan(2).ApproxLow, -1);
}

TEST(JpegProgressiveCoding, EndOfBandRuns)
{
    TJpegEncoder encoder;
    TJpegEncoderComponent five = Blocks(6);
    SetZigzag(five.FCoefficients[5], 3, 7);
    recorded.clear();
    for (uint32_t col = 0; col < 6; ++col)
        encoder.CodeAcFirst(five, 0, col, RecordAc, 1, 63, 0);
    // Five empty bands: EOB2 with the run's low bits 01, then the coefficient
    // after two zeros.
    EXPECT_EQ(recorded, (std::vector<Symbol>{{0x20, 1, 2}, {0x23, 7, 3}}));
    recorded.clear();
    TJpegEncoder::EmitEobRun(five, RecordAc);
    EXPECT_EQ(recorded, (std::vector<Symbol>{{0x00, 0, 0}})); // the last block's band: a run of 1

    TJpegEncoderComponent many = Blocks(40000);
    recorded.clear();
    for (uint32_t col = 0; col < 40000; ++col)
        encoder.CodeAcFirst(many, 0, col, RecordAc, 1, 63, 0);
    TJpegEncoder::EmitEobRun(many, RecordAc);
    EXPECT_EQ(recorded, (std::vector<Symbol>{{0xE0, 0x3FFF, 14}, {0xC0, 7233 & 0xFFF, 12}}));

    EXPECT_THROW(encoder.CodeAcFirst(five, 0, 6, RecordAc, 1, 63, 0), EJpegError);
}

TEST(JpegProgressiveCoding, PointTransforms)
{
    TJpegEncoder encoder;
    TJpegEncoderComponent component = Blocks(1);
    SetZigzag(component.FCoefficients[0], 1, -3); // becomes -1
    SetZigzag(component.FCoefficients[0], 2, 1);  // becomes 0
    SetZigzag(component.FCoefficients[0], 3, -8); // becomes -4
    recorded.clear();
    encoder.CodeAcFirst(component, 0, 0, RecordAc, 1, 3, 1);
    EXPECT_EQ(recorded, (std::vector<Symbol>{{0x01, 0, 1}, {0x13, 0b011, 3}}));

    component.FCoefficients[0][0] = -3; // the DC shifts arithmetically: -2
    component.FLastDc = 0;
    recorded.clear();
    encoder.CodeDcFirst(component, 0, 0, RecordDc, nullptr, 0, 0, 1);
    EXPECT_EQ(recorded, (std::vector<Symbol>{{2, 0b01, 2}}));
    EXPECT_EQ(component.FLastDc, -2);
}

TEST(JpegProgressiveCoding, RefinementWithTwentyZeroHistoryPositions)
{
    TJpegEncoder encoder;
    TJpegEncoderComponent component = Blocks(1);
    TJpegCoefficientBlock &block = component.FCoefficients[0];
    SetZigzag(block, 2, 3);   // significant before: correction bit 1
    SetZigzag(block, 11, 2);  // correction bit 0
    SetZigzag(block, 19, -3); // correction bit 1, after the 16th zero
    SetZigzag(block, 24, -1); // newly significant after 20 zeros
    recorded.clear();
    TJpegEncoder::ClearEobRun(component);
    encoder.CodeAcRefine(component, 0, 0, RecordAc, 1, 63, 0);
    EXPECT_EQ(recorded, (std::vector<Symbol>{{0xF0, 0, 0}, {-1, 1, 1}, {-1, 0, 1}, {0x41, 0, 1}, {-1, 1, 1}}));
    EXPECT_EQ(component.FEobRun, 1);
    EXPECT_EQ(component.FEobStartPos, 25);

    // A second block with only old coefficients joins the run; the flush
    // codes EOB1 and then the bits both blocks still owe.
    TJpegEncoderComponent two = Blocks(2);
    SetZigzag(two.FCoefficients[0], 5, -1);
    SetZigzag(two.FCoefficients[0], 9, 2);
    SetZigzag(two.FCoefficients[1], 1, 3);
    SetZigzag(two.FCoefficients[1], 63, -2);
    recorded.clear();
    TJpegEncoder::ClearEobRun(two);
    encoder.CodeAcRefine(two, 0, 0, RecordAc, 1, 63, 0);
    encoder.CodeAcRefine(two, 0, 1, RecordAc, 1, 63, 0);
    TJpegEncoder::EmitRefineEobRun(two, RecordAc, 1, 63, 0);
    EXPECT_EQ(recorded, (std::vector<Symbol>{{0x41, 0, 1}, {0x10, 0, 1}, {-1, 0, 1}, {-1, 1, 1}, {-1, 0, 1}}));
    EXPECT_EQ(two.FEobRun, 0);
    EXPECT_EQ(two.FEobStartPos, 64);
}

namespace {

class JpegProgressiveRealWorld : public ::testing::Test {
protected:
    std::string Dir = MakeTempDir();
    void TearDown() override { std::filesystem::remove_all(Dir); }
};

} // namespace

TEST_F(JpegProgressiveRealWorld, SameCoefficientsAsSequential)
{
    struct Case {
        std::string Script; // empty: the default script
        bool Grayscale;
        int Quality;
        std::array<int, 6> Sampling;
    };
    const std::vector<Case> cases = {
        {"", false, 9, {1, 1, 1, 1, 1, 1}},
        {"", true, 9, {1, 1, 1, 1, 1, 1}},
        {"y+cb+cr:0:0 y:5:0 y:63:0 cb:63:0 cr:63:0", false, 3, {1, 1, 1, 1, 1, 1}},
        {"y:0:2 cb:0:0 cr:0:13 y:1:1 y:2:0 y:63:13 cb:63:3 cr:10:0 cr:63:1", false, 9, {1, 1, 1, 1, 1, 1}},
        {"y:0:13 y:63:13", true, 9, {1, 1, 1, 1, 1, 1}},
        {"y:0:1 y:9:3 y:63:1", true, 0, {2, 2, 1, 1, 1, 1}},
        {"", false, 3, {2, 2, 1, 1, 1, 1}},
        {"y+cb+cr:0:3 cr:63:2 cb:20:1 cb:63:0 y:2:4 y:40:2 y:63:5", false, 9, {2, 1, 1, 2, 1, 1}},
        {"y+cb+cr:0:1 y:63:1 cb:63:1 cr:63:1", false, 9, {3, 1, 1, 1, 1, 1}},
    };
    const TBitmapImage photo = MakePhoto(203, 117, 21);
    for (const Case &c : cases) {
        const std::string name = c.Script + (c.Grayscale ? " gray" : "");
        auto configure = [&](TJpegEncoder &encoder) {
            encoder.SetGrayscale(c.Grayscale);
            encoder.SetQuality(c.Quality);
            for (int component = 1; component <= 3; ++component)
                encoder.SetSampling(component, c.Sampling[size_t(2 * component - 2)],
                                    c.Sampling[size_t(2 * component - 1)]);
        };
        TJpegEncoder sequential;
        configure(sequential);
        sequential.WriteImageFile(Dir + "/sequential.jpg", photo);
        TJpegEncoder progressive;
        configure(progressive);
        progressive.SetProgressive(true);
        if (c.Script.empty())
            ApplyDefaultProgressiveScript(progressive);
        else
            ApplyScanScript(progressive, c.Script, true);
        progressive.WriteImageFile(Dir + "/progressive.jpg", photo);

        EXPECT_TRUE(AcceptedByLibjpeg(Dir + "/progressive.jpg")) << name;
        const DecodedImage expected = DecodeJpegFile(Dir + "/sequential.jpg");
        const DecodedImage actual = DecodeJpegFile(Dir + "/progressive.jpg");
        ASSERT_TRUE(expected.Ok() && actual.Ok()) << name << ": " << actual.Error;
        EXPECT_EQ(actual.Samples, expected.Samples) << name;
    }
}

TEST(JpegEncoderSettings, RandomSettingsEitherRaiseOrDecode)
{
    // Any mix of settings and scripts: a clear EJpegError, or a file that
    // libjpeg decodes with warnings fatal. Never a crash or a broken file.
    std::mt19937 random(17);
    int written = 0;
    for (int trial = 0; trial < 400; ++trial) {
        TJpegEncoder encoder;
        encoder.SetGrayscale(random() % 4 == 0);
        encoder.SetProgressive(random() % 2 == 0);
        encoder.SetQuality(int(random() % 10));
        encoder.SetRestartRows(int(random() % 3));
        for (int c = 1; c <= 3; ++c)
            encoder.SetSampling(c, int(random() % 4) + 1, int(random() % 4) + 1);
        encoder.ClearScans();
        int scans = 0;
        auto add = [&](int components, int end, int approximation) {
            TJpegScan &scan = encoder.Scan(++scans);
            scan.Components.Bits = uint8_t(components << 1);
            scan.SpectralEnd = uint8_t(end);
            scan.Approximation = uint8_t(approximation);
        };
        if (random() % 3 == 0) { // anything at all
            for (int i = int(random() % 7); i >= 0; --i)
                add(int(random() % 7) + 1, int(random() % 64), int(random() % 15));
        } else if (!encoder.Progressive()) { // a partition of the three components
            const int split = int(random() % 5);
            const int parts[5][3] = {{7, 0, 0}, {1, 6, 0}, {3, 4, 0}, {1, 2, 4}, {4, 1, 2}};
            for (int part : parts[split])
                if (part != 0)
                    add(part, 0, 0);
        } else { // DC scans, then each component's bands in order
            if (random() % 2 == 0)
                add(7, 0, int(random() % 4));
            else
                for (int c = 0; c < 3; ++c)
                    add(1 << c, 0, int(random() % 14));
            for (int c = 0; c < 3; ++c)
                for (int end = 0; end < 63;) {
                    end = std::min(63, end + 1 + int(random() % 40));
                    add(1 << c, end, int(random() % 14));
                }
        }
        const TBitmapImage image = MakePhoto(int(random() % 40) + 1, int(random() % 40) + 1, unsigned(trial));
        Bytes file;
        try {
            file = Encode(encoder, image);
        } catch (const EJpegError &) {
            continue;
        }
        ++written;
        const DecodedImage decoded = DecodeJpeg(file);
        ASSERT_TRUE(decoded.Ok()) << "trial " << trial << ": " << decoded.Error;
        EXPECT_EQ(decoded.Width, image.Width);
    }
    EXPECT_GT(written, 80);
}
