#pragma once
// Unsaved changes kept through a crash. A few seconds after each change the
// open card's unsaved content is written (through the atomic writer, on a
// thread of its own so typing never waits for the disk) into a folder of
// this program run under the recovery root, which lies with the user's
// application data, never among the cards and templates. Save, and closing
// without saving, remove it. A copy whose program is no longer running (its
// lock is stale) is what a crash or a kill left behind; the next start
// offers to bring it back. The card's own files are never touched here.

#include "card/card_document.h"

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QTimer>

#include <array>
#include <atomic>
#include <memory>
#include <optional>
#include <mutex>
#include <vector>

// Where the copies live: "recovery" in the user's application data folder.
QString DefaultRecoveryRoot();

class TCardRecovery : public QObject {
    Q_OBJECT
public:
    // Starts this run's folder under `root` and holds its lock.
    explicit TCardRecovery(const QString &root, QObject *parent = nullptr);
    // Waits for a write under way; this run's folder goes unless it holds
    // a copy (which only a window destroyed without closing leaves).
    ~TCardRecovery() override;

    // The card whose changes are kept; null for none. The copy of the one
    // before is discarded.
    void Watch(TCardDocument *document);
    // How long after a change the copy is written.
    int DelayMs = 3000;
    // Writes the copy now (in the background); removes it when the card has
    // no unsaved changes.
    void WriteNow();
    // Returns once every write started has ended.
    void WaitForWriting();
    // Removes the copy: the card was saved, or closed without saving.
    void Discard();
    QString SessionFolder() const { return m_folder; }
    // The last write's error, empty when it succeeded.
    QString LastError() const;

    // A copy left by a program run that ended without closing.
    struct TLeftCopy {
        QString Folder;
        QString BackgroundPath;  // the card it belongs to
    };
    // The copies under `root` whose program is no longer running, except
    // this run's own.
    std::vector<TLeftCopy> LeftCopies() const;
    // The copy's content. Raises ECardError when it cannot be read.
    static TCardContent ReadCopy(const QString &folder);
    // Removes a left copy with its folder.
    static void RemoveCopy(const QString &folder);

private:
    QString m_root;
    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    TCardDocument *m_document = nullptr;
    QMetaObject::Connection m_watch;
    QTimer m_timer;
    QThreadPool m_writer;
    std::atomic<int> m_generation{0};
    // The pictures already in the copy, not written again.
    std::array<TCardPicturePtr, PictureSlotCount> m_writtenPictures;
    // Each box's RTF as last written out; only a box whose text changed
    // since is written out again, so a snapshot costs the window little.
    std::array<std::optional<QByteArray>, TextSlotCount> m_texts;
    std::array<bool, TextSlotCount> m_textChanged{};
    std::vector<QMetaObject::Connection> m_textWatches;
    mutable std::mutex m_errorLock;
    QString m_lastError;
};
