#include "templates/template_kit.h"

#include "card/card_compose.h"
#include "card/card_file.h"
#include "card/card_geometry.h"

#include <QDir>
#include <QFont>
#include <QPainter>
#include <QSaveFile>
#include <QTextOption>

#include <stdexcept>

namespace {

void Save(const QImage &image, const QString &path, const char *format, int quality = -1)
{
    if (!image.save(path, format, quality))
        throw std::runtime_error("cannot write " + path.toStdString());
}

void SaveBytes(const QByteArray &bytes, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error("cannot write " + path.toStdString());
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

QFont FontOf(const TemplateText &text)
{
    QFont font(text.Family);
    font.setPointSize(text.PointSize);
    font.setBold(text.Bold);
    font.setItalic(text.Italic);
    return font;
}

// The texts drawn roughly as the text boxes will show them, for the preview.
void PaintTexts(QImage &card, const std::vector<TemplateText> &texts)
{
    QPainter painter(&card);
    painter.setRenderHint(QPainter::TextAntialiasing);
    for (const TemplateText &text : texts) {
        painter.setFont(FontOf(text));
        painter.setPen(text.Colour);
        QTextOption option(text.Align);
        option.setWrapMode(QTextOption::WordWrap);
        const QRectF box(text.Rect.Left, text.Rect.Top, SlotWidth(text.Rect), SlotHeight(text.Rect));
        painter.drawText(box, text.Paragraphs.join(QLatin1Char('\n')), option);
    }
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

    CardLayout layout = FreshLayout();
    layout.Paper.CardWidth = design.Background.width();
    layout.Paper.CardHeight = design.Background.height();
    layout.BackgroundFile.SetText(QStringLiteral("template.bmp"));
    if (!design.Pictures.empty())  // 0x00BBGGRR
        layout.TransparentColour = int32_t(qRed(design.TransparentColour) | qGreen(design.TransparentColour) << 8
                                           | qBlue(design.TransparentColour) << 16);
    Save(design.Background.convertToFormat(QImage::Format_RGB888), base + "template.bmp", "BMP");
    for (std::size_t i = 0; i < design.Pictures.size() && i < 2; ++i) {
        const TemplatePicture &picture = design.Pictures[i];
        layout.Pictures[i].Used = 1;
        layout.Pictures[i].Rect = picture.Rect;
        layout.Pictures[i].FileName.SetText(picture.FileName);
        Save(picture.Image.convertToFormat(QImage::Format_RGB888), base + picture.FileName, "BMP");
    }
    for (std::size_t n = 0; n < design.Texts.size() && n < 5; ++n) {
        const QString name = QString::number(n) + QStringLiteral(".rtf");
        layout.Texts[n].Used = 1;
        layout.Texts[n].Rect = design.Texts[n].Rect;
        layout.Texts[n].FileName.SetText(name);
        SaveBytes(TemplateRtf(design.Texts[n]), base + name);
    }
    WriteCardFile(base + "Card.crd", layout);

    QImage preview = ComposeCard(layout, base);
    PaintTexts(preview, design.Texts);
    Save(preview.scaled(preview.size() / 2, Qt::KeepAspectRatio, Qt::SmoothTransformation), base + "preview.jpg",
         "JPG", 90);
}
