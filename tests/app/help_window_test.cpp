// Help opens the user guide in the program's own window: with its pictures,
// links inside the guide, Back and Forward, and the gallery's link to the
// page on getting more templates. No web browser is needed.
#include "app/frm_main.h"
#include "dialogs/directory_copy.h"
#include "dialogs/frm_help.h"
#include "dialogs/frm_new.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/modal_script.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTextBrowser>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class HelpWindow : public TMainWindowTest {
protected:
    void SetUp() override
    {
        TMainWindowTest::SetUp();
        form.OpenWithDesktop = [this](const QUrl &address) { return opened << address, true; };
    }
    // The shipped guide and its pictures, beside the test's program.
    void ShipGuide()
    {
        for (const QString &name : QDir(TESSALY_OUTPUT_DIR).entryList({"tessaly.html", "guide-*.png"}, QDir::Files))
            ASSERT_TRUE(QFile::copy(TESSALY_OUTPUT_DIR "/" + name, Program() + name)) << name.toStdString();
    }
    QTextBrowser *Browser() const { return form.HelpWindow ? form.HelpWindow->Browser : nullptr; }

    QList<QUrl> opened;
};

TEST_F(HelpWindow, WithoutTheGuideHelpSaysWhereItWasLookedFor)
{
    form.RunCommand([this] { form.BitBtn8Click(); });
    EXPECT_EQ(dialogs->Messages, QStringList{"The user guide \"" + Program() + "tessaly.html\" cannot be found."});
    EXPECT_TRUE(form.HelpWindow.isNull());
    EXPECT_TRUE(opened.isEmpty());
}

TEST_F(HelpWindow, F1ShowsTheGuideWithItsPicturesAndWalksItsLinksBackAndForward)
{
    ShipGuide();
    QTest::keyClick(&form, Qt::Key_F1);
    ASSERT_NE(Browser(), nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.HelpWindow));
    EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
    EXPECT_EQ(Browser()->source(), QUrl::fromLocalFile(Program() + "tessaly.html"));
    EXPECT_TRUE(Browser()->toPlainText().contains("Tessaly user guide"));
    EXPECT_TRUE(opened.isEmpty()) << "no browser is asked";

    // Its pictures, read from beside the guide.
    Browser()->document()->documentLayout();  // lays the pictures out
    for (const char *name : {"guide-new-card.png", "guide-change-picture.png"}) {
        const QVariant picture = Browser()->document()->resource(QTextDocument::ImageResource, QUrl(name));
        EXPECT_FALSE(picture.value<QPixmap>().isNull() && picture.value<QImage>().isNull()) << name;
    }

    // A link inside the guide, then Back and Forward.
    EXPECT_FALSE(form.HelpWindow->BackButton->isEnabled());
    emit Browser()->anchorClicked(QUrl("#change-picture"));
    EXPECT_EQ(Browser()->source().fragment(), "change-picture");
    EXPECT_GT(Browser()->verticalScrollBar()->value(), 0);
    ASSERT_TRUE(form.HelpWindow->BackButton->isEnabled());
    form.HelpWindow->BackButton->click();
    EXPECT_TRUE(Browser()->source().fragment().isEmpty());
    ASSERT_TRUE(form.HelpWindow->ForwardButton->isEnabled());
    form.HelpWindow->ForwardButton->click();
    EXPECT_EQ(Browser()->source().fragment(), "change-picture");
    form.HelpWindow->ContentsButton->click();
    EXPECT_TRUE(Browser()->source().fragment().isEmpty());

    // An address outside the guide goes to the desktop.
    emit Browser()->anchorClicked(QUrl("https://example.org/more"));
    EXPECT_EQ(opened, QList<QUrl>{QUrl("https://example.org/more")});
    EXPECT_TRUE(Browser()->source().fragment().isEmpty());

    // Escape closes it; Help again brings the same window back.
    TFrmHelp *first = form.HelpWindow;
    form.HelpWindow->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.HelpWindow));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(first->isVisible());
    form.RunCommand([this] { form.BitBtn8Click(); });
    EXPECT_EQ(form.HelpWindow, first);
    EXPECT_TRUE(first->isVisible());
}

TEST_F(HelpWindow, TheGallerysLinkOpensTheGuidesPageOnMoreTemplatesOverTheGallery)
{
    ShipGuide();
    ASSERT_TRUE(CopyDirectory(QStringLiteral(TESSALY_OUTPUT_DIR "/Template/"), Program() + "Template/"));
    const QString before = QDir::currentPath();
    bool shown = false;
    ASSERT_TRUE(WithModal<TFrmNew>([this] { form.RunCommand([this] { form.BitBtn1Click(); }); },
                                   [&](TFrmNew &gallery) {
                                       gallery.Label1Click();
                                       shown = Browser() && form.HelpWindow->isVisible()
                                               && form.HelpWindow->parentWidget() == &gallery;
                                       EXPECT_EQ(Browser()->source().fragment(), "more-templates");
                                       EXPECT_TRUE(Browser()->toPlainText().contains("Import template"));
                                       gallery.BitBtn2->click();
                                   }));
    QDir::setCurrent(before);
    EXPECT_TRUE(shown) << "the help window belongs to the gallery, so that it takes input while the gallery waits";
    EXPECT_TRUE(opened.isEmpty());
    // It went with the gallery; Help makes a window of the main window's own.
    EXPECT_TRUE(form.HelpWindow.isNull());
    form.RunCommand([this] { form.BitBtn8Click(); });
    ASSERT_FALSE(form.HelpWindow.isNull());
    EXPECT_EQ(form.HelpWindow->parentWidget(), &form);
}

} // namespace
