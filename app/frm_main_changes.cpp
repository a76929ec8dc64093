// Unsaved changes: what the open card holds that its folder does not. The
// document's history knows: undoing back to the saved card means no changes.
#include "app/frm_main.h"

#include "card/card_document.h"
#include "controls/Card_Edit.h"

bool Tfrmmain::HasUnsavedChanges() const
{
    return Document && Document->IsModified();
}

void Tfrmmain::MarkCardSaved()
{
    if (Document)
        Document->MarkSaved();
    m_cardStamp = TCardStamp::Of(Card_Edit1->Pic_Path());
}

void Tfrmmain::UpdateTitle()
{
    if (!Document) {
        setWindowTitle(m_programTitle);
        return;
    }
    const QString changed = Document->IsModified() ? QStringLiteral("*") : QString();
    setWindowTitle(QStringLiteral("%1%2 - %3").arg(Document->Name(), changed, m_programTitle));
}
