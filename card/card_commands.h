#pragma once
// The steps of a card document's history, one class per kind of edit. Each
// keeps what it needs to go both ways and says how much memory it holds, so
// that the history can be bounded by memory.

#include "card/card_document.h"

#include <QUndoCommand>

// Steps that say how much memory they hold and can let go of it once they
// lie below the oldest step kept.
class TCardCommand : public QUndoCommand {
public:
    using QUndoCommand::QUndoCommand;
    virtual qint64 MemoryBytes() const { return 0; }
    virtual void Release() {}
};

// A new layout: a box or frame moved or resized, by mouse or by nudge, or
// the paper changed with everything stretched to it. A run of nudges of the
// same element is one step.
class TLayoutCommand : public TCardCommand {
public:
    TLayoutCommand(TCardDocument *document, const CardLayout &before, const CardLayout &after, const QString &text,
                   std::optional<TCardElement> nudged);
    void undo() override;
    void redo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;
    qint64 MemoryBytes() const override { return qint64(2 * sizeof(CardLayout)); }

private:
    TCardDocument *m_document;
    CardLayout m_before;
    CardLayout m_after;
    std::optional<TCardElement> m_nudged;
};

// Another picture in a frame. Both pictures are kept, so the step goes
// either way however often, before a Save or after it.
class TPictureCommand : public TCardCommand {
public:
    TPictureCommand(TCardDocument *document, int slot, TCardPicturePtr before, TCardPicturePtr after);
    void undo() override;
    void redo() override;
    qint64 MemoryBytes() const override;
    void Release() override;

private:
    TCardDocument *m_document;
    int m_slot;
    TCardPicturePtr m_before;
    TCardPicturePtr m_after;
};

// Typing or formatting in a text box. The box's QTextDocument keeps the
// text's own steps (and merges a run of typing into one); this step stands
// for one of them in the card's history.
class TTextEditCommand : public TCardCommand {
public:
    TTextEditCommand(TCardDocument *document, int slot);
    void undo() override;
    void redo() override;

private:
    TCardDocument *m_document;
    int m_slot;
    bool m_done = true;  // the text changed before the step was pushed
};
