#pragma once
// The last touches Qt's PDF writer cannot give a card's page, made through
// libqpdf on the written file: pictures marked for smooth scaling, and a
// print shop's page boxes.

#include <QByteArray>
#include <QRectF>

#include <optional>

// A print shop's boxes on the page, in points from the page's lower-left
// corner, as PDF measures.
struct TPdfTrimBoxes {
    QRectF Trim;   // where the card is cut
    QRectF Bleed;  // how far the drawing runs past the cut
};

// `pdf` with every picture marked to be scaled smoothly (a picture with
// fewer pixels than the page shows looks on paper as it looks on the
// screen, not as blocks), and with `boxes` set on every page when given.
// Raises ECardError when the PDF cannot be read or written.
QByteArray FinishCardPdf(const QByteArray &pdf, const std::optional<TPdfTrimBoxes> &boxes = std::nullopt);
