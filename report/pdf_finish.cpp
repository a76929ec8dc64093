#include "report/pdf_finish.h"

#include "card/card_layout.h"

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>

namespace {

QPDFObjectHandle PdfRectangle(const QRectF &rect)
{
    return QPDFObjectHandle::newArray(
        QPDFObjectHandle::Rectangle(rect.left(), rect.top(), rect.right(), rect.bottom()));
}

bool IsImage(QPDFObjectHandle &object)
{
    if (!object.isStream())
        return false;
    QPDFObjectHandle dictionary = object.getDict();
    return dictionary.getKey("/Subtype").isNameAndEquals("/Image");
}

} // namespace

QByteArray FinishCardPdf(const QByteArray &pdf, const std::optional<TPdfTrimBoxes> &boxes)
{
    try {
        QPDF document;
        document.setSuppressWarnings(true);
        document.processMemoryFile("card.pdf", pdf.constData(), size_t(pdf.size()));
        // Qt's writer has no say in how a viewer or a printer scales a
        // picture; without the flag poppler draws a small one as blocks.
        for (QPDFObjectHandle &object : document.getAllObjects()) {
            if (IsImage(object))
                object.getDict().replaceKey("/Interpolate", QPDFObjectHandle::newBool(true));
        }
        if (boxes) {
            for (QPDFPageObjectHelper &page : QPDFPageDocumentHelper(document).getAllPages()) {
                QPDFObjectHandle dictionary = page.getObjectHandle();
                dictionary.replaceKey("/TrimBox", PdfRectangle(boxes->Trim));
                dictionary.replaceKey("/BleedBox", PdfRectangle(boxes->Bleed));
            }
        }
        QPDFWriter writer(document);
        writer.setOutputMemory();
        // The streams are Qt's as written: a JPEG stays the same JPEG.
        writer.setDecodeLevel(qpdf_dl_none);
        writer.setDeterministicID(true);
        writer.write();
        const std::shared_ptr<Buffer> written = writer.getBufferSharedPointer();
        return QByteArray(reinterpret_cast<const char *>(written->getBuffer()), qsizetype(written->getSize()));
    } catch (const std::exception &failure) {
        throw ECardError(QStringLiteral("The PDF of the card could not be finished: %1")
                             .arg(QString::fromUtf8(failure.what())));
    }
}
