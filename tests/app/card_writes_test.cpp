// Writes stay where they belong: Save, the picture command and Save As
// never change the shipped templates, a card file that is a link leading
// out of the card folder is replaced rather than written through, names in
// Card.crd read nothing outside the folder, and a text rectangle beyond
// what a widget can hold survives Open and Save unchanged.
#include "app/frm_main.h"
#include "card/card_file.h"
#include "controls/Card_Edit.h"
#include "richtext/rich_edit_box.h"
#include "tests/support/file_contents.h"
#include "tests/support/main_window_fixture.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>

#include <climits>

namespace {

void Put(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

class CardWrites : public TMainWindowTest {
protected:
    // A 300 x 200 card with a picture in slot 0 and texts in slots 0 and 1.
    QString MakeCard(const QString &folder, const CardLayout *given = nullptr)
    {
        QDir().mkpath(folder);
        CardLayout layout = FreshLayout();
        if (given != nullptr) {
            layout = *given;
        } else {
            layout.Paper.CardWidth = 300;
            layout.Paper.CardHeight = 200;
            layout.BackgroundFile.SetText("template.bmp");
            layout.Pictures[0] = {1, {10, 10, 60, 50}, {}};
            layout.Pictures[0].FileName.SetText("picture.bmp");
            layout.Texts[0] = {1, {100, 20, 280, 90}, {}, {}};
            layout.Texts[1] = {1, {100, 110, 280, 180}, {}, {}};
        }
        QImage image(30, 20, QImage::Format_RGB32);
        image.fill(Qt::blue);
        EXPECT_TRUE(image.save(folder + "template.bmp", "BMP"));
        image.fill(Qt::red);
        EXPECT_TRUE(image.save(folder + "picture.bmp", "BMP"));
        Put(folder + "0.rtf", "{\\rtf1\\ansi Zero}");
        Put(folder + "1.rtf", "{\\rtf1\\ansi One}");
        WriteCardFile(folder + "Card.crd", layout);
        return folder;
    }
    QString Shipped() { return MakeCard(Program() + "Template/Birthday/"); }
    QString CardFolder(const QString &name) { return Program() + "MyCard/" + name + "/"; }
    void ChangePicture() { form.RunCommand([this] { form.SpeedButton1Click(); }); }
};

TEST_F(CardWrites, ALinkOutOfTheCardFolderIsReplacedAndWhatItPointedAtStays)
{
    const QString shipped = Shipped();
    const QString outside = Program() + "diary.txt";
    Put(outside, "my diary");
    const QString card = MakeCard(CardFolder("Received"));
    // As a card received in an archive may come: its files links to a
    // template's and to any file of the user's.
    for (const char *name : {"0.rtf", "Card.crd"}) {
        QFile::remove(card + name);
        ASSERT_TRUE(QFile::link(shipped + name, card + name));
    }
    QFile::remove(card + "1.rtf");
    ASSERT_TRUE(QFile::link(outside, card + "1.rtf"));
    const QByteArray shippedLayout = Contents(shipped + "Card.crd"), shippedText = Contents(shipped + "0.rtf");

    Open(card + "Card.crd");
    ASSERT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    Box(0)->textCursor().insertText("mine ");
    Save();
    ASSERT_EQ(dialogs->Messages.value(0), "Saved OK!");
    EXPECT_EQ(Contents(shipped + "Card.crd"), shippedLayout);
    EXPECT_EQ(Contents(shipped + "0.rtf"), shippedText);
    EXPECT_EQ(Contents(outside), "my diary");
    for (const char *name : {"0.rtf", "1.rtf", "Card.crd"})
        EXPECT_FALSE(QFileInfo(card + name).isSymLink()) << name;
    EXPECT_TRUE(Contents(card + "0.rtf").contains("mine"));

    // A link that stays inside the card folder is still written through.
    QFile::rename(card + "1.rtf", card + "one.rtf");
    ASSERT_TRUE(QFile::link(card + "one.rtf", card + "1.rtf"));
    Box(1)->textCursor().insertText("also ");
    Save();
    EXPECT_TRUE(QFileInfo(card + "1.rtf").isSymLink());
    EXPECT_TRUE(Contents(card + "one.rtf").contains("also"));
}

TEST_F(CardWrites, NoCommandChangesTheTemplatesNotEvenThroughALinkedCardFolder)
{
    const QString shipped = Shipped();
    const QByteArray picture = Contents(shipped + "picture.bmp");
    ASSERT_TRUE(QFile::link(shipped.chopped(1), CardFolder("Linked").chopped(1)));
    for (const QString &folder : {shipped, CardFolder("Linked")}) {
        Open(folder + "Card.crd");
        ASSERT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
        Save();
        ASSERT_EQ(dialogs->Messages.size(), 1);
        EXPECT_TRUE(dialogs->Messages[0].contains("template")) << dialogs->Messages[0].toStdString();
        dialogs->Messages.clear();
        // The picture command is refused before its dialog opens.
        ChangePicture();
        ASSERT_EQ(dialogs->Messages.size(), 1);
        EXPECT_TRUE(dialogs->Messages[0].contains("template")) << dialogs->Messages[0].toStdString();
        dialogs->Messages.clear();
        EXPECT_EQ(Contents(shipped + "picture.bmp"), picture);
    }
    // Save As into the templates' folder is refused; elsewhere it works.
    SaveAs(shipped + "card.bmp", 1);
    ASSERT_EQ(dialogs->Messages.size(), 1);
    EXPECT_TRUE(dialogs->Messages[0].contains("templates")) << dialogs->Messages[0].toStdString();
    EXPECT_FALSE(QFile::exists(shipped + "card.bmp"));
    dialogs->Messages.clear();
    SaveAs(Program() + "card.bmp", 1);
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    EXPECT_TRUE(QFile::exists(Program() + "card.bmp"));

    // A card of the user's whose picture is a link into the templates: the
    // dialog's write lands on the card's own file or is refused, never on
    // the template's picture.
    const QString card = MakeCard(CardFolder("Mine"));
    Open(card + "Card.crd");
    QFile::remove(card + "picture.bmp");
    ASSERT_TRUE(QFile::link(shipped + "picture.bmp", card + "picture.bmp"));
    ChangePicture();
    EXPECT_EQ(Contents(shipped + "picture.bmp"), picture);
}

TEST_F(CardWrites, NamesInCardCrdReadNothingOutsideTheCardFolder)
{
    QImage secret(30, 20, QImage::Format_RGB32);
    secret.fill(Qt::green);
    ASSERT_TRUE(secret.save(Program() + "secret.bmp", "BMP"));
    const QString shown = MakeCard(CardFolder("Shown"));
    Open(shown + "Card.crd");
    ASSERT_TRUE(dialogs->Messages.isEmpty());
    for (const char *name : {"../../secret.bmp", "/etc/passwd", "sub/../../../secret.bmp"}) {
        for (const bool background : {true, false}) {
            CardLayout layout = FreshLayout();
            layout.Paper.CardWidth = 300;
            layout.Paper.CardHeight = 200;
            layout.BackgroundFile.SetText(background ? name : "template.bmp");
            layout.Pictures[0] = {1, {10, 10, 60, 50}, {}};
            layout.Pictures[0].FileName.SetText(background ? "picture.bmp" : name);
            const QString hostile = MakeCard(CardFolder("Hostile"), &layout);
            dialogs->Messages.clear();
            dialogs->YesNoAnswers = {false};
            Open(hostile + "Card.crd");
            ASSERT_EQ(dialogs->Messages.size(), 1) << name;
            EXPECT_TRUE(dialogs->Messages[0].contains("outside the card folder")) << dialogs->Messages[0].toStdString();
            EXPECT_EQ(form.CardPath, shown + "template.bmp");
        }
    }
}

TEST_F(CardWrites, ATextRectangleSpanningThe32BitRangeStaysPutThroughOpenAndSave)
{
    CardLayout layout = FreshLayout();
    layout.Paper.CardWidth = 300;
    layout.Paper.CardHeight = 200;
    layout.BackgroundFile.SetText("template.bmp");
    layout.Texts[0] = {1, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, {}, {}};
    layout.Texts[0].FileName.SetText("0.rtf");
    layout.Texts[1] = {1, {100, 110, 280, 180}, {}, {}};
    layout.Texts[1].FileName.SetText("1.rtf");
    const QString card = MakeCard(CardFolder("Wide"), &layout);
    Open(card + "Card.crd");
    ASSERT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    Save();
    ASSERT_EQ(dialogs->Messages.value(0), "Saved OK!");
    const CardLayout saved = ReadCardFile(card + "Card.crd", FreshLayout());
    EXPECT_EQ(saved.Texts[0].Rect.Left, INT32_MIN);
    EXPECT_EQ(saved.Texts[0].Rect.Top, INT32_MIN);
    EXPECT_EQ(saved.Texts[0].Rect.Right, INT32_MAX);
    EXPECT_EQ(saved.Texts[0].Rect.Bottom, INT32_MAX);
    EXPECT_EQ(saved.Texts[1].Rect.Left, 100);
    EXPECT_EQ(saved.Texts[1].Rect.Bottom, 180);
}

} // namespace
