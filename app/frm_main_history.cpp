// Undo and Redo: every edit of the card is a step of its document's
// history; the buttons say which step they take.
#include "app/frm_main.h"

#include "card/card_document.h"

#include <QKeySequence>
#include <QToolButton>

namespace {

// "Undo move of text box 2 (Ctrl+Z)"; just "Undo (Ctrl+Z)" with nothing to undo.
QString HistoryHint(const QString &action, const QString &step, const char *keys)
{
    const QString named = step.isEmpty() ? action : action + QLatin1Char(' ') + step;
    return QStringLiteral("%1 (%2)").arg(named, QKeySequence(QString::fromLatin1(keys)).toString(QKeySequence::NativeText));
}

} // namespace

void Tfrmmain::UndoClick()
{
    if (Document)
        Document->Undo();
}

void Tfrmmain::RedoClick()
{
    if (Document)
        Document->Redo();
}

void Tfrmmain::UpdateHistoryControls()
{
    if (!UndoButton || !RedoButton)
        return;
    const bool canUndo = Document && Document->CanUndo();
    const bool canRedo = Document && Document->CanRedo();
    UndoButton->setEnabled(canUndo);
    RedoButton->setEnabled(canRedo);
    UndoButton->setToolTip(HistoryHint(QStringLiteral("Undo"), canUndo ? Document->UndoText() : QString(), "Ctrl+Z"));
    RedoButton->setToolTip(
        HistoryHint(QStringLiteral("Redo"), canRedo ? Document->RedoText() : QString(), "Ctrl+Shift+Z"));
    UndoButton->setAccessibleDescription(UndoButton->toolTip());
    RedoButton->setAccessibleDescription(RedoButton->toolTip());
}
