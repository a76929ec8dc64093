#pragma once
// Text as the RTF writer puts it into a file: ASCII as it is, RTF's own
// characters and the special spaces and hyphens as their control symbols, and
// everything else as \uN with a '?' for readers without Unicode.

#include <QByteArray>
#include <QString>

namespace rtf {

// Appends `text` to `out`. `needDelimiter` says whether a control word was
// written last, so that a letter or digit must be set apart from it by a
// space; it is updated for what comes next.
void AppendEscaped(QByteArray &out, const QString &text, bool &needDelimiter);

// \'hh: one byte of a code page.
QByteArray HexByte(unsigned char byte);

// `text` on its own, after a control word.
QByteArray Escaped(const QString &text);

} // namespace rtf
