#pragma once
// The cards the user opened or made last, newest first, remembered between
// runs in the user's settings file, so that the empty surface can offer
// them again.

#include <QString>
#include <QStringList>

class TRecentCards {
public:
    // How many cards are remembered and offered.
    static constexpr int Kept = 5;

    // `settingsFile` empty: nothing is remembered.
    explicit TRecentCards(QString settingsFile);

    // The card folders (each ending in '/') that still hold a card, newest
    // first, at most Kept.
    QStringList Cards() const;

    // Puts `cardFolder` first; an older mention of it goes.
    void Remember(const QString &cardFolder);

private:
    QStringList Stored() const;

    QString m_settingsFile;
};
