#include "card/card_open.h"

#include "card/card_compose.h"
#include "card/card_file.h"
#include "imaging/regularfile.h"
#include "richtext/rtf.h"

#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

#include <cstddef>
#include <sys/stat.h>

namespace {

constexpr std::size_t BackgroundNameOffset = offsetof(CardLayout, BackgroundFile);

QString NameOf(const QString &path) { return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1); }

// Anything under the name, a dangling link or a FIFO included: only a name
// that is truly free gets a default Card.crd.
bool NameIsTaken(const QString &path)
{
    struct stat info;
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

// The length byte and every character of the background's name lie in the file.
bool HoldsBackgroundName(const QByteArray &bytes)
{
    if (std::size_t(bytes.size()) <= BackgroundNameOffset)
        return false;
    const std::size_t length = uint8_t(bytes[qsizetype(BackgroundNameOffset)]);
    return std::size_t(bytes.size()) >= BackgroundNameOffset + 1 + length;
}

} // namespace

CardLayout ReadCardLayout(const QString &backgroundPath)
{
    const QString layoutFile = FolderOf(backgroundPath) + QStringLiteral("Card.crd");
    // A short file is completed from the fresh layout, never from the card
    // shown before: one card's slots must not leak into another.
    const QByteArray bytes = ReadCardFileBytes(layoutFile);
    CardLayout layout =
        LayoutFromBytes(reinterpret_cast<const uint8_t *>(bytes.constData()), std::size_t(bytes.size()), FreshLayout());
    if (!HoldsBackgroundName(bytes))
        layout.BackgroundFile.SetText(NameOf(backgroundPath));
    return layout;
}

CardLayout LoadCardLayout(const QString &backgroundPath)
{
    const QString layoutFile = FolderOf(backgroundPath) + QStringLiteral("Card.crd");
    if (NameIsTaken(layoutFile))
        return ReadCardLayout(backgroundPath);
    // The default file describes this folder alone, whatever card was open.
    CardLayout layout = FreshLayout();
    layout.BackgroundFile.SetText(NameOf(backgroundPath));
    layout.TransparentColour = 0;
    WriteCardFile(layoutFile, layout);
    return layout;
}

QByteArray ReadCardText(const QString &folder, int slot)
{
    const QString path = folder + QString::number(slot) + QStringLiteral(".rtf");
    QByteArray rtf;
    try {
        const std::string bytes = ReadRegularFile(QFile::encodeName(path).toStdString(), std::size_t(kMaxRtfBytes) + 1);
        rtf = QByteArray(bytes.data(), qsizetype(bytes.size()));
    } catch (const Exception &failure) {
        throw ECardError(QString::fromUtf8(failure.what()));
    }
    QTextDocument check;
    QString why;
    if (!ReadRtfOrPlainText(rtf, &check, &why))
        throw ECardError(QStringLiteral("Cannot read file \"%1\". %2").arg(path, why));
    return rtf;
}

TLoadedCard LoadCard(const QString &backgroundPath)
{
    TLoadedCard card;
    card.BackgroundPath = backgroundPath;
    card.Folder = FolderOf(backgroundPath);
    card.Layout = LoadCardLayout(backgroundPath);
    card.Picture = ComposeCard(card.Layout, card.Folder);
    for (int n = 0; n < 5; ++n) {
        if (card.Layout.Texts[n].Used != 0)
            card.Texts[std::size_t(n)] = ReadCardText(card.Folder, n);
    }
    return card;
}
