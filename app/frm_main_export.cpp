// Save As: the finished card as a BMP or JPEG picture, or its printed page
// as a PDF (for a print shop with bleed and crop marks). The card folder
// itself is not touched.
#include "app/export_names.h"
#include "app/frm_main.h"
#include "app/messages.h"

#include "card/card_paths.h"
#include "card/card_render.h"
#include "controls/Card_Edit.h"
#include "report/card_page.h"
#include "report/print_shop_page.h"
#include "imaging/jpeg/image_convert.h"
#include "imaging/jpeg/jpegencoder.h"

#include <QDir>
#include <QFile>

namespace {

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
    // The user's cache folder may not be there yet.
    QDir().mkpath(Places().CacheFolder);
    return Places().TempBmp();
}

void Tfrmmain::BitBtn4Click()
{
    if (!CardOpenOrAskForOne())
        return;
    // An existing file is replaced without a question.
    if (!Dialogs().ExecuteSave(SavePictureDialog))
        return;
    const TExportChoice choice = ExportChoice(SavePictureDialog.FileName, SavePictureDialog.FilterIndex);
    RefuseTemplateChange(choice.FileName, Places().TemplateFolders(), TemplateExportMessage);
    const TTemplatesShield shield(Places().TemplateFolders());
    QString failure;
    switch (choice.Type) {
    case TExportType::Bitmap:
        if (!RenderCard(choice.FileName, &failure))
            Dialogs().ShowMessage(WithReason(SaveErrorMessage, failure));
        return;
    case TExportType::Jpeg: {
        // The JPEG goes through the rendered bitmap, read back by the
        // program's own decoder. A failed conversion is reported like a
        // failed rendering; both files are written atomically, so nothing
        // half-written is left under the chosen name. Another window's
        // export or print must not write Temp.bmp between this one's
        // rendering and its reading back.
        const auto shared = LockSharedFile(TempBmpPath());
        std::string converting;
        if (!RenderCard(TempBmpPath(), &failure))
            Dialogs().ShowMessage(WithReason(SaveErrorMessage, failure));
        else if (!ConvertBmpToJpeg(LocalName(TempBmpPath()), LocalName(choice.FileName), CardJpegQuality,
                                   ExportEncoder(), &converting))
            Dialogs().ShowMessage(WithReason(SaveErrorMessage, QString::fromStdString(converting)));
        return;
    }
    case TExportType::Pdf:
        // The printed page, drawn at the PDF's resolution. A picture that
        // cannot be read or a file that cannot be written raises its reason.
        WriteCardPagePdf(CardScene(), Card_Edit1->Layout.Paper, choice.FileName);
        return;
    case TExportType::PrintShop:
        WriteCardPrintShopPdf(CardScene(), Card_Edit1->Layout.Paper, choice.FileName);
        return;
    }
}
