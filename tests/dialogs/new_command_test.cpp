// The main window's New command as a user drives it: the gallery opens, a
// template is picked, the proposed name accepted, the new card opens and is
// saved. Every shipped template goes through it.
#include "app/frm_main.h"
#include "controls/Card_Edit.h"
#include "dialogs/directory_copy.h"
#include "dialogs/frm_new.h"
#include "richtext/rich_edit_box.h"
#include "tests/support/main_window_fixture.h"
#include "tests/support/modal_script.h"

#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include <functional>

namespace {

class NewCommand : public TMainWindowTest {
protected:
    void SetUp() override
    {
        m_before = QDir::currentPath();
        TMainWindowTest::SetUp();
        ASSERT_TRUE(CopyDirectory(QStringLiteral(TESSALY_OUTPUT_DIR "/Template/"), Program() + "Template/"));
    }
    void TearDown() override { QDir::setCurrent(m_before); }

    // Runs New; `inGallery` acts in the gallery once it is on show.
    void New(const std::function<void(TFrmNew &)> &inGallery)
    {
        ASSERT_TRUE(WithModal<TFrmNew>([this] { form.RunCommand([this] { form.BitBtn1Click(); }); }, inGallery))
            << "the gallery was shown modally";
    }
    static void Pick(TFrmNew &gallery, const QString &name)
    {
        const QList<QListWidgetItem *> items = gallery.ListBox1->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << name.toStdString();
        gallery.ListBox1->setCurrentItem(items[0]);
        gallery.BitBtn1->click();
    }

    QString m_before;
};

TEST_F(NewCommand, EveryShippedTemplateBecomesACardThatOpensAndSaves)
{
    const QStringList templates = QDir(Program() + "Template").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    ASSERT_GE(templates.size(), 8);
    int n = 0;
    for (const QString &name : templates) {
        SCOPED_TRACE(name.toStdString());
        ++n;
        dialogs->InputAnswers = {std::nullopt};  // Cancel accepts DefaultN
        New([&](TFrmNew &gallery) { Pick(gallery, name); });
        const QString card = Program() + "MyCard/Default" + QString::number(n) + "/";
        ASSERT_EQ(form.CardPath, card + "template.bmp") << dialogs->Messages.join('|').toStdString();
        const CardLayout &layout = form.Card_Edit1->Layout;
        EXPECT_EQ(form.Card_Edit1->size(), QSize(layout.Paper.CardWidth, layout.Paper.CardHeight));
        int used = 0;
        for (const TextSlot &slot : layout.Texts)
            used += slot.Used != 0;
        EXPECT_EQ(form.TextBoxes().size(), used);
        EXPECT_FALSE(form.HasUnsavedChanges());

        EXPECT_TRUE(dialogs->Messages.isEmpty()) << dialogs->Messages.join('|').toStdString();
        Save();
        EXPECT_EQ(dialogs->Messages, QStringList{"Saved OK!"});
        dialogs->Messages.clear();
        EXPECT_TRUE(QFileInfo::exists(card + "preview.jpg"));
        ASSERT_TRUE(form.RenderCard(dir.path() + "/render.bmp"));
        EXPECT_TRUE(dialogs->Questions.isEmpty()) << "a card just made has nothing to save";
    }
}

TEST_F(NewCommand, UnsavedWorkIsOfferedForSavingOnlyWhenANewCardReplacesIt)
{
    dialogs->InputAnswers = {QString("First")};
    New([&](TFrmNew &gallery) { Pick(gallery, "Birthday"); });
    ASSERT_TRUE(form.CardPath.endsWith("MyCard/First/template.bmp"));
    MoveBox(Tfrmmain::TextBoxSlot(form.TextBoxes().first()), QPoint(12, 8));
    ASSERT_TRUE(form.HasUnsavedChanges());

    // A cancelled gallery replaces nothing and asks nothing.
    New([](TFrmNew &gallery) { gallery.BitBtn2->click(); });
    EXPECT_TRUE(dialogs->Questions.isEmpty());
    EXPECT_TRUE(form.CardPath.endsWith("MyCard/First/template.bmp"));

    const QByteArray savedLayout = [&] {
        QFile file(Program() + "MyCard/First/Card.crd");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    dialogs->YesNoAnswers = {true};
    dialogs->InputAnswers = {QString("Second")};
    New([&](TFrmNew &gallery) { Pick(gallery, "Thank You"); });
    EXPECT_EQ(dialogs->Questions, QStringList{"Save the Card?"});
    EXPECT_TRUE(form.CardPath.endsWith("MyCard/Second/template.bmp"));
    QFile first(Program() + "MyCard/First/Card.crd");
    ASSERT_TRUE(first.open(QIODevice::ReadOnly));
    EXPECT_NE(first.readAll(), savedLayout) << "the moved box was saved into the first card";
}

TEST_F(NewCommand, ATemplateWithoutItsBackgroundIsRefusedAndTheOpenCardStays)
{
    dialogs->InputAnswers = {QString("Good")};
    New([&](TFrmNew &gallery) { Pick(gallery, "Postcard"); });
    const QString open = form.CardPath;
    ASSERT_FALSE(open.isEmpty());

    ASSERT_TRUE(QFile::remove(Program() + "Template/Congratulations/template.bmp"));
    dialogs->InputAnswers = {QString("Broken")};
    New([&](TFrmNew &gallery) { Pick(gallery, "Congratulations"); });
    EXPECT_EQ(dialogs->Messages, QStringList{"Sorry, the Card File is error!"});
    EXPECT_EQ(form.CardPath, open);
}

} // namespace
