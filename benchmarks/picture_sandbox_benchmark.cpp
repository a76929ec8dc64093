// What reading a picture in the confined helper costs beside reading it in
// the program: a small photo (640 x 480), a 24-megapixel one (6000 x 4000)
// and the sample metafile, each through ReadPictureHere and
// ReadPictureConfined. The difference is the helper's start and the pixels'
// way through the pipe.
//   cmake --build build --target picture_sandbox_benchmark
//   QT_QPA_PLATFORM=offscreen build/benchmarks/picture_sandbox_benchmark

#include "pictures/picture_sandbox.h"

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QTemporaryDir *Folder = nullptr;

QString Photo(int width, int height)
{
    const QString path = Folder->filePath(QStringLiteral("photo-%1x%2.jpg").arg(width).arg(height));
    if (!QFile::exists(path)) {
        QImage picture(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y) {
            auto *line = reinterpret_cast<QRgb *>(picture.scanLine(y));
            for (int x = 0; x < width; ++x)
                line[x] = qRgb((x / 7) & 0xFF, (y / 5) & 0xFF, ((x * y) >> 9) & 0xFF);
        }
        picture.save(path, "JPG", 92);
    }
    return path;
}

const QString Metafile = QStringLiteral(TESSALY_SOURCE_DIR "/tests/pictures/data/shapes.wmf");

template <bool Confined>
void Read(benchmark::State &state, const QString &path, TPictureType type)
{
    for (auto _ : state) {
        const QImage picture = Confined ? ReadPictureConfined(path, type) : ReadPictureHere(path, type);
        benchmark::DoNotOptimize(picture.constBits());
    }
}

void BM_SmallPhotoHere(benchmark::State &state) { Read<false>(state, Photo(640, 480), TPictureType::Jpeg); }
void BM_SmallPhotoConfined(benchmark::State &state) { Read<true>(state, Photo(640, 480), TPictureType::Jpeg); }
void BM_LargePhotoHere(benchmark::State &state) { Read<false>(state, Photo(6000, 4000), TPictureType::Jpeg); }
void BM_LargePhotoConfined(benchmark::State &state) { Read<true>(state, Photo(6000, 4000), TPictureType::Jpeg); }
void BM_MetafileHere(benchmark::State &state) { Read<false>(state, Metafile, TPictureType::Wmf); }
void BM_MetafileConfined(benchmark::State &state) { Read<true>(state, Metafile, TPictureType::Wmf); }

BENCHMARK(BM_SmallPhotoHere)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SmallPhotoConfined)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargePhotoHere)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LargePhotoConfined)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MetafileHere)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MetafileConfined)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication application(argc, argv);
    QTemporaryDir folder;
    Folder = &folder;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
