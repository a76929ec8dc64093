// Open, Save, Exit and the save question on closing.
#include "app/frm_main.h"

#include "app/export_names.h"
#include "app/messages.h"
#include "card/card_document.h"
#include "card/card_file.h"
#include "card/card_geometry.h"
#include "card/card_paths.h"
#include "card/card_recovery.h"
#include "controls/Card_Edit.h"
#include "imaging/atomicfile.h"
#include "mover/mover.h"

#include <QFile>
#include <QFileInfo>

namespace {

std::string LocalName(const QString &path) { return QFile::encodeName(path).toStdString(); }

} // namespace

void Tfrmmain::BitBtn2Click()
{
    Places().MakeCardsFolder();
    // My cards first; the file dialog only for a card kept elsewhere.
    const TMyCardsAnswer chosen = ShowMyCards(Places().Cards);
    if (!chosen.CardFolder.isEmpty()) {
        OpenInPlaceOfTheCard(chosen.CardFolder + QStringLiteral("template.bmp"));
        return;
    }
    if (!chosen.AnotherFolder)
        return;
    OpenDialog1.InitialDir = Places().Cards;
    OpenDialog1.FileName.clear();
    if (!Dialogs().ExecuteOpen(OpenDialog1))
        return;
    // Any .crd file of a card folder opens the card; the test is
    // case-sensitive, as it always was.
    if (ExtensionOfName(OpenDialog1.FileName) != QStringLiteral(".crd"))
        return;
    OpenInPlaceOfTheCard(QFileInfo(OpenDialog1.FileName).absolutePath() + QStringLiteral("/template.bmp"));
}

void Tfrmmain::OpenInPlaceOfTheCard(const QString &backgroundPath)
{
    if (!QFileInfo(backgroundPath).isFile()) {
        // CardPath keeps naming the card on show, so a later Save cannot
        // write one card's files into another card's folder.
        Dialogs().ShowMessage(CardErrorMessage);
        return;
    }
    // The question comes once the new card is there to replace the open
    // one: a cancelled Open or New asks nothing. Cancel keeps the card.
    if (!SaveChangesBeforeReplacing())
        return;
    // One card, one window: a card another window holds opens read-only,
    // when the user wants it at all. The card on show keeps its lock.
    const QString folder = FolderOf(backgroundPath);
    const bool sameCard = !m_shownCardPath.isEmpty() && IsInsideFolder(folder, FolderOf(m_shownCardPath))
                          && IsInsideFolder(FolderOf(m_shownCardPath), folder);
    std::unique_ptr<TCardLock> lock;
    bool readOnly = sameCard && m_readOnly;
    if (!sameCard && !IsInTemplates(folder, Places().TemplateFolders())) {
        lock = std::make_unique<TCardLock>(folder);
        if (lock->State() == TCardLockState::HeldElsewhere) {
            if (!Dialogs().AskYesNo(CardInUseQuestion, CardInUseCaption))
                return;
            lock.reset();
            readOnly = true;
        }
    }
    CardPath = backgroundPath;
    OpenCardFolder();
    if (!sameCard)
        m_cardLock = std::move(lock);
    m_readOnly = readOnly;
    RememberOpenCard();
}

void Tfrmmain::BitBtn3Click()
{
    if (!CardOpenOrAskForOne())
        return;
    // The shipped templates stay as they are: every new card starts from them.
    // Raised, so that closing or replacing the card stops here too.
    // A card folder that is a link into the templates is a template too,
    // and no file of the card may reach them through a link of its own.
    RefuseTemplateChange(Card_Edit1->Pic_Path(), Places().TemplateFolders(), TemplateSaveMessage);
    if (m_readOnly)
        throw ECardError(ReadOnlyCardMessage);
    // Another window or program saved the card since it was read here:
    // overwriting loses that, so the user decides. No is a quiet stop.
    if (TCardStamp::Of(Card_Edit1->Pic_Path()) != m_cardStamp
        && !Dialogs().AskYesNo(ChangedOnDiskQuestion, ChangedOnDiskCaption))
        throw ECardError(QString());
    const TTemplatesShield shield(Places().TemplateFolders());
    // What a Save killed part-way left behind; the writer's own temporary
    // files never outlive a call.
    RemoveStaleTemporaries(LocalName(Card_Edit1->Pic_Path()));
    // Every file (a changed picture, the texts, Card.crd last) is written
    // and synced before the first replaces an old one: a Save that fails (a
    // full disk, say) leaves the whole card as it was last saved, every file
    // whole, and its changes unsaved.
    // A file of the card that is a link leading out of the card folder is
    // replaced by the card's own file; what it pointed at stays untouched.
    Document->Save();
    m_cardStamp = TCardStamp::Of(Card_Edit1->Pic_Path());
    Card_Edit1->Layout = Document->LayoutAsSaved();
    DiscardRecovery();
    Dialogs().ShowMessage(SavedMessage);
}

void Tfrmmain::BitBtn7Click()
{
    if (Dialogs().AskYesNo(ExitQuestion, ExitCaption))
        close();
}

bool Tfrmmain::SaveChangesBeforeReplacing()
{
    // Asked only when there is something to lose, so that the question
    // means something whenever it comes.
    if (!HasUnsavedChanges())
        return true;
    // A card opened read-only cannot be saved here, but its edits are still
    // the user's: they go only when the user says so.
    if (m_readOnly)
        return Dialogs().AskYesNo(ReadOnlyDiscardQuestion, ReadOnlyDiscardCaption);
    switch (Dialogs().AskYesNoCancel(SaveTheCardQuestion, SaveTheCardCaption)) {
    case TAnswer::Yes:
        BitBtn3Click();
        return true;
    case TAnswer::No:
        return true;
    case TAnswer::Cancel:
        break;
    }
    return false;
}

bool Tfrmmain::FormClose()
{
    // A failed Save raises here, and the window stays open with its card;
    // so does Cancel (Escape, the box's close button).
    if (!SaveChangesBeforeReplacing())
        return false;
    // Closed without saving: the changes were let go on purpose.
    DiscardRecovery();
    delete Mover;
    Mover = nullptr;
    return true;
}
