// Import template: a folder or a .zip of one is copied into the user's
// templates only when it reads as a card and its preview reads; a hostile
// archive is refused before anything lands outside its folder.
#include "dialogs/directory_copy.h"
#include "dialogs/frm_new.h"
#include "dialogs/template_archive.h"
#include "dialogs/template_import.h"
#include "tests/support/scripted_dialogs.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <zip.h>

#include <utility>
#include <vector>

namespace {

// A zip file written through libzip: entries by name with their bytes (a
// name ending in '/' is a folder); `link` marks an entry as a symbolic link.
struct TZipEntry {
    QString Name;
    QByteArray Bytes;
    bool Link = false;
};

bool WriteZip(const QString &path, const std::vector<TZipEntry> &entries)
{
    int error = 0;
    zip_t *zip = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!zip)
        return false;
    std::vector<QByteArray> kept;  // libzip reads the bytes when it closes
    kept.reserve(entries.size());
    for (const TZipEntry &entry : entries) {
        const QByteArray name = entry.Name.toUtf8();
        zip_int64_t index;
        if (entry.Name.endsWith('/')) {
            index = zip_dir_add(zip, name.constData(), ZIP_FL_ENC_UTF_8);
        } else {
            kept.push_back(entry.Bytes);
            zip_source_t *source = zip_source_buffer(zip, kept.back().constData(), kept.back().size(), 0);
            index = zip_file_add(zip, name.constData(), source, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE);
        }
        if (index < 0)
            return zip_discard(zip), false;
        if (entry.Link)
            zip_file_set_external_attributes(zip, index, 0, ZIP_OPSYS_UNIX, (S_IFLNK | 0777) << 16);
    }
    return zip_close(zip) == 0;
}

QByteArray Contents(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// A template's files as zip entries under `prefix`.
std::vector<TZipEntry> EntriesOf(const QString &folder, const QString &prefix)
{
    std::vector<TZipEntry> entries;
    for (const QString &name : QDir(folder).entryList(QDir::Files))
        entries.push_back({prefix + name, Contents(folder + "/" + name)});
    return entries;
}

class TemplateImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CopyDirectory(TESSALY_OUTPUT_DIR "/Template/Birthday/", Root() + "from a friend/Party/"));
        ASSERT_TRUE(QDir().mkpath(Shipped() + "Birthday"));
    }
    QString Root() const { return dir.path() + "/"; }
    QString Shipped() const { return Root() + "share/Template/"; }
    QString Mine() const { return Root() + "home/templates/"; }
    QStringList Folders() const { return {Shipped(), Mine()}; }
    QString Import(const QString &source) { return ImportTemplate(source, Mine(), Folders()); }
    // Why `source` is refused, or an empty text when it is imported.
    QString Refusal(const QString &source)
    {
        try {
            Import(source);
        } catch (const ETemplateImportError &e) {
            return QString::fromUtf8(e.what());
        }
        return {};
    }
    // Every entry under the user's templates, hidden ones included.
    QStringList MineNow() const
    {
        QStringList found;
        QDirIterator it(Mine(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext())
            found << it.next().mid(Mine().size());
        found.sort();
        return found;
    }
    QTemporaryDir dir;
};

TEST_F(TemplateImport, AFolderIsCopiedWholeUnderItsName)
{
    EXPECT_EQ(Import(Root() + "from a friend/Party"), "Party");
    const QStringList shipped = QDir(TESSALY_OUTPUT_DIR "/Template/Birthday").entryList(QDir::Files);
    EXPECT_EQ(QDir(Mine() + "Party").entryList(QDir::Files), shipped);
    EXPECT_EQ(Contents(Mine() + "Party/Card.crd"), Contents(TESSALY_OUTPUT_DIR "/Template/Birthday/Card.crd"));
    EXPECT_EQ(QDir(Mine()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"Party"})
        << "nothing of the work is left";

    // Once there, or a shipped template's name: refused, nothing added.
    EXPECT_TRUE(Refusal(Root() + "from a friend/Party").contains("already in the list"));
    ASSERT_TRUE(CopyDirectory(Root() + "from a friend/Party/", Root() + "elsewhere/Birthday/"));
    EXPECT_TRUE(Refusal(Root() + "elsewhere/Birthday").contains("\"Birthday\" is already in the list"));
    EXPECT_EQ(QDir(Mine()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList{"Party"});
}

TEST_F(TemplateImport, ATemplateThatDoesNotReadAsACardIsRefusedWithTheReason)
{
    const QString party = Root() + "from a friend/Party/";
    ASSERT_TRUE(QFile::remove(party + "preview.jpg"));
    EXPECT_TRUE(Refusal(party).contains("preview.jpg")) << Refusal(party).toStdString();
    ASSERT_TRUE(QFile::copy(TESSALY_OUTPUT_DIR "/Template/Birthday/preview.jpg", party + "preview.jpg"));

    QFile background(party + "template.bmp");
    ASSERT_TRUE(background.open(QIODevice::WriteOnly));
    background.write("BM not a bitmap");
    background.close();
    const QString why = Refusal(party);
    EXPECT_TRUE(why.startsWith("The template \"Party\" cannot be used:")) << why.toStdString();
    EXPECT_TRUE(MineNow().isEmpty()) << MineNow().join(' ').toStdString();

    ASSERT_TRUE(QFile::remove(party + "template.bmp"));
    EXPECT_TRUE(Refusal(party).contains("holds no template"));
    EXPECT_TRUE(Refusal(Root() + "nowhere").contains("is neither a template folder nor a .zip file"));
}

TEST_F(TemplateImport, AZipHoldsTheTemplatesFilesAtItsTopOrInItsOneFolder)
{
    const QString party = Root() + "from a friend/Party";
    ASSERT_TRUE(WriteZip(Root() + "Sunflowers.zip", EntriesOf(party, "")));
    EXPECT_EQ(Import(Root() + "Sunflowers.zip"), "Sunflowers");
    EXPECT_EQ(Contents(Mine() + "Sunflowers/template.bmp"), Contents(party + "/template.bmp"));

    std::vector<TZipEntry> inFolder{{"Lanterns/", {}}};
    for (TZipEntry &entry : EntriesOf(party, "Lanterns/"))
        inFolder.push_back(std::move(entry));
    ASSERT_TRUE(WriteZip(Root() + "download (1).ZIP", inFolder));
    EXPECT_EQ(Import(Root() + "download (1).ZIP"), "Lanterns");
    EXPECT_TRUE(QFileInfo(Mine() + "Lanterns/preview.jpg").isFile());

    ASSERT_TRUE(WriteZip(Root() + "empty.zip", {{"readme.txt", "hello"}}));
    EXPECT_TRUE(Refusal(Root() + "empty.zip").contains("holds no template"));
    EXPECT_EQ(QDir(Mine()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"Lanterns", "Sunflowers"}));
}

TEST_F(TemplateImport, AHostileArchiveIsRefusedBeforeAnythingLandsOutsideItsFolder)
{
    const QString party = Root() + "from a friend/Party";
    const struct {
        const char *Name;
        std::vector<TZipEntry> Entries;
        const char *Reason;
    } cases[] = {
        {"climb", {{"../../escaped.txt", "x"}}, "points outside its folder"},
        {"absolute", {{"/tmp/escaped.txt", "x"}}, "a name no template has"},
        {"backslash", {{"..\\escaped.txt", "x"}}, "a name no template has"},
        {"link", {{"Party/template.bmp", "/etc/passwd", true}}, "holds a link"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<TZipEntry> entries = EntriesOf(party, "Party/");
        entries.insert(entries.end(), c.Entries.begin(), c.Entries.end());
        const QString zip = Root() + c.Name + ".zip";
        ASSERT_TRUE(WriteZip(zip, entries));
        const QString why = Refusal(zip);
        EXPECT_TRUE(why.contains(c.Reason)) << why.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(Root() + "home/escaped.txt"));
    EXPECT_FALSE(QFileInfo::exists(Root() + "escaped.txt"));
    EXPECT_TRUE(MineNow().isEmpty()) << MineNow().join(' ').toStdString();

    QFile garbage(Root() + "garbage.zip");
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("PK\x03\x04 this is not really an archive");
    garbage.close();
    EXPECT_TRUE(Refusal(Root() + "garbage.zip").contains("not a zip archive")) << Refusal(Root() + "garbage.zip").toStdString();
}

TEST(TemplateArchive, AnArchiveLargerThanATemplateCanBeIsRefusedUnread)
{
    QTemporaryDir dest;
    // Sizes come from the archive's directory, so a small archive that
    // claims too much is refused before a byte is unpacked.
    QTemporaryDir work;
    const QString zip = work.path() + "/big.zip";
    std::vector<TZipEntry> zeros;
    const QByteArray block(64 << 20, '\0');  // shared: a copy of a QByteArray shares its bytes
    for (std::int64_t total = 0; total <= MaxUnpackedBytes; total += block.size())
        zeros.push_back({QString("zeros%1.bin").arg(zeros.size()), block});
    ASSERT_TRUE(WriteZip(zip, zeros));
    EXPECT_LT(QFileInfo(zip).size(), 4 << 20) << "zeros pack small";
    try {
        UnpackArchiveFile(zip, dest.path());
        ADD_FAILURE() << "unpacked";
    } catch (const EArchiveError &e) {
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains("more than a template can hold")) << e.what();
    }
    EXPECT_TRUE(QDir(dest.path()).isEmpty());
}

// In the gallery: the template chosen by its template.bmp is listed and
// selected with its preview.
TEST_F(TemplateImport, TheGalleryListsAndSelectsTheImportedTemplate)
{
    ASSERT_TRUE(CopyDirectory(TESSALY_OUTPUT_DIR "/Template/Postcard/", Shipped() + "Postcard/"));
    ASSERT_TRUE(CopyDirectory(TESSALY_OUTPUT_DIR "/Template/Birthday/", Shipped() + "Birthday/"));
    TPlaces places = PlacesBeside(Root() + "share");
    places.UserTemplates = Mine();
    places.Cards = Root() + "cards/";
    TScriptedDialogs dialogs;
    const QString before = QDir::currentPath();
    {
        TFrmNew gallery(places, dialogs);
        EXPECT_EQ(gallery.ListBox1->count(), 2);
        dialogs.FileAnswers.push_back(TScriptedDialogs::FileAnswer{Root() + "from a friend/Party/template.bmp"});
        gallery.ImportButton->click();
        EXPECT_TRUE(dialogs.Messages.isEmpty()) << dialogs.Messages.join('|').toStdString();
        ASSERT_EQ(dialogs.FileDialogs.size(), 1u);
        EXPECT_EQ(dialogs.FileDialogs[0].Filter, "Template (template.bmp *.zip)");
        ASSERT_EQ(gallery.ListBox1->count(), 3);
        EXPECT_EQ(gallery.ListBox1->currentItem()->text(), "Party");

        // The same again: refused with the reason, the list as it was.
        dialogs.FileAnswers.push_back(TScriptedDialogs::FileAnswer{Root() + "from a friend/Party/template.bmp"});
        gallery.ImportButton->click();
        EXPECT_EQ(gallery.ListBox1->count(), 3);
        ASSERT_EQ(dialogs.Messages.size(), 1);
        EXPECT_TRUE(dialogs.Messages[0].contains("already in the list"));
    }
    QDir::setCurrent(before);
}

} // namespace
