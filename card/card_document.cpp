#include "card/card_document.h"

#include "card/card_paths.h"

#include "card/card_commands.h"
#include "card/card_compose.h"
#include "card/card_file.h"
#include "card/card_geometry.h"
#include "card/card_open.h"
#include "card/picture_fit.h"
#include "imaging/atomicfile.h"
#include "imaging/regularfile.h"
#include "pictures/bmp_file.h"
#include "richtext/rtf.h"

#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTextDocument>

namespace {

std::unique_ptr<QTextDocument> TextFromRtf(const QByteArray &rtf, const QString &fileName)
{
    auto doc = std::make_unique<QTextDocument>();
    QString why;
    if (!ReadRtfOrPlainText(rtf, doc.get(), &why))
        throw ECardError(QStringLiteral("Cannot read file \"%1\". %2").arg(fileName, why));
    // The text starts at the box's edge, on screen as on the finished card.
    doc->setDocumentMargin(0);
    // Laid out from the start, so that every change is reported with its
    // place (contentsChange), which ends a step of typing at a word's end.
    doc->documentLayout();
    // Reading is no step the user could undo.
    doc->clearUndoRedoStacks();
    doc->setModified(false);
    return doc;
}

std::string LocalName(const QString &path) { return QFile::encodeName(path).toStdString(); }

// A QTextDocument merges typing into its last step only while it counts
// itself modified since that step; the card keeps its own modified state in
// its history. Set twice: setModified(false) on an unmodified document does
// not move the point it counts from.
void EndTyping(QTextDocument *doc)
{
    doc->setModified(true);
    doc->setModified(false);
}

} // namespace

QString ElementName(const TCardElement &element)
{
    const QString kind = element.Kind == TCardElement::TKind::TextBox ? QStringLiteral("text box")
                                                                       : QStringLiteral("picture frame");
    return QStringLiteral("%1 %2").arg(kind).arg(element.Slot + 1);
}

QByteArray TCardPicture::Bytes() const
{
    return FileBytes.isEmpty() ? PictureBmpBytes(Image) : FileBytes;
}

TCardPicturePtr ChosenCardPicture(const QImage &picture, bool keepsProportions)
{
    auto chosen = std::make_shared<TCardPicture>();
    chosen->KeepsProportions = keepsProportions;
    if (picture.hasAlphaChannel()) {
        // As the BMP file will hold it: transparent parts on white.
        QImage opaque(picture.size(), QImage::Format_RGB32);
        opaque.fill(Qt::white);
        QPainter painter(&opaque);
        painter.drawImage(0, 0, picture);
        painter.end();
        chosen->Image = opaque;
    } else {
        chosen->Image = picture.convertToFormat(QImage::Format_RGB32);
    }
    return chosen;
}

std::unique_ptr<TCardDocument> TCardDocument::Open(const QString &backgroundPath,
                                                   const std::optional<TCardContent> &unsaved)
{
    std::unique_ptr<TCardDocument> document(new TCardDocument);
    TCardDocument &d = *document;
    d.m_backgroundPath = backgroundPath;
    d.m_folder = FolderOf(backgroundPath);
    d.m_layout = LoadCardLayout(backgroundPath);
    if (unsaved)
        d.m_layout = unsaved->Layout;
    CheckCardSize(d.m_layout.Paper.CardWidth, d.m_layout.Paper.CardHeight);
    d.m_folderImages = LoadCardPictures(d.m_layout, d.m_folder);
    d.m_images = d.m_folderImages;

    d.m_faces.resize(1);
    TFaceContent &front = d.m_faces.front();
    for (int n = 0; n < TextSlotCount; ++n) {
        const QString fileName = d.m_folder + QString::number(n) + QStringLiteral(".rtf");
        if (unsaved && unsaved->Texts[std::size_t(n)])
            front.Texts[std::size_t(n)] = TextFromRtf(*unsaved->Texts[std::size_t(n)], fileName);
        else if (d.m_layout.Texts[n].Used != 0)
            front.Texts[std::size_t(n)] = TextFromRtf(ReadCardText(d.m_folder, n), fileName);
    }
    if (unsaved) {
        for (int i = 0; i < PictureSlotCount; ++i) {
            front.ChangedPictures[std::size_t(i)] = unsaved->ChangedPictures[std::size_t(i)];
            if (const TCardPicturePtr &picture = unsaved->ChangedPictures[std::size_t(i)]) {
                d.m_images.Pictures[std::size_t(i)] = picture->Image;
                d.m_images.KeepsProportions[std::size_t(i)] = picture->KeepsProportions;
            }
        }
    }
    d.m_picture = ComposeCard(d.m_layout, d.m_images);
    for (int n = 0; n < TextSlotCount; ++n) {
        if (d.Text(n))
            d.WatchText(n);
    }
    connect(&d.m_history, &QUndoStack::indexChanged, &d, [&d] { emit d.Changed(); });
    // Brought back after a crash, the card differs from its folder until saved.
    if (unsaved)
        d.m_history.resetClean();
    return document;
}

TCardDocument::~TCardDocument()
{
    // The steps refer to the texts: they go first.
    m_history.clear();
}

QString TCardDocument::Name() const
{
    return QDir(m_folder).dirName();
}

QImage TCardDocument::FramePicture(int slot) const
{
    return m_images.Pictures[std::size_t(slot)];
}

QTextDocument *TCardDocument::Text(int slot, int face) const
{
    if (face < 0 || face >= FaceCount() || slot < 0 || slot >= TextSlotCount)
        return nullptr;
    return m_faces[std::size_t(face)].Texts[std::size_t(slot)].get();
}

bool TCardDocument::HasElement(const TCardElement &element) const
{
    if (element.Face != 0 || element.Slot < 0)
        return false;
    if (element.Kind == TCardElement::TKind::TextBox)
        return Text(element.Slot) != nullptr;
    return element.Slot < PictureSlotCount && m_layout.Pictures[element.Slot].Used != 0;
}

SlotRect TCardDocument::ElementRect(const TCardElement &element) const
{
    if (!HasElement(element))
        return {};
    return element.Kind == TCardElement::TKind::TextBox ? m_layout.Texts[element.Slot].Rect
                                                        : m_layout.Pictures[element.Slot].Rect;
}

void TCardDocument::MoveElement(const TCardElement &element, const SlotRect &to, TMoveKind kind)
{
    if (!HasElement(element))
        return;
    CardLayout after = m_layout;
    SlotRect &rect = element.Kind == TCardElement::TKind::TextBox ? after.Texts[element.Slot].Rect
                                                                  : after.Pictures[element.Slot].Rect;
    if (RectsEqual(rect, to))
        return;
    rect = to;
    const QString what = kind == TMoveKind::Resize ? QStringLiteral("resize of %1") : QStringLiteral("move of %1");
    Push(new TLayoutCommand(this, m_layout, after, what.arg(ElementName(element)),
                            kind == TMoveKind::Nudge ? std::optional(element) : std::nullopt));
}

void TCardDocument::ChangeLayout(const CardLayout &layout, const QString &what)
{
    if (LayoutToBytes(layout) == LayoutToBytes(m_layout))
        return;
    // A size no card can have is refused before anything changes.
    if (!LayoutsEqual(layout, m_layout))
        CheckCardSize(layout.Paper.CardWidth, layout.Paper.CardHeight);
    Push(new TLayoutCommand(this, m_layout, layout, what, std::nullopt));
}

void TCardDocument::ChangePicture(int slot, TCardPicturePtr picture)
{
    if (slot < 0 || slot >= PictureSlotCount || m_layout.Pictures[slot].Used == 0 || !picture)
        return;
    TCardPicturePtr before = m_faces.front().ChangedPictures[std::size_t(slot)];
    if (!before) {
        // The folder's own file, byte for byte, so that undoing the change
        // after a Save writes exactly that file back.
        auto original = std::make_shared<TCardPicture>();
        original->Image = m_folderImages.Pictures[std::size_t(slot)];
        original->KeepsProportions = m_folderImages.KeepsProportions[std::size_t(slot)];
        const QString path = m_folder + m_layout.Pictures[slot].FileName.Text();
        try {
            const std::string bytes = ReadRegularFile(LocalName(path), std::size_t(1) << 31);
            original->FileBytes = QByteArray(bytes.data(), qsizetype(bytes.size()));
        } catch (const std::exception &failure) {
            throw ECardError(QString::fromUtf8(failure.what()));
        }
        before = original;
    }
    Push(new TPictureCommand(this, slot, before, std::move(picture)));
}

bool TCardDocument::CanUndo() const
{
    return m_history.canUndo() && m_history.index() > m_oldestKept;
}

void TCardDocument::Undo()
{
    if (!CanUndo())
        return;
    m_replaying = true;
    m_history.undo();
    m_replaying = false;
    EndTypingSteps();
}

void TCardDocument::Redo()
{
    if (!CanRedo())
        return;
    m_replaying = true;
    m_history.redo();
    m_replaying = false;
    EndTypingSteps();
}

void TCardDocument::SetHistoryMemoryLimit(qint64 bytes)
{
    m_memoryLimit = bytes;
    DropOldSteps();
}

qint64 TCardDocument::HistoryMemory() const
{
    qint64 total = 0;
    for (int i = m_oldestKept; i < m_history.count(); ++i) {
        if (const auto *step = dynamic_cast<const TCardCommand *>(m_history.command(i)))
            total += step->MemoryBytes();
    }
    return total;
}

void TCardDocument::DropOldSteps()
{
    // The newest step always stays, so the last edit can be taken back.
    qint64 total = HistoryMemory();
    while (total > m_memoryLimit && m_oldestKept < m_history.index() - 1) {
        auto *step = dynamic_cast<TCardCommand *>(const_cast<QUndoCommand *>(m_history.command(m_oldestKept)));
        if (step) {
            total -= step->MemoryBytes();
            step->Release();
        }
        ++m_oldestKept;
    }
}

void TCardDocument::WatchText(int slot)
{
    QTextDocument *doc = Text(slot);
    connect(doc, &QTextDocument::undoCommandAdded, this, [this, slot] {
        if (m_replaying)
            return;
        // Typing in one box ends the run of typing in every other.
        EndTypingSteps(slot);
        m_history.push(new TTextEditCommand(this, slot));
        DropOldSteps();
    });
    // A word and the blank after it are one step, as in a word processor:
    // the document merges a run of typing until told the run has ended.
    connect(doc, &QTextDocument::contentsChange, this, [this, doc](int position, int removed, int added) {
        if (m_replaying || removed != 0 || added != 1)
            return;
        const QChar typed = doc->characterAt(position);
        if (typed.isSpace() || typed == QChar::ParagraphSeparator)
            EndTyping(doc);
    });
    connect(doc, &QTextDocument::contentsChanged, this, [this] { emit Changed(); });
}

void TCardDocument::EndTypingSteps(int exceptSlot)
{
    for (const TFaceContent &face : m_faces) {
        for (int n = 0; n < TextSlotCount; ++n) {
            if (face.Texts[std::size_t(n)] && n != exceptSlot)
                EndTyping(face.Texts[std::size_t(n)].get());
        }
    }
}

void TCardDocument::Push(QUndoCommand *command)
{
    EndTypingSteps();
    m_history.push(command);
    DropOldSteps();
}

void TCardDocument::ApplyLayout(const CardLayout &layout)
{
    const bool imageChanges = !LayoutsEqual(layout, m_layout);
    m_layout = layout;
    if (imageChanges)
        Recompose();
    emit LayoutChanged();
    emit Changed();
}

void TCardDocument::ApplyPicture(int slot, const TCardPicturePtr &picture)
{
    m_faces.front().ChangedPictures[std::size_t(slot)] = picture;
    m_images.Pictures[std::size_t(slot)] = picture ? picture->Image : m_folderImages.Pictures[std::size_t(slot)];
    m_images.KeepsProportions[std::size_t(slot)] =
        picture ? picture->KeepsProportions : m_folderImages.KeepsProportions[std::size_t(slot)];
    Recompose();
    emit Changed();
}

void TCardDocument::Recompose()
{
    // Composed from the pictures in memory: only an impossible card size,
    // refused before the step was taken, could fail here.
    try {
        m_picture = ComposeCard(m_layout, m_images);
    } catch (const ECardError &) {
        return;
    }
    emit PictureChanged();
}

CardLayout TCardDocument::LayoutAsSaved() const
{
    CardLayout layout = m_layout;
    // A slot without a box ends up unused; its other bytes stay.
    for (int n = 0; n < TextSlotCount; ++n) {
        TextSlot &slot = layout.Texts[n];
        slot.Used = Text(n) ? 1 : 0;
        if (slot.Used != 0)
            slot.FileName.SetText(QString::number(n) + QStringLiteral(".rtf"));
    }
    return layout;
}

TCardContent TCardDocument::Content() const
{
    TCardContent content;
    content.Layout = LayoutAsSaved();
    for (int n = 0; n < TextSlotCount; ++n) {
        if (const QTextDocument *doc = Text(n))
            content.Texts[std::size_t(n)] = WriteRtf(doc);
    }
    content.ChangedPictures = m_faces.front().ChangedPictures;
    return content;
}

std::vector<std::pair<QString, QByteArray>> TCardDocument::FilesToSave() const
{
    const TCardContent content = Content();
    std::vector<std::pair<QString, QByteArray>> files;
    for (int i = 0; i < PictureSlotCount; ++i) {
        const TCardPicturePtr &picture = content.ChangedPictures[std::size_t(i)];
        if (!picture || picture == m_savedPictures[std::size_t(i)])
            continue;
        // A name that leads out of the card folder is refused.
        const QString path = CardFilePath(m_folder, m_layout.Pictures[i].FileName.Text());
        files.emplace_back(path, picture->Bytes());
        // The side file that keeps a picture cut to its frame's shape so.
        if (picture->KeepsProportions)
            files.emplace_back(FitMarkerPath(path), QByteArrayLiteral("fill\n"));
    }
    for (int n = 0; n < TextSlotCount; ++n) {
        if (content.Texts[std::size_t(n)])
            files.emplace_back(m_folder + QString::number(n) + QStringLiteral(".rtf"), *content.Texts[std::size_t(n)]);
    }
    const std::string layout = CardFileBytes(content.Layout);
    files.emplace_back(m_folder + QStringLiteral("Card.crd"), QByteArray(layout.data(), qsizetype(layout.size())));
    return files;
}

void TCardDocument::Save()
{
    std::vector<TFileContents> files;
    for (const auto &[path, bytes] : FilesToSave())
        files.push_back({LocalName(path), bytes.toStdString()});
    // Every file is written and synced before the first replaces an old
    // one; Card.crd is renamed last. A file of the card that is a link
    // leading out of the card folder is replaced by the card's own file;
    // what it pointed at stays untouched.
    WriteFilesAtomically(files, LocalName(m_folder));
    MarkSaved();
}

void TCardDocument::MarkSaved()
{
    m_savedPictures = m_faces.front().ChangedPictures;
    m_history.setClean();
}
