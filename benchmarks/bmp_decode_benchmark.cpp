// Decoding a 24-bit 4000 x 3000 BMP: our decoder against Qt's BMP reader on
// the same file, in one run.
//   cmake --build build --target bmp_decode_benchmark
//   build/benchmarks/bmp_decode_benchmark
// The file is written to the temporary folder at start and removed at exit.

#include "imaging/bmpdecoder.h"

#include <QImage>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

constexpr int Width = 4000;
constexpr int Height = 3000;

void Put32(std::string &out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += char((v >> (8 * i)) & 0xFF);
}

// A 24-bit bottom-up BMP with colours that change in both directions.
std::string MakeBmp()
{
    const uint32_t rowBytes = (3 * Width + 3) & ~3u;
    std::string file = "BM";
    Put32(file, 54 + rowBytes * Height);
    Put32(file, 0);
    Put32(file, 54);
    Put32(file, 40);
    Put32(file, Width);
    Put32(file, Height);
    Put32(file, 1 | (24 << 16));
    for (int i = 0; i < 6; ++i)
        Put32(file, 0);
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

struct TestFile {
    std::string Path;
    TestFile()
    {
        Path = (std::filesystem::temp_directory_path() / "tessaly_bmp_decode_benchmark.bmp").string();
        std::ofstream(Path, std::ios::binary) << MakeBmp();
    }
    ~TestFile() { std::remove(Path.c_str()); }
};

const TestFile &File()
{
    static const TestFile file;
    return file;
}

void BM_TessalyBmpDecoder(benchmark::State &state)
{
    const std::string &path = File().Path;
    TBmpDecoder decoder;
    for (auto _ : state) {
        TBitmapImage image;
        decoder.ReadImageFile(path, image);
        benchmark::DoNotOptimize(image.Pixels.data());
    }
    state.SetItemsProcessed(state.iterations() * Width * Height);
}

void BM_QtBmpReader(benchmark::State &state)
{
    const QString path = QString::fromStdString(File().Path);
    for (auto _ : state) {
        QImage image(path, "BMP");
        if (image.isNull())
            state.SkipWithError("Qt could not read the file");
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetItemsProcessed(state.iterations() * Width * Height);
}

// Both readers must see the same picture, or the race means nothing.
bool SamePicture()
{
    TBitmapImage ours;
    TBmpDecoder().ReadImageFile(File().Path, ours);
    const QImage qt(QString::fromStdString(File().Path), "BMP");
    for (int y = 0; y < Height; y += 997) {
        for (int x = 0; x < Width; x += 331) {
            const TPixel p = ours.At(x, y);
            const QRgb q = qt.pixel(x, y);
            if (p.Red != qRed(q) || p.Green != qGreen(q) || p.Blue != qBlue(q))
                return false;
        }
    }
    return true;
}

} // namespace

BENCHMARK(BM_TessalyBmpDecoder)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_QtBmpReader)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (!SamePicture()) {
        std::fputs("The two decoders disagree on the test picture\n", stderr);
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
