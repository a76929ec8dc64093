// The card document and its history, without a window: every kind of edit
// undone gives back the card exactly as Save would write it, redone gives
// the edited card; random runs of edits undo to the opened card; the
// history's pictures stay within their memory bound.
#include "card/card_document.h"
#include "card/card_file.h"
#include "tests/support/card_fixture.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>

#include <functional>

namespace {

// The card as Save writes it: the layout's bytes, each box's RTF and the
// bytes of every picture the card holds.
struct TSaved {
    QByteArray Layout;
    std::array<QByteArray, TextSlotCount> Texts;
    std::array<QByteArray, PictureSlotCount> Pictures;
    bool operator==(const TSaved &) const = default;
};

TSaved SavedForm(const TCardDocument &document)
{
    const TCardContent content = document.Content();
    TSaved saved;
    const CardLayoutBytes layout = LayoutToBytes(content.Layout);
    saved.Layout = QByteArray(reinterpret_cast<const char *>(layout.data()), qsizetype(layout.size()));
    for (int n = 0; n < TextSlotCount; ++n)
        saved.Texts[std::size_t(n)] = content.Texts[std::size_t(n)].value_or(QByteArray());
    for (int i = 0; i < PictureSlotCount; ++i) {
        // A picture never changed is the folder's; one put back is its bytes.
        const QImage shown = document.FramePicture(i);
        saved.Pictures[std::size_t(i)] =
            QByteArray(reinterpret_cast<const char *>(shown.constBits()), qsizetype(shown.sizeInBytes()));
    }
    return saved;
}

QImage Plain(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

class CardDocument : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        TFixtureCard card;
        card.Texts = FiveFixtureTexts(card.Width, card.Height);
        WriteFixtureCard(Folder(), card);
        document = TCardDocument::Open(Folder() + "template.bmp");
    }
    QString Folder() const { return dir.path() + "/MyCard/Sample/"; }

    static constexpr TCardElement Box(int slot) { return {TCardElement::TKind::TextBox, slot, 0}; }
    static constexpr TCardElement Frame() { return {TCardElement::TKind::PictureFrame, 0, 0}; }

    // Types `text` a character at a time at the end of a box, as the box's
    // keyboard does.
    void Type(int slot, const QString &text)
    {
        QTextCursor cursor(document->Text(slot));
        cursor.movePosition(QTextCursor::End);
        for (QChar c : text)
            cursor.insertText(QString(c));
    }
    void Bold(int slot)
    {
        QTextCursor cursor(document->Text(slot));
        cursor.select(QTextCursor::Document);
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        cursor.mergeCharFormat(bold);
    }
    void Delete(int slot)
    {
        QTextCursor cursor(document->Text(slot));
        cursor.movePosition(QTextCursor::End);
        cursor.deletePreviousChar();
    }
    void Move(const TCardElement &element, int dx, int dy, TCardDocument::TMoveKind kind)
    {
        SlotRect r = document->ElementRect(element);
        r.Left += dx;
        r.Right += dx;
        r.Top += dy;
        r.Bottom += dy;
        document->MoveElement(element, r, kind);
    }
    void Resize(const TCardElement &element, int dw, int dh)
    {
        SlotRect r = document->ElementRect(element);
        r.Right += dw;
        r.Bottom += dh;
        document->MoveElement(element, r, TCardDocument::TMoveKind::Resize);
    }
    void PaperSet(int width, int height)
    {
        CardLayout layout = document->Layout();
        layout.Paper.CardWidth = width;
        layout.Paper.CardHeight = height;
        layout.Paper.PaperIndex = 10;
        document->ChangeLayout(layout, "paper set");
    }
    void UndoAll()
    {
        while (document->CanUndo())
            document->Undo();
    }
    void RedoAll()
    {
        while (document->CanRedo())
            document->Redo();
    }

    QTemporaryDir dir;
    std::unique_ptr<TCardDocument> document;
};

TEST_F(CardDocument, EachKindOfEditIsUndoneExactlyAndRedoneAsOneNamedStep)
{
    const TSaved opened = SavedForm(*document);
    EXPECT_FALSE(document->IsModified());
    EXPECT_FALSE(document->CanUndo());
    struct TEdit {
        const char *Step;
        std::function<void()> Run;
    };
    const TEdit edits[] = {
        {"move of text box 3", [&] { Move(Box(2), -20, 15, TCardDocument::TMoveKind::Move); }},
        {"resize of text box 1", [&] { Resize(Box(0), 30, -10); }},
        {"move of picture frame 1", [&] { Move(Frame(), 40, 30, TCardDocument::TMoveKind::Move); }},
        {"resize of picture frame 1", [&] { Resize(Frame(), -50, 20); }},
        {"move of text box 5",
         [&] {
             for (int i = 0; i < 7; ++i)
                 Move(Box(4), 1, i % 2, TCardDocument::TMoveKind::Nudge);
         }},
        {"edit of text box 2", [&] { Type(1, "Hello"); }},
        {"edit of text box 4", [&] { Bold(3); }},
        {"edit of text box 1", [&] { Delete(0); }},
        {"change of picture in picture frame 1",
         [&] { document->ChangePicture(0, ChosenCardPicture(Plain(40, 30, qRgb(0, 200, 0)))); }},
        {"paper set", [&] { PaperSet(1000, 700); }},
    };
    for (const TEdit &edit : edits) {
        SCOPED_TRACE(edit.Step);
        const int steps = document->History().index();
        edit.Run();
        ASSERT_EQ(document->History().index(), steps + 1) << "one step";
        ASSERT_EQ(document->History().count(), steps + 1);
        EXPECT_EQ(document->UndoText(), edit.Step);
        EXPECT_TRUE(document->IsModified());
        const TSaved edited = SavedForm(*document);
        const QImage picture = document->Picture();
        ASSERT_NE(edited, opened);
        document->Undo();
        EXPECT_EQ(SavedForm(*document), opened);
        EXPECT_FALSE(document->IsModified()) << "back at the opened card";
        document->Redo();
        EXPECT_EQ(SavedForm(*document), edited);
        EXPECT_EQ(document->Picture(), picture);
        document->Undo();
    }
}

TEST_F(CardDocument, TypingIsOneStepPerWordAndNudgesOfOneElementMerge)
{
    Type(1, "Dear Ann, hello");
    EXPECT_EQ(document->History().count(), 3);  // "Dear ", "Ann, ", "hello"
    Move(Frame(), 1, 0, TCardDocument::TMoveKind::Nudge);
    Move(Frame(), 0, 10, TCardDocument::TMoveKind::Nudge);
    Move(Box(0), 1, 0, TCardDocument::TMoveKind::Nudge);  // another element: a step of its own
    EXPECT_EQ(document->History().count(), 5);
    Type(1, " there");  // after other steps: new steps, never merged into old ones
    EXPECT_EQ(document->History().count(), 7);
    document->Undo();
    document->Undo();
    EXPECT_TRUE(document->Text(1)->toPlainText().endsWith("hello"));
    document->Undo();
    document->Undo();
    EXPECT_EQ(document->ElementRect(Frame()).Left, 60);
    EXPECT_EQ(document->ElementRect(Frame()).Top, 50);
}

TEST_F(CardDocument, SavingMakesTheCardCleanAndUndoingPastTheSaveMakesItChangedAgain)
{
    Move(Frame(), 10, 0, TCardDocument::TMoveKind::Move);
    Type(0, "x");
    document->Save();
    EXPECT_FALSE(document->IsModified());
    EXPECT_EQ(ReadCardFile(Folder() + "Card.crd", FreshLayout()).Pictures[0].Rect.Left, 70);
    document->Undo();
    EXPECT_TRUE(document->IsModified());
    document->Redo();
    EXPECT_FALSE(document->IsModified());
}

TEST_F(CardDocument, AnImpossibleCardSizeIsRefusedBeforeAnythingChanges)
{
    const TSaved opened = SavedForm(*document);
    EXPECT_THROW(PaperSet(0, 700), ECardError);
    EXPECT_EQ(SavedForm(*document), opened);
    EXPECT_FALSE(document->CanUndo());
}

// A few hundred random runs of edits, undos and redos: undoing everything
// always gives the opened card, redoing everything the last edited one, and
// undoing back to where a run ended gives the card as it was then.
TEST_F(CardDocument, RandomRunsOfEditsUndoToTheOpenedCardAndRedoToTheLastOne)
{
    // A small card: the runs recompose it thousands of times.
    const QString small = dir.path() + "/MyCard/Small/";
    TFixtureCard card;
    card.Width = 240;
    card.Height = 180;
    card.PictureRect = {20, 15, 120, 90};
    card.Texts = FiveFixtureTexts(card.Width, card.Height);
    WriteFixtureCard(small, card);
    document = TCardDocument::Open(small + "template.bmp");
    const TSaved opened = SavedForm(*document);
    QRandomGenerator random(20261210);
    const auto pick = [&random](int below) { return int(random.bounded(below)); };
    for (int run = 0; run < 300; ++run) {
        SCOPED_TRACE(run);
        document = TCardDocument::Open(small + "template.bmp");
        // Some runs start where a first batch of edits and undos left them.
        const int length = 1 + pick(24);
        for (int i = 0; i < length; ++i) {
            switch (pick(10)) {
            case 0: Move(Box(pick(TextSlotCount)), pick(41) - 20, pick(41) - 20, TCardDocument::TMoveKind::Move); break;
            case 1: Resize(pick(2) ? Box(pick(TextSlotCount)) : Frame(), pick(21) - 10, pick(21) - 10); break;
            case 2: Move(Frame(), pick(5) - 2, pick(5) - 2, TCardDocument::TMoveKind::Nudge); break;
            case 3: Type(pick(TextSlotCount), pick(2) ? "ab " : "c"); break;
            case 4: Bold(pick(TextSlotCount)); break;
            case 5: Delete(pick(TextSlotCount)); break;
            case 6:
                document->ChangePicture(0, ChosenCardPicture(Plain(4 + pick(8), 3 + pick(8), qRgb(pick(256), 0, 90))));
                break;
            case 7: PaperSet(200 + pick(80), 150 + pick(60)); break;
            case 8: document->Undo(); break;
            case 9: document->Redo(); break;
            }
        }
        // Where the run ended (some steps maybe undone), and the last card its
        // edits made.
        const TSaved ended = SavedForm(*document);
        const int endedAt = document->History().index();
        RedoAll();
        const TSaved last = SavedForm(*document);
        UndoAll();
        ASSERT_EQ(SavedForm(*document), opened);
        ASSERT_FALSE(document->IsModified());
        RedoAll();
        ASSERT_EQ(SavedForm(*document), last);
        while (document->History().index() > endedAt)
            document->Undo();
        ASSERT_EQ(SavedForm(*document), ended);
    }
}

// Twenty 24-megapixel photos one after another: the history keeps what fits
// into its bound, dropping the oldest steps, and lets go of their pictures.
TEST_F(CardDocument, TheHistorysPicturesStayWithinTheMemoryBoundOldestDroppedFirst)
{
    std::vector<std::weak_ptr<const TCardPicture>> chosen;
    for (int i = 0; i < 20; ++i) {
        TCardPicturePtr photo = ChosenCardPicture(Plain(6000, 4000, qRgb(10 * i, 100, 200)));
        chosen.push_back(photo);
        document->ChangePicture(0, std::move(photo));
        ASSERT_LE(document->HistoryMemory(), TCardDocument::DefaultHistoryMemory);
    }
    int alive = 0;
    for (const auto &photo : chosen)
        alive += photo.expired() ? 0 : 1;
    // 96 MB each: two kept by the history (256 MB), plus the one on show.
    EXPECT_LE(alive, 3);
    EXPECT_FALSE(chosen.back().expired());
    int undone = 0;
    while (document->CanUndo()) {
        document->Undo();
        ++undone;
    }
    EXPECT_GE(undone, 1);
    EXPECT_LT(undone, 20);
    EXPECT_EQ(document->FramePicture(0).pixel(0, 0), qRgb(10 * (19 - undone), 100, 200));
}

} // namespace
