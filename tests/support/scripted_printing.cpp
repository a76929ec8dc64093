#include "tests/support/scripted_printing.h"

#include "tests/support/tool_run.h"

#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <vector>

namespace {

// The tool's standard output; nothing when it could not run or failed.
std::optional<QString> OutputOf(const QString &program, const QStringList &arguments)
{
    const TToolRun run = RunTool(program, arguments);
    if (run.ExitCode != 0)
        return std::nullopt;
    return QString::fromUtf8(run.Out);
}

} // namespace

bool TScriptedPrinterDialogs::SetUpPrinter(QPrinter &printer, QWidget *, TPrinterChoice choice)
{
    Titles.append(PrinterDialogTitle(choice));
    if (PdfFile.isEmpty())
        return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(PdfFile);
    return true;
}

std::optional<TPdfInfo> ReadPdfInfo(const QString &pdf)
{
    const std::optional<QString> output = OutputOf(QStringLiteral("pdfinfo"), {pdf});
    if (!output)
        return std::nullopt;
    TPdfInfo info;
    const QRegularExpressionMatch pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(*output);
    info.Pages = pages.hasMatch() ? pages.captured(1).toInt() : 0;
    const QRegularExpressionMatch size = QRegularExpression(QStringLiteral("Page size:\\s+([^\\n]+)")).match(*output);
    info.PageSize = size.hasMatch() ? size.captured(1).trimmed() : QString();
    return info;
}

QImage RenderPdfPage(const QString &pdf)
{
    QTemporaryDir dir;
    const QString stem = dir.filePath(QStringLiteral("page"));
    if (!OutputOf(QStringLiteral("pdftocairo"), {"-r", "96", "-f", "1", "-l", "1", "-png", "-singlefile", pdf, stem}))
        return QImage();
    return QImage(stem + QStringLiteral(".png"));
}

bool NearColour(QColor actual, QColor expected, int tolerance)
{
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}

QImage QuarteredCard(int width, int height)
{
    QImage card(width, height, QImage::Format_RGB32);
    card.fill(Qt::red);
    for (int y = 0; y < height / 2; ++y)
        for (int x = 0; x < width / 2; ++x)
            card.setPixelColor(x, y, Qt::blue);
    for (int y = 0; y < height; ++y)
        card.setPixelColor(width - 1, y, Qt::green);
    return card;
}

::testing::AssertionResult PageShowsQuarteredCard(const QImage &page, QSize card)
{
    struct Probe {
        int X, Y;
        QColor Colour;
    };
    const int w = card.width(), h = card.height();
    std::vector<Probe> probes = {{0, 0, Qt::blue},         {w / 2 - 1, h / 2 - 1, Qt::blue},
                                 {w / 2, h / 2 - 1, Qt::red}, {w / 2 - 1, h / 2, Qt::red},
                                 {w - 2, h - 1, Qt::red},     {w - 1, h - 1, Qt::green},
                                 {w - 1, 0, Qt::green}};
    if (page.width() > w)
        probes.push_back({w, h / 2, Qt::white});
    if (page.height() > h)
        probes.push_back({w / 2, h, Qt::white});
    QStringList wrong;
    for (const Probe &probe : probes) {
        if (!page.valid(probe.X, probe.Y))
            wrong << QStringLiteral("(%1, %2) lies outside the page").arg(probe.X).arg(probe.Y);
        else if (!NearColour(page.pixelColor(probe.X, probe.Y), probe.Colour))
            wrong << QStringLiteral("(%1, %2) is %3, not %4")
                         .arg(probe.X)
                         .arg(probe.Y)
                         .arg(page.pixelColor(probe.X, probe.Y).name(), probe.Colour.name());
    }
    if (wrong.isEmpty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << wrong.join(QStringLiteral("; ")).toStdString();
}

PaperSettings PaperOf(int index, int orientation)
{
    PaperSettings paper;
    InitPaperSettings(paper);
    paper.PaperIndex = index;
    paper.Orientation = orientation;
    if (index == 6) {
        paper.PaperWidth = 148.5;
        paper.PaperLength = 210;
    }
    return paper;
}
