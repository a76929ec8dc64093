// A 24-megapixel photo (6000 x 4000) as people have it, as PNG, WebP and
// HEIC, through the picture dialog and into the card:
//   - Choose/<format>: "Select My Own Image" until the photo is painted in
//     the dialog (decode, the view scaled to fit, one paint);
//   - Read/<format>: the picture reader alone;
//   - Store: "OK" cutting the photo to a 3:2 frame, bounding it to the A5
//     card at 300 ppi and writing it;
//   - Compose: the card recomposed with what Store wrote, as after "OK".
// Compare with ImageMagick and heif-convert decoding the same files
// (hyperfine; the files are kept when TESSALY_KEEP_PHOTOS names a folder).
// The CPU column counts every thread of the process (libheif decodes on
// several), so it compares with the tools' user + system time even on a
// busy machine, where the real time mostly measures waiting.
//   cmake --build build --target picture_formats_benchmark
//   QT_QPA_PLATFORM=offscreen build/benchmarks/picture_formats_benchmark
// The files are made at start (Qt's writers, heif-enc), which takes a while.

#include "card/card_layout.h"
#include "card/picture_fit.h"
#include "card/paper_config.h"
#include "controls/Card_Edit.h"
#include "controls/image.h"
#include "dialogs/frm_select_edit_image.h"
#include "pictures/picture_file.h"

#include "benchmarks/photo_chooser.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>

namespace {

using namespace photo_bench;

struct TFiles {
    QTemporaryDir Dir;
    QString Folder;
    QString Png, WebP, Heic;
    QString Card;
    CardLayout Layout;

    TFiles()
    {
        Folder = qEnvironmentVariableIsSet("TESSALY_KEEP_PHOTOS") ? qEnvironmentVariable("TESSALY_KEEP_PHOTOS") + "/"
                                                                  : Dir.path() + "/";
        QDir().mkpath(Folder);
        const QImage photo = PhotoLikePicture();
        Png = Folder + "photo.png";
        WebP = Folder + "photo.webp";
        Heic = Folder + "photo.heic";
        // Kept files are made once: encoding 24 megapixels takes minutes.
        if (!QFileInfo::exists(Png))
            photo.save(Png, "PNG");
        if (!QFileInfo::exists(WebP))
            photo.save(WebP, "WEBP", 85);
        if (!QFileInfo::exists(Heic))
            QProcess::execute("heif-enc", {"-q", "85", "-o", Heic, Png});

        Card = Dir.filePath("Card/");
        QDir().mkpath(Card);
        QImage background(793, 559, QImage::Format_RGB32);
        background.fill(Qt::white);
        background.save(Card + "template.bmp", "BMP");
        Layout = FreshLayout();
        Layout.BackgroundFile.SetText("template.bmp");
        Layout.TransparentColour = 0x00FFFFFF;
        Layout.Pictures[0].Used = 1;
        Layout.Pictures[0].Rect = {60, 50, 420, 290};
        Layout.Pictures[0].FileName.SetText("picture.bmp");
        StoreFramePicture(photo, SlotSize(Layout.Pictures[0].Rect), StoredPictureBound(Layout.Paper),
                          Card + "picture.bmp");
    }
};

TFiles *Files = nullptr;

const QString &FileOf(int format)
{
    return format == 0 ? Files->Png : format == 1 ? Files->WebP : Files->Heic;
}

void BM_Read(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(LoadPictureFile(FileOf(int(state.range(0)))).constBits());
}

void BM_Choose(benchmark::State &state)
{
    TChooser chooser;
    chooser.File = FileOf(int(state.range(0)));
    TFrmselectImage dialog(chooser);
    dialog.show();
    for (auto _ : state) {
        dialog.Button1Click();
        dialog.Image1->repaint();
    }
    if (dialog.Picture().size() != QSize(Width, Height))
        state.SkipWithError("the photo was not read");
}

void BM_Store(benchmark::State &state)
{
    const QImage photo = LoadPictureFile(Files->Png);
    for (auto _ : state)
        StoreFramePicture(photo, SlotSize(Files->Layout.Pictures[0].Rect), StoredPictureBound(Files->Layout.Paper),
                          Files->Dir.filePath("stored.bmp"));
}

void BM_Compose(benchmark::State &state)
{
    TCard_Edit canvas;
    canvas.SetPic_Path(Files->Card);
    canvas.Layout = Files->Layout;
    for (auto _ : state) {
        canvas.Compose();
        canvas.repaint();
    }
}

} // namespace

BENCHMARK(BM_Read)->Arg(0)->Arg(1)->Arg(2)->ArgName("png0_webp1_heic2")->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Choose)->Arg(0)->Arg(1)->Arg(2)->ArgName("png0_webp1_heic2")->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Store)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_Compose)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TFiles files;
    Files = &files;
    for (const QString &file : {files.Png, files.WebP, files.Heic})
        std::fprintf(stderr, "%s: %lld bytes\n", qPrintable(file), static_cast<long long>(QFileInfo(file).size()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
