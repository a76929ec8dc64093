// Feeds arbitrary bytes to the template archive unpacker. Besides the
// sanitizers' findings, anything written beside the destination folder (an
// entry that escaped it) is a finding.
#include "dialogs/template_archive.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QTemporaryDir root;
    if (!root.isValid() || !QDir(root.path()).mkdir(QStringLiteral("dest")))
        return 0;
    try {
        UnpackArchive(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)),
                      root.path() + QStringLiteral("/dest"));
    } catch (const EArchiveError &) {
        // A refusal with its reason is the expected answer to most inputs.
    }
    if (QDir(root.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
        != QStringList{QStringLiteral("dest")})
        std::abort();
    return 0;
}
