#include "richtext/rtf.h"

#include <QTextDocument>

QByteArray WriteRtf(const QTextDocument *)
{
    return QByteArrayLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\r\n}");
}
