#include "merge/recipient_file.h"

#include "imaging/regularfile.h"
#include "merge/csv_reader.h"
#include "merge/vcard_reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <sys/stat.h>

const QString RecipientListFilter =
    QStringLiteral("Recipient lists (*.csv *.tsv *.txt *.vcf *.vcard);;All files (*)");

namespace {

const QString RecipientList = QStringLiteral("the recipient list");

} // namespace

void RefuseListFile(const QString &fileName, const QString &what, const QString &why)
{
    throw ERecipientListError(QStringLiteral("Cannot read %1 \"%2\". %3")
                                  .arg(what, QDir::toNativeSeparators(fileName), why).toStdString());
}

std::string ReadListFileBytes(const QString &fileName, const QString &what)
{
    const QString tooLarge = QStringLiteral("The file is larger than %1 MB, far more than a list of %2 recipients "
                                            "needs.")
                                 .arg(MaxListFileBytes / 1000000).arg(CountText(MaxRecipients));
    const std::string localName = QFile::encodeName(fileName).toStdString();
    CheckRegularFile(localName);
    struct stat info;
    if (::stat(localName.c_str(), &info) == 0 && std::size_t(info.st_size) > MaxListFileBytes)
        RefuseListFile(fileName, what, tooLarge);
    // One byte more than allowed shows a file that grew since it was measured.
    std::string bytes = ReadRegularFile(localName, MaxListFileBytes + 1);
    if (bytes.size() > MaxListFileBytes)
        RefuseListFile(fileName, what, tooLarge);
    return bytes;
}

TRecipientTable ReadRecipientBytes(std::string_view bytes, const QString &fileName)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    const bool vcard = LooksLikeVCard(bytes) || suffix == QStringLiteral("vcf") || suffix == QStringLiteral("vcard");
    return vcard ? ReadVCardRecipients(bytes) : ReadCsvRecipients(bytes);
}

TRecipientTable ReadRecipientFile(const QString &fileName)
{
    const std::string bytes = ReadListFileBytes(fileName, RecipientList);
    try {
        return ReadRecipientBytes(bytes, fileName);
    } catch (const ERecipientListError &error) {
        RefuseListFile(fileName, RecipientList, QString::fromStdString(error.what()));
    }
}
