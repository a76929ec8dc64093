// Open, Save, Exit and the save question on closing.
#include "app/frm_main.h"

#include "app/export_names.h"
#include "app/messages.h"
#include "card/card_file.h"
#include "card/card_geometry.h"
#include "card/card_paths.h"
#include "controls/Card_Edit.h"
#include "imaging/atomicfile.h"
#include "mover/mover.h"
#include "richtext/rich_edit_box.h"
#include "richtext/rtf.h"

#include <QFile>
#include <QFileInfo>

#include <vector>

namespace {

std::string LocalName(const QString &path) { return QFile::encodeName(path).toStdString(); }

bool AskToSaveTheCard(TDialogs &dialogs)
{
    return dialogs.AskYesNo(SaveTheCardQuestion, SaveTheCardCaption);
}

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
    // one: a cancelled Open or New asks nothing.
    SaveChangesBeforeReplacing();
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
    // Every file is written and synced before the first replaces an old
    // one: a Save that fails (a full disk, say) leaves the whole card as it
    // was last saved, every file whole. Card.crd is renamed last.
    std::vector<TFileContents> files;
    CardLayout layout = Card_Edit1->Layout;
    // A slot without a box ends up unused; its other bytes stay.
    for (TextSlot &slot : layout.Texts)
        slot.Used = 0;
    for (TRichEditBox *box : TextBoxes()) {
        const int n = TextBoxSlot(box);
        const QString fileName = QString::number(n) + QStringLiteral(".rtf");
        files.push_back({LocalName(Card_Edit1->Pic_Path() + fileName), WriteRtf(box->document()).toStdString()});
        TextSlot &slot = layout.Texts[n];
        slot.Used = 1;
        slot.Rect = KeptSlotRect(slot.Rect, box->geometry(), Card_Edit1->pos());
        slot.FileName.SetText(fileName);
    }
    Card_Edit1->SetLayout(layout);
    files.push_back({LocalName(FolderOf(CardPath) + QStringLiteral("Card.crd")), CardFileBytes(Card_Edit1->Layout)});
    // A file of the card that is a link leading out of the card folder is
    // replaced by the card's own file; what it pointed at stays untouched.
    WriteFilesAtomically(files, LocalName(Card_Edit1->Pic_Path()));
    MarkCardSaved();
    Dialogs().ShowMessage(SavedMessage);
}

void Tfrmmain::BitBtn7Click()
{
    if (Dialogs().AskYesNo(ExitQuestion, ExitCaption))
        close();
}

void Tfrmmain::SaveChangesBeforeReplacing()
{
    // A card opened read-only cannot be saved here.
    if (!m_readOnly && HasUnsavedChanges() && AskToSaveTheCard(Dialogs()))
        BitBtn3Click();
}

void Tfrmmain::FormClose()
{
    // A failed Save raises here, and the window stays open with its card.
    if (!CardPath.isEmpty() && !m_readOnly && AskToSaveTheCard(Dialogs()))
        BitBtn3Click();
    delete Mover;
    Mover = nullptr;
}
