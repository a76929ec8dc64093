#include "report/card_page.h"

#include "imaging/atomicfile.h"
#include "report/paper_list.h"
#include "report/paper_set.h"
#include "report/pdf_finish.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

#include <algorithm>

TCardPageSize CardPageSize(const PaperSettings &paper)
{
    TPaperSetModel model;
    model.LoadPaper(paper);
    const TLength width = model.Page.WidthLength();
    const TLength length = model.Page.LengthLength();
    // A standard paper's page is turned already; a custom one keeps its
    // width and length with only the landscape flag.
    if (model.Page.IsCustom() && model.Page.Orientation() == 1)
        return {length, width};
    return {width, length};
}

QPageLayout CardPageLayout(const PaperSettings &paper)
{
    const TCardPageSize size = CardPageSize(paper);
    // A page wider or longer than any printer takes (200 inches) is as
    // unprintable as one without area.
    const TLength longest = TLength::FromInches(200);
    if (!(size.Width > TLength() && size.Height > TLength() && size.Width <= longest && size.Height <= longest))
        throw ECardError(QStringLiteral("The card's paper (%1 x %2 mm) cannot be printed: choose another paper "
                                        "in Paper Set.")
                             .arg(size.Width.Mm(), 0, 'f', 2)
                             .arg(size.Height.Mm(), 0, 'f', 2));
    const bool landscape = size.Width > size.Height;
    const TLength shortSide = std::min(size.Width, size.Height);
    const TLength longSide = std::max(size.Width, size.Height);

    TPaperSetModel model;
    model.LoadPaper(paper);
    const std::optional<TStandardPaper> standard = FindStandardPaper(model.Page.PaperName());
    const QPageSize pageSize = standard ? QPageSize(standard->PageSizeId)
                                        : QPageSize(QSizeF(shortSide.Mm(), longSide.Mm()), QPageSize::Millimeter,
                                                    QLatin1String(CustomPaperName), QPageSize::ExactMatch);
    QPageLayout layout(pageSize, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter, QMarginsF(0, 0, 0, 0));
    // The paper's corner, not the printable area's: a printer's unprintable
    // edge must not shift the card.
    layout.setMode(QPageLayout::FullPageMode);
    return layout;
}

TCardScene PictureCardScene(const QImage &card)
{
    TCardScene scene;
    scene.Layout = FreshLayout();
    scene.Layout.Paper.CardWidth = card.width();
    scene.Layout.Paper.CardHeight = card.height();
    scene.Pictures.Background = card;
    return scene;
}

void PaintCardPage(QPainter &painter, const TCardScene &card)
{
    PaintCard(painter, card, TCardTarget::Page);
}

void SetCardPage(QPagedPaintDevice &device, const PaperSettings &paper)
{
    if (!device.setPageLayout(CardPageLayout(paper)))
        throw ECardError(QStringLiteral("The printer cannot take a page of the card's paper."));
}

void PrintCardPage(const TCardScene &card, const PaperSettings &paper, QPagedPaintDevice &device)
{
    SetCardPage(device, paper);
    QPainter painter;
    if (!painter.begin(&device))
        throw ECardError(QStringLiteral("The page cannot be printed."));
    PaintCardPage(painter, card);
    painter.end();
}

void WriteCardPagePdf(const TCardScene &card, const PaperSettings &paper, const QString &pdfPath)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Card"));
        writer.setCreator(QStringLiteral("Tessaly"));
        writer.setResolution(1200);
        PrintCardPage(card, paper, writer);
    }
    const QByteArray pdf = FinishCardPdf(buffer.data());
    WriteFileAtomically(QFile::encodeName(pdfPath).toStdString(), std::string_view(pdf.constData(), size_t(pdf.size())));
}
