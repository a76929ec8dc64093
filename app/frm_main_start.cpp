// The empty surface before a card is open: what to do first, where the
// cards are kept, and the cards the user had open last, one click each.
#include "app/frm_main.h"

#include "controls/Card_Edit.h"
#include "controls/accessibility.h"
#include "controls/scrollbox.h"
#include "places/recent_cards.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The card's name as the user gave it: its folder's name.
QString CardNameOf(const QString &cardFolder)
{
    return QDir(cardFolder).dirName();
}

} // namespace

QString Tfrmmain::StartHint() const
{
    return FirstHint + QStringLiteral("\nYour cards are kept in %1").arg(Places().CardsForPeople());
}

void Tfrmmain::ShowStartSurface()
{
    DropRecentCardsPanel();
    Card_Edit1->SetHint(StartHint());
    if (!CardPath.isEmpty())
        return;
    const QStringList cards = TRecentCards(Places().Settings).Cards();
    if (cards.isEmpty())
        return;

    RecentCardsPanel = Named(new QFrame(ScrollBox1->Surface()), "RecentCardsPanel", QStringLiteral("Recent cards"));
    auto *column = new QVBoxLayout(RecentCardsPanel);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(Named(new QLabel(QStringLiteral("Your recent cards:"), RecentCardsPanel), "RecentCardsLabel",
                            QStringLiteral("Your recent cards")),
                      0, Qt::AlignHCenter);
    for (const QString &card : cards) {
        const QString name = CardNameOf(card);
        auto *button = Named(new QPushButton(name, RecentCardsPanel), "RecentCard", QStringLiteral("Open %1").arg(name),
                             QDir::toNativeSeparators(card));
        button->setToolTip(QDir::toNativeSeparators(card));
        button->setFlat(true);
        button->setCursor(Qt::PointingHandCursor);
        button->setStyleSheet(QStringLiteral("QPushButton { color: palette(link); text-decoration: underline; }"));
        connect(button, &QPushButton::clicked, this, [this, card] {
            RunCommand([this, card] { OpenInPlaceOfTheCard(card + QStringLiteral("template.bmp")); });
        });
        column->addWidget(button, 0, Qt::AlignHCenter);
    }
    // Below the sentence in the middle of the surface.
    RecentCardsPanel->adjustSize();
    const QRect surface = Card_Edit1->geometry();
    RecentCardsPanel->move(surface.center().x() - RecentCardsPanel->width() / 2,
                           surface.top() + surface.height() * 3 / 5);
    RecentCardsPanel->show();
}

void Tfrmmain::RememberOpenCard()
{
    if (CardPath.isEmpty())
        return;
    TRecentCards(Places().Settings).Remember(QFileInfo(CardPath).absolutePath());
    // The surface shows the card now; the offer goes.
    DropRecentCardsPanel();
}

void Tfrmmain::DropRecentCardsPanel()
{
    if (!RecentCardsPanel)
        return;
    // Later: one of its buttons may be the one that opened the card.
    RecentCardsPanel->hide();
    RecentCardsPanel->deleteLater();
    RecentCardsPanel = nullptr;
}
