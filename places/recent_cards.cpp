#include "places/recent_cards.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

#include <utility>

namespace {

const QString RecentKey = QStringLiteral("RecentCards");

QString FolderWithSlash(const QString &folder)
{
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    return clean.endsWith(QLatin1Char('/')) ? clean : clean + QLatin1Char('/');
}

} // namespace

TRecentCards::TRecentCards(QString settingsFile)
    : m_settingsFile(std::move(settingsFile))
{
}

QStringList TRecentCards::Stored() const
{
    if (m_settingsFile.isEmpty())
        return {};
    return QSettings(m_settingsFile, QSettings::IniFormat).value(RecentKey).toStringList();
}

QStringList TRecentCards::Cards() const
{
    QStringList cards;
    for (const QString &folder : Stored()) {
        // A card moved or deleted since is not offered.
        if (QFileInfo(folder + QStringLiteral("template.bmp")).isFile() && !cards.contains(folder))
            cards.append(folder);
        if (cards.size() == Kept)
            break;
    }
    return cards;
}

void TRecentCards::Remember(const QString &cardFolder)
{
    if (m_settingsFile.isEmpty())
        return;
    const QString folder = FolderWithSlash(cardFolder);
    QStringList cards = Stored();
    cards.removeAll(folder);
    cards.prepend(folder);
    // A few more than are shown, so that a deleted card leaves no gap.
    while (cards.size() > 2 * Kept)
        cards.removeLast();
    QSettings settings(m_settingsFile, QSettings::IniFormat);
    settings.setValue(RecentKey, cards);
    settings.sync();
}
