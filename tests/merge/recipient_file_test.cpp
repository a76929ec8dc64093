// Lists read from files: what kind of list, and files that are no list.
#include "merge/kept_list.h"
#include "merge/recipient_file.h"
#include "merge/vcard_reader.h"
#include "merge_test_support.h"

#include "imaging/fileerrors.h"

#include <gmock/gmock.h>

#include <QFile>
#include <QTemporaryDir>

#include <sys/stat.h>

using ::testing::HasSubstr;

namespace {

class RecipientFile : public ::testing::Test {
protected:
    QString Write(const QString &name, const QByteArray &bytes)
    {
        QFile file(folder.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return file.fileName();
    }
    QTemporaryDir folder;
};

TEST_F(RecipientFile, TheContentOrTheNameDecidesTheKindOfList)
{
    const TRecipientTable csv = ReadRecipientFile(Write("guests.csv", "Name;City\nAnn;Lund\n"));
    EXPECT_EQ(csv.Columns, QStringList({"Name", "City"}));
    const TRecipientTable vcard = ReadRecipientFile(Write("guests.txt", "BEGIN:VCARD\nFN:Ann\nEND:VCARD\n"));
    EXPECT_EQ(vcard.Columns, VCardColumns);
    EXPECT_EQ(vcard.Value(0, "Full name"), "Ann");
    // An address book whose first line is something else is still one.
    const TRecipientTable named = ReadRecipientFile(Write("book.VCF", "Exported\nBEGIN:VCARD\nFN:Ann\nEND:VCARD\n"));
    EXPECT_EQ(named.Value(0, "Full name"), "Ann");
    EXPECT_THAT(RefusalOf([&] { ReadRecipientFile(Write("list.vcf", "Name;City\nAnn;Lund\n")); }),
                HasSubstr("holds no vCard"));
}

TEST_F(RecipientFile, OneGuestListInEveryEncodingAndSeparator)
{
    // The same four guests as spreadsheets save them: comma and UTF-8 with
    // and without a byte order mark, semicolons in Windows-1252, tabs in
    // UTF-16 ("Unicode text").
    const QString data = QStringLiteral(TESSALY_SOURCE_DIR "/tests/merge/data/csv/");
    const TRecipientTable expected = ReadRecipientFile(data + "guests-comma.csv");
    ASSERT_EQ(expected.Rows.size(), 4u);
    EXPECT_EQ(expected.Columns,
              QStringList({"Title", "First name", "Last name", "Street", "City", "Postal code"}));
    EXPECT_EQ(expected.Rows[1].Values,
              QStringList({"", QStringLiteral("Zoë"), QStringLiteral("Ørsted"), "Gamle vej 1\n2. sal",
                           QStringLiteral("København"), "1000"}));
    EXPECT_EQ(expected.Rows[2].Values[1], "Bob \"Bobby\"");
    EXPECT_EQ(expected.Rows[2].Values[2], "Smith, Jr.");
    for (const char *name : {"guests-bom.csv", "guests-semicolon-1252.csv", "guests-tab-utf16.txt"})
        EXPECT_EQ(ReadRecipientFile(data + name), expected) << name;
}

TEST_F(RecipientFile, RefusalsNameTheFile)
{
    const QString path = Write("guests.csv", "Name\n\"Ann\n");
    const std::string refusal = RefusalOf([&] { ReadRecipientFile(path); });
    EXPECT_THAT(refusal, HasSubstr("Cannot read the recipient list \"" + path.toStdString() + "\"."));
    EXPECT_THAT(refusal, HasSubstr("line 2"));
}

TEST_F(RecipientFile, AFileOverTheLimitIsRefusedBeforeItIsRead)
{
    // Sparse: the size is there without the bytes, so reading it would be
    // slow and large, and a refusal before reading is quick.
    const QString path = Write("huge.csv", "Name\n");
    ASSERT_TRUE(QFile::resize(path, qint64(MaxListFileBytes) + 1));
    EXPECT_THAT(RefusalOf([&] { ReadRecipientFile(path); }), HasSubstr("larger than 100 MB"));

    ASSERT_TRUE(QFile::resize(path, 5));
    EXPECT_EQ(ReadRecipientFile(path).Columns, QStringList({"Name"}));
}

TEST_F(RecipientFile, OnlyRegularFilesAreRead)
{
    const QString fifo = folder.filePath("pipe.csv");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_THROW(ReadRecipientFile(fifo), EFOpenError) << "a FIFO would never end";
    EXPECT_THROW(ReadRecipientFile(folder.path()), EFOpenError);
    EXPECT_THROW(ReadRecipientFile(folder.filePath("missing.csv")), EFOpenError);
}

} // namespace

namespace {

// The samples the fuzz targets start from are lists the readers take.
TEST(RecipientSamples, AddressBooksAndTheKeptListRead)
{
    const QString data = QStringLiteral(TESSALY_SOURCE_DIR "/tests/merge/data/");
    EXPECT_EQ(ReadRecipientFile(data + "vcard/phone-2.1.vcf").Value(0, "Full name"), QStringLiteral("Zoë Ørsted"));
    EXPECT_EQ(ReadRecipientFile(data + "vcard/mail-3.0.vcf").Value(0, "Full name"), "Dr. Anna Maria Berg");
    EXPECT_EQ(ReadRecipientFile(data + "vcard/contacts-4.0.vcf").Value(0, "City"), "Paris");
    const TRecipientTable ragged = ReadRecipientFile(data + "csv/ragged.csv");
    EXPECT_EQ(ragged.Rows.size(), 3u);
    EXPECT_EQ(ragged.Warnings.size(), 3);
    const TRecipientTable kept = ReadKeptList(data + "kept");
    ASSERT_EQ(kept.Rows.size(), 3u);
    EXPECT_FALSE(kept.Rows[1].Ticked);
    EXPECT_EQ(kept.Rows[2].Values, QStringList({QStringLiteral("Zoë"), "Line 1\nLine 2"}));
}

} // namespace
