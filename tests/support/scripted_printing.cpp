#include "tests/support/scripted_printing.h"

#include "tests/support/tool_run.h"

#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>

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
