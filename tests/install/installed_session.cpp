// A user's session with the installed program. Not a test of its own:
// installed_test.sh copies it beside the installed `tessaly` and runs it as
// an ordinary user with a fresh home, so that the program's places are the
// installation's (share/tessaly/, the user's documents and cache) and any
// write into the installation fails as it would for that user.
#include "app/application.h"
#include "app/command_line.h"
#include "app/frm_main.h"
#include "controls/Card_Edit.h"
#include "dialogs/frm_help.h"
#include "dialogs/frm_new.h"
#include "dialogs/frm_preview.h"
#include "places/recent_cards.h"
#include "tests/support/modal_script.h"
#include "tests/support/scripted_dialogs.h"
#include "tests/support/scripted_printing.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QMimeDatabase>
#include <QPushButton>
#include <QTest>
#include <QToolButton>
#include <QTextBrowser>
#include <gtest/gtest.h>

namespace {

class InstalledSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        auto scripted = std::make_unique<TScriptedDialogs>();
        dialogs = scripted.get();
        form.SetDialogs(std::move(scripted));
        form.OpenWithDesktop = [](const QUrl &) { return false; };  // no browser
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }
    static QString Home() { return QDir::homePath(); }
    QString Cards() const { return Home() + "/Documents/Tessaly Cards/"; }
    void New(const QString &cardName)
    {
        dialogs->InputAnswers = {cardName};
        const bool shown = WithModal<TFrmNew>([this] { form.RunCommand([this] { form.BitBtn1Click(); }); },
                                              [](TFrmNew &gallery) {
                                                  ASSERT_GT(gallery.ListBox1->count(), 0);
                                                  gallery.ListBox1->setCurrentRow(0);
                                                  gallery.BitBtn1->click();
                                              });
        ASSERT_TRUE(shown);
    }

    Tfrmmain form;
    TScriptedDialogs *dialogs = nullptr;
};

TEST_F(InstalledSession, TheProgramFindsItsInstalledDataAndTheUsersFolders)
{
    const TPlaces &places = form.Places();
    EXPECT_FALSE(places.BesideProgram);
    EXPECT_EQ(places.Templates, QDir::cleanPath(QCoreApplication::applicationDirPath() + "/../share/tessaly/Template") + "/");
    EXPECT_EQ(places.Cards, Cards());
    EXPECT_EQ(places.TempBmp(), Home() + "/.cache/tessaly/Temp.bmp");
    EXPECT_TRUE(form.Card_Edit1->ShownHint().endsWith("Your cards are kept in ~/Documents/Tessaly Cards"))
        << form.Card_Edit1->ShownHint().toStdString();
}

TEST_F(InstalledSession, NewPrintExportAndSaveWriteOnlyIntoTheUsersFolders)
{
    New("Grandma");
    ASSERT_EQ(form.CardPath, Cards() + "Grandma/template.bmp") << dialogs->Messages.join('|').toStdString();
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();

    // Print, into a PDF file.
    auto printers = std::make_unique<TScriptedPrinterDialogs>();
    const QString pdf = Home() + "/card.pdf";
    printers->PdfFile = pdf;
    const bool previewed = WithModal<TFrmPreview>([this] { form.BitBtn6->click(); }, [&](TFrmPreview &preview) {
        preview.SetPrinterDialogs(std::move(printers));
        preview.BitBtn3->click();
        preview.BitBtn4->click();
    });
    EXPECT_TRUE(previewed);
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    EXPECT_GT(QFileInfo(pdf).size(), 1000);
    EXPECT_TRUE(QFileInfo(form.Places().TempBmp()).isFile());

    // Save As JPEG.
    const QString jpeg = Home() + "/Pictures/card.jpg";
    ASSERT_TRUE(QDir().mkpath(Home() + "/Pictures"));
    dialogs->FileAnswers.push_back(TScriptedDialogs::FileAnswer{jpeg, 2});
    form.RunCommand([this] { form.BitBtn4Click(); });
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    QFile exported(jpeg);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_TRUE(exported.read(3).startsWith("\xFF\xD8\xFF"));

    form.RunCommand([this] { form.BitBtn3Click(); });
    EXPECT_EQ(dialogs->Messages, QStringList{"Saved OK!"});
    dialogs->Messages.clear();

    // A second card, so that the first can be opened by its argument later.
    New("Grandpa");
    EXPECT_EQ(form.CardPath, Cards() + "Grandpa/template.bmp");
    EXPECT_EQ(TRecentCards(form.Places().Settings).Cards(), QStringList({Cards() + "Grandpa/", Cards() + "Grandma/"}));
}

TEST_F(InstalledSession, ACardGivenAsTheArgumentOpens)
{
    const TCommandLine line = ReadCommandLine({Cards() + "Grandma/Card.crd"});
    ASSERT_EQ(line.Kind, TCommandLine::TKind::Card);
    form.RunCommand([&] { form.OpenInPlaceOfTheCard(line.CardFolder + "template.bmp"); });
    EXPECT_EQ(form.CardPath, Cards() + "Grandma/template.bmp");
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
}

TEST_F(InstalledSession, HelpShowsTheInstalledGuide)
{
    form.RunCommand([this] { form.BitBtn8Click(); });
    ASSERT_FALSE(form.HelpWindow.isNull()) << dialogs->Messages.join('|').toStdString();
    EXPECT_TRUE(form.HelpWindow->Browser->toPlainText().contains("Tessaly user guide"));
    const QVariant picture =
        form.HelpWindow->Browser->document()->resource(QTextDocument::ImageResource, QUrl("guide-new-card.png"));
    EXPECT_TRUE(picture.isValid());
}

// With the installation's share/ among the data folders (as a package puts
// it in /usr/share), a card's Card.crd is a Tessaly card to the desktop.
TEST_F(InstalledSession, ACardsLayoutFileIsATessalyCard)
{
    if (qEnvironmentVariable("TESSALY_MIME_READY") != "1")
        GTEST_SKIP() << "update-mime-database did not run";
    EXPECT_EQ(QMimeDatabase().mimeTypeForFile(Cards() + "Grandma/Card.crd").name(), "application/x-tessaly-card");
}

} // namespace
