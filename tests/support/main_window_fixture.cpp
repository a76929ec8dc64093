#include "tests/support/main_window_fixture.h"

#include "controls/scrollbox.h"

#include <QTest>

void TMainWindowTest::SetUp()
{
    form.ProgramFolder = dir.path() + "/";
    auto scripted = std::make_unique<TScriptedDialogs>();
    dialogs = scripted.get();
    form.SetDialogs(std::move(scripted));
    form.show();
    form.activateWindow();  // shortcuts work in the active window only
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
}

void TMainWindowTest::Mouse(std::initializer_list<QPoint> points)
{
    const auto at = [this](QPoint p) { return form.ScrollBox1->Surface()->mapTo(&form, p); };
    QTest::mousePress(form.windowHandle(), Qt::LeftButton, {}, at(*points.begin()));
    for (QPoint p : points)
        QTest::mouseMove(form.windowHandle(), at(p));
    QTest::mouseRelease(form.windowHandle(), Qt::LeftButton, {}, at(*std::prev(points.end())));
}

QRect TMainWindowTest::RectOf(const SlotRect &rect)
{
    return QRect(rect.Left, rect.Top, rect.Right - rect.Left, rect.Bottom - rect.Top);
}
