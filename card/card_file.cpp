#include "card/card_file.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace {

QString Shown(const QString &path) { return QDir::toNativeSeparators(path); }

} // namespace

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
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(reinterpret_cast<const char *>(bytes.data()), qint64(bytes.size()))
               != qint64(bytes.size())
        || !file.commit())
        throw ECardError(QStringLiteral("Cannot write the card file \"%1\": %2")
                             .arg(Shown(path), file.errorString()));
}
