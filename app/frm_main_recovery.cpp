// Crash recovery in the window: the open card's unsaved changes are kept
// by TCardRecovery; at start-up a copy left by a run that ended without
// closing is offered back.
#include "app/frm_main.h"

#include "card/card_document.h"
#include "card/card_recovery.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString RecoveryCaption = QStringLiteral("Unsaved changes");

QString RecoveryQuestion(const QString &card)
{
    return QStringLiteral("Tessaly was not closed properly while the card \"%1\" had changes that were not "
                          "saved. Restore them? The card's own files stay as they were until you save.")
        .arg(QDir::toNativeSeparators(card));
}

} // namespace

void Tfrmmain::StartRecovery(const QString &folder)
{
    m_recovery = std::make_unique<TCardRecovery>(folder);
    if (Document)
        m_recovery->Watch(Document.get());
}

void Tfrmmain::DiscardRecovery()
{
    if (m_recovery)
        m_recovery->Discard();
}

bool Tfrmmain::OfferRecovery()
{
    if (!m_recovery)
        return false;
    bool restored = false;
    for (const TCardRecovery::TLeftCopy &copy : m_recovery->LeftCopies()) {
        const QString card = QFileInfo(copy.BackgroundPath).absolutePath();
        // A card deleted meanwhile has nothing left to restore into.
        if (!QFileInfo(copy.BackgroundPath).isFile()) {
            TCardRecovery::RemoveCopy(copy.Folder);
            continue;
        }
        // One card is open at a time: the first restored is the one shown,
        // the others wait for the next start.
        if (restored)
            break;
        const int answer = Dialogs().AskChoice(RecoveryQuestion(card), RecoveryCaption,
                                               {QStringLiteral("Restore"), QStringLiteral("Discard")});
        if (answer == 1) {
            TCardRecovery::RemoveCopy(copy.Folder);
            continue;
        }
        if (answer != 0)
            continue;  // neither: asked again at the next start
        const bool opened = RunCommand([&] {
            ShowDocument(TCardDocument::Open(copy.BackgroundPath, TCardRecovery::ReadCopy(copy.Folder)));
        });
        // Kept in this run's folder now; the old one has served.
        if (opened) {
            TCardRecovery::RemoveCopy(copy.Folder);
            restored = true;
        }
    }
    return restored;
}
