#pragma once
// Reading and writing Rich Text Format over QTextDocument.
//
// The reader takes what card text boxes hold and what word processors write:
// fonts and their code pages, sizes, colours, bold, italic, underline, strike,
// super- and subscript, highlight, paragraph alignment, indents and spacing,
// links, and bulleted and numbered lists; pictures, tables of contents,
// headers and the like are skipped. It never trusts its input: it parses
// without recursion, bounds its nesting and keeps what was readable from a
// damaged file.
//
// The writer writes RTF in the conventions of the Windows rich-edit control
// (font table, colour table, \ansicpg1252, non-ASCII characters as \uN with a
// '?' fallback, links as HYPERLINK fields, list items numbered with \pn),
// which word processors open with the same text and formats; list items also
// name their list and level in a list table, where word processors find
// nested lists.

#include <QByteArray>
#include <QString>

class QTextDocument;

// Inputs beyond these are refused: no card's text box comes near them, and
// laying out more would keep the program busy for seconds.
inline constexpr qsizetype kMaxRtfBytes = 16 * 1024 * 1024;
inline constexpr int kMaxRtfParagraphs = 100000;
inline constexpr qsizetype kMaxRtfCharacters = 1000000;

// True when `data` starts as an RTF file does ("{\rtf", after any byte-order
// mark and white space).
bool LooksLikeRtf(const QByteArray &data);

// Replaces the content of `doc` with the document in `rtf`. Returns false, with
// a message for the user in `error` (when given), when `rtf` is not RTF or is
// beyond the bounds above; `doc` is then left empty. A damaged file (missing
// closing braces, cut short) is read as far as it goes and counts as read.
bool ReadRtf(const QByteArray &rtf, QTextDocument *doc, QString *error = nullptr);

// Reads a text box's file as the rich-edit control does: as RTF when it starts
// as RTF, else as plain text (UTF-8 when valid, otherwise Windows-1252), within
// the same bounds and with the same failures as ReadRtf.
bool ReadRtfOrPlainText(const QByteArray &data, QTextDocument *doc, QString *error = nullptr);

// The whole of `doc` as RTF.
QByteArray WriteRtf(const QTextDocument *doc);
