#pragma once
// The open card: everything a card is (its folder, its layout record, one
// text document per text box, its pictures) and the only way to change it.
// Every edit is a command on the document's history, a QUndoStack, so every
// edit can be undone, and the card has unsaved changes exactly while the
// history stands away from the point where it was opened or last saved.
//
// No widgets: the window shows the document (its text boxes edit the
// document's own QTextDocuments) and sends every other edit here. A changed
// picture is kept in the document until Save writes it, so the card's own
// files change only when the user saves.

#include "card/card_compose.h"
#include "card/card_layout.h"
#include "card/card_painter.h"

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QString>
#include <QUndoStack>

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QTextDocument;

// Something on a card face that the user moves and sizes.
struct TCardElement {
    enum class TKind { TextBox, PictureFrame };
    TKind Kind = TKind::TextBox;
    int Slot = 0;
    // 0 is the front face, the one Card.crd describes.
    int Face = 0;
    bool operator==(const TCardElement &) const = default;
};
// "text box 2", "picture frame 1": the element as the user counts, for the
// names of undo steps.
QString ElementName(const TCardElement &element);

// A picture put into a frame, kept until Save writes it. Shared between the
// document and the history's steps, which all hold it read-only.
struct TCardPicture {
    QImage Image;          // opaque, as the card is composed from it
    QByteArray FileBytes;  // what Save writes; empty: Image as a 24-bit BMP
    bool KeepsProportions = false;  // cut to its frame's shape, marked so beside it
    qint64 MemoryBytes() const { return Image.sizeInBytes() + FileBytes.size(); }
    QByteArray Bytes() const;
};
using TCardPicturePtr = std::shared_ptr<const TCardPicture>;
// The picture the user chose, as its BMP file will hold it (any
// transparency laid on white).
TCardPicturePtr ChosenCardPicture(const QImage &picture, bool keepsProportions = false);

// What the document holds of one face of a card (TCardFace; 0 is the
// outside, which Card.crd describes): its text boxes and its picture frames.
struct TFaceContent {
    // The document of each text box; null where the slot holds no box.
    std::array<std::unique_ptr<QTextDocument>, TextSlotCount> Texts;
    // A picture the user put into a frame since the card was saved; null
    // while the frame shows the card folder's own file.
    std::array<TCardPicturePtr, PictureSlotCount> ChangedPictures;
};

// A card as plain data: what Save writes and what crash recovery keeps.
struct TCardContent {
    CardLayout Layout;                                       // as Save writes it
    std::array<std::optional<QByteArray>, TextSlotCount> Texts;  // RTF of each box
    std::array<TCardPicturePtr, PictureSlotCount> ChangedPictures;
};

class TCardDocument : public QObject {
    Q_OBJECT
public:
    // Reads the card whose background is `backgroundPath` (its template.bmp):
    // its Card.crd (a default one is written when there is none), its
    // pictures and the text of every used slot. With `unsaved`, that content
    // takes the place of the saved one, as changes not saved yet. Raises
    // ECardError naming the file that stopped it.
    static std::unique_ptr<TCardDocument> Open(const QString &backgroundPath,
                                               const std::optional<TCardContent> &unsaved = std::nullopt);
    ~TCardDocument() override;

    QString BackgroundPath() const { return m_backgroundPath; }
    // The card folder, ending in '/'.
    QString Folder() const { return m_folder; }
    // The card's name: its folder's.
    QString Name() const;

    // The layout with every box and frame where it stands now.
    const CardLayout &Layout() const { return m_layout; }
    // The composed card (pictures under the background).
    const QImage &Picture() const { return m_picture; }
    // The picture a frame shows: the one put in, or the folder's file.
    QImage FramePicture(int slot) const;

    int FaceCount() const { return int(m_faces.size()); }
    const TFaceContent &Face(int face) const { return m_faces[std::size_t(face)]; }
    // A text box's document, null when the slot holds no box.
    QTextDocument *Text(int slot, int face = 0) const;
    bool HasElement(const TCardElement &element) const;
    SlotRect ElementRect(const TCardElement &element) const;

    // Edits, each one step of the history. Raise ECardError, changing
    // nothing, when the card cannot be composed the new way.
    enum class TMoveKind { Move, Resize, Nudge };
    void MoveElement(const TCardElement &element, const SlotRect &to, TMoveKind kind);
    // A whole new layout (Paper Set), named by `what` ("paper set").
    void ChangeLayout(const CardLayout &layout, const QString &what);
    void ChangePicture(int slot, TCardPicturePtr picture);
    // Typing and formatting in the boxes become steps by themselves.

    // The history. Undo and redo stop at the oldest step kept.
    QUndoStack &History() { return m_history; }
    bool CanUndo() const;
    bool CanRedo() const { return m_history.canRedo(); }
    QString UndoText() const { return CanUndo() ? m_history.undoText() : QString(); }
    QString RedoText() const { return m_history.redoText(); }
    void Undo();
    void Redo();
    // Pictures kept by the history beyond this are dropped, oldest steps
    // first, so that a run of photos cannot exhaust memory.
    static constexpr qint64 DefaultHistoryMemory = qint64(256) * 1024 * 1024;
    void SetHistoryMemoryLimit(qint64 bytes);
    qint64 HistoryMemory() const;

    // True while the card differs from its folder.
    bool IsModified() const { return !m_history.isClean(); }

    // The layout as Save writes it: a text slot is used exactly when it
    // holds a box, and names its N.rtf.
    CardLayout LayoutAsSaved() const;
    // The card as Save writes it.
    TCardContent Content() const;
    // The files Save writes (pictures, texts, Card.crd last), for one
    // atomic write of them all. Raises ECardError for a picture name that
    // leads out of the card folder.
    std::vector<std::pair<QString, QByteArray>> FilesToSave() const;
    // Writes them and takes the card as it is now as the saved one.
    void Save();
    // After the files were written by the caller.
    void MarkSaved();

signals:
    // A box or frame moved, or the paper changed: the window places its controls.
    void LayoutChanged();
    // The composed card changed.
    void PictureChanged();
    // Anything changed, by an edit, an undo or a redo.
    void Changed();

private:
    friend class TLayoutCommand;
    friend class TPictureCommand;
    friend class TTextEditCommand;

    TCardDocument() = default;
    void WatchText(int slot);
    void Push(QUndoCommand *command);
    // Applied by the commands; they cannot fail on a file.
    void ApplyLayout(const CardLayout &layout);
    void ApplyPicture(int slot, const TCardPicturePtr &picture);
    void Recompose();
    // The next typing starts a step of its own.
    void EndTypingSteps(int exceptSlot = -1);
    void DropOldSteps();

    QString m_backgroundPath;
    QString m_folder;
    CardLayout m_layout;
    std::vector<TFaceContent> m_faces;
    TCardPictures m_folderImages;   // the pictures as the folder holds them
    TCardPictures m_images;         // as the card shows them now
    QImage m_picture;
    // The pictures as the folder holds them since the last Save.
    std::array<TCardPicturePtr, PictureSlotCount> m_savedPictures;
    QUndoStack m_history;
    int m_oldestKept = 0;         // the history's index below which nothing can be undone
    qint64 m_memoryLimit = DefaultHistoryMemory;
    bool m_replaying = false;     // undo or redo running
};
