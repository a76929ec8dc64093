// My cards: Open shows the user's cards with a picture of each before it
// offers a file dialog.
#include "app/frm_main.h"

#include "dialogs/frm_my_cards.h"

void Tfrmmain::StartMyCards()
{
    ShowMyCards = [this](const QString &cardsFolder) {
        TFrmMyCards gallery(cardsFolder, this);
        gallery.exec();
        return TMyCardsAnswer{gallery.Accepted ? gallery.CardFolder : QString(), gallery.AnotherFolder};
    };
}
