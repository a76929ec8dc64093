// Save As: the finished card as a BMP or JPEG picture. The card folder
// itself is not touched.
#include "app/export_names.h"
#include "app/frm_main.h"

#include "imaging/jpeg/image_convert.h"
#include "imaging/jpeg/jpegencoder.h"

#include <QFile>

namespace {

const QString NoCardMessage = QStringLiteral("Please Create a new card or open a card first!");
const QString SaveErrorMessage = QStringLiteral("Save Error, Please contact technical support or retry later!");

// Every quantizer 1: the export loses only the colour conversion's rounding.
constexpr int ExportJpegQuality = 9;

std::string LocalName(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

// One encoder for every export, so that the next export finds its memory
// ready instead of asking the system for it again.
TJpegEncoder &ExportEncoder()
{
    static TJpegEncoder encoder;
    return encoder;
}

} // namespace

QString Tfrmmain::TempBmpPath() const
{
    return ProgramFolder + QStringLiteral("Temp.bmp");
}

void Tfrmmain::BitBtn4Click()
{
    if (CardPath.isEmpty()) {
        Dialogs().ShowMessage(NoCardMessage);
        return;
    }
    // An existing file is replaced without a question.
    if (!Dialogs().ExecuteSave(SavePictureDialog))
        return;
    const QString target = ExportFileName(SavePictureDialog.FileName, SavePictureDialog.FilterIndex);
    if (SavePictureDialog.FilterIndex == BitmapFilterIndex) {
        if (!RenderCard(target))
            Dialogs().ShowMessage(SaveErrorMessage);
        return;
    }
    // The JPEG goes through the rendered bitmap, read back by the program's
    // own decoder. A failed conversion is reported like a failed rendering;
    // both files are written atomically, so nothing half-written is left
    // under the chosen name.
    if (!RenderCard(TempBmpPath())
        || !ConvertBmpToJpeg(LocalName(TempBmpPath()), LocalName(target), ExportJpegQuality, ExportEncoder()))
        Dialogs().ShowMessage(SaveErrorMessage);
}
