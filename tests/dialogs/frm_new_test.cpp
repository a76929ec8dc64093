#include "dialogs/directory_copy.h"
#include "dialogs/frm_new.h"

#include "controls/image.h"
#include "dialogs/template_preview.h"
#include "tests/support/accessibility_walk.h"
#include "tests/support/scripted_dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// A program folder with Template/ and MyCard/ beside each other.
class FrmNewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_before = QDir::currentPath();
        ASSERT_TRUE(QDir().mkpath(Program() + "MyCard"));
        AddTemplate("Zebra", Qt::red);
        AddTemplate("apple", Qt::blue);
        AddTemplate("Mango", Qt::green);
        ASSERT_TRUE(QDir().mkpath(Program() + "Template/Mango/fonts/extra"));
        Write(Program() + "Template/Mango/fonts/extra/note.txt", "nested");
        Write(Program() + "Template/loose file.txt", "not a template");
    }
    void TearDown() override { QDir::setCurrent(m_before); }

    QString Program() const { return m_folder.path() + "/"; }
    static void Write(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void AddTemplate(const QString &name, QColor colour)
    {
        const QString folder = Program() + "Template/" + name + "/";
        ASSERT_TRUE(QDir().mkpath(folder));
        QImage image(40, 28, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(folder + "template.bmp", "BMP"));
        ASSERT_TRUE(image.save(folder + "preview.jpg", "JPG"));
        Write(folder + "0.rtf", "{\\rtf1 " + name.toLatin1() + "}");
    }
    QRgb PreviewCentre(TFrmNew &form) const
    {
        const QImage &picture = form.Image1->Picture();
        if (picture.isNull())
            return 0;
        return picture.pixel(picture.width() / 2, picture.height() / 2);
    }
    static bool Near(QRgb a, QRgb b)
    {
        return std::abs(qRed(a) - qRed(b)) < 24 && std::abs(qGreen(a) - qGreen(b)) < 24
               && std::abs(qBlue(a) - qBlue(b)) < 24;
    }

    QTemporaryDir m_folder;
    QString m_before;
    TScriptedDialogs dialogs;
};

TEST_F(FrmNewTest, ListsTheTemplateFoldersInNameOrderWithTheFirstPreviewShown)
{
    TFrmNew form(Program(), dialogs);
    EXPECT_EQ(form.windowTitle(), "New Card");
    EXPECT_EQ(form.GroupBox1->title(), "Select A Template");
    EXPECT_EQ(form.GroupBox2->title(), "Card Preview");
    EXPECT_EQ(form.BitBtn1->text(), "Create");
    EXPECT_EQ(form.BitBtn2->text(), "Cancel");
    EXPECT_TRUE(form.Label1->text().contains("Please check our web site to Get more free templates..."));
    EXPECT_FALSE(form.Accepted);
    ASSERT_EQ(form.ListBox1->count(), 3);  // the loose file is no template
    EXPECT_EQ(form.ListBox1->item(0)->text(), "apple");
    EXPECT_EQ(form.ListBox1->item(1)->text(), "Mango");
    EXPECT_EQ(form.ListBox1->item(2)->text(), "Zebra");
    EXPECT_EQ(form.ListBox1->currentRow(), 0);
    EXPECT_TRUE(Near(PreviewCentre(form), qRgb(0, 0, 255)));
    EXPECT_EQ(QDir(QDir::currentPath()), QDir(Program() + "Template"));
    for (QWidget *control : form.findChildren<QWidget *>()) {
        if (!control->objectName().isEmpty() && !control->objectName().startsWith("qt_")) {
            EXPECT_FALSE(control->accessibleName().isEmpty()) << control->objectName().toStdString();
        }
    }
    EXPECT_TRUE(dialogs.Messages.isEmpty());
}

TEST_F(FrmNewTest, AScreenReaderFindsEveryControlNamed)
{
    TFrmNew form(Program(), dialogs);
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(EveryControlNamed(&form)) << AccessibilityTreeText(&form).toStdString();
}

TEST_F(FrmNewTest, KeyboardMovesThePreviewAndAddressIsTheGuidesPageOnMoreTemplates)
{
    TFrmNew form(Program(), dialogs);
    form.show();
    form.ListBox1->setFocus();
    QTest::keyClick(form.ListBox1, Qt::Key_Down);
    EXPECT_TRUE(Near(PreviewCentre(form), qRgb(0, 255, 0)));
    QTest::keyClick(form.ListBox1, Qt::Key_End);
    EXPECT_TRUE(Near(PreviewCentre(form), qRgb(255, 0, 0)));

    EXPECT_EQ(QUrl(form.Edit1->text()).toLocalFile(), Program() + "tessaly.html");
    EXPECT_EQ(QUrl(form.Edit1->text()).fragment(), "more-templates");
    QUrl opened;
    form.OpenAddress = [&](const QUrl &address) { opened = address; return true; };
    form.Label1Click();
    EXPECT_EQ(opened, QUrl(form.Edit1->text()));
    EXPECT_TRUE(form.isVisible());

    // From the keyboard: Tab reaches the label, Enter opens the address
    // rather than pressing Create.
    opened.clear();
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    form.BitBtn2->setFocus();
    QTest::keyClick(form.BitBtn2, Qt::Key_Tab);
    ASSERT_TRUE(form.Label1->hasFocus());
    QTest::keyClick(form.Label1, Qt::Key_Return);
    EXPECT_EQ(opened, QUrl(form.Edit1->text()));
    EXPECT_FALSE(form.Accepted);
    EXPECT_TRUE(dialogs.InputPrompts.isEmpty());
}

// A portrait card in the landscape preview box stays upright and slim:
// centred, its proportions kept, the box clear on either side.
TEST(FitPreview, KeepsTheCardsProportionsInTheBox)
{
    QImage portrait(559, 755, QImage::Format_RGB32);
    portrait.fill(qRgb(200, 40, 40));
    const QImage shown = FitPreview(portrait, QSize(400, 280));
    ASSERT_EQ(shown.size(), QSize(400, 280));
    EXPECT_EQ(qAlpha(shown.pixel(10, 140)), 0);
    EXPECT_EQ(qAlpha(shown.pixel(389, 140)), 0);
    int left = 0;
    while (left < 400 && qRed(shown.pixel(left, 140)) != 200)
        ++left;
    int right = 399;
    while (right > 0 && qRed(shown.pixel(right, 140)) != 200)
        --right;
    int top = 0;
    while (top < 280 && qRed(shown.pixel(200, top)) != 200)
        ++top;
    int bottom = 279;
    while (bottom > 0 && qRed(shown.pixel(200, bottom)) != 200)
        --bottom;
    const double width = right - left + 3, height = bottom - top + 3;  // the one-pixel edge on each side
    EXPECT_NEAR(width / height, 559.0 / 755.0, 0.02);
    EXPECT_GE(height, 270);
    EXPECT_NEAR(left + right, 396, 4) << "centred";

    const QImage wide = FitPreview(QImage(1056, 816, QImage::Format_RGB32), QSize(400, 280));
    EXPECT_EQ(wide.size(), QSize(400, 280));
    EXPECT_TRUE(FitPreview(QImage(), QSize(400, 280)).size() == QSize(400, 280));
}

TEST_F(FrmNewTest, ADamagedPreviewIsAMessageAndThePreviousPreviewStays)
{
    QFile jpeg(Program() + "Template/Mango/preview.jpg");
    ASSERT_TRUE(jpeg.open(QIODevice::ReadWrite));
    QByteArray bytes = jpeg.readAll();
    bytes.truncate(bytes.size() / 3);
    bytes.replace(200, 40, QByteArray(40, '\xFF'));
    jpeg.resize(0);
    jpeg.write(bytes);
    jpeg.close();
    QFile::remove(Program() + "Template/Zebra/preview.jpg");

    TFrmNew form(Program(), dialogs);
    form.ListBox1->setCurrentRow(1);
    ASSERT_EQ(dialogs.Messages.size(), 1);
    EXPECT_TRUE(dialogs.Messages[0].contains("Mango/preview.jpg"));
    EXPECT_TRUE(Near(PreviewCentre(form), qRgb(0, 0, 255)));
    form.ListBox1->setCurrentRow(2);
    ASSERT_EQ(dialogs.Messages.size(), 2);
    EXPECT_TRUE(dialogs.Messages[1].contains("Zebra/preview.jpg"));
}

TEST_F(FrmNewTest, CancelInTheNameBoxAcceptsTheProposalAndCopiesTheWholeTemplate)
{
    QDir().mkpath(Program() + "MyCard/Default1");
    QDir().mkpath(Program() + "MyCard/Default2");
    TFrmNew form(Program(), dialogs);
    form.ListBox1->setCurrentRow(1);  // Mango, with nested folders
    dialogs.InputAnswers = {std::nullopt};
    form.BitBtn1->click();
    ASSERT_TRUE(form.Accepted);
    EXPECT_EQ(form.CardName, "Default3");
    EXPECT_EQ(form.CardFolder, Program() + "MyCard/Default3/");
    for (const char *file : {"template.bmp", "preview.jpg", "0.rtf", "fonts/extra/note.txt"})
        EXPECT_TRUE(QFileInfo::exists(form.CardFolder + file)) << file;
    EXPECT_EQ(dialogs.InputPrompts, QStringList{"Name your Calendar:"});
    EXPECT_TRUE(dialogs.Messages.isEmpty());
}

TEST_F(FrmNewTest, RefusedNamesAskAgainWithTheSameProposal)
{
    QDir().mkpath(Program() + "MyCard/Taken");
    TFrmNew form(Program(), dialogs);
    dialogs.InputAnswers = {QString("Taken"), QString(""), QString("../Outside"), QString(".."),
                            QString("Mine")};
    form.BitBtn1Click();
    ASSERT_TRUE(form.Accepted);
    EXPECT_EQ(form.CardFolder, Program() + "MyCard/Mine/");
    ASSERT_EQ(dialogs.Messages.size(), 4);
    EXPECT_EQ(dialogs.Messages[0], "Sorry, the Card Name is already exists, please use another name");
    EXPECT_EQ(dialogs.Messages[1], "Sorry, the Card Name is already exists, please use another name");
    EXPECT_TRUE(dialogs.Messages[2].contains("/ or \\"));
    EXPECT_TRUE(dialogs.Messages[3].contains("\"..\""));
    EXPECT_EQ(dialogs.InputPrompts.size(), 5);
    EXPECT_FALSE(QFileInfo::exists(Program() + "Outside"));
    EXPECT_EQ(QDir(Program()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"MyCard", "Template"}));
}

TEST_F(FrmNewTest, AFailedCopyIsReportedAndLeavesNoCardFolder)
{
    ASSERT_EQ(::mkfifo(QFile::encodeName(Program() + "Template/apple/pipe").constData(), 0600), 0);
    TFrmNew form(Program(), dialogs);
    dialogs.InputAnswers = {QString("Broken")};
    form.BitBtn1Click();
    EXPECT_FALSE(form.Accepted);
    // The message, then which file failed and why.
    ASSERT_EQ(dialogs.Messages.size(), 1);
    EXPECT_TRUE(dialogs.Messages[0].startsWith("Sorry, copy error!\n")) << dialogs.Messages[0].toStdString();
    EXPECT_TRUE(dialogs.Messages[0].contains("apple/pipe")) << dialogs.Messages[0].toStdString();
    EXPECT_FALSE(QFileInfo::exists(Program() + "MyCard/Broken"));
    EXPECT_TRUE(QDir(Program() + "MyCard").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty());
}

// A New killed during its copy leaves only a hidden folder, which takes no
// card's name and goes with the next New; one still being built by a
// running program stays.
TEST_F(FrmNewTest, AKilledNewLeavesNothingAUserSeesAndItsRemainsGoNextTime)
{
    const pid_t ended = fork();
    if (ended == 0)
        _exit(0);
    ASSERT_GT(ended, 0);
    waitpid(ended, nullptr, 0);
    const QString abandoned = Program() + "MyCard/.tessaly-new-" + QString::number(ended) + "-Ab12Cd";
    const QString running = Program() + "MyCard/.tessaly-new-" + QString::number(getpid()) + "-Zz99Yy";
    ASSERT_TRUE(QDir().mkpath(abandoned + "/half"));
    ASSERT_TRUE(QDir().mkpath(running));
    TFrmNew form(Program(), dialogs);
    // The hidden folders take no name: the proposal is the first Default.
    dialogs.InputAnswers = {QString("Default1")};
    form.BitBtn1Click();
    ASSERT_TRUE(form.Accepted) << dialogs.Messages.join('|').toStdString();
    EXPECT_TRUE(QFileInfo::exists(Program() + "MyCard/Default1/template.bmp"));
    EXPECT_FALSE(QFileInfo::exists(abandoned));
    EXPECT_TRUE(QFileInfo::exists(running));
    EXPECT_EQ(QDir(Program() + "MyCard").entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
              QStringList({"Default1"}));
}

TEST(HiddenFolder, IsNeverRenamedOverAnExistingName)
{
    QTemporaryDir dir;
    QString why;
    const QString hidden = StartHiddenFolder(dir.path(), &why);
    ASSERT_FALSE(hidden.isEmpty()) << why.toStdString();
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/Taken"));
    EXPECT_FALSE(MoveFolderIntoPlace(hidden, dir.path() + "/Taken", &why));
    EXPECT_TRUE(why.contains("Taken")) << why.toStdString();
    EXPECT_TRUE(MoveFolderIntoPlace(hidden, dir.path() + "/Free", &why)) << why.toStdString();
    EXPECT_FALSE(QFileInfo::exists(hidden));
}

TEST_F(FrmNewTest, WithoutMyCardNothingIsCreated)
{
    ASSERT_TRUE(QDir(Program() + "MyCard").removeRecursively());
    TFrmNew form(Program(), dialogs);
    dialogs.InputAnswers = {QString("Card")};
    form.BitBtn1Click();
    EXPECT_FALSE(form.Accepted);
    ASSERT_EQ(dialogs.Messages.size(), 1);
    EXPECT_TRUE(dialogs.Messages[0].contains("cannot be created"));
    EXPECT_FALSE(QFileInfo::exists(Program() + "MyCard"));
}

TEST_F(FrmNewTest, WithoutTemplatesTheListIsEmptyAndCreateAsksForOne)
{
    ASSERT_TRUE(QDir(Program() + "Template").removeRecursively());
    TFrmNew form(Program(), dialogs);
    ASSERT_EQ(dialogs.Messages.size(), 1);
    EXPECT_TRUE(dialogs.Messages[0].contains("Template"));
    EXPECT_EQ(form.ListBox1->count(), 0);
    EXPECT_TRUE(form.Image1->Picture().isNull());
    form.BitBtn1Click();
    EXPECT_EQ(dialogs.Messages.last(), "Please select a template!");
    EXPECT_TRUE(dialogs.InputPrompts.isEmpty());
}

TEST_F(FrmNewTest, EnterAndDoubleClickCreateOnceAndCancelDoesNot)
{
    {
        TFrmNew form(Program(), dialogs);
        form.show();
        form.ListBox1->setFocus();
        dialogs.InputAnswers = {QString("ByEnter")};
        QTest::keyClick(form.ListBox1, Qt::Key_Return);
        EXPECT_TRUE(form.Accepted);
        EXPECT_EQ(dialogs.InputPrompts.size(), 1);  // asked once, not once per handler
    }
    {
        TFrmNew form(Program(), dialogs);
        form.show();
        dialogs.InputAnswers = {QString("ByDoubleClick")};
        const QRect row = form.ListBox1->visualItemRect(form.ListBox1->item(2));
        QTest::mouseClick(form.ListBox1->viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(form.ListBox1->viewport(), Qt::LeftButton, {}, row.center());
        EXPECT_TRUE(form.Accepted);
        EXPECT_TRUE(form.CardFolder.endsWith("ByDoubleClick/"));
        EXPECT_TRUE(QFileInfo::exists(form.CardFolder + "0.rtf"));
        EXPECT_EQ(dialogs.InputPrompts.size(), 2);
    }
    TFrmNew form(Program(), dialogs);
    form.BitBtn2->click();
    EXPECT_FALSE(form.Accepted);
    EXPECT_EQ(form.result(), QDialog::Rejected);
}

} // namespace
