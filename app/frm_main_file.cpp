// Open, Save, Exit and the save question on closing.
#include "app/frm_main.h"

#include "app/export_names.h"
#include "app/messages.h"
#include "card/card_file.h"
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
    CardPath = backgroundPath;
    OpenCardFolder();
    RememberOpenCard();
}

void Tfrmmain::BitBtn3Click()
{
    if (!CardOpenOrAskForOne())
        return;
    // The shipped templates stay as they are: every new card starts from them.
    // Raised, so that closing or replacing the card stops here too.
    for (const QString &templates : Places().TemplateFolders())
        if (IsInsideFolder(Card_Edit1->Pic_Path(), templates))
            throw ECardError(TemplateSaveMessage);
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
        slot.Rect = ControlToCardRect(box);
        slot.FileName.SetText(fileName);
    }
    Card_Edit1->SetLayout(layout);
    files.push_back({LocalName(FolderOf(CardPath) + QStringLiteral("Card.crd")), CardFileBytes(Card_Edit1->Layout)});
    WriteFilesAtomically(files);
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
    if (HasUnsavedChanges() && AskToSaveTheCard(Dialogs()))
        BitBtn3Click();
}

void Tfrmmain::FormClose()
{
    // A failed Save raises here, and the window stays open with its card.
    if (!CardPath.isEmpty() && AskToSaveTheCard(Dialogs()))
        BitBtn3Click();
    delete Mover;
    Mover = nullptr;
}
