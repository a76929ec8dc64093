#pragma once
// Helpers shared by the rich-text tests: reading samples, describing a
// document's text and formats in one comparable string, finding ink.

#include "richtext/rtf.h"

#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QImage>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

// Failing expectations show Qt strings as text.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace rtftest {

inline QString DataPath(const char *name)
{
    return QStringLiteral(TESSALY_SOURCE_DIR "/tests/richtext/data/") + QLatin1String(name);
}

inline QByteArray ReadData(const char *name)
{
    QFile file(DataPath(name));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name;
    return file.readAll();
}

// Reads `rtf`, failing the test when the reader refuses it.
inline std::unique_ptr<QTextDocument> Read(const QByteArray &rtf)
{
    auto doc = std::make_unique<QTextDocument>();
    QString error;
    EXPECT_TRUE(ReadRtf(rtf, doc.get(), &error)) << error.toStdString();
    return doc;
}

inline QStringList Paragraphs(const QTextDocument &doc)
{
    QStringList paragraphs;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next())
        paragraphs << block.text();
    return paragraphs;
}

// The character format at the first occurrence of `text`.
inline QTextCharFormat FormatOf(const QTextDocument &doc, const QString &text)
{
    const QTextCursor found = doc.find(text);
    EXPECT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor at(const_cast<QTextDocument *>(&doc));
    at.setPosition(found.selectionStart() + 1);
    return at.charFormat();
}

// The list the paragraph holding `text` is an item of: its style and level
// (1 the outermost) and the item's number as the list shows it ("" for a
// bullet, "none" outside lists).
struct ListInfo {
    int style = 0;
    int level = 0;
    QString number = QStringLiteral("none");
    friend bool operator==(const ListInfo &, const ListInfo &) = default;
    friend std::ostream &operator<<(std::ostream &out, const ListInfo &info)
    {
        return out << "style " << info.style << " level " << info.level << " \""
                   << info.number.toStdString() << '"';
    }
};

inline ListInfo ListOf(const QTextDocument &doc, const QString &text)
{
    const QTextBlock block = doc.find(text).block();
    EXPECT_TRUE(block.isValid()) << text.toStdString();
    const QTextList *list = block.textList();
    if (!list)
        return {};
    const int style = list->format().style();
    const bool bullet = style == QTextListFormat::ListDisc || style == QTextListFormat::ListCircle
                        || style == QTextListFormat::ListSquare;
    return {style, list->format().indent(), bullet ? QString() : list->itemText(block)};
}

inline QTextBlockFormat BlockFormatOf(const QTextDocument &doc, const QString &text)
{
    return doc.find(text).block().blockFormat();
}

inline QString ColourOf(const QBrush &brush)
{
    return brush.style() == Qt::NoBrush ? QStringLiteral("auto") : brush.color().name();
}

// Every block's formats and every fragment's text and formats, with unset
// family and size taken as the document's defaults.
inline std::string Describe(const QTextDocument &doc)
{
    const QString defaultFamily = QFontInfo(doc.defaultFont()).family();
    const double defaultSize = doc.defaultFont().pointSizeF();
    QString out;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat p = block.blockFormat();
        out += QStringLiteral("[align %1 li %2 ri %3 fi %4 sb %5 sa %6 lh %7/%8]\n")
                   .arg(int(p.alignment() & Qt::AlignHorizontal_Mask & ~Qt::AlignAbsolute))
                   .arg(p.leftMargin()).arg(p.rightMargin()).arg(p.textIndent())
                   .arg(p.topMargin()).arg(p.bottomMargin())
                   .arg(p.lineHeightType()).arg(p.lineHeight());
        if (const QTextList *list = block.textList())
            out += QStringLiteral("  list %1 level %2 item %3\n")
                       .arg(list->format().style()).arg(list->format().indent())
                       .arg(list->itemText(block));
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat c = it.fragment().charFormat();
            const QString family = c.fontFamilies().toStringList().value(0);
            out += QStringLiteral("  \"%1\" %2 %3pt%4%5%6%7 v%8 fg %9 bg %10\n")
                       .arg(it.fragment().text(), family.isEmpty() ? defaultFamily : family)
                       .arg(c.fontPointSize() > 0 ? c.fontPointSize() : defaultSize)
                       .arg(c.fontWeight() >= QFont::DemiBold ? " bold" : "")
                       .arg(c.fontItalic() ? " italic" : "")
                       .arg(c.fontUnderline() ? " underline" : "")
                       .arg(c.fontStrikeOut() ? " strike" : "")
                       .arg(int(c.verticalAlignment()))
                       .arg(ColourOf(c.foreground()), ColourOf(c.background()));
            if (c.isAnchor())
                out += QStringLiteral("    link %1\n").arg(c.anchorHref());
        }
    }
    return out.toStdString();
}

// The bounding box of the pixels that are not `ground`.
inline QRect Ink(const QImage &image, QColor ground = Qt::white)
{
    QRect ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y) != ground)
                ink |= QRect(x, y, 1, 1);
        }
    }
    return ink;
}

} // namespace rtftest
