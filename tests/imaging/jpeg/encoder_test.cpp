#include "imaging/jpeg/jpegencoder.h"
#include "jpeg_test_support.h"

#include <filesystem>
#include <numeric>

#include <gtest/gtest.h>

using Bytes = std::vector<uint8_t>;

namespace {

struct Segment {
    uint8_t Marker;
    Bytes Data; // after the length field; for RST and EOI empty
};

// The marker segments in file order; entropy-coded data is skipped, restart
// markers inside it are listed.
std::vector<Segment> Segments(const Bytes &file)
{
    std::vector<Segment> segments;
    size_t at = 2;
    segments.push_back({0xD8, {}});
    while (at + 1 < file.size()) {
        if (file[at] != 0xFF)
            return segments;
        const uint8_t marker = file[at + 1];
        at += 2;
        if (marker == 0xD9 || (marker >= 0xD0 && marker <= 0xD7)) {
            segments.push_back({marker, {}});
        } else {
            const size_t length = size_t(file[at]) << 8 | file[at + 1];
            segments.push_back({marker, Bytes(file.begin() + long(at) + 2, file.begin() + long(at + length))});
            at += length;
        }
        if (marker == 0xDA || (marker >= 0xD0 && marker <= 0xD7)) {
            while (at + 1 < file.size() && !(file[at] == 0xFF && file[at + 1] != 0x00))
                ++at;
        }
    }
    return segments;
}

std::string Markers(const std::vector<Segment> &segments)
{
    std::string text;
    for (const Segment &s : segments) {
        static const char *hex = "0123456789ABCDEF";
        text += hex[s.Marker >> 4];
        text += hex[s.Marker & 15];
        text += ' ';
    }
    return text.substr(0, text.size() - 1);
}

Bytes Encode(TJpegEncoder &encoder, const TBitmapImage &image)
{
    TMemoryOutputStream stream;
    encoder.WriteToStream(stream, image);
    return stream.Bytes();
}

std::string ErrorOf(TJpegEncoder &encoder, const TBitmapImage &image)
{
    try {
        Encode(encoder, image);
    } catch (const EJpegError &error) {
        return error.what();
    }
    return "no error";
}

} // namespace

TEST(JpegEncoderLayout, DefaultColourFile)
{
    TJpegEncoder encoder;
    const Bytes file = Encode(encoder, MakePhoto(300, 200));
    const Bytes start{0xFF, 0xD8, 0xFF, 0xE0, 0x00, 0x10, 0x4A, 0x46, 0x49, 0x46, 0x00,
                      0x01, 0x01, 0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0xFF, 0xFE};
    EXPECT_TRUE(std::equal(start.begin(), start.end(), file.begin()));
    const auto segments = Segments(file);
    EXPECT_EQ(Markers(segments), "D8 E0 FE C0 DB C4 DA D9");
    EXPECT_EQ(std::string(segments[2].Data.begin(), segments[2].Data.end()),
              std::string("Created using the Brackenfold JPEG library") + '\0');
    EXPECT_EQ(segments[3].Data,
              (Bytes{0x08, 0x00, 0xC8, 0x01, 0x2C, 0x03, 0x01, 0x11, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01}));
    EXPECT_EQ(segments[4].Data.size(), 130u); // tables 0 and 1
    EXPECT_EQ(segments[4].Data[0], 0);
    EXPECT_EQ(segments[4].Data[65], 1);
    EXPECT_EQ(segments[5].Data[0], 0x00);
    EXPECT_EQ(segments[6].Data, (Bytes{3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0}));
    // The four tables, in order luminance DC, AC, chrominance DC, AC.
    std::vector<uint8_t> classes;
    for (size_t at = 0; at < segments[5].Data.size();) {
        classes.push_back(segments[5].Data[at]);
        int n = 0;
        for (int i = 1; i <= 16; ++i)
            n += segments[5].Data[at + size_t(i)];
        at += 17 + size_t(n);
    }
    EXPECT_EQ(classes, (std::vector<uint8_t>{0x00, 0x10, 0x01, 0x11}));
}

TEST(JpegEncoderLayout, QualityNineTables)
{
    TJpegEncoder encoder;
    encoder.SetQuality(9);
    const Bytes file = Encode(encoder, MakePhoto(16, 16));
    Bytes dqt{0xFF, 0xDB, 0x00, 0x84, 0x00};
    dqt.insert(dqt.end(), 64, 1);
    dqt.push_back(0x01);
    dqt.insert(dqt.end(), 64, 1);
    EXPECT_NE(std::search(file.begin(), file.end(), dqt.begin(), dqt.end()), file.end());
}

TEST(JpegEncoderLayout, GrayscaleFile)
{
    TJpegEncoder encoder;
    encoder.SetGrayscale(true);
    const auto segments = Segments(Encode(encoder, MakePhoto(37, 21)));
    EXPECT_EQ(Markers(segments), "D8 E0 FE C0 DB C4 DA D9");
    EXPECT_EQ(segments[3].Data, (Bytes{0x08, 0x00, 21, 0x00, 37, 0x01, 0x01, 0x11, 0x00}));
    EXPECT_EQ(segments[4].Data.size(), 65u);
    EXPECT_EQ(segments[5].Data[0], 0x00);
    const size_t second = 17 + size_t(std::accumulate(segments[5].Data.begin() + 1, segments[5].Data.begin() + 17, 0));
    EXPECT_EQ(segments[5].Data[second], 0x10);
    EXPECT_EQ(segments[5].Data.size(), second + 17 + size_t(std::accumulate(segments[5].Data.begin() + long(second) + 1,
                                                                                segments[5].Data.begin() + long(second) + 17, 0)));
    EXPECT_EQ(segments[6].Data, (Bytes{1, 1, 0x00, 0, 63, 0}));
}

TEST(JpegEncoderLayout, CommentsAndTheirLimit)
{
    TJpegEncoder encoder;
    encoder.SetComment("Happy birthday");
    auto segments = Segments(Encode(encoder, MakePhoto(8, 8)));
    EXPECT_EQ(Markers(segments), "D8 E0 FE FE C0 DB C4 DA D9");
    EXPECT_EQ(std::string(segments[2].Data.begin(), segments[2].Data.end()), std::string("Happy birthday") + '\0');

    encoder.SetComment(std::string(65532, 'x'));
    const Bytes file = Encode(encoder, MakePhoto(8, 8));
    EXPECT_EQ(file[22], 0xFF);
    EXPECT_EQ(file[23], 0xFF); // length field 65535
    encoder.SetComment(std::string(65533, 'x'));
    EXPECT_EQ(ErrorOf(encoder, MakePhoto(8, 8)), "Comment text too long for COM marker");
}

TEST(JpegEncoderLayout, SeveralScansAndRestartMarkers)
{
    TJpegEncoder encoder;
    encoder.Scan(1).Components = TJpegComponentSet::Of({1});
    encoder.Scan(2).Components = TJpegComponentSet::Of({2});
    encoder.Scan(3).Components = TJpegComponentSet::Of({3});
    auto segments = Segments(Encode(encoder, MakePhoto(40, 24)));
    EXPECT_EQ(Markers(segments), "D8 E0 FE C0 DB C4 DA C4 DA C4 DA D9");
    EXPECT_EQ(segments[7].Data[0], 0x01); // chrominance DC, then AC
    EXPECT_EQ(segments[8].Data, (Bytes{1, 2, 0x11, 0, 63, 0}));

    // 100 MCUs wide, two MCU rows per interval: markers every 200 MCUs; a
    // full last interval ends the scan without a marker.
    TJpegEncoder restart;
    restart.SetRestartRows(2);
    segments = Segments(Encode(restart, MakePhoto(800, 8 * 20)));
    EXPECT_EQ(Markers(segments), "D8 E0 FE C0 DB DD C4 DA D0 D1 D2 D3 D4 D5 D6 D7 D0 D9");
    EXPECT_EQ(segments[5].Data, (Bytes{0x00, 0xC8}));

    // The interval is declared again in the next file.
    segments = Segments(Encode(restart, MakePhoto(800, 16)));
    EXPECT_EQ(Markers(segments), "D8 E0 FE C0 DB DD C4 DA D9");
}

TEST(JpegEncoderChecks, Messages)
{
    const TBitmapImage image = MakePhoto(16, 16);
    auto scans = [](std::initializer_list<std::initializer_list<int>> list) {
        auto encoder = std::make_unique<TJpegEncoder>();
        encoder->ClearScans();
        int i = 1;
        for (auto components : list)
            encoder->Scan(i++).Components = TJpegComponentSet::Of(components);
        return encoder;
    };
    EXPECT_EQ(ErrorOf(*scans({{1, 2}, {2, 3}}), image), "Component in more than one scan");
    EXPECT_EQ(ErrorOf(*scans({{1}, {2}}), image), "Not all components specified in scans");
    EXPECT_EQ(ErrorOf(*scans({{1}, {2}, {3}}), image), "no error");

    auto sampled = scans({{1, 2, 3}});
    for (int c = 1; c <= 3; ++c)
        sampled->SetSampling(c, 2, 2);
    EXPECT_EQ(ErrorOf(*sampled, image), "Data units in MCU exceeds 10");
    auto separate = scans({{1}, {2}, {3}});
    for (int c = 1; c <= 3; ++c)
        separate->SetSampling(c, 2, 2);
    EXPECT_EQ(ErrorOf(*separate, image), "no error");

    TJpegEncoder fractional;
    fractional.SetSampling(1, 3, 1);
    fractional.SetSampling(2, 2, 1);
    EXPECT_EQ(ErrorOf(fractional, image), "Fractional Horizontal Sampling");
    fractional.SetSampling(1, 1, 3);
    fractional.SetSampling(2, 1, 4);
    EXPECT_EQ(ErrorOf(fractional, image), "Fractional Vertical Sampling");

    // Grayscale output codes scan 1, which must hold Y.
    auto gray = scans({{2, 3}, {1}});
    gray->SetGrayscale(true);
    EXPECT_EQ(ErrorOf(*gray, image), "Not all components specified in scans");

    TJpegEncoder plain;
    EXPECT_EQ(ErrorOf(plain, TBitmapImage{}), "Image has no pixels to encode");
    TBitmapImage empty;
    empty.Width = 70000;
    empty.Height = 1;
    EXPECT_EQ(ErrorOf(plain, empty), "Image is too large for JPEG (at most 65535 x 65535 pixels)");
    empty.Width = 10;
    empty.Height = 10; // sizes without pixels behind them
    EXPECT_EQ(ErrorOf(plain, empty), "Image pixel data is incomplete");
    EXPECT_THROW(plain.SetSampling(1, 5, 1), EJpegError);
    EXPECT_THROW(plain.SetQuantizationTable(2, 4), EJpegError);
    EXPECT_THROW(plain.SetRestartRows(-1), EJpegError);
}

namespace {

std::vector<std::array<int, 3>> symbols; // symbol, extra bits (masked), bit count

void RecordDc(TJpegEncoderComponent &, int category, int32_t bits)
{
    symbols.push_back({category, category == 0 ? 0 : int(uint32_t(bits) & ((1u << category) - 1u)), category});
}

void RecordAc(TJpegEncoderComponent &, int symbol, int32_t bits, int count)
{
    symbols.push_back({symbol, count == 0 ? 0 : int(uint32_t(bits) & ((1u << count) - 1u)), count});
}

} // namespace

TEST(JpegEncoderCoding, DataUnitExamples)
{
    // A flat image: one DC symbol and one end of block per block. 16x8 of
    // white gives two blocks per component; the second has DC difference 0.
    TJpegEncoder encoder;
    encoder.SetGrayscale(true);
    encoder.SetQuality(9);
    const auto segments = Segments(Encode(encoder, MakeFlat(16, 8, 255, 255, 255)));
    const Bytes &dht = segments[5].Data;
    // DC table: categories 10 (1016) and 0; AC table: only the end of block.
    EXPECT_EQ(dht[1], 1); // one code of length 1, one of length 2
    EXPECT_EQ(dht[2], 1);
    EXPECT_EQ(dht[17], 0);
    EXPECT_EQ(dht[18], 10);
    EXPECT_EQ(dht[19], 0x10);
    EXPECT_EQ(dht[20], 1);
    EXPECT_EQ(dht[36], 0x00);

    EXPECT_EQ(JpegCategory(1016), 10);
    EXPECT_EQ(JpegCategory(-1024), 11);

    // The coder itself: DC difference -3 (category 2, bits 00), then only
    // the last zigzag coefficient: three ZRLs, 0xE0 + category, no EOB.
    TJpegEncoderComponent component;
    component.FDuRows = component.FDuCols = 1;
    component.FCoefficients.assign(1, TJpegCoefficientBlock{});
    component.FCoefficients[0][0] = -3;
    component.FCoefficients[0][63] = 5;
    symbols.clear();
    encoder.CodeSequential(component, 0, 0, RecordDc, RecordAc, 0, 63, 0);
    EXPECT_EQ(symbols, (std::vector<std::array<int, 3>>{{2, 0b00, 2}, {0xF0, 0, 0}, {0xF0, 0, 0}, {0xF0, 0, 0},
                                                        {0xE3, 0b101, 3}}));
    // DC difference 0 and no AC: category 0 without bits, then one EOB.
    component.FCoefficients[0][63] = 0;
    symbols.clear();
    encoder.CodeSequential(component, 0, 0, RecordDc, RecordAc, 0, 63, 0);
    EXPECT_EQ(symbols, (std::vector<std::array<int, 3>>{{0, 0, 0}, {0x00, 0, 0}}));
}

namespace {

struct Recorded {
    std::vector<std::string> Descriptions;
    std::vector<uint32_t> Passes;
    int CancelAt = -1;
};
Recorded *recording = nullptr;

void Record(TBitmapImageCoder &, uint32_t, uint32_t pass, uint32_t passes, const std::string &description,
            uint32_t percent, bool &abort)
{
    EXPECT_LE(percent, 100u);
    EXPECT_LE(pass, passes);
    if (recording->Descriptions.empty() || recording->Descriptions.back() != description)
        recording->Descriptions.push_back(description);
    recording->Passes.push_back(pass);
    abort = int(recording->Passes.size()) == recording->CancelAt;
}

} // namespace

TEST(JpegEncoderProgress, PassesAndCancel)
{
    Recorded record;
    recording = &record;
    TJpegEncoder encoder;
    encoder.ProgressFunction = Record;
    Encode(encoder, MakePhoto(40, 40));
    EXPECT_EQ(encoder.PassCount(), 5u);
    EXPECT_EQ(record.Descriptions,
              (std::vector<std::string>{"RGB Convert", "Sampling", "Interleaved Scan"}));
    EXPECT_EQ(record.Passes.front(), 1u);
    EXPECT_EQ(record.Passes.back(), 5u);

    // Cancelling on the first report stops the encoding; the file is not written.
    record = Recorded{};
    record.CancelAt = 1;
    const std::string dir = MakeTempDir();
    EXPECT_THROW(encoder.WriteImageFile(dir + "/card.jpg", MakePhoto(40, 40)), EGraphicsAbort);
    EXPECT_FALSE(std::filesystem::exists(dir + "/card.jpg"));
    EXPECT_TRUE(std::filesystem::is_empty(dir));
    std::filesystem::remove_all(dir);
    recording = nullptr;
}

TEST(JpegEncoderFiles, SameInputSameBytes)
{
    TJpegEncoder encoder;
    encoder.SetQuality(9);
    const TBitmapImage image = MakePhoto(123, 77);
    EXPECT_EQ(Encode(encoder, image), Encode(encoder, image));
}
