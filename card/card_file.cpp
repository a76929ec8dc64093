#include "card/card_file.h"

#include "imaging/atomicfile.h"
#include "imaging/regularfile.h"

#include <QFile>

QString FolderOf(const QString &cardFilePath)
{
    return cardFilePath.left(cardFilePath.lastIndexOf(QLatin1Char('/')) + 1);
}

QByteArray ReadCardFileBytes(const QString &path)
{
    try {
        const std::string bytes = ReadRegularFile(QFile::encodeName(path).toStdString(), CardLayoutSize);
        return QByteArray(bytes.data(), qsizetype(bytes.size()));
    } catch (const Exception &failure) {
        throw ECardError(QString::fromUtf8(failure.what()));
    }
}

CardLayout ReadCardFile(const QString &path, const CardLayout &base)
{
    const QByteArray data = ReadCardFileBytes(path);
    return LayoutFromBytes(reinterpret_cast<const uint8_t *>(data.constData()),
                           std::size_t(data.size()), base);
}

std::string CardFileBytes(const CardLayout &layout)
{
    const CardLayoutBytes bytes = LayoutToBytes(layout);
    return std::string(reinterpret_cast<const char *>(bytes.data()), bytes.size());
}

void WriteCardFile(const QString &path, const CardLayout &layout)
{
    WriteFileAtomically(QFile::encodeName(path).toStdString(), CardFileBytes(layout));
}
