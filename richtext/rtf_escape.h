#pragma once
// Text as the RTF writer puts it into a file: ASCII as it is, RTF's own
// characters and the special spaces and hyphens as their control symbols, and
// everything else as \uN with a '?' for readers without Unicode.

#include <QByteArray>
#include <QString>

namespace rtf {

// True for the characters that are no text of their own: control characters
// other than the tab, and the marks of QTextDocument's structure (paragraph
// separator, frame marks, object replacement). The writer leaves them out and
// the reader does not take them in.
bool IsStructureCharacter(QChar c);

// `text` without them.
QString WithoutStructureCharacters(QString text);

// Appends `text` to `out`. `needDelimiter` says whether a control word was
// written last, so that a letter or digit must be set apart from it by a
// space; it is updated for what comes next.
void AppendEscaped(QByteArray &out, const QString &text, bool &needDelimiter);

// \'hh: one byte of a code page.
QByteArray HexByte(unsigned char byte);

// `text` on its own, after a control word.
QByteArray Escaped(const QString &text);

} // namespace rtf
