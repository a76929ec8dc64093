// Unsaved changes: what the open card holds that its folder does not.
#include "app/frm_main.h"

#include "controls/Card_Edit.h"
#include "richtext/rich_edit_box.h"

#include <QDataStream>
#include <QIODevice>

QByteArray Tfrmmain::CardFingerprint() const
{
    const CardLayoutBytes layout = LayoutToBytes(Card_Edit1->Layout);
    QByteArray fingerprint(reinterpret_cast<const char *>(layout.data()), qsizetype(layout.size()));
    // Moving or resizing a text box changes the card even though the layout
    // learns the box's bounds only when the card is saved.
    QDataStream out(&fingerprint, QIODevice::Append);
    for (TRichEditBox *box : TextBoxes()) {
        const SlotRect r = ControlToCardRect(box);
        out << qint32(TextBoxSlot(box)) << r.Left << r.Top << r.Right << r.Bottom;
    }
    return fingerprint;
}

void Tfrmmain::MarkCardSaved()
{
    m_savedFingerprint = CardFingerprint();
    m_cardStamp = TCardStamp::Of(Card_Edit1->Pic_Path());
    for (TRichEditBox *box : TextBoxes())
        box->document()->setModified(false);
}

bool Tfrmmain::HasUnsavedChanges() const
{
    if (CardPath.isEmpty())
        return false;
    for (TRichEditBox *box : TextBoxes()) {
        if (box->document()->isModified())
            return true;
    }
    return CardFingerprint() != m_savedFingerprint;
}
