#include "tests/support/scripted_printing.h"

#include "tests/support/tool_run.h"

#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>
#include <limits>
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
    return RenderPdfPageAt(pdf, 96);
}

QImage RenderPdfPageAt(const QString &pdf, int dpi)
{
    QTemporaryDir dir;
    const QString stem = dir.filePath(QStringLiteral("page"));
    if (!OutputOf(QStringLiteral("pdftocairo"),
                  {"-r", QString::number(dpi), "-f", "1", "-l", "1", "-png", "-singlefile", pdf, stem}))
        return QImage();
    return QImage(stem + QStringLiteral(".png"));
}

std::optional<QString> PdfText(const QString &pdf)
{
    const std::optional<QString> output = OutputOf(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    if (!output)
        return std::nullopt;
    return output->simplified();
}

namespace {

// The rows of a pdffonts or pdfimages table: the lines after the dashes.
QList<QStringList> TableRows(const QString &output)
{
    QList<QStringList> rows;
    bool body = false;
    for (const QString &line : output.split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("---"))) {
            body = true;
            continue;
        }
        if (body && !line.trimmed().isEmpty())
            rows.append(line.split(QLatin1Char(' '), Qt::SkipEmptyParts));
    }
    return rows;
}

} // namespace

std::optional<std::vector<TPdfFont>> PdfFonts(const QString &pdf)
{
    const std::optional<QString> output = OutputOf(QStringLiteral("pdffonts"), {pdf});
    if (!output)
        return std::nullopt;
    std::vector<TPdfFont> fonts;
    for (const QStringList &row : TableRows(*output)) {
        // name, type words, encoding, emb, sub, uni, object, generation
        if (row.size() < 7)
            continue;
        QString name = row[0];
        if (name.size() > 7 && name[6] == QLatin1Char('+'))
            name = name.mid(7);
        fonts.push_back({name, row[row.size() - 5] == QLatin1String("yes")});
    }
    return fonts;
}

std::optional<std::vector<TPdfImage>> PdfImages(const QString &pdf)
{
    const std::optional<QString> output = OutputOf(QStringLiteral("pdfimages"), {QStringLiteral("-list"), pdf});
    if (!output)
        return std::nullopt;
    std::vector<TPdfImage> images;
    for (const QStringList &row : TableRows(*output)) {
        // page num type width height color comp bpc enc interp object generation x-ppi y-ppi size ratio
        if (row.size() < 14)
            continue;
        images.push_back({row[2], row[3].toInt(), row[4].toInt(), row[8], row[12].toInt(), row[13].toInt()});
    }
    return images;
}

std::optional<TPdfBoxes> PdfPageBoxes(const QString &pdf)
{
    const std::optional<QString> output = OutputOf(QStringLiteral("pdfinfo"), {QStringLiteral("-box"), pdf});
    if (!output)
        return std::nullopt;
    auto box = [&](const char *name) {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("%1:\\s+([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)\\s+([-\\d.]+)")
                                   .arg(QLatin1String(name)))
                .match(*output);
        if (!m.hasMatch())
            return QRectF();
        const double x0 = m.captured(1).toDouble(), y0 = m.captured(2).toDouble();
        return QRectF(x0, y0, m.captured(3).toDouble() - x0, m.captured(4).toDouble() - y0);
    };
    return TPdfBoxes{box("MediaBox"), box("CropBox"), box("BleedBox"), box("TrimBox")};
}

double Psnr(const QImage &a, const QImage &b)
{
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    if (x.size() != y.size() || x.isNull())
        return 0.0;
    double squares = 0;
    for (int row = 0; row < x.height(); ++row) {
        const QRgb *p = reinterpret_cast<const QRgb *>(x.constScanLine(row));
        const QRgb *q = reinterpret_cast<const QRgb *>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) {
            const int dr = qRed(p[col]) - qRed(q[col]), dg = qGreen(p[col]) - qGreen(q[col]),
                      db = qBlue(p[col]) - qBlue(q[col]);
            squares += dr * dr + dg * dg + db * db;
        }
    }
    if (squares == 0)
        return std::numeric_limits<double>::infinity();
    const double mean = squares / (3.0 * x.width() * x.height());
    return 10.0 * std::log10(255.0 * 255.0 / mean);
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
