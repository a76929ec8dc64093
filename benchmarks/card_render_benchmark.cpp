// Rendering a card of 1344 x 816 pixels (legal paper, 14 x 8.5 in, landscape
// at 96 dpi) with a 1024 x 768 picture in its slot and five text boxes of
// three lines each. Goal: under 16 ms (one frame at 60 Hz) for the render.
//   cmake --build build --target card_render_benchmark
//   build/benchmarks/card_render_benchmark
// RenderCard: the text boxes drawn over the composed canvas into the 24-bit
//   picture, as the window does for every export and print.
// RenderCardFolder: the whole road from the folder: Card.crd, the pictures
//   decoded and composed, the RTF files read, then the render.
// WriteCardBmp: the rendered picture coded as a BMP and written atomically
// (WritePictureBmp, the program's one BMP writer).
// JpegExport793x559: the window's whole JPEG export of a default-size card.
// The card folders are written to a temporary folder at start.

#include "card/card_compose.h"
#include "card/card_render.h"
#include "imaging/jpeg/image_convert.h"
#include "pictures/bmp_file.h"
#include "tests/support/card_fixture.h"

#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int Width = 1344;
constexpr int Height = 816;

struct BenchmarkCard {
    QTemporaryDir Dir;
    QString Folder;
    CardLayout Layout;

    BenchmarkCard(int width, int height, SlotRect pictureRect)
    {
        Folder = Dir.path() + "/Card/";
        Layout = WriteFixtureCard(Folder, {.Width = width,
                                           .Height = height,
                                           .PictureRect = pictureRect,
                                           .Texts = FiveFixtureTexts(width, height)});
        // A photo-sized picture rather than the fixture's few pixels.
        QImage photo(1024, 768, QImage::Format_RGB32);
        for (int y = 0; y < photo.height(); ++y)
            for (int x = 0; x < photo.width(); ++x)
                photo.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x * y) & 0xFF));
        photo.save(Folder + "picture.bmp", "BMP");
    }
};

// Legal paper landscape.
const BenchmarkCard &Card()
{
    static const BenchmarkCard card(Width, Height, {60, 80, 560, 455});
    return card;
}

// The default card, 210 x 148 mm.
const BenchmarkCard &SmallCard()
{
    static const BenchmarkCard card(793, 559, {40, 50, 370, 300});
    return card;
}

void BM_RenderCard(benchmark::State &state)
{
    const QImage canvas = ComposeCard(Card().Layout, Card().Folder);
    const TCardTexts texts(Card().Layout, Card().Folder);
    for (auto _ : state) {
        const QImage card = RenderCardImage(canvas, texts.Boxes());
        benchmark::DoNotOptimize(card.constBits());
    }
    state.SetItemsProcessed(state.iterations() * Width * Height);
}
BENCHMARK(BM_RenderCard)->Unit(benchmark::kMillisecond);

void BM_RenderCardFolder(benchmark::State &state)
{
    for (auto _ : state) {
        const QImage card = RenderCardFolder(Card().Folder);
        benchmark::DoNotOptimize(card.constBits());
    }
    state.SetItemsProcessed(state.iterations() * Width * Height);
}
BENCHMARK(BM_RenderCardFolder)->Unit(benchmark::kMillisecond);

void BM_WriteCardBmp(benchmark::State &state)
{
    const QImage card = RenderCardFolder(Card().Folder);
    const QString out = Card().Dir.path() + "/out.bmp";
    for (auto _ : state)
        WritePictureBmp(card, out);
    state.SetBytesProcessed(state.iterations() * Width * Height * 3);
}
BENCHMARK(BM_WriteCardBmp)->Unit(benchmark::kMillisecond);

// The window's whole JPEG export of a 793 x 559 card once it is open: the
// render, Temp.bmp written, read back by our BMP decoder and coded by our
// JPEG encoder at the export's quality, each file written atomically
// (synced). Compare with benchmarks/render/run_benchmark.sh's cjpeg time.
void BM_JpegExport793x559(benchmark::State &state)
{
    const QImage canvas = ComposeCard(SmallCard().Layout, SmallCard().Folder);
    const TCardTexts texts(SmallCard().Layout, SmallCard().Folder);
    const QString temp = SmallCard().Dir.path() + "/Temp.bmp";
    const std::string tempName = QFile::encodeName(temp).toStdString();
    const std::string out = QFile::encodeName(SmallCard().Dir.path() + "/card.jpg").toStdString();
    for (auto _ : state) {
        WritePictureBmp(RenderCardImage(canvas, texts.Boxes()), temp);
        if (!ConvertBmpToJpeg(tempName, out, CardJpegQuality))
            state.SkipWithError("the conversion failed");
    }
    state.SetItemsProcessed(state.iterations() * 793 * 559);
}
BENCHMARK(BM_JpegExport793x559)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // Fonts need the application; no display is opened.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
