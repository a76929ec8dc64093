// My cards: the user's cards with a picture of each, the most recently
// changed first; Open or a double-click opens one, "Another folder..." asks
// for the file dialog. Driven through the main window's Open as well.
#include "app/frm_main.h"
#include "dialogs/directory_copy.h"
#include "dialogs/frm_my_cards.h"
#include "places/card_list.h"
#include "tests/support/accessibility_walk.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/modal_script.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class MyCards : public TMainWindowTest {
protected:
    void SetUp() override
    {
        TMainWindowTest::SetUp();
        // Three cards made from the shipped templates, saved an hour apart:
        // Birthday first, then Postcard, then Thank You.
        const QStringList made = {"Birthday", "Postcard", "Thank You"};
        const QDateTime start = QDateTime::currentDateTime().addDays(-1);
        for (int i = 0; i < made.size(); ++i) {
            const QString card = Cards() + "Card " + made[i] + "/";
            ASSERT_TRUE(CopyDirectory(TESSALY_OUTPUT_DIR "/Template/" + made[i] + "/", card));
            Touch(card + "Card.crd", start.addSecs(3600 * i));
        }
        // Not cards: a folder without a background, and a plain file.
        ASSERT_TRUE(QDir().mkpath(Cards() + "Holiday photos"));
        QFile(Cards() + "notes.txt").open(QIODevice::WriteOnly);
    }
    QString Cards() const { return Program() + "MyCard/"; }
    static void Touch(const QString &file, const QDateTime &when)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    }
    static QStringList Names(const QListWidget *list)
    {
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        return names;
    }
    // How much of a card's picture is drawn: pixels neither clear nor white.
    static int Drawn(const QListWidgetItem *item)
    {
        const QImage icon = item->icon().pixmap(TFrmMyCards::PictureSide).toImage();
        int drawn = 0;
        for (int y = 0; y < icon.height(); ++y)
            for (int x = 0; x < icon.width(); ++x)
                drawn += qAlpha(icon.pixel(x, y)) != 0 && icon.pixel(x, y) != qRgb(255, 255, 255);
        return drawn;
    }
};

TEST_F(MyCards, ListsTheCardsNewestFirstEachWithAPictureOfTheFinishedCard)
{
    const QList<TCardEntry> cards = ListCards(Cards());
    ASSERT_EQ(cards.size(), 3);
    EXPECT_EQ(cards[0].Folder, Cards() + "Card Thank You/");

    TFrmMyCards gallery(Cards());
    EXPECT_EQ(Names(gallery.ListBox1), QStringList({"Card Thank You", "Card Postcard", "Card Birthday"}));
    EXPECT_EQ(gallery.ListBox1->currentRow(), 0);
    EXPECT_TRUE(gallery.Label1->text().contains(QDir::toNativeSeparators(Program() + "MyCard")));
    // The pictures come once the window is up, one at a time.
    EXPECT_EQ(gallery.PicturesToDraw(), 3);
    EXPECT_EQ(Drawn(gallery.ListBox1->item(0)), 0);
    gallery.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return gallery.PicturesToDraw() == 0; }, 20000));
    for (int i = 0; i < 3; ++i)
        EXPECT_GT(Drawn(gallery.ListBox1->item(i)), 2000) << i;
    EXPECT_TRUE(EveryControlNamed(&gallery)) << AccessibilityTreeText(&gallery).toStdString();

    // Saving a card moves it to the front.
    Touch(Cards() + "Card Birthday/Card.crd", QDateTime::currentDateTime());
    EXPECT_EQ(Names(TFrmMyCards(Cards()).ListBox1).first(), "Card Birthday");
}

TEST_F(MyCards, ACardThatCannotBeDrawnIsStillListedWithTheReason)
{
    QFile background(Cards() + "Card Postcard/template.bmp");
    ASSERT_TRUE(background.open(QIODevice::WriteOnly));
    background.write("BM not a bitmap");
    background.close();
    TFrmMyCards gallery(Cards());
    gallery.DrawAllPictures();
    const QList<QListWidgetItem *> found = gallery.ListBox1->findItems("Card Postcard", Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    EXPECT_EQ(Drawn(found[0]), 0);
    EXPECT_TRUE(found[0]->toolTip().contains("template.bmp")) << found[0]->toolTip().toStdString();
}

TEST_F(MyCards, WithoutCardsItSaysSoAndOffersAnotherFolder)
{
    ASSERT_TRUE(QDir(Cards()).removeRecursively());
    ASSERT_TRUE(QDir().mkpath(Cards()));
    TFrmMyCards gallery(Cards());
    EXPECT_EQ(gallery.ListBox1->count(), 0);
    EXPECT_TRUE(gallery.Label1->text().startsWith("There are no cards in"));
    EXPECT_FALSE(gallery.OpenButton->isEnabled());
    gallery.AnotherFolderButton->click();
    EXPECT_TRUE(gallery.AnotherFolder);
    EXPECT_FALSE(gallery.Accepted);
}

TEST_F(MyCards, OpenShowsMyCardsAndOpensTheOneChosen)
{
    form.StartMyCards();
    bool shown = WithModal<TFrmMyCards>([this] { form.BitBtn2->click(); }, [](TFrmMyCards &gallery) {
        gallery.ListBox1->setCurrentRow(1);
        gallery.OpenButton->click();
    });
    ASSERT_TRUE(shown);
    EXPECT_EQ(form.CardPath, Cards() + "Card Postcard/template.bmp");
    EXPECT_TRUE(dialogs->FileDialogs.empty()) << "no file dialog";

    // Another folder: the file dialog, starting in the cards' folder.
    shown = WithModal<TFrmMyCards>([this] { form.BitBtn2->click(); },
                                   [](TFrmMyCards &gallery) { gallery.AnotherFolderButton->click(); });
    ASSERT_TRUE(shown);
    ASSERT_EQ(dialogs->FileDialogs.size(), 1u);
    EXPECT_EQ(dialogs->FileDialogs[0].InitialDir, Cards());

    // Cancel: nothing happens.
    shown = WithModal<TFrmMyCards>([this] { form.BitBtn2->click(); },
                                   [](TFrmMyCards &gallery) { gallery.CancelButton->click(); });
    ASSERT_TRUE(shown);
    EXPECT_EQ(dialogs->FileDialogs.size(), 1u);
    EXPECT_EQ(form.CardPath, Cards() + "Card Postcard/template.bmp");
}

// The cards opened last are offered on the empty surface the next time
// the program starts, and reopen with one click.
TEST_F(MyCards, TheRecentCardsAreOfferedOnTheEmptySurfaceAndReopenWithOneClick)
{
    TUserFolders user;
    user.Config = dir.path() + "/config";
    form.SetPlaces(PlacesBeside(Program(), user));
    EXPECT_EQ(form.RecentCardsPanel, nullptr) << "nothing opened yet";
    Open(Cards() + "Card Birthday/Card.crd");
    Open(Cards() + "Card Thank You/Card.crd");
    ASSERT_EQ(form.CardPath, Cards() + "Card Thank You/template.bmp");

    Tfrmmain next;  // the next start
    auto scripted = std::make_unique<TScriptedDialogs>();
    const TScriptedDialogs *nextDialogs = scripted.get();
    next.SetDialogs(std::move(scripted));
    next.SetPlaces(PlacesBeside(Program(), user));
    next.show();
    ASSERT_NE(next.RecentCardsPanel, nullptr);
    const QList<QPushButton *> offered = next.RecentCardsPanel->findChildren<QPushButton *>();
    ASSERT_EQ(offered.size(), 2);
    EXPECT_EQ(offered[0]->text(), "Card Thank You");
    EXPECT_EQ(offered[1]->text(), "Card Birthday");
    EXPECT_TRUE(next.RecentCardsPanel->isVisible());
    EXPECT_TRUE(EveryControlNamed(next.RecentCardsPanel)) << AccessibilityTreeText(next.RecentCardsPanel).toStdString();
    QTest::mouseClick(offered[1], Qt::LeftButton);
    EXPECT_EQ(next.CardPath, Cards() + "Card Birthday/template.bmp") << nextDialogs->Messages.join('|').toStdString();
    EXPECT_EQ(next.RecentCardsPanel, nullptr) << "the card takes the surface";
}

} // namespace
