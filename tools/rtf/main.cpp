// tessaly-rtf: looks into RTF files as the program reads them.
//   tessaly-rtf to-html FILE.rtf           prints the document as HTML
//   tessaly-rtf from-html FILE.html OUT.rtf writes the HTML document as RTF

#include "imaging/atomicfile.h"
#include "imaging/regularfile.h"
#include "richtext/rtf.h"

#include <QFile>
#include <QGuiApplication>
#include <QTextDocument>

#include <cstdio>

namespace {

int Usage()
{
    std::fputs("usage: tessaly-rtf to-html FILE.rtf\n"
               "       tessaly-rtf from-html FILE.html OUT.rtf\n",
               stderr);
    return 2;
}

int Fail(const QString &message)
{
    std::fprintf(stderr, "tessaly-rtf: %s\n", qPrintable(message));
    return 1;
}

bool ReadWhole(const QString &path, qsizetype limit, QByteArray *data, QString *error)
{
    // Only a regular file: a FIFO would keep the tool waiting for a writer.
    try {
        const std::string bytes = ReadRegularFile(QFile::encodeName(path).toStdString(), size_t(limit) + 1);
        *data = QByteArray(bytes.data(), qsizetype(bytes.size()));
        return true;
    } catch (const std::exception &failure) {
        *error = QString::fromUtf8(failure.what());
        return false;
    }
}

int ToHtml(const QString &path)
{
    QByteArray rtf;
    QString error;
    if (!ReadWhole(path, kMaxRtfBytes, &rtf, &error))
        return Fail(error);
    QTextDocument doc;
    if (!ReadRtf(rtf, &doc, &error))
        return Fail(QStringLiteral("%1: %2").arg(path, error));
    const QByteArray html = doc.toHtml().toUtf8();
    std::fwrite(html.constData(), 1, static_cast<size_t>(html.size()), stdout);
    std::fputc('\n', stdout);
    return 0;
}

int FromHtml(const QString &path, const QString &outPath)
{
    QByteArray html;
    QString error;
    if (!ReadWhole(path, kMaxRtfBytes, &html, &error))
        return Fail(error);
    if (html.size() > kMaxRtfBytes)
        return Fail(QStringLiteral("%1: larger than %2 bytes").arg(path).arg(kMaxRtfBytes));
    QTextDocument doc;
    doc.setHtml(QString::fromUtf8(html));
    const QByteArray rtf = WriteRtf(&doc);
    // A device or FIFO named as the output is written into, as a shell
    // redirect would; a regular file is replaced only once complete.
    try {
        WriteFileAtomically(QFile::encodeName(outPath).toStdString(),
                            std::string_view(rtf.constData(), size_t(rtf.size())), TSpecialTarget::WriteInPlace);
    } catch (const std::exception &failure) {
        return Fail(QString::fromUtf8(failure.what()));
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // Fonts need a GUI application, but the tool never shows a window.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("to-html"))
        return ToHtml(args[2]);
    if (args.size() == 4 && args[1] == QLatin1String("from-html"))
        return FromHtml(args[2], args[3]);
    return Usage();
}
