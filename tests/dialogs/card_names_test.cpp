#include "dialogs/card_names.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class CardNamesTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    QString Root() const { return root.path() + QStringLiteral("/"); }
    void Folder(const QString &name) { ASSERT_TRUE(QDir().mkpath(Root() + name)); }
};

TEST_F(CardNamesTest, ProposesTheSmallestFreeDefaultNumber)
{
    EXPECT_EQ(ProposeCardName(Root()), "Default1");
    Folder("Default1");
    Folder("Default2");
    EXPECT_EQ(ProposeCardName(Root()), "Default3");
    ASSERT_TRUE(QDir(Root() + "Default1").removeRecursively());
    EXPECT_EQ(ProposeCardName(Root()), "Default1");  // only Default2 is left
}

TEST_F(CardNamesTest, RefusesNamesThatLeaveTheCardFolderOrNoFileSystemHolds)
{
    EXPECT_TRUE(CardNameProblem("Birthday for Ana", Root()).isEmpty());
    EXPECT_TRUE(CardNameProblem(" spaced ", Root()).isEmpty());  // kept as typed
    EXPECT_TRUE(CardNameProblem(QString::fromUtf8("Грусть 祝日"), Root()).isEmpty());
    for (const char *bad : {"../escape", "a/b", "/etc", "back\\slash"})
        EXPECT_TRUE(CardNameProblem(bad, Root()).contains("/ or \\")) << bad;
    EXPECT_TRUE(CardNameProblem(".", Root()).contains("\".\""));
    EXPECT_TRUE(CardNameProblem("..", Root()).contains("\"..\""));
    EXPECT_TRUE(CardNameProblem("tab\there", Root()).contains("control characters"));
    EXPECT_TRUE(CardNameProblem(QString(200, 'x'), Root()).isEmpty());
    EXPECT_TRUE(CardNameProblem(QString(201, 'x'), Root()).contains("200 bytes"));
    EXPECT_TRUE(CardNameProblem(QString(100, QChar(0x00E9)), Root()).isEmpty());     // 200 bytes of UTF-8
    EXPECT_FALSE(CardNameProblem(QString(101, QChar(0x00E9)), Root()).isEmpty());
}

TEST_F(CardNamesTest, AnExistingNameAndTheEmptyNameAreAlreadyTaken)
{
    Folder("Mine");
    QFile plain(Root() + "notes");
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    EXPECT_EQ(CardNameProblem("Mine", Root()), CardNameExistsMessage);
    EXPECT_EQ(CardNameProblem("notes", Root()), CardNameExistsMessage);
    EXPECT_EQ(CardNameProblem("", Root()), CardNameExistsMessage);  // names the card root itself
    EXPECT_FALSE(CardNameProblem("", Root() + "missing/").isEmpty());
}

TEST_F(CardNamesTest, TemplatesAreTheVisibleFoldersInNameOrder)
{
    for (const char *name : {"wedding", "Birthday", "Card 10", "Card 9", "Émile", ".hidden"})
        Folder(QString::fromUtf8(name));
    QFile plain(Root() + "readme.txt");
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    EXPECT_EQ(ListTemplates(Root()),
              QStringList({"Birthday", "Card 9", "Card 10", QString::fromUtf8("Émile"), "wedding"}));
    EXPECT_TRUE(ListTemplates(Root() + "missing/").isEmpty());
}

} // namespace
