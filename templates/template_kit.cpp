#include "templates/template_kit.h"

#include "card/card_file.h"
#include "card/card_geometry.h"
#include "card/card_render.h"
#include "card/paper_config.h"
#include "imaging/atomicfile.h"
#include "imaging/jpeg/jpegencoder.h"
#include "pictures/bitmap_qimage.h"
#include "pictures/bmp_file.h"
#include "report/length.h"
#include "report/paper_set.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

namespace {

void SaveBytes(const QByteArray &bytes, const QString &path)
{
    WriteFileAtomically(QFile::encodeName(path).toStdString(), std::string_view(bytes.constData(), bytes.size()));
}

// Small enough for the gallery, sharp enough for its 400 x 280 preview box.
constexpr int PreviewQuality = 7;

// The preview as the program's own encoder writes a JPEG export.
void SavePreviewJpeg(const QImage &image, const QString &path)
{
    TJpegEncoder encoder;
    encoder.SetQuality(PreviewQuality);
    encoder.WriteImageFile(QFile::encodeName(path).toStdString(), ToBitmapImage(image));
}

QByteArray RtfEscaped(const QString &text)
{
    QByteArray out;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u < 0x80) {
            out += char(u);
        } else {
            out += "\\u" + QByteArray::number(int16_t(u)) + '?';
        }
    }
    return out;
}

} // namespace

QByteArray TemplateRtf(const TemplateText &text)
{
    const QByteArray align = text.Align & Qt::AlignHCenter ? "\\qc" : text.Align & Qt::AlignRight ? "\\qr" : "\\ql";
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 " + text.Family.toLatin1()
                     + ";}}\r\n{\\colortbl ;\\red" + QByteArray::number(text.Colour.red()) + "\\green"
                     + QByteArray::number(text.Colour.green()) + "\\blue" + QByteArray::number(text.Colour.blue())
                     + ";}\r\n\\viewkind4\\uc1\\pard" + align + "\\cf1";
    if (text.Bold)
        rtf += "\\b";
    if (text.Italic)
        rtf += "\\i";
    rtf += "\\f0\\fs" + QByteArray::number(text.PointSize * 2) + ' ';
    for (int i = 0; i < text.Paragraphs.size(); ++i) {
        rtf += RtfEscaped(text.Paragraphs.at(i));
        rtf += i + 1 < text.Paragraphs.size() ? "\\par\r\n" : "\\par\r\n}\r\n";
    }
    return rtf;
}

void WriteTemplate(const TemplateDesign &design, const QString &folder)
{
    if (!QDir().mkpath(folder))
        throw std::runtime_error("cannot create " + folder.toStdString());
    const QString base = folder + QLatin1Char('/');
    if (design.Background.size() != CardSizeOf(design.Paper) * TemplateBackgroundScale)
        throw std::runtime_error(design.Name.toStdString() + ": the background is not drawn for the paper's card size");

    CardLayout layout = FreshLayout();
    layout.Paper = PaperSettingsFor(design.Paper);
    layout.BackgroundFile.SetText(QStringLiteral("template.bmp"));
    if (!design.Pictures.empty())  // 0x00BBGGRR
        layout.TransparentColour = int32_t(qRed(design.TransparentColour) | qGreen(design.TransparentColour) << 8
                                           | qBlue(design.TransparentColour) << 16);
    WritePictureBmp(design.Background, base + "template.bmp");
    for (std::size_t i = 0; i < design.Pictures.size() && i < 2; ++i) {
        const TemplatePicture &picture = design.Pictures[i];
        layout.Pictures[i].Used = 1;
        layout.Pictures[i].Rect = picture.Rect;
        layout.Pictures[i].FileName.SetText(picture.FileName);
        WritePictureBmp(picture.Image, base + picture.FileName);
    }
    for (std::size_t n = 0; n < design.Texts.size() && n < 5; ++n) {
        const QString name = QString::number(n) + QStringLiteral(".rtf");
        layout.Texts[n].Used = 1;
        layout.Texts[n].Rect = design.Texts[n].Rect;
        layout.Texts[n].FileName.SetText(name);
        SaveBytes(TemplateRtf(design.Texts[n]), base + name);
    }
    WriteCardFile(base + "Card.crd", layout);

    const QImage card = RenderCardFolder(base);
    SavePreviewJpeg(card.scaled(card.size() / 2, Qt::KeepAspectRatio, Qt::SmoothTransformation), base + "preview.jpg");
}

PaperSettings PaperSettingsFor(TemplatePaper paper)
{
    // The head the paper set dialog stores when the paper is chosen from its
    // list with this orientation, so Paper Set and OK leaves the card as it is.
    struct Choice {
        int Entry;
        int Orientation;  // 0 portrait, 1 landscape
    };
    Choice choice{};
    switch (paper) {
    case TemplatePaper::A5Landscape: choice = {0, 1}; break;
    case TemplatePaper::A6HalfFoldLandscape: choice = {6, 1}; break;
    case TemplatePaper::HagakiLandscape: choice = {7, 1}; break;
    case TemplatePaper::HagakiPortrait: choice = {7, 0}; break;
    case TemplatePaper::SixByEightPortrait: choice = {9, 0}; break;
    case TemplatePaper::LetterLandscape: choice = {1, 1}; break;
    }
    PaperSettings settings{};
    InitPaperSettings(settings);
    TPaperSetModel model;
    model.ListClick(choice.Entry);
    model.OrientationIndex = choice.Orientation;
    model.ReadPaper(settings);
    return settings;
}

QSize CardSizeOf(TemplatePaper paper)
{
    const PaperSettings settings = PaperSettingsFor(paper);
    return QSize(settings.CardWidth, settings.CardHeight);
}

TemplateDesign StartDesign(const QString &name, TemplatePaper paper, QColor ground)
{
    TemplateDesign design;
    design.Name = name;
    design.Paper = paper;
    design.Background = QImage(CardSizeOf(paper) * TemplateBackgroundScale, QImage::Format_RGB32);
    design.Background.setDevicePixelRatio(TemplateBackgroundScale);
    const int dotsPerMeter = TLength::DotsPerMeter(TLength::CardPixelsPerInch * TemplateBackgroundScale);
    design.Background.setDotsPerMeterX(dotsPerMeter);
    design.Background.setDotsPerMeterY(dotsPerMeter);
    design.Background.fill(ground);
    return design;
}

void AddWindowPicture(TemplateDesign &design, const QRect &window, const QImage &picture)
{
    design.TransparentColour = WindowKey;
    design.Pictures.push_back({ControlToSlotRect(window, QPoint(0, 0)), QStringLiteral("picture.bmp"), picture});
}
