#include "richtext/rtf.h"

#include <QTextDocument>

bool ReadRtf(const QByteArray &rtf, QTextDocument *doc, QString *error)
{
    doc->clear();
    if (!rtf.startsWith("{\\rtf")) {
        if (error)
            *error = QStringLiteral("The file is not in Rich Text Format.");
        return false;
    }
    return true;
}
