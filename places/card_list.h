#pragma once
// The user's cards as My cards lists them: every sub-folder of the cards'
// folder that holds a card, the most recently changed first.

#include <QDateTime>
#include <QList>
#include <QString>

struct TCardEntry {
    QString Folder;     // ending in '/'
    QString Name;       // the folder's name, as the user named the card
    QDateTime Changed;  // when the card was last saved (its Card.crd, else its template.bmp)
};

// The cards in `cardsFolder`: visible sub-folders holding template.bmp,
// newest first, equal times by name. Empty when the folder cannot be read.
QList<TCardEntry> ListCards(const QString &cardsFolder);
