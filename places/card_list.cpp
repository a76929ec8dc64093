#include "places/card_list.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

QList<TCardEntry> ListCards(const QString &cardsFolder)
{
    QList<TCardEntry> cards;
    const QDir folder(cardsFolder);
    for (const QFileInfo &entry : folder.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString path = entry.absoluteFilePath() + QLatin1Char('/');
        const QFileInfo background(path + QStringLiteral("template.bmp"));
        if (!background.isFile())
            continue;  // a folder that is not a card, or one being made
        const QFileInfo layout(path + QStringLiteral("Card.crd"));
        cards.append({path, entry.fileName(), (layout.isFile() ? layout : background).lastModified()});
    }
    std::sort(cards.begin(), cards.end(), [](const TCardEntry &a, const TCardEntry &b) {
        return a.Changed != b.Changed ? a.Changed > b.Changed : a.Name.localeAwareCompare(b.Name) < 0;
    });
    return cards;
}
