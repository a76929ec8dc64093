#include "card/card_commands.h"

#include <QTextDocument>

namespace {

// QUndoStack merges only steps of the same id.
constexpr int NudgeId = 1;

} // namespace

TLayoutCommand::TLayoutCommand(TCardDocument *document, const CardLayout &before, const CardLayout &after,
                               const QString &text, std::optional<TCardElement> nudged)
    : m_document(document), m_before(before), m_after(after), m_nudged(nudged)
{
    setText(text);
}

void TLayoutCommand::undo() { m_document->ApplyLayout(m_before); }

void TLayoutCommand::redo() { m_document->ApplyLayout(m_after); }

int TLayoutCommand::id() const { return m_nudged ? NudgeId : -1; }

bool TLayoutCommand::mergeWith(const QUndoCommand *other)
{
    const auto *next = dynamic_cast<const TLayoutCommand *>(other);
    if (!next || !m_nudged || next->m_nudged != m_nudged)
        return false;
    m_after = next->m_after;
    return true;
}

TPictureCommand::TPictureCommand(TCardDocument *document, int slot, TCardPicturePtr before, TCardPicturePtr after)
    : m_document(document), m_slot(slot), m_before(std::move(before)), m_after(std::move(after))
{
    setText(QStringLiteral("change of picture in %1")
                .arg(ElementName({TCardElement::TKind::PictureFrame, slot, 0})));
}

void TPictureCommand::undo() { m_document->ApplyPicture(m_slot, m_before); }

void TPictureCommand::redo() { m_document->ApplyPicture(m_slot, m_after); }

qint64 TPictureCommand::MemoryBytes() const
{
    // The picture before is counted by the step that put it in, or is the
    // folder's own file, which the document holds anyway.
    return m_after ? m_after->MemoryBytes() : 0;
}

void TPictureCommand::Release()
{
    m_before.reset();
    m_after.reset();
}

TTextEditCommand::TTextEditCommand(TCardDocument *document, int slot) : m_document(document), m_slot(slot)
{
    setText(QStringLiteral("edit of %1").arg(ElementName({TCardElement::TKind::TextBox, slot, 0})));
}

void TTextEditCommand::undo()
{
    m_document->Text(m_slot)->undo();
    m_done = false;
}

void TTextEditCommand::redo()
{
    // Pushed after the box has changed: the first redo has nothing to do.
    if (m_done)
        return;
    m_document->Text(m_slot)->redo();
    m_done = true;
}
