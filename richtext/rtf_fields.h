#pragma once
// RTF fields ({\field{\*\fldinst ...}{\fldrslt ...}}): the instruction says
// what the field is, the result is the text shown. The one kind the text
// boxes keep is the link, HYPERLINK "target" [\l "place"].

#include <QString>

namespace rtf {

// The target of a HYPERLINK instruction ("https://..." or "file#place" or
// "#place"); empty for any other field.
QString HyperlinkTarget(const QString &instruction);

// The instruction of a link to `target`, quoted as fields quote: a backslash
// or quote inside is preceded by a backslash. A target "#place" is a place
// in the document: HYPERLINK \l "place".
QString HyperlinkInstruction(const QString &target);

} // namespace rtf
