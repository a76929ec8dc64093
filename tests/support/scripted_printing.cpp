#include "tests/support/scripted_printing.h"

#include <QApplication>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

namespace {

// The tool's standard output; nothing when it could not run or failed.
std::optional<QString> RunTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromUtf8(process.readAllStandardOutput());
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

TModalScript::TModalScript(std::function<void(QWidget *modal)> script)
    : m_timer(new QTimer), m_script(std::move(script))
{
    // Polled, because the window opens inside a call the test is still in.
    m_timer->setInterval(10);
    QObject::connect(m_timer, &QTimer::timeout, [this] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        m_timer->stop();
        m_ran = true;
        m_script(modal);
    });
    m_timer->start();
}

TModalScript::~TModalScript()
{
    delete m_timer;
}

std::optional<TPdfInfo> ReadPdfInfo(const QString &pdf)
{
    const std::optional<QString> output = RunTool(QStringLiteral("pdfinfo"), {pdf});
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
    if (!RunTool(QStringLiteral("pdftocairo"), {"-r", "96", "-f", "1", "-l", "1", "-png", "-singlefile", pdf, stem}))
        return QImage();
    return QImage(stem + QStringLiteral(".png"));
}

bool NearColour(QColor actual, QColor expected, int tolerance)
{
    return std::abs(actual.red() - expected.red()) <= tolerance &&
           std::abs(actual.green() - expected.green()) <= tolerance &&
           std::abs(actual.blue() - expected.blue()) <= tolerance;
}
