// Decoding BMPs of 4000 x 3000 pixels, in one run:
//   - a 24-bit picture, our decoder against Qt's BMP reader on the same file;
//   - 8-bit and 4-bit palette pictures, uncompressed and run-length
//     compressed (the same pixels), so that the cost of the run-length codes
//     is seen beside plain rows of the same size.
//   cmake --build build --target bmp_decode_benchmark
//   build/benchmarks/bmp_decode_benchmark
// The files are written to the temporary folder at start and removed at exit.

#include "imaging/bmpdecoder.h"

#include <QImage>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int Width = 4000;
constexpr int Height = 3000;

void Put32(std::string &out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += char((v >> (8 * i)) & 0xFF);
}

// File and info headers of a bottom-up BMP with a palette of `colours`.
std::string Headers(uint32_t bitCount, uint32_t compression, uint32_t dataBytes, uint32_t colours)
{
    const uint32_t offset = 54 + 4 * colours;
    std::string file = "BM";
    Put32(file, offset + dataBytes);
    Put32(file, 0);
    Put32(file, offset);
    Put32(file, 40);
    Put32(file, Width);
    Put32(file, Height);
    Put32(file, 1 | (bitCount << 16));
    Put32(file, compression);
    Put32(file, dataBytes);
    for (int i = 0; i < 4; ++i)
        Put32(file, i == 2 ? colours : 0);
    for (uint32_t i = 0; i < colours; ++i)
        Put32(file, (i * 0x010305u * 37u) & 0xFFFFFFu);
    return file;
}

// A 24-bit bottom-up BMP with colours that change in both directions.
std::string MakeRgbBmp()
{
    const uint32_t rowBytes = (3 * Width + 3) & ~3u;
    std::string file = Headers(24, 0, rowBytes * Height, 0);
    std::string row(rowBytes, '\0');
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            row[3 * x] = char(x * 7 + y);
            row[3 * x + 1] = char(y * 3);
            row[3 * x + 2] = char((x ^ y) * 5);
        }
        file += row;
    }
    return file;
}

// Palette indices (below `colours`) in runs of 1 to 24 pixels, as a drawing
// with flat areas and fine detail has them: the run-length data then holds
// encoded runs and absolute runs both. Stored rows, bottom row first.
std::vector<std::vector<uint8_t>> PaletteRows(unsigned colours)
{
    std::mt19937 random(11);
    std::vector<std::vector<uint8_t>> rows(Height, std::vector<uint8_t>(Width));
    for (auto &row : rows) {
        for (int x = 0; x < Width;) {
            const int run = 1 + int(random() % 24);
            const auto index = uint8_t(random() % colours);
            for (int i = 0; i < run && x < Width; ++i)
                row[size_t(x++)] = index;
        }
    }
    return rows;
}

std::string MakePaletteBmp(unsigned bits, const std::vector<std::vector<uint8_t>> &rows)
{
    const uint32_t rowBytes = (bits * Width / 8 + 3) & ~3u;
    std::string data;
    for (const auto &indices : rows) {
        std::string row(rowBytes, '\0');
        for (int x = 0; x < Width; ++x) {
            if (bits == 8)
                row[size_t(x)] = char(indices[size_t(x)]);
            else
                row[size_t(x / 2)] = char(row[size_t(x / 2)] | (indices[size_t(x)] << (x % 2 ? 0 : 4)));
        }
        data += row;
    }
    return Headers(bits, 0, uint32_t(data.size()), 1u << bits) + data;
}

// Run-length data as an encoder writes it: runs of two or more pixels
// encoded, stretches of three or more single pixels as absolute runs.
std::string MakeRunLengthBmp(unsigned bits, const std::vector<std::vector<uint8_t>> &rows)
{
    std::string data;
    const auto literal = [&](const uint8_t *indices, int count) {
        if (count < 3) {
            for (int i = 0; i < count; ++i) {
                data += char(1);
                data += char(bits == 8 ? indices[i] : indices[i] << 4);
            }
            return;
        }
        data += char(0);
        data += char(count);
        size_t bytes = 0;
        for (int i = 0; i < count; i += bits == 8 ? 1 : 2, ++bytes)
            data += char(bits == 8 ? indices[i]
                                   : (indices[i] << 4) | (i + 1 < count ? indices[i + 1] : 0));
        if (bytes % 2)
            data += char(0);
    };
    for (const auto &row : rows) {
        int x = 0, pending = 0; // pending: single pixels not written yet, before x
        while (x < Width) {
            int run = 1;
            while (x + run < Width && run < 255 && row[size_t(x + run)] == row[size_t(x)])
                ++run;
            if (run == 1 && pending < 254) {
                ++pending;
                ++x;
                continue;
            }
            literal(&row[size_t(x - pending)], pending);
            pending = 0;
            if (run > 1) {
                data += char(run);
                data += char(bits == 8 ? row[size_t(x)] : row[size_t(x)] * 17);
                x += run;
            }
        }
        literal(&row[size_t(Width - pending)], pending);
        data += std::string("\0\0", 2);
    }
    data += std::string("\0\1", 2);
    return Headers(bits, bits == 8 ? 1 : 2, uint32_t(data.size()), 1u << bits) + data;
}

struct TestFile {
    std::string Path;
    TestFile(const std::string &name, const std::string &contents)
    {
        Path = (std::filesystem::temp_directory_path() / ("tessaly_bmp_decode_benchmark_" + name + ".bmp")).string();
        std::ofstream(Path, std::ios::binary) << contents;
    }
    ~TestFile() { std::remove(Path.c_str()); }
};

struct TestFiles {
    std::vector<std::vector<uint8_t>> Rows8 = PaletteRows(256);
    std::vector<std::vector<uint8_t>> Rows4 = PaletteRows(16);
    TestFile Rgb{"rgb24", MakeRgbBmp()};
    TestFile Pal8{"pal8", MakePaletteBmp(8, Rows8)};
    TestFile Rle8{"rle8", MakeRunLengthBmp(8, Rows8)};
    TestFile Pal4{"pal4", MakePaletteBmp(4, Rows4)};
    TestFile Rle4{"rle4", MakeRunLengthBmp(4, Rows4)};
};

const TestFiles &Files()
{
    static const TestFiles files;
    return files;
}

void Decode(benchmark::State &state, const std::string &path)
{
    TBmpDecoder decoder;
    for (auto _ : state) {
        TBitmapImage image;
        decoder.ReadImageFile(path, image);
        benchmark::DoNotOptimize(image.Pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * Width * Height);
}

void BM_TessalyBmpDecoder(benchmark::State &state) { Decode(state, Files().Rgb.Path); }
void BM_Palette8(benchmark::State &state) { Decode(state, Files().Pal8.Path); }
void BM_RunLength8(benchmark::State &state) { Decode(state, Files().Rle8.Path); }
void BM_Palette4(benchmark::State &state) { Decode(state, Files().Pal4.Path); }
void BM_RunLength4(benchmark::State &state) { Decode(state, Files().Rle4.Path); }

void BM_QtBmpReader(benchmark::State &state)
{
    const QString path = QString::fromStdString(Files().Rgb.Path);
    for (auto _ : state) {
        QImage image(path, "BMP");
        if (image.isNull())
            state.SkipWithError("Qt could not read the file");
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * Width * Height);
}

// Both readers must see the same picture, and the run-length files the
// pixels of their uncompressed twins, or the races mean nothing.
bool SamePictures()
{
    TBitmapImage ours;
    TBmpDecoder().ReadImageFile(Files().Rgb.Path, ours);
    const QImage qt(QString::fromStdString(Files().Rgb.Path), "BMP");
    for (int y = 0; y < Height; y += 997) {
        for (int x = 0; x < Width; x += 331) {
            const TPixel p = ours.At(x, y);
            const QRgb q = qt.pixel(x, y);
            if (p.Red != qRed(q) || p.Green != qGreen(q) || p.Blue != qBlue(q))
                return false;
        }
    }
    const auto same = [](const std::string &a, const std::string &b) {
        TBitmapImage first, second;
        TBmpDecoder().ReadImageFile(a, first);
        TBmpDecoder().ReadImageFile(b, second);
        return first.Pixels == second.Pixels;
    };
    return same(Files().Pal8.Path, Files().Rle8.Path) && same(Files().Pal4.Path, Files().Rle4.Path);
}

} // namespace

BENCHMARK(BM_TessalyBmpDecoder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtBmpReader)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Palette8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunLength8)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Palette4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunLength4)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (!SamePictures()) {
        std::fputs("The decoders disagree on the test pictures\n", stderr);
        return 1;
    }
    for (const TestFile *file : {&Files().Pal8, &Files().Rle8, &Files().Pal4, &Files().Rle4})
        std::fprintf(stderr, "%s: %lld bytes\n", file->Path.c_str(),
                     static_cast<long long>(std::filesystem::file_size(file->Path)));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
