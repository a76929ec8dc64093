// Lists read from files: what kind of list, and files that are no list.
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

TEST_F(RecipientFile, TheContentDecidesTheKindOfList)
{
    const TRecipientTable csv = ReadRecipientFile(Write("guests.vcf", "Name;City\nAnn;Lund\n"));
    EXPECT_EQ(csv.Columns, QStringList({"Name", "City"}));
    const TRecipientTable vcard = ReadRecipientFile(Write("guests.txt", "BEGIN:VCARD\nFN:Ann\nEND:VCARD\n"));
    EXPECT_EQ(vcard.Columns, VCardColumns);
    EXPECT_EQ(vcard.Value(0, "Full name"), "Ann");
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
