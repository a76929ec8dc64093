#pragma once
// What the picture benchmarks share: a camera-sized photo made in memory and
// a dialog seam that answers the file chooser with it.

#include "controls/dialogs.h"

#include <QImage>

#include <cstdio>
#include <random>

namespace photo_bench {

constexpr int Width = 6000;
constexpr int Height = 4000;

// Answers the file chooser with the photo; no box is ever expected.
class TChooser : public TDialogs {
public:
    QString File;
    void ShowMessage(const QString &text) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
    bool AskYesNo(const QString &, const QString &) override { return true; }
    QString InputBox(const QString &, const QString &, const QString &initial) override { return initial; }
    bool ExecuteOpen(TFileDialog &dialog) override
    {
        dialog.FileName = File;
        return true;
    }
    bool ExecuteSave(TFileDialog &) override { return false; }
};

// Smooth shading with fine grain, so its files are as large as a camera's
// (several megabytes) rather than a flat picture's few hundred kilobytes.
inline QImage PhotoLikePicture()
{
    QImage image(Width, Height, QImage::Format_RGB32);
    std::mt19937 random(7);
    for (int y = 0; y < Height; ++y) {
        QRgb *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < Width; ++x) {
            const int grain = int(random() % 24);
            line[x] = qRgb((x * 200 / Width + grain) & 0xFF, (y * 180 / Height + 40 + grain) & 0xFF,
                           ((x + y) * 120 / (Width + Height) + 90 + grain) & 0xFF);
        }
    }
    return image;
}

} // namespace photo_bench
