#pragma once
// The preview picture of a template (its preview.jpg), read in one place so
// that the new-card dialog never meets a decoder directly.

#include <QImage>
#include <QString>

struct TPreview {
    QImage Image;   // null when the file could not be read
    QString Error;  // then: why, naming the file, for a message box
};

// Reads a JPEG preview. A missing or damaged file gives an error, never a
// crash; the process always goes on.
TPreview LoadPreview(const QString &path);

// The preview as the gallery shows it in a box of `box` pixels: as large as
// fits without changing its proportions (a portrait card stays upright and
// slim), centred, on a transparent ground, with a thin edge and a soft shadow
// so that it reads as a card.
QImage FitPreview(const QImage &preview, QSize box);
