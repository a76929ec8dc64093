// tessaly-render: renders a card folder into a picture or a printable page,
// without a display. See UsageText below.

#include "card/card_render.h"
#include "imaging/jpeg/image_convert.h"
#include "pictures/bmp_file.h"
#include "report/card_page.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

const char UsageText[] =
    "usage: tessaly-render CARD_FOLDER OUT\n"
    "\n"
    "Renders the card held in CARD_FOLDER (its Card.crd, background, pictures and\n"
    "text boxes) into the file OUT, exactly as the program exports or prints it.\n"
    "No display is needed. The extension of OUT (in any case) chooses what is\n"
    "written:\n"
    "  .bmp           the card as a 24-bit BMP, as Save As writes it with the\n"
    "                 bitmap filter\n"
    "  .jpg, .jpeg    the card as a JPEG: the same bytes Save As writes with the\n"
    "                 JPEG filter for the same card\n"
    "  .pdf           the page Print prints: one page of the card's paper, no\n"
    "                 margins, the card at its top-left corner\n"
    "CARD_FOLDER may also name the card's Card.crd. Nothing in it is changed.\n"
    "OUT is replaced only once it is completely written: a failure leaves an\n"
    "existing OUT as it was, and a device or FIFO is never written over.\n"
    "\n"
    "Exit status: 0 when OUT was written. Otherwise a one-line reason on standard\n"
    "error and status 1 for a card or file that cannot be read or written, or 2\n"
    "for wrong arguments.\n"
    "\n"
    "For many cards, one call each, for example:\n"
    "  for card in MyCard/*/; do tessaly-render \"$card\" \"$(basename \"$card\").jpg\"; done\n";

enum class TOutput { Bmp, Jpeg, Pdf, Unknown };

TOutput OutputOf(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QLatin1String("bmp"))
        return TOutput::Bmp;
    if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        return TOutput::Jpeg;
    if (suffix == QLatin1String("pdf"))
        return TOutput::Pdf;
    return TOutput::Unknown;
}

int Fail(int status, const QString &reason)
{
    std::fprintf(stderr, "tessaly-render: %s\n", qPrintable(reason.simplified()));
    return status;
}

// The card folder, ending in '/', from a folder or a file in it.
QString CardFolderOf(const QString &argument)
{
    const QFileInfo info(argument);
    const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// The JPEG export's own road: the rendered card as a BMP file, read back by
// the program's BMP decoder and coded by its JPEG encoder. A scratch folder
// stands in for the program's Temp.bmp.
void WriteJpeg(const QImage &card, const QString &out)
{
    QTemporaryDir scratch;
    if (!scratch.isValid())
        throw ECardError(QStringLiteral("Cannot create a scratch folder: %1").arg(scratch.errorString()));
    const QString bmp = scratch.filePath(QStringLiteral("Temp.bmp"));
    WritePictureBmp(card, bmp);
    if (!ConvertBmpToJpeg(QFile::encodeName(bmp).toStdString(), QFile::encodeName(out).toStdString(),
                          CardJpegQuality))
        throw ECardError(QStringLiteral("Cannot write the JPEG file \"%1\": the folder may not exist, the disk "
                                        "may be full, or the name may belong to something that is not a file.")
                             .arg(QDir::toNativeSeparators(out)));
}

int Render(const QString &cardArgument, const QString &out)
{
    const TOutput output = OutputOf(out);
    if (output == TOutput::Unknown)
        return Fail(2, QStringLiteral("\"%1\" must end in .bmp, .jpg, .jpeg or .pdf.").arg(out));
    if (!QFileInfo::exists(cardArgument))
        return Fail(1, QStringLiteral("\"%1\" does not exist.").arg(cardArgument));
    const QString folder = CardFolderOf(cardArgument);
    const CardLayout layout = ReadCardFolderLayout(folder);
    switch (output) {
    case TOutput::Bmp:
        WritePictureBmp(RenderCardFolder(folder, layout), out);
        break;
    case TOutput::Jpeg:
        WriteJpeg(RenderCardFolder(folder, layout), out);
        break;
    case TOutput::Pdf: {
        // The page is drawn at the PDF's resolution: text as text, each
        // picture from its own file's pixels.
        const TCardTexts texts(layout, folder);
        WriteCardPagePdf(ReadCardScene(layout, folder, texts), layout.Paper, out);
        break;
    }
    case TOutput::Unknown:
        break;
    }
    return 0;
}

// Qt's own notes (font fallbacks, a missing runtime folder) are no reason
// for the caller: standard error carries the one line of a failure only.
void QuietMessages(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtFatalMsg)
        std::fprintf(stderr, "tessaly-render: %s\n", qPrintable(message.simplified()));
}

} // namespace

int main(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(UsageText, stdout);
            return 0;
        }
    }
    if (argc != 3)
        return Fail(2, QStringLiteral("expected CARD_FOLDER and OUT, got %1 argument%2 (see tessaly-render --help).")
                           .arg(argc - 1)
                           .arg(argc == 2 ? "" : "s"));
    // Headless whatever the environment: no display is opened, and text is
    // laid out at 96 dpi as on the program's screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages);
    QGuiApplication app(argc, argv);
    try {
        return Render(QFile::decodeName(argv[1]), QFile::decodeName(argv[2]));
    } catch (const std::bad_alloc &) {
        return Fail(1, QStringLiteral("There is not enough memory to render the card."));
    } catch (const std::exception &error) {
        return Fail(1, QString::fromUtf8(error.what()));
    }
}
