#include "tests/support/main_window_fixture.h"

#include "card/card_document.h"
#include "card/card_geometry.h"
#include "controls/Card_Edit.h"
#include "controls/scrollbox.h"
#include "controls/shape.h"
#include "richtext/rich_edit_box.h"

#include <QDir>
#include <QTest>

void TMainWindowTest::SetUp()
{
    ASSERT_TRUE(QDir().mkpath(Program() + "MyCard"));
    form.SetPlaces(PlacesBeside(Program()));
    // Open goes straight to its file dialog, as "Another folder..." in My cards does.
    form.ShowMyCards = [](const QString &) { return Tfrmmain::TMyCardsAnswer{.AnotherFolder = true}; };
    auto scripted = std::make_unique<TScriptedDialogs>();
    dialogs = scripted.get();
    form.SetDialogs(std::move(scripted));
    form.show();
    form.activateWindow();  // shortcuts work in the active window only
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
}

void TMainWindowTest::Open(const QString &crdFile)
{
    dialogs->FileAnswers.push_back(TScriptedDialogs::FileAnswer{crdFile});
    form.RunCommand([this] { form.BitBtn2Click(); });
}

void TMainWindowTest::Save()
{
    form.RunCommand([this] { form.BitBtn3Click(); });
}

void TMainWindowTest::SaveAs(const QString &file, int filterIndex)
{
    dialogs->FileAnswers.push_back(TScriptedDialogs::FileAnswer{file, filterIndex});
    form.RunCommand([this] { form.BitBtn4Click(); });
}

TRichEditBox *TMainWindowTest::Box(int slot) const
{
    return form.ScrollBox1->Surface()->findChild<TRichEditBox *>("AEdit" + QString::number(slot));
}

TShape *TMainWindowTest::Shape(const char *objectName) const
{
    return form.ScrollBox1->Surface()->findChild<TShape *>(objectName);
}

void TMainWindowTest::Mouse(std::initializer_list<QPoint> points)
{
    const auto at = [this](QPoint p) { return form.ScrollBox1->Surface()->mapTo(&form, p); };
    QTest::mousePress(form.windowHandle(), Qt::LeftButton, {}, at(*points.begin()));
    for (QPoint p : points)
        QTest::mouseMove(form.windowHandle(), at(p));
    QTest::mouseRelease(form.windowHandle(), Qt::LeftButton, {}, at(*std::prev(points.end())));
}

void TMainWindowTest::MoveBox(int slot, QPoint by)
{
    ASSERT_TRUE(form.Document && Box(slot));
    const SlotRect to = ControlToSlotRect(Box(slot)->geometry().translated(by), form.Card_Edit1->pos());
    form.RunCommand([&] {
        form.Document->MoveElement({TCardElement::TKind::TextBox, slot, 0}, to, TCardDocument::TMoveKind::Move);
    });
}

QRect TMainWindowTest::RectOf(const SlotRect &rect)
{
    return QRect(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top);
}
