#include "card/card_recovery.h"

#include "card/card_file.h"
#include "imaging/atomicfile.h"
#include "imaging/regularfile.h"
#include "richtext/rtf.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTextDocument>
#include <QUuid>

#include <mutex>

namespace {

// Written last: a folder without it holds no complete copy.
const QString CardNameFile = QStringLiteral("card.path");
const QString LockFile = QStringLiteral("session.lock");
const QString LayoutFile = QStringLiteral("Card.crd");

QString TextFile(int slot) { return QString::number(slot) + QStringLiteral(".rtf"); }
QString PictureFile(int slot) { return QStringLiteral("picture-%1.bmp").arg(slot); }

std::string LocalName(const QString &path) { return QFile::encodeName(path).toStdString(); }

QByteArray ReadWhole(const QString &path, std::size_t limit)
{
    try {
        const std::string bytes = ReadRegularFile(LocalName(path), limit);
        return QByteArray(bytes.data(), qsizetype(bytes.size()));
    } catch (const std::exception &failure) {
        throw ECardError(QString::fromUtf8(failure.what()));
    }
}

} // namespace

QString DefaultRecoveryRoot()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/recovery");
}

TCardRecovery::TCardRecovery(const QString &root, QObject *parent) : QObject(parent), m_root(root)
{
    m_folder = root + QLatin1Char('/') + QUuid::createUuid().toString(QUuid::WithoutBraces) + QLatin1Char('/');
    QDir().mkpath(m_folder);
    m_lock = std::make_unique<QLockFile>(m_folder + LockFile);
    m_lock->setStaleLockTime(0);
    m_lock->tryLock(0);
    m_writer.setMaxThreadCount(1);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TCardRecovery::WriteNow);
}

TCardRecovery::~TCardRecovery()
{
    m_timer.stop();
    m_writer.waitForDone();
    m_lock->unlock();
    if (!QFileInfo::exists(m_folder + CardNameFile))
        QDir(m_folder).removeRecursively();
}

void TCardRecovery::Watch(TCardDocument *document)
{
    Discard();
    disconnect(m_watch);
    for (const QMetaObject::Connection &watch : m_textWatches)
        disconnect(watch);
    m_textWatches.clear();
    m_texts = {};
    m_textChanged.fill(true);
    m_document = document;
    if (!document)
        return;
    for (int n = 0; n < TextSlotCount; ++n) {
        if (QTextDocument *text = document->Text(n))
            m_textWatches.push_back(
                connect(text, &QTextDocument::contentsChanged, this, [this, n] { m_textChanged[std::size_t(n)] = true; }));
    }
    // Not restarted by every key: a steady typist's work is kept too.
    m_watch = connect(document, &TCardDocument::Changed, this, [this] {
        if (!m_timer.isActive())
            m_timer.start(DelayMs);
    });
    connect(document, &QObject::destroyed, this, [this, document] {
        if (m_document == document) {
            m_document = nullptr;
            m_timer.stop();
        }
    });
    if (document->IsModified())
        WriteNow();
}

void TCardRecovery::WriteNow()
{
    m_timer.stop();
    if (!m_document)
        return;
    if (!m_document->IsModified()) {
        Discard();
        return;
    }
    // The changed texts are written out here, quickly; the disk is the
    // writer thread's, and so is turning a picture into its file.
    TCardContent content;
    content.Layout = m_document->LayoutAsSaved();
    content.ChangedPictures = m_document->Face(0).ChangedPictures;
    for (int n = 0; n < TextSlotCount; ++n) {
        const QTextDocument *text = m_document->Text(n);
        if (text && (m_textChanged[std::size_t(n)] || !m_texts[std::size_t(n)])) {
            m_texts[std::size_t(n)] = WriteRtf(text);
            m_textChanged[std::size_t(n)] = false;
        }
        if (text)
            content.Texts[std::size_t(n)] = m_texts[std::size_t(n)];
    }
    const QString card = m_document->BackgroundPath();
    std::array<TCardPicturePtr, PictureSlotCount> pictures;
    for (int i = 0; i < PictureSlotCount; ++i) {
        const TCardPicturePtr &picture = content.ChangedPictures[std::size_t(i)];
        if (picture && picture != m_writtenPictures[std::size_t(i)])
            pictures[std::size_t(i)] = picture;
    }
    m_writtenPictures = content.ChangedPictures;
    const int generation = ++m_generation;
    m_writer.start([this, content, card, pictures, generation] {
        // A later copy is on its way, or the copy was discarded meanwhile.
        if (generation != m_generation)
            return;
        try {
            std::vector<TFileContents> files;
            for (int i = 0; i < PictureSlotCount; ++i) {
                if (pictures[std::size_t(i)])
                    files.push_back({LocalName(m_folder + PictureFile(i)), pictures[std::size_t(i)]->Bytes().toStdString()});
            }
            for (int n = 0; n < TextSlotCount; ++n) {
                if (content.Texts[std::size_t(n)])
                    files.push_back({LocalName(m_folder + TextFile(n)), content.Texts[std::size_t(n)]->toStdString()});
            }
            files.push_back({LocalName(m_folder + LayoutFile), CardFileBytes(content.Layout)});
            files.push_back({LocalName(m_folder + CardNameFile), card.toUtf8().toStdString()});
            WriteFilesAtomically(files);
            const std::lock_guard lock(m_errorLock);
            m_lastError.clear();
        } catch (const std::exception &failure) {
            // A copy that cannot be written is no reason to stop the user:
            // the card itself is as safe as it was.
            const std::lock_guard lock(m_errorLock);
            m_lastError = QString::fromUtf8(failure.what());
        }
    });
}

void TCardRecovery::WaitForWriting()
{
    m_writer.waitForDone();
}

QString TCardRecovery::LastError() const
{
    const std::lock_guard lock(m_errorLock);
    return m_lastError;
}

void TCardRecovery::Discard()
{
    m_timer.stop();
    ++m_generation;
    m_writer.waitForDone();
    m_writtenPictures = {};
    // The name first: a folder without it holds no copy, whatever is left.
    QFile::remove(m_folder + CardNameFile);
    const QStringList files = QDir(m_folder).entryList(QDir::Files | QDir::Hidden);
    for (const QString &file : files) {
        if (file != LockFile)
            QFile::remove(m_folder + file);
    }
}

std::vector<TCardRecovery::TLeftCopy> TCardRecovery::LeftCopies() const
{
    std::vector<TLeftCopy> copies;
    const QDir root(m_root);
    for (const QString &entry : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Time)) {
        const QString folder = root.filePath(entry) + QLatin1Char('/');
        if (QDir(folder) == QDir(m_folder))
            continue;
        // A lock held by a running program: that program's copy, not left.
        QLockFile lock(folder + LockFile);
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue;
        lock.unlock();
        QFile cardName(folder + CardNameFile);
        if (!cardName.open(QIODevice::ReadOnly)) {
            RemoveCopy(folder);  // nothing complete was ever written
            continue;
        }
        copies.push_back({folder, QString::fromUtf8(cardName.readAll())});
    }
    return copies;
}

TCardContent TCardRecovery::ReadCopy(const QString &folder)
{
    TCardContent content;
    const QByteArray layout = ReadWhole(folder + LayoutFile, CardLayoutSize);
    if (std::size_t(layout.size()) != CardLayoutSize)
        throw ECardError(QStringLiteral("The kept copy \"%1\" is incomplete.").arg(folder + LayoutFile));
    content.Layout = LayoutFromBytes(reinterpret_cast<const uint8_t *>(layout.constData()), CardLayoutSize,
                                     FreshLayout());
    for (int n = 0; n < TextSlotCount; ++n) {
        if (content.Layout.Texts[n].Used != 0)
            content.Texts[std::size_t(n)] = ReadWhole(folder + TextFile(n), std::size_t(kMaxRtfBytes));
    }
    for (int i = 0; i < PictureSlotCount; ++i) {
        const QString path = folder + PictureFile(i);
        if (!QFileInfo::exists(path))
            continue;
        auto picture = std::make_shared<TCardPicture>();
        picture->Image = LoadCardPicture(path);
        picture->FileBytes = ReadWhole(path, std::size_t(1) << 31);
        content.ChangedPictures[std::size_t(i)] = picture;
    }
    return content;
}

void TCardRecovery::RemoveCopy(const QString &folder)
{
    QDir(folder).removeRecursively();
}
