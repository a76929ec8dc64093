// Where things live: beside a program that may write its own folder, in the
// user's folders for an installation, and never inside the installation.
#include "places/places.h"
#include "places/recent_cards.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

class PlacesTest : public ::testing::Test {
protected:
    QString Root() const { return dir.path() + "/"; }
    TUserFolders User() const
    {
        return {Root() + "home/Documents", Root() + "home/.cache", Root() + "home/.local/share", Root() + "home/.config"};
    }
    QTemporaryDir dir;
};

TEST_F(PlacesTest, AProgramFolderWithTemplatesThatMayBeWrittenKeepsEverythingBesideIt)
{
    ASSERT_TRUE(QDir().mkpath(Root() + "dist/Template"));
    const TPlaces places = PlacesFor(Root() + "dist", User());
    EXPECT_TRUE(places.BesideProgram);
    EXPECT_EQ(places.ProgramFolder, Root() + "dist/");
    EXPECT_EQ(places.Templates, Root() + "dist/Template/");
    EXPECT_EQ(places.UserTemplates, places.Templates);
    EXPECT_EQ(places.TemplateFolders(), QStringList{places.Templates});
    EXPECT_EQ(places.Cards, Root() + "dist/MyCard/");
    EXPECT_EQ(places.TempBmp(), Root() + "dist/Temp.bmp");
    EXPECT_EQ(places.Guide, Root() + "dist/tessaly.html");
    // The recent cards are the user's, not the folder's.
    EXPECT_EQ(places.Settings, Root() + "home/.config/tessaly/tessaly.conf");
    // MyCard/ beside the program is made by the build and ./run.sh only.
    EXPECT_FALSE(places.MakeCardsFolder());
    EXPECT_FALSE(QFileInfo::exists(places.Cards));
}

TEST_F(PlacesTest, AnInstallationReadsItsSharedDataAndWritesOnlyIntoTheUsersFolders)
{
    // bin/ holds no templates: that is an installation, even for root, who
    // may write everywhere.
    ASSERT_TRUE(QDir().mkpath(Root() + "usr/bin"));
    ASSERT_TRUE(QDir().mkpath(Root() + "usr/share/tessaly/Template"));
    const TPlaces places = PlacesFor(Root() + "usr/bin/", User());
    EXPECT_FALSE(places.BesideProgram);
    EXPECT_EQ(places.DataFolder, Root() + "usr/share/tessaly/");
    EXPECT_EQ(places.Templates, Root() + "usr/share/tessaly/Template/");
    EXPECT_EQ(places.Guide, Root() + "usr/share/tessaly/tessaly.html");
    EXPECT_EQ(places.UserTemplates, Root() + "home/.local/share/tessaly/Template/");
    EXPECT_EQ(places.TemplateFolders(), QStringList({places.Templates, places.UserTemplates}));
    EXPECT_EQ(places.Cards, Root() + "home/Documents/Tessaly Cards/");
    EXPECT_EQ(places.TempBmp(), Root() + "home/.cache/tessaly/Temp.bmp");
    for (const QString &written : {places.UserTemplates, places.Cards, places.TempBmp(), places.Settings})
        EXPECT_FALSE(written.startsWith(Root() + "usr/")) << written.toStdString();

    // The cards' folder comes on first use, with the folders above it.
    EXPECT_FALSE(QFileInfo::exists(Root() + "home"));
    EXPECT_TRUE(places.MakeCardsFolder());
    EXPECT_TRUE(QFileInfo(Root() + "home/Documents/Tessaly Cards").isDir());
}

TEST_F(PlacesTest, AProgramFolderThatCannotBeWrittenKeepsItsTemplatesButNotTheCards)
{
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write every folder; the installed test covers a user who may not";
    ASSERT_TRUE(QDir().mkpath(Root() + "opt/Template"));
    ASSERT_TRUE(QFile::setPermissions(Root() + "opt", QFile::ReadOwner | QFile::ExeOwner));
    const TPlaces places = PlacesFor(Root() + "opt", User());
    QFile::setPermissions(Root() + "opt", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_FALSE(places.BesideProgram);
    EXPECT_EQ(places.Templates, Root() + "opt/Template/");
    EXPECT_EQ(places.Cards, Root() + "home/Documents/Tessaly Cards/");
}

TEST_F(PlacesTest, TheCardsFolderIsToldWithHomeAsTilde)
{
    TUserFolders user = User();
    user.Documents = QDir::homePath() + "/Documents";
    EXPECT_EQ(PlacesFor(Root() + "usr/bin", user).CardsForPeople(), "~/Documents/Tessaly Cards");
    EXPECT_EQ(PlacesBeside(Root() + "dist").CardsForPeople(), Root() + "dist/MyCard");
}

TEST_F(PlacesTest, AFolderIsInsideItselfAndItsParentsButNotANeighbourWithTheSamePrefix)
{
    ASSERT_TRUE(QDir().mkpath(Root() + "Template/Birthday"));
    ASSERT_TRUE(QDir().mkpath(Root() + "Template2"));
    EXPECT_TRUE(IsInsideFolder(Root() + "Template/Birthday/", Root() + "Template/"));
    EXPECT_TRUE(IsInsideFolder(Root() + "Template", Root() + "Template"));
    EXPECT_FALSE(IsInsideFolder(Root() + "Template2", Root() + "Template"));
    EXPECT_FALSE(IsInsideFolder(Root() + "missing", Root() + "Template"));
}

class RecentCardsTest : public PlacesTest {
protected:
    QString Card(const QString &name)
    {
        const QString folder = Root() + "cards/" + name + "/";
        QDir().mkpath(folder);
        QFile(folder + "template.bmp").open(QIODevice::WriteOnly);
        return folder;
    }
    QString Settings() const { return Root() + "config/tessaly/tessaly.conf"; }
};

TEST_F(RecentCardsTest, NewestFirstEachOnceAtMostFiveAndOnlyCardsThatAreStillThere)
{
    TRecentCards recent(Settings());
    EXPECT_TRUE(recent.Cards().isEmpty());
    for (const char *name : {"a", "b", "c", "d", "e", "f", "g"})
        recent.Remember(Card(name));
    recent.Remember(Card("c"));  // again: to the front, once
    EXPECT_EQ(TRecentCards(Settings()).Cards(),
              QStringList({Card("c"), Card("g"), Card("f"), Card("e"), Card("d")}));

    // A card deleted since leaves no gap: the next older one moves up.
    QDir(Card("f")).removeRecursively();
    EXPECT_EQ(TRecentCards(Settings()).Cards(),
              QStringList({Card("c"), Card("g"), Card("e"), Card("d"), Card("b")}));

    // Told without its closing slash, or by a path with "..", it is the same card.
    recent.Remember(Root() + "cards/x/../b");
    EXPECT_EQ(TRecentCards(Settings()).Cards().first(), Card("b"));
    EXPECT_EQ(TRecentCards(Settings()).Cards().count(Card("b")), 1);
}

TEST_F(RecentCardsTest, WithoutASettingsFileNothingIsRemembered)
{
    TRecentCards recent{QString()};
    recent.Remember(Card("a"));
    EXPECT_TRUE(recent.Cards().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(Settings()));
}

} // namespace
