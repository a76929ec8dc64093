#include "card/card_faces.h"

#include "card/card_file.h"
#include "card/card_geometry.h"
#include "imaging/atomicfile.h"
#include "imaging/regularfile.h"
#include "pictures/bmp_file.h"
#include "richtext/rtf.h"

#include <QDir>
#include <QFile>
#include <QTextDocument>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

const QString InsideFolderName = QStringLiteral("Inside");
const QString FoldFileName = QStringLiteral("Card.fold");

namespace {

// A new inside is put together here and renamed into place; a removed one
// is renamed here before it is deleted. Hidden names, so that file dialogs
// and the template list pass over what a killed program left behind.
const QString NewInsideFolderName = QStringLiteral(".Inside.new");
const QString OldInsideFolderName = QStringLiteral(".Inside.old");

// The longest Card.fold taken: a word and a line end, with room to spare.
constexpr std::size_t MaxFoldFileBytes = 64;

std::string LocalName(const QString &path) { return QFile::encodeName(path).toStdString(); }

// What lies under the name itself, links not followed.
enum class TEntry { None, Folder, Other };
TEntry EntryAt(const QString &path)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return TEntry::None;
    return S_ISDIR(info.st_mode) ? TEntry::Folder : TEntry::Other;
}

bool IsRegularFile(const QString &path)
{
    struct stat info;
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode);
}

QString WithoutSlash(const QString &folder) { return folder.endsWith(QLatin1Char('/')) ? folder.chopped(1) : folder; }

// Removes a folder and what it holds, or a link or file in its place.
// Links inside are removed, never followed.
bool RemoveEntry(const QString &path)
{
    switch (EntryAt(path)) {
    case TEntry::None:
        return true;
    case TEntry::Folder:
        return QDir(path).removeRecursively();
    case TEntry::Other:
        return QFile::remove(path);
    }
    return false;
}

void RemoveLeftover(const QString &path)
{
    if (!RemoveEntry(path))
        throw ECardError(QStringLiteral("The folder \"%1\" cannot be removed.").arg(QDir::toNativeSeparators(path)));
}

void RenameFolder(const QString &from, const QString &to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        throw ECardError(QStringLiteral("The folder \"%1\" cannot be renamed to \"%2\". %3")
                             .arg(QDir::toNativeSeparators(from), QDir::toNativeSeparators(to), reason));
    }
}

// The message box of a new inside: where a person writes in a card of
// that fold, clear of the edges and of the fold.
SlotRect MessageRect(int32_t width, int32_t height, TFoldKind fold)
{
    const int32_t marginY = height / 10;
    if (FoldHasPanels(fold)) {
        const int32_t half = width / 2;
        const int32_t marginX = half / 10;
        return {half + marginX, marginY, width - marginX, height - marginY};
    }
    const int32_t marginX = width / 10;
    return {marginX, marginY, width - marginX, height - marginY};
}

} // namespace

QString FaceFolder(const QString &cardFolder, TCardFace face)
{
    return face == TCardFace::Inside ? cardFolder + InsideFolderName + QLatin1Char('/') : cardFolder;
}

bool HasInside(const QString &cardFolder)
{
    const QString inside = FaceFolder(cardFolder, TCardFace::Inside);
    return EntryAt(WithoutSlash(inside)) == TEntry::Folder && IsRegularFile(inside + QStringLiteral("template.bmp"));
}

std::vector<TCardFace> CardFaces(const QString &cardFolder)
{
    std::vector<TCardFace> faces{TCardFace::Outside};
    if (HasInside(cardFolder))
        faces.push_back(TCardFace::Inside);
    return faces;
}

QString CardFolderOfFace(const QString &folder)
{
    const QString bare = WithoutSlash(folder);
    const int cut = bare.lastIndexOf(QLatin1Char('/'));
    if (cut < 0 || bare.mid(cut + 1) != InsideFolderName)
        return folder;
    const QString parent = bare.left(cut + 1);
    if (IsRegularFile(parent + QStringLiteral("Card.crd")) || IsRegularFile(parent + QStringLiteral("template.bmp")))
        return parent;
    return folder;
}

QString FoldFilePath(const QString &cardFolder) { return cardFolder + FoldFileName; }

TFoldKind ReadFoldKind(const QString &cardFolder)
{
    const QString path = FoldFilePath(cardFolder);
    if (EntryAt(path) == TEntry::None)
        return TFoldKind::FlatOneSided;
    std::string bytes;
    try {
        // One byte more than is taken, so that a longer file is seen as such
        // without reading it whole.
        bytes = ReadRegularFile(LocalName(path), MaxFoldFileBytes + 1);
    } catch (const Exception &failure) {
        throw ECardError(QString::fromUtf8(failure.what()));
    }
    const std::optional<TFoldKind> fold =
        bytes.size() <= MaxFoldFileBytes ? ParseFoldKind(QByteArrayView(bytes.data(), qsizetype(bytes.size())))
                                         : std::nullopt;
    if (!fold)
        throw ECardError(QStringLiteral("The file \"%1\" does not say how the card is folded: it should hold one of "
                                        "the words flat, two-sided, half or quarter. Choose the fold again in "
                                        "Paper Set.")
                             .arg(QDir::toNativeSeparators(path)));
    return *fold;
}

std::optional<std::string> FoldFileContents(TFoldKind fold)
{
    if (fold == TFoldKind::FlatOneSided)
        return std::nullopt;
    return FoldKindWord(fold).toStdString() + "\n";
}

void WriteFoldKind(const QString &cardFolder, TFoldKind fold)
{
    const QString path = FoldFilePath(cardFolder);
    const std::optional<std::string> contents = FoldFileContents(fold);
    if (contents) {
        try {
            WriteFileAtomically(LocalName(path), *contents);
        } catch (const Exception &failure) {
            throw ECardError(QString::fromUtf8(failure.what()));
        }
        return;
    }
    if (EntryAt(path) != TEntry::None && !QFile::remove(path))
        throw ECardError(QStringLiteral("The file \"%1\" cannot be removed.").arg(QDir::toNativeSeparators(path)));
}

TNewInside NewInside(const CardLayout &outside, TFoldKind fold)
{
    const int32_t width = outside.Paper.CardWidth;
    const int32_t height = outside.Paper.CardHeight;
    CheckCardSize(width, height);

    TNewInside inside;
    inside.Layout = FreshLayout();
    inside.Layout.Paper = outside.Paper;
    inside.Layout.TransparentColour = 0;
    inside.Layout.BackgroundFile.SetText(QStringLiteral("template.bmp"));
    TextSlot &message = inside.Layout.Texts[inside.MessageSlot];
    message.Used = 1;
    message.Rect = MessageRect(width, height, fold);
    message.FileName.SetText(QString::number(inside.MessageSlot) + QStringLiteral(".rtf"));

    inside.Background = QImage(width, height, QImage::Format_RGB888);
    inside.Background.fill(Qt::white);
    QTextDocument empty;
    inside.MessageRtf = WriteRtf(&empty);
    return inside;
}

void WriteInside(const QString &cardFolder, const TNewInside &inside)
{
    const QString target = WithoutSlash(FaceFolder(cardFolder, TCardFace::Inside));
    if (EntryAt(target) != TEntry::None)
        throw ECardError(QStringLiteral("The card in \"%1\" has an inside already.")
                             .arg(QDir::toNativeSeparators(cardFolder)));
    const QString staging = cardFolder + NewInsideFolderName;
    RemoveLeftover(staging);
    if (!QDir().mkdir(staging))
        throw ECardError(QStringLiteral("The folder \"%1\" cannot be created.").arg(QDir::toNativeSeparators(staging)));
    const QString folder = staging + QLatin1Char('/');
    try {
        WritePictureBmp(inside.Background, folder + QStringLiteral("template.bmp"));
        WriteFilesAtomically({
            {LocalName(folder + QString::number(inside.MessageSlot) + QStringLiteral(".rtf")),
             inside.MessageRtf.toStdString()},
            {LocalName(folder + QStringLiteral("Card.crd")), CardFileBytes(inside.Layout)},
        });
        RenameFolder(staging, target);
    } catch (const ECardError &) {
        RemoveEntry(staging);
        throw;
    } catch (const std::exception &failure) {
        RemoveEntry(staging);
        throw ECardError(QString::fromUtf8(failure.what()));
    }
}

void CreateInside(const QString &cardFolder, const CardLayout &outside, TFoldKind fold)
{
    WriteInside(cardFolder, NewInside(outside, fold));
}

void RemoveInside(const QString &cardFolder)
{
    const QString inside = WithoutSlash(FaceFolder(cardFolder, TCardFace::Inside));
    if (EntryAt(inside) == TEntry::None)
        return;
    const QString aside = cardFolder + OldInsideFolderName;
    RemoveLeftover(aside);
    RenameFolder(inside, aside);
    RemoveLeftover(aside);
}
