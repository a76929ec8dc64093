// A 24-megapixel phone photo (6000 x 4000 JPEG, 4:2:0, quality 92, Exif
// orientation 6 as a phone held upright writes it) through the change-picture
// command, beside djpeg decoding the same file:
//   - Choose: "Select My Own Image" until the photo is painted in the dialog
//     (decode, turning upright, the view scaled to fit, one paint);
//   - Compose: the card recomposed with the written 6000 x 4000 BMP in its
//     frame, as after "OK";
//   - Write: "OK" writing that BMP through the atomic writer;
//   - the parts: our JPEG reader alone and the scaling for display.
//   cmake --build build --target picture_dialog_benchmark
//   QT_QPA_PLATFORM=offscreen build/benchmarks/picture_dialog_benchmark
// The files are made in a temporary folder at start (with cjpeg) and removed at exit.

#include "card/card_file.h"
#include "card/card_layout.h"
#include "controls/Card_Edit.h"
#include "controls/image.h"
#include "dialogs/frm_select_edit_image.h"
#include "pictures/bmp_file.h"
#include "pictures/picture_file.h"

#include "benchmarks/photo_chooser.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <memory>
#include <random>

#include <sys/resource.h>

namespace {

using namespace photo_bench;

// The APP1 segment of a phone photo taken upright: Exif, big-endian TIFF,
// one IFD entry, Orientation (274) = 6.
QByteArray ExifOrientationSix()
{
    static const unsigned char segment[] = {
        0xFF, 0xE1, 0x00, 0x22, 'E', 'x', 'i', 'f', 0, 0,
        'M', 'M', 0x00, 0x2A, 0x00, 0x00, 0x00, 0x08,                   // TIFF header, IFD at 8
        0x00, 0x01,                                                     // one entry
        0x01, 0x12, 0x00, 0x03, 0x00, 0x00, 0x00, 0x01, 0x00, 0x06, 0x00, 0x00, // Orientation = 6
        0x00, 0x00, 0x00, 0x00};                                        // no next IFD
    return QByteArray(reinterpret_cast<const char *>(segment), sizeof segment);
}

struct TFiles {
    QTemporaryDir Dir;
    QString Photo;       // the phone photo
    QString Card;        // a card folder whose picture is the photo, written as OK writes it
    CardLayout Layout;

    TFiles()
    {
        const QString ppm = Dir.filePath("photo.ppm");
        PhotoLikePicture().save(ppm, "PPM");
        const QString plain = Dir.filePath("plain.jpg");
        QProcess::execute("cjpeg", {"-quality", "92", "-sample", "2x2", "-outfile", plain, ppm});
        QFile::remove(ppm);
        QFile in(plain);
        in.open(QIODevice::ReadOnly);
        const QByteArray jpeg = in.readAll();
        Photo = Dir.filePath("IMG_0001.jpg");
        QFile out(Photo);
        out.open(QIODevice::WriteOnly);
        out.write(jpeg.left(2) + ExifOrientationSix() + jpeg.mid(2));
        out.close();

        Card = Dir.filePath("Card/");
        QDir().mkpath(Card);
        QImage background(793, 559, QImage::Format_RGB32);
        background.fill(Qt::white);
        background.save(Card + "template.bmp", "BMP");
        WritePictureBmp(ReadJpegPicture(Photo), Card + "picture.bmp");
        Layout = FreshLayout();
        Layout.BackgroundFile.SetText("template.bmp");
        Layout.TransparentColour = 0x00FFFFFF;
        Layout.Pictures[0].Used = 1;
        Layout.Pictures[0].Rect = {60, 50, 300, 410};
        Layout.Pictures[0].FileName.SetText("picture.bmp");
    }
};

TFiles *Files = nullptr;

double ChildrenCpuMilliseconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto ms = [](const timeval &t) { return double(t.tv_sec) * 1000.0 + double(t.tv_usec) / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// djpeg's own processor time is reported as the counter child_cpu_ms,
// which is what compares with the CPU column of the others.
void BM_Djpeg(benchmark::State &state)
{
    const double before = ChildrenCpuMilliseconds();
    for (auto _ : state) {
        if (QProcess::execute("djpeg", {"-outfile", "/dev/null", Files->Photo}) != 0)
            state.SkipWithError("djpeg failed");
    }
    state.counters["child_cpu_ms"] = (ChildrenCpuMilliseconds() - before) / double(state.iterations());
}

void BM_ReadJpegPicture(benchmark::State &state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadJpegPicture(Files->Photo).constBits());
}

void BM_ShownPicture(benchmark::State &state)
{
    const QImage photo = ReadJpegPicture(Files->Photo);
    const TPictureView view = FitPicture(photo.size(), QSize(574, 585));
    for (auto _ : state)
        benchmark::DoNotOptimize(ShownPicture(photo, view.Shown).constBits());
}

// A field of /proc/self/status ("VmRSS:", "VmHWM:") in megabytes.
double StatusMegabytes(const std::string &field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stod(line.substr(field.size())) / 1024.0;
    return 0;
}

// The first photo chosen in a fresh dialog also reports the process's peak
// resident memory above the idle dialog's (first_peak_MB), the peak being
// reset before the choice; later iterations hold the photo before while
// they read the next, as a user choosing again does.
void BM_ChooseInDialog(benchmark::State &state)
{
    TChooser chooser;
    chooser.File = Files->Photo;
    TFrmselectImage dialog(chooser);
    dialog.show();
    QCoreApplication::processEvents();
    std::ofstream("/proc/self/clear_refs") << "5";
    const double idle = StatusMegabytes("VmRSS:");
    dialog.Button1Click();
    dialog.Image1->repaint();
    state.counters["first_peak_MB"] = StatusMegabytes("VmHWM:") - idle;
    for (auto _ : state) {
        dialog.Button1Click();
        dialog.Image1->repaint();
    }
    if (dialog.Picture().size() != QSize(Height, Width))
        state.SkipWithError("the photo did not stand upright");
}

void BM_ComposeCard(benchmark::State &state)
{
    TCard_Edit canvas;
    canvas.SetPic_Path(Files->Card);
    canvas.Layout = Files->Layout;
    for (auto _ : state) {
        canvas.Compose();
        canvas.repaint();
    }
}

void BM_WritePicture(benchmark::State &state)
{
    const QImage photo = ReadJpegPicture(Files->Photo);
    for (auto _ : state)
        WritePictureBmp(photo, Files->Dir.filePath("written.bmp"));
}

} // namespace

BENCHMARK(BM_Djpeg)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadJpegPicture)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_ShownPicture)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_ChooseInDialog)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();
BENCHMARK(BM_ComposeCard)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WritePicture)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    TFiles files;
    Files = &files;
    std::fprintf(stderr, "photo: %lld bytes\n", static_cast<long long>(QFileInfo(files.Photo).size()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
