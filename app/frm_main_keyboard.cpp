// The keyboard on the design surface: Escape ends editing, the arrow keys
// move the selected control, Tab walks the text boxes in slot order. The
// command shortcuts are made with the toolbar (frm_main.cpp).
#include "app/frm_main.h"

#include "mover/mover.h"
#include "richtext/rich_edit_box.h"

#include <QShortcut>
#include <QToolButton>

void Tfrmmain::StartKeyboard()
{
    const auto add = [this](QKeySequence keys, std::function<void()> action) {
        auto *shortcut = new QShortcut(keys, this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, action] { RunCommand(action); });
    };
    // As a click on the bare card: the selection goes, the caret with it.
    add(QKeySequence(Qt::Key_Escape), [this] { Card_Edit1Click(); });
    // The change-picture button never takes the focus, so the keyboard
    // reaches it through its own keys.
    add(ChangePictureKeys, [this] { SpeedButton1Click(); });

    // A text box with the caret keeps the plain and shifted arrows for the
    // caret and the selection (it claims them before any shortcut); with Alt
    // they move the box.
    struct Arrow {
        Qt::Key Key;
        int Dx, Dy;
    };
    const Arrow arrows[] = {{Qt::Key_Left, -1, 0}, {Qt::Key_Right, 1, 0}, {Qt::Key_Up, 0, -1}, {Qt::Key_Down, 0, 1}};
    for (const Arrow &arrow : arrows) {
        for (const Qt::KeyboardModifiers alt : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::AltModifier)}) {
            add(QKeyCombination(alt, arrow.Key), [=, this] { NudgeSelection(arrow.Dx, arrow.Dy); });
            add(QKeyCombination(alt | Qt::ShiftModifier, arrow.Key),
                [=, this] { NudgeSelection(NudgeStepWithShift * arrow.Dx, NudgeStepWithShift * arrow.Dy); });
        }
    }
}

void Tfrmmain::NudgeSelection(int dx, int dy)
{
    // The mover reports the step as it reports a drag of the frame; a run
    // of them on one control is one step of the history.
    if (!Mover)
        return;
    m_nudging = true;
    Mover->Nudge(dx, dy);
    m_nudging = false;
}

void Tfrmmain::ChainTextBox(TRichEditBox *box)
{
    // Tab leaves the box rather than typing a tab into the card's text, and
    // goes from the toolbar through the boxes in slot order.
    box->setTabChangesFocus(true);
    const QList<TRichEditBox *> boxes = TextBoxes();
    const qsizetype index = boxes.indexOf(box);
    setTabOrder(index > 0 ? static_cast<QWidget *>(boxes[index - 1]) : BitBtn8, box);
}
