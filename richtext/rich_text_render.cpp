#include "richtext/rich_text_render.h"

#include "report/length.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <cmath>
#include <memory>

namespace {

// The height from the top of the laid-out document down to the end of the last
// line that lies completely within `limit`.
qreal HeightOfWholeLines(const QTextDocument &doc, qreal limit)
{
    qreal fitting = 0;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        if (!layout)
            continue;
        const QPointF origin = doc.documentLayout()->blockBoundingRect(block).topLeft();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            const qreal bottom = origin.y() + line.y() + line.height();
            if (bottom > limit + 0.01)
                return fitting;
            fitting = bottom;
        }
    }
    return limit;
}

// Document lengths are pixels at 96 dpi. The layout scales vertical ones
// (spacing, line heights, tab stops) to its paint device itself, but not
// indents: scale those here, so a paragraph indented by half an inch on screen is
// indented by half an inch on the printed page.
void ScaleHorizontalLengths(QTextDocument &doc, qreal factor)
{
    if (qFuzzyCompare(factor, 1.0))
        return;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (format.leftMargin() == 0 && format.rightMargin() == 0 && format.textIndent() == 0)
            continue;
        format.setLeftMargin(format.leftMargin() * factor);
        format.setRightMargin(format.rightMargin() * factor);
        format.setTextIndent(format.textIndent() * factor);
        QTextCursor(block).setBlockFormat(format);
    }
}

} // namespace

bool RenderRichText(const QTextDocument *doc, QPainter *painter, const TTwipsRect &rect)
{
    if (!painter)
        return false;
    return RenderRichText(doc, painter, rect, painter->device());
}

bool RenderRichText(const QTextDocument *doc, QPainter *painter, const TTwipsRect &rect,
                    const QPaintDevice *layoutDevice)
{
    if (!doc || !painter || !painter->isActive() || !painter->device() || !layoutDevice)
        return false;
    QPaintDevice *device = painter->device();
    const qreal left = TwipsToPixels(rect.Left, layoutDevice->logicalDpiX());
    const qreal top = TwipsToPixels(rect.Top, layoutDevice->logicalDpiY());
    const qreal width = TwipsToPixels(rect.Right, layoutDevice->logicalDpiX()) - left;
    const qreal height = TwipsToPixels(rect.Bottom, layoutDevice->logicalDpiY()) - top;
    if (width <= 0 || height <= 0)
        return false;

    // A private copy, laid out for the layout device: the box's own layout
    // stays as the screen needs it, and the copy's caches go with it.
    std::unique_ptr<QTextDocument> copy(doc->clone());
    ScaleHorizontalLengths(*copy, layoutDevice->logicalDpiX() / TLength::CardPixelsPerInch);
    copy->documentLayout()->setPaintDevice(const_cast<QPaintDevice *>(layoutDevice));
    copy->setTextWidth(width);
    const qreal visible = HeightOfWholeLines(*copy, height);

    painter->save();
    if (layoutDevice->logicalDpiX() != device->logicalDpiX() || layoutDevice->logicalDpiY() != device->logicalDpiY())
        painter->scale(qreal(device->logicalDpiX()) / layoutDevice->logicalDpiX(),
                       qreal(device->logicalDpiY()) / layoutDevice->logicalDpiY());
    painter->translate(left, top);
    painter->setClipRect(QRectF(0, 0, width, visible), Qt::IntersectClip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = QRectF(0, 0, width, visible);
    context.palette.setColor(QPalette::Text, Qt::black);
    copy->documentLayout()->draw(painter, context);
    painter->restore();
    return true;
}
