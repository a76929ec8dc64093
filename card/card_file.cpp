#include "card/card_file.h"

#include "imaging/atomicfile.h"

#include <QDir>
#include <QFile>

namespace {

QString Shown(const QString &path) { return QDir::toNativeSeparators(path); }

} // namespace

QString FolderOf(const QString &cardFilePath)
{
    return cardFilePath.left(cardFilePath.lastIndexOf(QLatin1Char('/')) + 1);
}

CardLayout ReadCardFile(const QString &path, const CardLayout &base)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ECardError(QStringLiteral("Cannot open the card file \"%1\": %2")
                             .arg(Shown(path), file.errorString()));
    const QByteArray data = file.read(qint64(CardLayoutSize));
    if (file.error() != QFileDevice::NoError)
        throw ECardError(QStringLiteral("Cannot read the card file \"%1\": %2")
                             .arg(Shown(path), file.errorString()));
    return LayoutFromBytes(reinterpret_cast<const uint8_t *>(data.constData()),
                           std::size_t(data.size()), base);
}

void WriteCardFile(const QString &path, const CardLayout &layout)
{
    const CardLayoutBytes bytes = LayoutToBytes(layout);
    WriteFileAtomically(QFile::encodeName(path).toStdString(),
                        std::string_view(reinterpret_cast<const char *>(bytes.data()), bytes.size()));
}
