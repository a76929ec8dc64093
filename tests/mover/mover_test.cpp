// The mover driven by synthetic mouse events delivered through the window,
// as the platform would deliver them, so Qt's own routing (implicit grab,
// hidden widgets) is part of what is tested.
#include "mover/mover.h"

#include "controls/shape.h"

#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr const char *kHandles[] = {"ustsol", "ustsag", "ustorta", "solorta",
                                    "sagorta", "altsol", "altsag", "altorta"};

class MoverTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.resize(400, 300);
        mover = new TMover(&form);
        mover->MonotonicClock = [this] { return now; }; // time moves only when a test says so
        container = new QWidget(&form);
        container->setGeometry(10, 10, 380, 280); // offset, so coordinates must be mapped
        mover->AttachTo(container);
        control = new QWidget(container);
        control->setGeometry(20, 30, 100, 50);
        form.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    }

    TShape *shape(const QString &name) const { return container->findChild<TShape *>(name); }
    QRect frame() const { return shape("cerceve")->geometry(); }
    bool handlesVisible() const
    {
        return std::ranges::all_of(kHandles, [&](const char *name) { return shape(name)->isVisible(); });
    }

    // The mouse at a point of the container, sent to the window.
    QPoint at(QPoint p) const { return container->mapTo(&form, p); }
    void press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mousePress(form.windowHandle(), b, {}, at(p)); }
    void moveTo(QPoint p) { QTest::mouseMove(form.windowHandle(), at(p)); }
    void release(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseRelease(form.windowHandle(), b, {}, at(p)); }

    QWidget form;
    QWidget *container = nullptr;
    QWidget *control = nullptr;
    TMover *mover = nullptr;
    qint64 now = 1000;
};

struct EndMove {
    bool moved;
    QPoint xy;
    bool controlHidden;
};

TEST_F(MoverTest, ShapesStackInOrderAndHandlesTouchTheFrame)
{
    const std::pair<const char *, Qt::CursorShape> stacking[] = {
        {"BelirleyiciCerceve", Qt::ArrowCursor}, {"cerceve", Qt::SizeAllCursor},
        {"altsol", Qt::SizeBDiagCursor}, {"ustsol", Qt::SizeFDiagCursor},
        {"ustsag", Qt::SizeBDiagCursor}, {"altsag", Qt::SizeFDiagCursor},
        {"ustorta", Qt::SizeVerCursor}, {"altorta", Qt::SizeVerCursor},
        {"solorta", Qt::SizeHorCursor}, {"sagorta", Qt::SizeHorCursor}};
    const QList<TShape *> shapes = container->findChildren<TShape *>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(shapes.size(), 10);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(shapes[i]->objectName(), stacking[i].first);
        EXPECT_EQ(shapes[i]->cursor().shape(), stacking[i].second) << stacking[i].first;
        EXPECT_FALSE(shapes[i]->isVisible()) << stacking[i].first;
    }
    EXPECT_EQ(shape("cerceve")->toolTip(), "To Move the Object \nHold it in the dot frame\nDrag and Drop");

    EXPECT_FALSE(mover->Select(nullptr));
    ASSERT_TRUE(mover->Select(control));
    EXPECT_EQ(mover->SelectedControl(), control);
    EXPECT_EQ(frame(), QRect(16, 26, 108, 58));
    EXPECT_EQ(shape("ustsol")->geometry(), QRect(9, 19, 7, 7));
    EXPECT_EQ(shape("ustorta")->pos(), QPoint(66, 19));
    EXPECT_EQ(shape("altsag")->pos(), QPoint(124, 84));
    EXPECT_TRUE(handlesVisible());

    mover->Unselect();
    EXPECT_EQ(mover->SelectedControl(), nullptr);
    EXPECT_FALSE(shape("cerceve")->isVisible() || handlesVisible());
}

TEST_F(MoverTest, FrameDragReportsTheMoveBeforeShowingTheControl)
{
    mover->Select(control);
    std::vector<EndMove> ends;
    mover->OnEndMove = [&](QWidget *c, bool moved, QPoint xy) { ends.push_back({moved, xy, c->isHidden()}); };
    const QPoint grab(18, 40); // on the ring left of the control

    press(grab);
    EXPECT_TRUE(control->isHidden());
    EXPECT_FALSE(handlesVisible());
    EXPECT_EQ(shape("cerceve")->penStyle(), Qt::SolidLine);
    EXPECT_EQ(shape("cerceve")->penColor(), QColor(0, 0, 0));
    EXPECT_TRUE(shape("cerceve")->toolTip().isEmpty());
    moveTo(grab + QPoint(7, -2));
    moveTo(grab + QPoint(15, -4));
    EXPECT_EQ(frame(), QRect(31, 22, 108, 58));
    EXPECT_EQ(shape("BelirleyiciCerceve")->geometry(), QRect(16, 26, 108, 58));
    release(grab + QPoint(15, -4));

    ASSERT_EQ(ends.size(), 1u);
    EXPECT_TRUE(ends[0].moved);
    EXPECT_TRUE(ends[0].controlHidden);
    EXPECT_EQ(ends[0].xy, QPoint(2, 14)); // the grab point in the frame
    EXPECT_EQ(control->geometry(), QRect(35, 26, 100, 50));
    EXPECT_TRUE(control->isVisible() && !shape("BelirleyiciCerceve")->isVisible());
    EXPECT_EQ(shape("cerceve")->penStyle(), Qt::DotLine);
    EXPECT_TRUE(shape("cerceve")->isVisible() && handlesVisible());
}

TEST_F(MoverTest, PressWithoutMovingAndDoublePresses)
{
    mover->Select(control);
    std::vector<EndMove> ends;
    int dclicks = 0;
    mover->OnEndMove = [&](QWidget *c, bool moved, QPoint xy) { ends.push_back({moved, xy, c->isHidden()}); };
    mover->OnDClick = [&](TMover *sender) { dclicks += sender == mover; };
    const QPoint ring(70, 28);

    press(ring);
    release(ring);
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_FALSE(ends[0].moved);
    EXPECT_FALSE(ends[0].controlHidden); // shown before it is reported

    now += 199;
    press(ring); // within 200 ms of the first
    release(ring);
    EXPECT_EQ(dclicks, 1);
    EXPECT_EQ(ends.size(), 1u);

    press(ring); // a third quick press is another double press, but this one moves
    moveTo(ring + QPoint(5, 0));
    release(ring + QPoint(5, 0));
    EXPECT_EQ(dclicks, 2);
    ASSERT_EQ(ends.size(), 2u);
    EXPECT_TRUE(ends[1].moved);

    now += 200;
    press(ring + QPoint(5, 0));
    release(ring + QPoint(5, 0));
    EXPECT_EQ(dclicks, 2);
    EXPECT_EQ(ends.size(), 3u);
}

TEST_F(MoverTest, RefusedMovesKeepTheFrameAndTheGrabPointStaysUnderTheMouse)
{
    mover->Select(control);
    bool refuse = true;
    std::vector<QRect> proposed;
    mover->OnMoving = [&](QWidget *c, QRect &r, bool &allow) {
        EXPECT_EQ(c, control);
        proposed.push_back(r);
        allow = !refuse;
        r.moveTop(std::max(r.top(), 20)); // a handler may adjust the step
    };
    const QPoint grab(18, 40);

    press(grab);
    moveTo(grab + QPoint(10, 0));
    moveTo(grab + QPoint(20, 0));
    EXPECT_EQ(frame(), QRect(16, 26, 108, 58));
    refuse = false;
    moveTo(grab + QPoint(25, 2));
    EXPECT_EQ(frame(), QRect(41, 28, 108, 58)); // not 25 beyond the refused steps
    moveTo(grab + QPoint(25, -20));
    EXPECT_EQ(frame(), QRect(41, 20, 108, 58)); // vRect as the handler changed it
    release(grab + QPoint(25, -20));
    ASSERT_EQ(proposed.size(), 4u);
    EXPECT_EQ(proposed[1], QRect(36, 26, 108, 58));
    EXPECT_EQ(control->pos(), QPoint(45, 24));
}

TEST_F(MoverTest, HiddenHandleKeepsTheMouseWhileResizing)
{
    mover->Select(control);
    int resizing = 0, endResizes = 0;
    mover->OnResizing = [&](QWidget *, QRect &, bool &) { ++resizing; };
    mover->OnEndResize = [&](QWidget *c) { endResizes += c == control && c->isHidden(); };
    TShape *topLeft = shape("ustsol");
    const QPoint grab = topLeft->geometry().center();

    press(grab);
    EXPECT_FALSE(topLeft->isVisible());
    EXPECT_TRUE(control->isHidden());
    moveTo(grab + QPoint(4, 3)); // off every shape
    moveTo(grab + QPoint(10, 6)); // over the frame
    EXPECT_EQ(frame(), QRect(26, 32, 98, 52));
    release(grab + QPoint(10, 6));

    EXPECT_EQ(resizing, 2);
    EXPECT_EQ(endResizes, 1);
    EXPECT_EQ(control->geometry(), QRect(30, 36, 90, 44));
    EXPECT_TRUE(control->isVisible() && handlesVisible());
    EXPECT_EQ(topLeft->pos(), QPoint(19, 25));
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);

    // A press and release without moving keeps the control's bounds.
    press(shape("altorta")->geometry().center());
    release(shape("altorta")->geometry().center());
    EXPECT_EQ(endResizes, 2);
    EXPECT_EQ(control->geometry(), QRect(30, 36, 90, 44));
}

TEST_F(MoverTest, HandleDraggedPastTheOppositeEdgeIsNeitherClampedNorSwapped)
{
    mover->Select(control);
    std::vector<QRect> proposed;
    mover->OnResizing = [&](QWidget *, QRect &r, bool &allow) {
        proposed.push_back(r);
        allow = proposed.size() != 2;
    };
    const QPoint grab = shape("sagorta")->geometry().center();

    press(grab);
    moveTo(grab + QPoint(-60, 0));
    moveTo(grab + QPoint(-90, 5)); // refused: the frame stays at the last step
    EXPECT_EQ(frame(), QRect(16, 26, 48, 58));
    moveTo(grab + QPoint(-120, 0));
    ASSERT_EQ(proposed.size(), 3u);
    EXPECT_EQ(proposed[2].left(), 16);
    EXPECT_EQ(proposed[2].width(), -12);
    release(grab + QPoint(-120, 0));
    EXPECT_EQ(control->x(), 20);
    EXPECT_EQ(shape("ustsag")->x(), 4); // handles follow the unclamped frame
}

TEST_F(MoverTest, RightPressHidesHandlesOnTheFrameOnlyAndMovesNothing)
{
    mover->Select(control);
    int ends = 0;
    mover->OnEndMove = [&](QWidget *, bool, QPoint) { ++ends; };
    mover->OnEndResize = [&](QWidget *) { ++ends; };

    press(QPoint(18, 40), Qt::RightButton);
    EXPECT_FALSE(handlesVisible());
    release(QPoint(18, 40), Qt::RightButton);
    EXPECT_TRUE(handlesVisible());

    const QPoint handle = shape("altsag")->geometry().center();
    press(handle, Qt::RightButton);
    EXPECT_TRUE(handlesVisible());
    moveTo(handle + QPoint(20, 20));
    release(handle + QPoint(20, 20), Qt::RightButton);
    EXPECT_EQ(frame(), QRect(16, 26, 108, 58));
    EXPECT_EQ(control->geometry(), QRect(20, 30, 100, 50));
    EXPECT_EQ(ends, 0);
}

TEST_F(MoverTest, SelectionRulesMarginVetoesAndADestroyedControl)
{
    mover->FrameMargin = 0;
    ASSERT_TRUE(mover->Select(control));
    EXPECT_EQ(mover->FrameMargin, 8);
    EXPECT_EQ(frame(), QRect(12, 22, 116, 66));

    auto *other = new QWidget(container);
    QWidget *seen = nullptr;
    mover->OnSelecting = [&](QWidget *c, bool &allow) {
        seen = mover->SelectedControl();
        allow = c != other;
    };
    EXPECT_FALSE(mover->Select(other));
    EXPECT_EQ(seen, other); // the candidate, during the event
    EXPECT_EQ(mover->SelectedControl(), control);
    EXPECT_EQ(frame(), QRect(12, 22, 116, 66));

    mover->OnUnSelecting = [&](QWidget *c, bool &allow) { allow = c != control; };
    mover->Unselect();
    EXPECT_EQ(mover->SelectedControl(), control);
    EXPECT_TRUE(shape("cerceve")->isVisible());

    delete control; // no dangling selection, no frame around nothing
    EXPECT_EQ(mover->SelectedControl(), nullptr);
    EXPECT_FALSE(shape("cerceve")->isVisible() || handlesVisible());
}

TEST_F(MoverTest, SelectedFrameLiesAboveLaterControlsAndAFocusableControlKeepsItsInside)
{
    auto *cover = new QWidget(container);  // created after AttachTo, over the control's corner
    cover->setGeometry(110, 70, 60, 40);
    cover->show();
    ASSERT_TRUE(mover->Select(control));
    EXPECT_EQ(container->childAt(127, 87), shape("altsag"));
    EXPECT_EQ(container->childAt(60, 50), shape("cerceve"));  // a plain control is dragged from inside

    control->setFocusPolicy(Qt::StrongFocus);  // as a text box: presses inside place the caret
    ASSERT_TRUE(mover->Select(control));
    EXPECT_EQ(container->childAt(60, 50), control);
    EXPECT_EQ(container->childAt(18, 50), shape("cerceve"));  // the ring around it
}

TEST_F(MoverTest, NudgeReportsAMoveAsADragDoes)
{
    EXPECT_FALSE(mover->Nudge(1, 0));  // nothing selected
    mover->Select(control);
    std::vector<QRect> proposed;
    std::vector<EndMove> ends;
    bool allow = true;
    mover->OnMoving = [&](QWidget *, QRect &rect, bool &allowed) {
        proposed.push_back(rect);
        allowed = allow;
    };
    mover->OnEndMove = [&](QWidget *c, bool moved, QPoint xy) { ends.push_back({moved, xy, c->isHidden()}); };

    EXPECT_TRUE(mover->Nudge(10, -1));
    EXPECT_EQ(proposed, std::vector<QRect>({QRect(26, 25, 108, 58)}));
    EXPECT_EQ(control->pos(), QPoint(30, 29));
    EXPECT_EQ(frame(), QRect(26, 25, 108, 58));
    EXPECT_EQ(shape("ustsol")->pos(), QPoint(19, 18));
    ASSERT_EQ(ends.size(), 1u);
    EXPECT_TRUE(ends[0].moved && !ends[0].controlHidden);

    allow = false;  // a refused step moves nothing and reports no end
    EXPECT_FALSE(mover->Nudge(1, 0));
    EXPECT_EQ(control->pos(), QPoint(30, 29));
    EXPECT_EQ(ends.size(), 1u);
}

} // namespace
