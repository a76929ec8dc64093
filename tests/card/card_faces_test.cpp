// The inside of a card kept as Inside/, the fold kind as Card.fold: a card
// without them is the card it always was, byte for byte, and a card with
// them still opens its outside as a program that knows nothing of them
// would.
#include "card/card_faces.h"
#include "card/card_file.h"
#include "card/card_open.h"
#include "dialogs/card_names.h"
#include "dialogs/directory_copy.h"
#include "tests/support/card_fixture.h"
#include "tests/support/file_contents.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "richtext/rtf.h"

#include <map>
#include <sys/stat.h>

namespace {

// Every file below `folder` (relative name -> bytes), hidden ones included.
std::map<QString, QByteArray> Snapshot(const QString &folder)
{
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(folder).relativeFilePath(path)] = Contents(path);
    }
    return files;
}

class CardFolderFaces : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root.isValid());
        card = root.path() + QStringLiteral("/Birthday/");
        TFixtureCard fixture;
        fixture.Texts = FiveFixtureTexts(fixture.Width, fixture.Height);
        outside = WriteFixtureCard(card, fixture);
    }

    QTemporaryDir root;
    QString card;
    CardLayout outside;
};

TEST_F(CardFolderFaces, ACardWithoutAnInsideIsReadAndWrittenByteForByte)
{
    const std::map<QString, QByteArray> before = Snapshot(card);
    EXPECT_FALSE(HasInside(card));
    EXPECT_EQ(CardFaces(card), std::vector<TCardFace>{TCardFace::Outside});
    EXPECT_EQ(FaceFolder(card, TCardFace::Outside), card);
    EXPECT_EQ(ReadFoldKind(card), TFoldKind::FlatOneSided);

    // Read and written back as a Save writes it, fold kind included.
    const CardLayout layout = ReadCardLayout(card + QStringLiteral("template.bmp"));
    WriteCardFile(card + QStringLiteral("Card.crd"), layout);
    WriteFoldKind(card, ReadFoldKind(card));
    EXPECT_EQ(FoldFileContents(TFoldKind::FlatOneSided), std::nullopt);
    EXPECT_EQ(Snapshot(card), before);
}

TEST_F(CardFolderFaces, TheOutsideOfACardWithAnInsideOpensAsItAlwaysDid)
{
    const TLoadedCard alone = LoadCard(card + QStringLiteral("template.bmp"));
    const std::map<QString, QByteArray> outsideFiles = Snapshot(card);

    CreateInside(card, outside, TFoldKind::HalfFold);
    WriteFoldKind(card, TFoldKind::HalfFold);
    ASSERT_TRUE(HasInside(card));
    EXPECT_EQ(CardFaces(card), (std::vector<TCardFace>{TCardFace::Outside, TCardFace::Inside}));

    // Every file of the outside is as it was; the new ones are Card.fold and
    // those under Inside/.
    const std::map<QString, QByteArray> after = Snapshot(card);
    for (const auto &[name, bytes] : outsideFiles)
        EXPECT_EQ(after.at(name), bytes) << name.toStdString();
    for (const auto &[name, bytes] : after) {
        if (!outsideFiles.count(name)) {
            EXPECT_TRUE(name == FoldFileName || name.startsWith(InsideFolderName + QLatin1Char('/')))
                << name.toStdString();
        }
    }
    EXPECT_EQ(after.at(FoldFileName), QByteArray("half\n"));

    // Opened by the loader that knows nothing of insides: the same card.
    const TLoadedCard opened = LoadCard(card + QStringLiteral("template.bmp"));
    EXPECT_EQ(LayoutToBytes(opened.Layout), LayoutToBytes(alone.Layout));
    EXPECT_EQ(opened.Picture, alone.Picture);
    EXPECT_EQ(opened.Texts, alone.Texts);
}

TEST_F(CardFolderFaces, ANewInsideIsACardFolderOfTheOutsidesSizeWithAMessageBoxOnTheRightPanel)
{
    CreateInside(card, outside, TFoldKind::HalfFold);
    const QString insideFolder = FaceFolder(card, TCardFace::Inside);
    EXPECT_EQ(insideFolder, card + QStringLiteral("Inside/"));
    const TLoadedCard inside = LoadCard(insideFolder + QStringLiteral("template.bmp"));
    EXPECT_EQ(inside.Layout.Paper.CardWidth, outside.Paper.CardWidth);
    EXPECT_EQ(inside.Layout.Paper.CardHeight, outside.Paper.CardHeight);
    EXPECT_EQ(inside.Layout.Paper.PaperIndex, outside.Paper.PaperIndex);
    EXPECT_EQ(inside.Layout.Paper.PaperWidth, outside.Paper.PaperWidth);
    EXPECT_EQ(inside.Picture.size(), QSize(outside.Paper.CardWidth, outside.Paper.CardHeight));
    EXPECT_EQ(inside.Picture.pixelColor(10, 10), QColor(Qt::white));
    EXPECT_EQ(inside.Layout.Pictures[0].Used, 0);
    EXPECT_EQ(inside.Layout.Pictures[1].Used, 0);

    int used = 0;
    for (int n = 0; n < 5; ++n)
        used += inside.Layout.Texts[n].Used != 0;
    EXPECT_EQ(used, 1);
    const SlotRect message = inside.Layout.Texts[0].Rect;
    EXPECT_GE(message.Left, outside.Paper.CardWidth / 2);
    EXPECT_LE(message.Right, outside.Paper.CardWidth);
    EXPECT_GT(message.Bottom, message.Top);
    QTextDocument text;
    EXPECT_TRUE(ReadRtfOrPlainText(inside.Texts[0], &text));
    EXPECT_TRUE(text.toPlainText().isEmpty());

    // A flat card's back has its message in the middle, across the fold line.
    const TNewInside back = NewInside(outside, TFoldKind::FlatTwoSided);
    EXPECT_LT(back.Layout.Texts[0].Rect.Left, outside.Paper.CardWidth / 2);
    EXPECT_GT(back.Layout.Texts[0].Rect.Right, outside.Paper.CardWidth / 2);
}

TEST_F(CardFolderFaces, AnInsideIsAddedOnlyOnceAndRemovedWhole)
{
    CreateInside(card, outside, TFoldKind::QuarterFold);
    const std::map<QString, QByteArray> withInside = Snapshot(card);
    EXPECT_THROW(CreateInside(card, outside, TFoldKind::QuarterFold), ECardError);
    EXPECT_EQ(Snapshot(card), withInside);

    const std::map<QString, QByteArray> before = [&] {
        std::map<QString, QByteArray> files;
        for (const auto &[name, bytes] : withInside)
            if (!name.startsWith(QStringLiteral("Inside/")))
                files[name] = bytes;
        return files;
    }();
    RemoveInside(card);
    EXPECT_FALSE(HasInside(card));
    EXPECT_FALSE(QFileInfo::exists(card + QStringLiteral("Inside")));
    EXPECT_EQ(Snapshot(card), before);  // nothing hidden left behind either
    RemoveInside(card);                 // no inside: nothing to do
    EXPECT_EQ(Snapshot(card), before);
}

TEST_F(CardFolderFaces, LeftoversOfAKilledProgramDoNotStopAnInside)
{
    QDir().mkpath(card + QStringLiteral(".Inside.new/sub"));
    QDir().mkpath(card + QStringLiteral(".Inside.old"));
    CreateInside(card, outside, TFoldKind::HalfFold);
    EXPECT_TRUE(HasInside(card));
    EXPECT_FALSE(QFileInfo::exists(card + QStringLiteral(".Inside.new")));
    RemoveInside(card);
    EXPECT_FALSE(QFileInfo::exists(card + QStringLiteral(".Inside.old")));
}

TEST_F(CardFolderFaces, ALinkNamedInsideIsNoInsideAndIsRemovedWithoutFollowingIt)
{
    const QString elsewhere = root.path() + QStringLiteral("/Elsewhere/");
    WriteFixtureCard(elsewhere, TFixtureCard{});
    const std::map<QString, QByteArray> elsewhereFiles = Snapshot(elsewhere);
    ASSERT_TRUE(QFile::link(elsewhere, card + QStringLiteral("Inside")));
    EXPECT_FALSE(HasInside(card));
    EXPECT_THROW(CreateInside(card, outside, TFoldKind::HalfFold), ECardError);
    RemoveInside(card);
    EXPECT_FALSE(QFileInfo(card + QStringLiteral("Inside")).isSymLink());
    EXPECT_EQ(Snapshot(elsewhere), elsewhereFiles);
}

TEST_F(CardFolderFaces, AnInsideFolderWithoutABackgroundIsNoInside)
{
    QDir().mkpath(card + QStringLiteral("Inside"));
    EXPECT_FALSE(HasInside(card));
    QDir().mkpath(card + QStringLiteral("Inside/template.bmp"));  // a folder under the name
    EXPECT_FALSE(HasInside(card));
}

TEST_F(CardFolderFaces, ChoosingTheInsidesCardFileFindsTheWholeCard)
{
    CreateInside(card, outside, TFoldKind::HalfFold);
    EXPECT_EQ(CardFolderOfFace(card + QStringLiteral("Inside/")), card);
    EXPECT_EQ(CardFolderOfFace(card + QStringLiteral("Inside")), card);
    EXPECT_EQ(CardFolderOfFace(card), card);
    // A card that happens to be called Inside, not within another card.
    const QString named = root.path() + QStringLiteral("/Inside/");
    WriteFixtureCard(named, TFixtureCard{});
    EXPECT_EQ(CardFolderOfFace(named), named);
}

TEST_F(CardFolderFaces, EveryFoldKindIsWrittenAsItsWordAndReadBack)
{
    for (const TFoldKind fold : AllFoldKinds) {
        WriteFoldKind(card, fold);
        EXPECT_EQ(ReadFoldKind(card), fold);
        EXPECT_EQ(QFileInfo::exists(FoldFilePath(card)), fold != TFoldKind::FlatOneSided);
    }
    WriteFoldKind(card, TFoldKind::QuarterFold);
    EXPECT_EQ(Contents(FoldFilePath(card)), QByteArray("quarter\n"));
    WriteFoldKind(card, TFoldKind::FlatOneSided);
    EXPECT_FALSE(QFileInfo::exists(FoldFilePath(card)));
}

void WriteRaw(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

TEST_F(CardFolderFaces, ACardFoldFileThatNamesNoFoldIsRefusedWithItsName)
{
    WriteRaw(FoldFilePath(card), "  two-sided\r\n");
    EXPECT_EQ(ReadFoldKind(card), TFoldKind::FlatTwoSided);

    for (const QByteArray &bad : {QByteArray("triple\n"), QByteArray(), QByteArray("half\nhalf\n"),
                                  QByteArray("HALF"), QByteArray("half") + QByteArray(100, ' ')}) {
        WriteRaw(FoldFilePath(card), bad);
        try {
            ReadFoldKind(card);
            ADD_FAILURE() << "taken: " << bad.toStdString();
        } catch (const ECardError &error) {
            EXPECT_NE(QString::fromUtf8(error.what()).indexOf(QStringLiteral("Card.fold")), -1) << error.what();
        }
    }
    QFile::remove(FoldFilePath(card));
    ASSERT_EQ(::mkfifo(QFile::encodeName(FoldFilePath(card)).constData(), 0600), 0);
    EXPECT_THROW(ReadFoldKind(card), ECardError);  // refused at once, never waited on
}

TEST(FoldKind, WordsAndCaptions)
{
    for (const TFoldKind fold : AllFoldKinds) {
        EXPECT_EQ(ParseFoldKind(FoldKindWord(fold).toLatin1()), fold);
        EXPECT_FALSE(FoldKindCaption(fold).isEmpty());
    }
    EXPECT_EQ(ParseFoldKind(" quarter\t"), TFoldKind::QuarterFold);
    EXPECT_EQ(ParseFoldKind("half-fold"), std::nullopt);
    EXPECT_EQ(ParseFoldKind(QByteArrayView("half\0", 5)), std::nullopt);
    EXPECT_TRUE(FoldHasPanels(TFoldKind::HalfFold));
    EXPECT_TRUE(FoldHasPanels(TFoldKind::QuarterFold));
    EXPECT_FALSE(FoldHasPanels(TFoldKind::FlatTwoSided));
    EXPECT_FALSE(FoldHasSecondFace(TFoldKind::FlatOneSided));
}

// New lists the folders of Template/ and copies the chosen one whole: the
// inside is no template of its own and goes with its card.
TEST_F(CardFolderFaces, TheTemplateListSkipsTheInsideAndACopyCarriesIt)
{
    const QString templates = root.path() + QStringLiteral("/Template/");
    const QString folded = templates + QStringLiteral("Folded/");
    WriteFixtureCard(folded, TFixtureCard{});
    CreateInside(folded, outside, TFoldKind::HalfFold);
    WriteFoldKind(folded, TFoldKind::HalfFold);
    EXPECT_EQ(ListTemplates(templates), QStringList{QStringLiteral("Folded")});

    const QString copy = root.path() + QStringLiteral("/MyCard/Mine/");
    ASSERT_TRUE(CopyDirectory(folded, copy));
    EXPECT_EQ(Snapshot(copy), Snapshot(folded));
    EXPECT_TRUE(HasInside(copy));
    EXPECT_EQ(ReadFoldKind(copy), TFoldKind::HalfFold);
}

} // namespace
