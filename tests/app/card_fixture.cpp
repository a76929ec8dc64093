#include "card_fixture.h"

#include "card/card_file.h"
#include "controls/scrollbox.h"
#include "controls/shape.h"
#include "richtext/rich_edit_box.h"

#include <QDir>
#include <QFile>
#include <QImage>

void CardFixture::SetUp()
{
    ASSERT_TRUE(dir.isValid());
    form.ProgramFolder = dir.path() + "/";
    QDir(dir.path()).mkdir("MyCard");
    auto scripted = std::make_unique<TScriptedDialogs>();
    dialogs = scripted.get();
    form.SetDialogs(std::move(scripted));
    form.OpenWithDesktop = [this](const QString &path) {
        opened << path;
        return true;
    };
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
}

QString CardFixture::MakeCard(const QString &name, const CardLayout &layout)
{
    const QString folder = dir.path() + "/MyCard/" + name + "/";
    QDir().mkpath(folder);
    QImage background(layout.Paper.CardWidth, layout.Paper.CardHeight, QImage::Format_RGB32);
    background.fill(Qt::white);
    background.save(folder + "template.bmp", "BMP");
    for (const PictureSlot &slot : layout.Pictures) {
        if (slot.Used) {
            QImage picture(40, 30, QImage::Format_RGB32);
            picture.fill(Qt::red);
            picture.save(folder + slot.FileName.Text(), "BMP");
        }
    }
    for (int n = 0; n < 5; ++n) {
        QFile rtf(folder + QString::number(n) + ".rtf");
        if (layout.Texts[n].Used && rtf.open(QIODevice::WriteOnly))
            rtf.write(QStringLiteral("{\\rtf1\\ansi Text %1}").arg(n).toLatin1());
    }
    WriteCardFile(folder + "Card.crd", layout);
    return folder;
}

CardLayout CardFixture::SampleLayout()
{
    CardLayout layout = FreshLayout();
    layout.BackgroundFile.SetText("template.bmp");
    layout.TransparentColour = 0x00FFFFFF;
    layout.Pictures[0].Used = 1;
    layout.Pictures[0].Rect = {100, 80, 300, 230};
    layout.Pictures[0].FileName.SetText("picture.bmp");
    layout.Texts[1].Used = 1;
    layout.Texts[1].Rect = {400, 40, 700, 120};
    layout.Texts[3].Used = 1;
    layout.Texts[3].Rect = {420, 300, 720, 400};
    return layout;
}

void CardFixture::Open(const QString &file)
{
    dialogs->FileAnswers.push_back(TScriptedDialogs::FileAnswer{file});
    form.RunCommand([this] { form.BitBtn2Click(); });
}

TRichEditBox *CardFixture::Box(int slot) const
{
    return form.ScrollBox1->Surface()->findChild<TRichEditBox *>("AEdit" + QString::number(slot));
}

TShape *CardFixture::MoverShape(const char *name) const
{
    return form.ScrollBox1->Surface()->findChild<TShape *>(name);
}

void CardFixture::Press(QPoint p)
{
    QTest::mousePress(form.windowHandle(), Qt::LeftButton, {}, form.ScrollBox1->Surface()->mapTo(&form, p));
}

void CardFixture::MoveTo(QPoint p)
{
    QTest::mouseMove(form.windowHandle(), form.ScrollBox1->Surface()->mapTo(&form, p));
}

void CardFixture::Release(QPoint p)
{
    QTest::mouseRelease(form.windowHandle(), Qt::LeftButton, {}, form.ScrollBox1->Surface()->mapTo(&form, p));
}

void CardFixture::Drag(QPoint from, QPoint to)
{
    Press(from);
    MoveTo((from + to) / 2);
    MoveTo(to);
    Release(to);
}
