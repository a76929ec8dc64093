// The list kept with a card: written whole, read back exactly, passed over
// by everything that lists a card folder.
#include "merge/kept_list.h"
#include "merge/csv_reader.h"
#include "merge_test_support.h"

#include "imaging/atomicfile.h"

#include <gmock/gmock.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using ::testing::HasSubstr;

namespace {

TRecipientTable Awkward()
{
    TRecipientTable table;
    table.Columns = {"Print", "Name", "Note \"quoted\", too", QStringLiteral("Ünïcødé")};
    table.Rows.push_back({{"yes", "  Ann  ", "a,b;c\td\n\"e\"", ""}, true});
    table.Rows.push_back({{"", "", "", ""}, false});
    table.Rows.push_back({{"no", QStringLiteral("\uFEFFZoë 👋"), "line\nbreaks\n", "="}, true});
    return table;
}

TEST(KeptList, ReadsBackExactlyWhatWasWritten)
{
    QTemporaryDir card;
    const TRecipientTable table = Awkward();
    WriteKeptList(card.path(), table);
    EXPECT_TRUE(HasKeptList(card.path()));
    const TRecipientTable read = ReadKeptList(card.path() + "/");
    EXPECT_EQ(read, table) << Joined(read.Warnings);
    EXPECT_TRUE(read.Warnings.isEmpty()) << Joined(read.Warnings);

    // Written again, the same bytes: nothing drifts from save to save.
    EXPECT_EQ(KeptListBytes(read), KeptListBytes(table));

    TRecipientTable empty;
    empty.Columns = {"Name"};
    WriteKeptList(card.path(), empty);
    EXPECT_EQ(ReadKeptList(card.path()), empty);
}

TEST(KeptList, IsPlainCsvThatSpreadsheetsOpen)
{
    TRecipientTable table;
    table.Columns = {"Name", "City"};
    table.Rows.push_back({{"Berg, Anna", "Lund"}, true});
    table.Rows.push_back({{"Bob", "Leeds"}, false});
    EXPECT_EQ(KeptListBytes(table), "\xEF\xBB\xBF\"Print\",\"Name\",\"City\"\r\n"
                                    "\"yes\",\"Berg, Anna\",\"Lund\"\r\n"
                                    "\"no\",\"Bob\",\"Leeds\"\r\n");
    const TRecipientTable asAnyList = ReadCsvRecipients(KeptListBytes(table));
    EXPECT_EQ(asAnyList.Columns, QStringList({"Print", "Name", "City"}));
}

TEST(KeptList, IsNoFileThatOpenNewOrTheWriterTakeForTheirs)
{
    // Open offers *.crd files only, New and the card list show folders,
    // and Save removes the atomic writer's leftovers.
    EXPECT_FALSE(KeptListFileName.endsWith(".crd", Qt::CaseInsensitive));
    EXPECT_FALSE(KeptListFileName.startsWith('.'));
    EXPECT_FALSE(IsAtomicFileTemporary(QFile::encodeName(KeptListFileName).toStdString()));

    QTemporaryDir card;
    WriteKeptList(card.path(), Awkward());
    EXPECT_EQ(RemoveStaleTemporaries(QFile::encodeName(card.path() + "/").toStdString()), 0);
    EXPECT_EQ(QDir(card.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({KeptListFileName}))
        << "no temporary file left beside it";
    EXPECT_TRUE(QDir(card.path()).entryList({"*.crd"}, QDir::Files).isEmpty());
    EXPECT_TRUE(QDir(card.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
}

TEST(KeptList, OtherFilesAreRefused)
{
    EXPECT_THAT(RefusalOf([] { ParseKeptList("Name,City\nAnn,Lund\n"); }),
                HasSubstr("its first column is not \"Print\""));
    EXPECT_THAT(RefusalOf([] { ParseKeptList("Print,Name\nyes,Ann\nmaybe,Bob\n"); }),
                HasSubstr("Recipient 2 of the kept list is marked \"maybe\""));

    QTemporaryDir card;
    EXPECT_FALSE(HasKeptList(card.path()));
    QFile file(KeptListPath(card.path()));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("\"Print\",\"Name\"\r\n\"yes\",\"Ann\r\n");
    file.close();
    const std::string refusal = RefusalOf([&] { ReadKeptList(card.path()); });
    EXPECT_THAT(refusal, HasSubstr("Cannot read the recipient list kept with the card"));
    EXPECT_THAT(refusal, HasSubstr("line 2"));
}

} // namespace
