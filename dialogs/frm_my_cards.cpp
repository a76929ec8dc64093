#include "dialogs/frm_my_cards.h"

#include "card/card_render.h"
#include "controls/accessibility.h"
#include "places/places.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <exception>

namespace {

// A card's picture in a square, its proportions kept, with a thin edge so
// that a white card stands out from the list.
QIcon PictureIcon(const QImage &card, int side)
{
    QPixmap square(side, side);
    square.fill(Qt::transparent);
    if (!card.isNull()) {
        const QImage small = card.scaled(side - 2, side - 2, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        QPainter painter(&square);
        const QPoint at((side - small.width()) / 2, (side - small.height()) / 2);
        painter.drawImage(at, small);
        painter.setPen(QColor(120, 120, 120));
        painter.drawRect(QRect(at, small.size()).adjusted(0, 0, -1, -1));
    }
    return QIcon(square);
}

} // namespace

TFrmMyCards::TFrmMyCards(const QString &cardsFolder, QWidget *parent)
    : QDialog(parent), m_cards(ListCards(cardsFolder))
{
    setObjectName(QStringLiteral("FrmMyCards"));
    setWindowTitle(QStringLiteral("My cards"));
    setAccessibleName(QStringLiteral("My cards"));
    setModal(true);
    resize(760, 540);

    Label1 = Named(new QLabel(this), "Label1", QStringLiteral("Where your cards are"));
    Label1->setText(m_cards.isEmpty()
                        ? QStringLiteral("There are no cards in %1 yet. Press New to make one.")
                              .arg(FolderForPeople(cardsFolder))
                        : QStringLiteral("Your cards in %1, the most recently changed first:")
                              .arg(FolderForPeople(cardsFolder)));
    Label1->setWordWrap(true);

    ListBox1 = Named(new QListWidget(this), "ListBox1", QStringLiteral("Cards"),
                     QStringLiteral("Your cards, the most recently changed first; Enter or a double-click opens one"));
    ListBox1->setViewMode(QListView::IconMode);
    ListBox1->setIconSize(QSize(PictureSide, PictureSide));
    ListBox1->setGridSize(QSize(PictureSide + 24, PictureSide + 40));
    ListBox1->setResizeMode(QListView::Adjust);
    ListBox1->setMovement(QListView::Static);
    ListBox1->setWordWrap(true);
    ListBox1->setUniformItemSizes(true);
    for (const TCardEntry &card : m_cards) {
        auto *item = new QListWidgetItem(PictureIcon(QImage(), PictureSide), card.Name, ListBox1);
        item->setToolTip(QStringLiteral("%1\nchanged %2")
                             .arg(QDir::toNativeSeparators(card.Folder), QLocale().toString(card.Changed, QLocale::ShortFormat)));
    }
    if (!m_cards.isEmpty())
        ListBox1->setCurrentRow(0);

    OpenButton = Named(new QPushButton(QStringLiteral("Open"), this), "OpenButton", QStringLiteral("Open"),
                       QStringLiteral("Opens the selected card"));
    OpenButton->setDefault(true);
    OpenButton->setEnabled(!m_cards.isEmpty());
    AnotherFolderButton = Named(new QPushButton(QStringLiteral("Another folder..."), this), "AnotherFolderButton",
                                QStringLiteral("Another folder"), QStringLiteral("Opens a card kept in another folder"));
    CancelButton = Named(new QPushButton(QStringLiteral("Cancel"), this), "CancelButton", QStringLiteral("Cancel"));

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(AnotherFolderButton);
    buttons->addStretch(1);
    buttons->addWidget(OpenButton);
    buttons->addWidget(CancelButton);
    auto *column = new QVBoxLayout(this);
    column->addWidget(Label1);
    column->addWidget(ListBox1, 1);
    column->addLayout(buttons);

    connect(OpenButton, &QPushButton::clicked, this, [this] { OpenSelected(); });
    connect(ListBox1, &QListWidget::itemActivated, this, [this] { OpenSelected(); });
    connect(AnotherFolderButton, &QPushButton::clicked, this, [this] {
        AnotherFolder = true;
        reject();
    });
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);

    // One picture per turn of the event loop: the window answers at once.
    m_nextPicture = m_cards.isEmpty() ? -1 : 0;
    m_pictureTimer = new QTimer(this);
    m_pictureTimer->setInterval(0);
    connect(m_pictureTimer, &QTimer::timeout, this, [this] { DrawNextPicture(); });
    if (m_nextPicture >= 0)
        m_pictureTimer->start();
}

void TFrmMyCards::DrawNextPicture()
{
    if (m_nextPicture < 0 || m_nextPicture >= m_cards.size()) {
        m_nextPicture = -1;
        m_pictureTimer->stop();
        return;
    }
    const int row = m_nextPicture++;
    QImage picture;
    try {
        picture = RenderCardFolder(m_cards[row].Folder);
    } catch (const std::exception &e) {
        // The card is still listed: opening it says what is wrong with it.
        ListBox1->item(row)->setToolTip(ListBox1->item(row)->toolTip() + QStringLiteral("\n")
                                        + QString::fromUtf8(e.what()));
    }
    ListBox1->item(row)->setIcon(PictureIcon(picture, PictureSide));
    if (m_nextPicture >= m_cards.size()) {
        m_nextPicture = -1;
        m_pictureTimer->stop();
    }
}

int TFrmMyCards::PicturesToDraw() const
{
    return m_nextPicture < 0 ? 0 : static_cast<int>(m_cards.size()) - m_nextPicture;
}

void TFrmMyCards::DrawAllPictures()
{
    while (m_nextPicture >= 0)
        DrawNextPicture();
}

void TFrmMyCards::OpenSelected()
{
    const int row = ListBox1->currentRow();
    if (row < 0 || row >= m_cards.size())
        return;
    CardFolder = m_cards[row].Folder;
    Accepted = true;
    accept();
}
