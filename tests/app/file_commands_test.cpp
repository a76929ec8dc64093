// Open, Save, Exit, Help and the save question, with scripted dialogs.
#include "card_fixture.h"

#include "card/Card_Edit.h"
#include "card/card_file.h"
#include "controls/scrollbox.h"
#include "controls/shape.h"
#include "richtext/rich_edit_box.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QToolButton>

namespace {

QByteArray Contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString TextIn(const QString &rtfFile)
{
    TRichEditBox box;
    return box.LoadFromFile(rtfFile) ? box.toPlainText() : QString("<unreadable>");
}

TEST_F(CardFixture, SaveStoresMovedBoxesAndTextsAndIsStable)
{
    form.RunCommand([this] { form.BitBtn3Click(); });
    EXPECT_EQ(dialogs->Messages, QStringList({"Please Create a new card or open a card first!"}));

    OpenSample();
    const QString folder = dir.path() + "/MyCard/Sample/";
    Box(3)->move(Box(3)->pos() + QPoint(-20, 15));
    Box(3)->setPlainText("Dear Ann");
    Box(1)->raise();  // stacking order must not matter
    form.RunCommand([this] { form.BitBtn3Click(); });
    EXPECT_EQ(dialogs->Messages.last(), "Saved OK!");
    EXPECT_FALSE(form.HasUnsavedChanges());

    const CardLayout saved = ReadCardFile(folder + "Card.crd", FreshLayout());
    EXPECT_EQ(RectOf(saved.Texts[3].Rect), QRect(400, 315, 300, 100));
    EXPECT_EQ(saved.Texts[3].Used, 1);
    EXPECT_EQ(saved.Texts[3].FileName.Text(), "3.rtf");
    EXPECT_EQ(RectOf(saved.Texts[1].Rect), QRect(400, 40, 300, 80));
    EXPECT_EQ(saved.Texts[0].Used, 0);
    EXPECT_EQ(TextIn(folder + "3.rtf"), "Dear Ann");
    EXPECT_EQ(TextIn(folder + "1.rtf"), "Text 1");

    const QByteArray first = Contents(folder + "Card.crd");
    form.RunCommand([this] { form.BitBtn3Click(); });
    EXPECT_EQ(Contents(folder + "Card.crd"), first);
    EXPECT_FALSE(QFileInfo::exists(folder + "Card.crd.tmp"));
}

TEST_F(CardFixture, OpenChecksTheExtensionAndTheBackground)
{
    OpenSample();
    const QString shown = form.CardPath;
    EXPECT_EQ(shown, dir.path() + "/MyCard/Sample/template.bmp");
    EXPECT_EQ(dialogs->FileDialogs.back().InitialDir, dir.path() + "/MyCard/");
    EXPECT_EQ(dialogs->FileDialogs.back().Filter, "Tessaly (*.crd)");

    // The extension test is case-sensitive.
    const QString other = MakeCard("Other", SampleLayout());
    Open(other + "Card.CRD");
    EXPECT_EQ(form.CardPath, shown);
    EXPECT_TRUE(dialogs->Messages.isEmpty());

    // Without template.bmp the shown card stays, and so does CardPath.
    QFile::remove(other + "template.bmp");
    const QByteArray otherLayout = Contents(other + "Card.crd");
    Open(other + "Card.crd");
    EXPECT_EQ(dialogs->Messages, QStringList({"Sorry, the Card File is error!"}));
    EXPECT_EQ(form.CardPath, shown);
    EXPECT_NE(Box(3), nullptr);
    Box(3)->move(Box(3)->pos() + QPoint(9, 9));
    form.RunCommand([this] { form.BitBtn3Click(); });
    EXPECT_EQ(Contents(other + "Card.crd"), otherLayout);  // nothing written into the rejected folder
    EXPECT_EQ(ReadCardFile(dir.path() + "/MyCard/Sample/Card.crd", FreshLayout()).Texts[3].Rect.Left, 429);

    // Cancelling the dialog changes nothing.
    dialogs->FileAnswers.push_back(std::nullopt);
    form.RunCommand([this] { form.BitBtn2Click(); });
    EXPECT_EQ(form.CardPath, shown);
    EXPECT_TRUE(dialogs->Unanswered.isEmpty());
}

TEST_F(CardFixture, OpenOfAFolderWithoutCardCrdCreatesOne)
{
    const QString folder = dir.path() + "/MyCard/Plain/";
    QDir().mkpath(folder);
    QImage background(200, 100, QImage::Format_RGB32);
    background.fill(Qt::blue);
    background.save(folder + "template.bmp", "BMP");
    Open(folder + "x.crd");
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    EXPECT_TRUE(QFileInfo::exists(folder + "Card.crd"));
    EXPECT_EQ(form.Card_Edit1->Picture().size(), QSize(793, 559));
    EXPECT_TRUE(form.TextBoxes().isEmpty());
    EXPECT_FALSE(form.Shape1->isVisible());
}

TEST_F(CardFixture, OpenAsksToSaveOnlyWhenTheCardHasUnsavedChanges)
{
    OpenSample();
    const QString second = MakeCard("Second", SampleLayout()) + "Card.crd";
    Open(second);
    EXPECT_TRUE(dialogs->Questions.isEmpty());

    // Typing counts as a change; Yes saves it before the next card opens.
    Box(1)->moveCursor(QTextCursor::Start);
    Box(1)->insertPlainText("Hello ");
    EXPECT_TRUE(form.HasUnsavedChanges());
    dialogs->YesNoAnswers.push_back(true);
    Open(dir.path() + "/MyCard/Sample/Card.crd");
    EXPECT_EQ(dialogs->Questions, QStringList({"Save the Card?"}));
    EXPECT_EQ(dialogs->QuestionCaptions, QStringList({"Please Make sure."}));
    EXPECT_EQ(TextIn(dir.path() + "/MyCard/Second/1.rtf"), "Hello Text 1");
    EXPECT_TRUE(form.CardPath.endsWith("/Sample/template.bmp"));

    // No drops the change.
    Box(1)->move(Box(1)->pos() + QPoint(5, 5));
    dialogs->YesNoAnswers.push_back(false);
    const QByteArray before = Contents(dir.path() + "/MyCard/Sample/Card.crd");
    Open(second);
    EXPECT_EQ(dialogs->Questions.size(), 2);
    EXPECT_EQ(Contents(dir.path() + "/MyCard/Sample/Card.crd"), before);
    EXPECT_TRUE(form.CardPath.endsWith("/Second/template.bmp"));
}

TEST_F(CardFixture, ClosingAsksToSaveWhileACardIsOpen)
{
    // No card: nothing asked, the mover goes.
    {
        Tfrmmain empty;
        auto scripted = std::make_unique<TScriptedDialogs>();
        TScriptedDialogs &asked = *scripted;
        empty.SetDialogs(std::move(scripted));
        empty.show();
        EXPECT_TRUE(empty.close());
        EXPECT_TRUE(asked.Questions.isEmpty());
        EXPECT_EQ(empty.Mover, nullptr);
    }

    OpenSample();
    const QString layoutFile = dir.path() + "/MyCard/Sample/Card.crd";
    const QByteArray before = Contents(layoutFile);
    // Exit answered No leaves everything as it was.
    form.RunCommand([this] { form.BitBtn7Click(); });
    EXPECT_EQ(dialogs->Questions, QStringList({"Are you sure to Exit?"}));
    EXPECT_EQ(dialogs->QuestionCaptions, QStringList({"Are you sure?"}));
    EXPECT_TRUE(form.isVisible());

    // A Save that fails while closing keeps the window open.
    const QString rtf3 = dir.path() + "/MyCard/Sample/3.rtf";
    Box(3)->move(Box(3)->pos() + QPoint(1, 0));
    QFile::remove(rtf3);
    QDir().mkdir(rtf3);  // no file can be written there
    dialogs->YesNoAnswers = {true, true};  // Exit? Yes. Save the Card? Yes.
    form.RunCommand([this] { form.BitBtn7Click(); });
    EXPECT_TRUE(form.isVisible());
    EXPECT_NE(form.Mover, nullptr);
    EXPECT_TRUE(dialogs->Messages.last().contains("3.rtf"));
    EXPECT_EQ(Contents(layoutFile), before);

    QDir().rmdir(rtf3);
    dialogs->YesNoAnswers = {true};
    EXPECT_TRUE(form.close());
    EXPECT_EQ(dialogs->Questions.back(), "Save the Card?");
    EXPECT_EQ(dialogs->Messages.last(), "Saved OK!");
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(form.Mover, nullptr);
    EXPECT_NE(Contents(layoutFile), before);
}

TEST_F(CardFixture, HelpOpensTheCompiledHelpOrElseTheUserGuide)
{
    form.RunCommand([this] { form.BitBtn8Click(); });
    EXPECT_TRUE(opened.isEmpty());
    ASSERT_EQ(dialogs->Messages.size(), 1);
    EXPECT_TRUE(dialogs->Messages[0].contains("tessaly.html"));

    QFile(dir.path() + "/tessaly.html").open(QIODevice::WriteOnly);
    form.RunCommand([this] { form.BitBtn8Click(); });
    QFile(dir.path() + "/tessaly.chm").open(QIODevice::WriteOnly);
    form.RunCommand([this] { form.BitBtn8Click(); });
    EXPECT_EQ(opened, QStringList({dir.path() + "/tessaly.html", dir.path() + "/tessaly.chm"}));

    // The build puts a real guide beside the program.
    EXPECT_TRUE(Contents(TESSALY_OUTPUT_DIR "/tessaly.html").contains("Paper Set"));
}

} // namespace
