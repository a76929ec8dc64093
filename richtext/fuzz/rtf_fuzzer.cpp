// Feeds arbitrary bytes to the text box's reader (RTF, or plain text when
// the bytes are not RTF) and writes what it read. A file may be refused;
// anything else but a readable document whose RTF reads back as the same
// RTF is a finding: a sanitizer report, an exception, a written document
// that is refused or changes on the way back.

#include "richtext/rtf.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void Expect(bool condition)
{
    if (!condition)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    // The writer asks the font database for the default family.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                     static_cast<qsizetype>(size));
    QTextDocument doc;
    if (!ReadRtfOrPlainText(bytes, &doc))
        return 0;
    const QByteArray written = WriteRtf(&doc);
    QTextDocument again;
    Expect(ReadRtf(written, &again));
    Expect(WriteRtf(&again) == written);
    return 0;
}
