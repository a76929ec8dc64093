#pragma once
// My cards: the Open command's gallery of the user's cards, each with a small
// picture of the finished card, the most recently changed first. A card is
// opened with Open or a double-click; "Another folder..." leads to the file
// dialog for a card kept elsewhere.

#include "places/card_list.h"

#include <QDialog>
#include <QList>
#include <QString>

class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

class TFrmMyCards : public QDialog {
    Q_OBJECT
public:
    // Lists the cards of `cardsFolder`; the pictures follow one by one once
    // the window is up, so that many cards never hold it back.
    explicit TFrmMyCards(const QString &cardsFolder, QWidget *parent = nullptr);

    // Outputs: the card chosen, or that another folder was asked for.
    bool Accepted = false;
    QString CardFolder;          // ending in '/'
    bool AnotherFolder = false;

    // The side of the square each card's picture is drawn in.
    static constexpr int PictureSide = 160;

    QLabel *Label1 = nullptr;          // where the cards are, or that there are none
    QListWidget *ListBox1 = nullptr;   // the cards
    QPushButton *OpenButton = nullptr;
    QPushButton *AnotherFolderButton = nullptr;
    QPushButton *CancelButton = nullptr;

    // Draws the pictures still missing at once (tests, and a closing window).
    void DrawAllPictures();
    // How many cards still wait for their picture.
    int PicturesToDraw() const;

private:
    void DrawNextPicture();
    void OpenSelected();

    QList<TCardEntry> m_cards;
    QTimer *m_pictureTimer = nullptr;
    int m_nextPicture = -1;
};
