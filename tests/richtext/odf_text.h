#pragma once
// What LibreOffice made of a document, read from its flat ODF text (.fodt):
// the paragraphs with their list level and mark, the links, and the font each
// span of text is shown in, with styles resolved as ODF inherits them.

#include <QHash>
#include <QList>
#include <QString>
#include <QXmlStreamReader>

#include <optional>

namespace rtftest {

class OdfText {
public:
    explicit OdfText(const QByteArray &xml);

    struct Span {
        QString text;
        QString style; // text style; empty when the span has none
        QString link;  // target of the link the span is in
    };
    struct Paragraph {
        QString text;
        QString style;     // paragraph style
        int listLevel = 0; // 1 the outermost; 0 outside lists
        QString listStyle; // list style of the outermost list
        QList<Span> spans;
    };

    const QList<Paragraph> &Paragraphs() const { return m_paragraphs; }

    // The paragraph holding `text`, if any.
    const Paragraph *ParagraphWith(const QString &text) const;
    // "bullet", or the number format ("1", "a", "I" ...) of the level the
    // paragraph with `text` has in its list; "" outside lists.
    QString ListMarkOf(const QString &text) const;
    // The link target of the span holding `text`; "" when none.
    QString LinkOf(const QString &text) const;
    // The font family the span holding `text` shows characters of its kind
    // in: "asian" for Chinese, Japanese and Korean, "" for the rest.
    QString FontOf(const QString &text, const QString &kind = QString()) const;

private:
    struct Style {
        QString parent;
        QString fonts[2]; // font face names: western, asian
    };
    void ReadFontFace(QXmlStreamReader &xml);
    void ReadStyle(QXmlStreamReader &xml, bool isDefault);
    void ReadListStyle(QXmlStreamReader &xml);
    void ReadParagraph(QXmlStreamReader &xml, int listLevel, const QString &listStyle);
    const Span *SpanWith(const QString &text, const Paragraph **paragraph = nullptr) const;
    QString FontIn(QString style, const QString &family, int kind) const;

    QList<Paragraph> m_paragraphs;
    QHash<QString, QString> m_fontFamilies;          // face name -> family
    QHash<QString, Style> m_styles;                  // "family/name" -> style
    QHash<QString, QHash<int, QString>> m_listMarks; // list style -> level -> mark
};

inline QString Attribute(const QXmlStreamReader &xml, const char *name)
{
    return xml.attributes().value(QLatin1String(name)).toString();
}

inline OdfText::OdfText(const QByteArray &xml)
{
    QXmlStreamReader reader(xml);
    QList<QString> lists; // style names of the open lists, outermost first
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        const QStringView name = reader.qualifiedName();
        if (token == QXmlStreamReader::EndElement && name == u"text:list") {
            lists.removeLast();
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (name == u"style:font-face") {
            ReadFontFace(reader);
        } else if (name == u"style:style" || name == u"style:default-style") {
            ReadStyle(reader, name == u"style:default-style");
        } else if (name == u"text:list-style") {
            ReadListStyle(reader);
        } else if (name == u"text:list") {
            const QString style = Attribute(reader, "text:style-name");
            lists << (lists.isEmpty() || lists.front().isEmpty() ? style : lists.front());
        } else if (name == u"text:p" || name == u"text:h") {
            ReadParagraph(reader, static_cast<int>(lists.size()), lists.value(0));
        }
    }
}

inline void OdfText::ReadFontFace(QXmlStreamReader &xml)
{
    QString family = Attribute(xml, "svg:font-family");
    if (family.startsWith(u'\'') && family.endsWith(u'\''))
        family = family.mid(1, family.size() - 2);
    m_fontFamilies.insert(Attribute(xml, "style:name"), family);
}

inline void OdfText::ReadStyle(QXmlStreamReader &xml, bool isDefault)
{
    const QString family = Attribute(xml, "style:family");
    const QString key = family + u'/'
                        + (isDefault ? QString() : Attribute(xml, "style:name"));
    Style style;
    if (!isDefault)
        style.parent = Attribute(xml, "style:parent-style-name");
    while (xml.readNextStartElement()) {
        if (xml.qualifiedName() == u"style:text-properties") {
            style.fonts[0] = Attribute(xml, "style:font-name");
            style.fonts[1] = Attribute(xml, "style:font-name-asian");
        }
        xml.skipCurrentElement();
    }
    m_styles.insert(key, style);
}

inline void OdfText::ReadListStyle(QXmlStreamReader &xml)
{
    QHash<int, QString> &marks = m_listMarks[Attribute(xml, "style:name")];
    while (xml.readNextStartElement()) {
        const int level = Attribute(xml, "text:level").toInt();
        if (xml.qualifiedName() == u"text:list-level-style-bullet")
            marks.insert(level, QStringLiteral("bullet"));
        else if (xml.qualifiedName() == u"text:list-level-style-number")
            marks.insert(level, Attribute(xml, "style:num-format"));
        xml.skipCurrentElement();
    }
}

inline void OdfText::ReadParagraph(QXmlStreamReader &xml, int listLevel, const QString &listStyle)
{
    Paragraph paragraph;
    paragraph.style = Attribute(xml, "text:style-name");
    paragraph.listLevel = listLevel;
    paragraph.listStyle = listStyle;
    QList<QString> styles{QString()}, links{QString()};
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        const QStringView name = xml.qualifiedName();
        if (token == QXmlStreamReader::StartElement) {
            if (name == u"text:span") {
                styles << Attribute(xml, "text:style-name");
            } else if (name == u"text:a") {
                links << Attribute(xml, "xlink:href");
            } else if (name == u"text:s" || name == u"text:tab" || name == u"text:line-break") {
                const QString blank = name == u"text:tab" ? QStringLiteral("\t") : QStringLiteral(" ");
                paragraph.text += blank;
                paragraph.spans << Span{blank, styles.last(), links.last()};
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (name == u"text:span")
                styles.removeLast();
            else if (name == u"text:a")
                links.removeLast();
            else if (name == u"text:p" || name == u"text:h")
                break;
        } else if (token == QXmlStreamReader::Characters) {
            paragraph.text += xml.text();
            paragraph.spans << Span{xml.text().toString(), styles.last(), links.last()};
        }
    }
    m_paragraphs << paragraph;
}

inline const OdfText::Paragraph *OdfText::ParagraphWith(const QString &text) const
{
    for (const Paragraph &paragraph : m_paragraphs) {
        if (paragraph.text.contains(text))
            return &paragraph;
    }
    return nullptr;
}

inline QString OdfText::ListMarkOf(const QString &text) const
{
    const Paragraph *paragraph = ParagraphWith(text);
    if (!paragraph || paragraph->listLevel == 0)
        return {};
    return m_listMarks.value(paragraph->listStyle).value(paragraph->listLevel, QStringLiteral("?"));
}

inline const OdfText::Span *OdfText::SpanWith(const QString &text, const Paragraph **holder) const
{
    for (const Paragraph &paragraph : m_paragraphs) {
        for (const Span &span : paragraph.spans) {
            if (span.text.contains(text)) {
                if (holder)
                    *holder = &paragraph;
                return &span;
            }
        }
    }
    return nullptr;
}

inline QString OdfText::LinkOf(const QString &text) const
{
    const Span *span = SpanWith(text);
    return span ? span->link : QString();
}

inline QString OdfText::FontIn(QString style, const QString &family, int kind) const
{
    // Up the style's parents, then the family's default style.
    for (int guard = 0; guard < 32; ++guard) {
        const auto found = m_styles.constFind(family + u'/' + style);
        if (found == m_styles.constEnd())
            break;
        if (!found->fonts[kind].isEmpty())
            return m_fontFamilies.value(found->fonts[kind], found->fonts[kind]);
        if (style.isEmpty())
            break;
        style = found->parent;
    }
    return {};
}

inline QString OdfText::FontOf(const QString &text, const QString &kind) const
{
    const Paragraph *paragraph = nullptr;
    const Span *span = SpanWith(text, &paragraph);
    if (!span)
        return {};
    const int index = kind == u"asian" ? 1 : 0;
    if (!span->style.isEmpty()) {
        if (const QString font = FontIn(span->style, QStringLiteral("text"), index); !font.isEmpty())
            return font;
    }
    if (const QString font = FontIn(paragraph->style, QStringLiteral("paragraph"), index); !font.isEmpty())
        return font;
    return FontIn(QString(), QStringLiteral("paragraph"), index);
}

} // namespace rtftest
