// CSV lists as spreadsheets write them, and as they go wrong.
#include "merge/csv_reader.h"
#include "merge_test_support.h"

#include <gmock/gmock.h>

#include <string>

using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

QStringList Values(const TRecipientTable &table, std::size_t row) { return table.Rows.at(row).Values; }

TEST(CsvReader, QuotedValuesHoldSeparatorsQuotesAndLineBreaks)
{
    const TRecipientTable table = ReadCsvRecipients(
        "Name,Address,Note\r\n"
        "\"Berg, Anna\",\"12 Long Road\r\nLittle Town\",\"She said \"\"hello\"\"\"\r\n"
        "Bob,,\"\"\r\n");
    EXPECT_EQ(table.Columns, QStringList({"Name", "Address", "Note"}));
    ASSERT_EQ(table.Rows.size(), 2u);
    EXPECT_EQ(Values(table, 0), QStringList({"Berg, Anna", "12 Long Road\nLittle Town", "She said \"hello\""}));
    EXPECT_EQ(Values(table, 1), QStringList({"Bob", "", ""}));
    EXPECT_TRUE(table.Rows[0].Ticked);
    EXPECT_THAT(table.Warnings, IsEmpty());
}

TEST(CsvReader, FindsSemicolonsAndTabs)
{
    // A European spreadsheet: semicolons, and commas inside the values.
    const TRecipientTable semicolons = ReadCsvRecipients("Name;City\nBerg, Anna;Lund\nCruz;Porto, Norte\n");
    EXPECT_EQ(semicolons.Columns, QStringList({"Name", "City"}));
    EXPECT_EQ(Values(semicolons, 0), QStringList({"Berg, Anna", "Lund"}));
    EXPECT_EQ(Values(semicolons, 1), QStringList({"Cruz", "Porto, Norte"}));

    const TRecipientTable tabs = ReadCsvRecipients("Name\tCity\tNote\nAnna\tLund\ta; b, c\n");
    EXPECT_EQ(tabs.Columns, QStringList({"Name", "City", "Note"}));
    EXPECT_EQ(Values(tabs, 0), QStringList({"Anna", "Lund", "a; b, c"}));

    // Excel's line naming the separator; lines are still counted from it.
    const TRecipientTable named = ReadCsvRecipients("sep=|\r\nName|City\r\nA,B|C\r\n");
    EXPECT_EQ(named.Columns, QStringList({"Name", "City"}));
    EXPECT_EQ(Values(named, 0), QStringList({"A,B", "C"}));
    EXPECT_THAT(RefusalOf([] { ReadCsvRecipients("sep=;\nName;City\n\"A;B\n"); }), HasSubstr("line 3"));

    // A separator in a quoted header name does not count.
    EXPECT_EQ(DetectDelimiter("\"Last, first\";City\nx;y\n"), ';');
    // The header alone is ambiguous here; the rows decide.
    EXPECT_EQ(DetectDelimiter("Name;Street, number\nA;B\nC;D\n"), ';');
    EXPECT_EQ(DetectDelimiter("Name\n"), ',');
}

TEST(CsvReader, ReadsUtf8WithAndWithoutBomWindows1252AndUtf16)
{
    const QStringList expected = {QStringLiteral("Zoë Ørsted"), QStringLiteral("Köln – €5")};
    const TRecipientTable withBom = ReadCsvRecipients("\xEF\xBB\xBFName,Note\nZo\xC3\xAB \xC3\x98rsted,"
                                                      "K\xC3\xB6ln \xE2\x80\x93 \xE2\x82\xAC" "5\n");
    EXPECT_EQ(withBom.Columns.front(), "Name") << "the byte order mark is not part of the first name";
    EXPECT_EQ(Values(withBom, 0), expected);

    const TRecipientTable withoutBom = ReadCsvRecipients("Name,Note\nZo\xC3\xAB \xC3\x98rsted,"
                                                         "K\xC3\xB6ln \xE2\x80\x93 \xE2\x82\xAC" "5\n");
    EXPECT_EQ(Values(withoutBom, 0), expected);

    // Windows-1252: ë F8 ö, the en dash 96 and the euro 80 differ from Latin-1.
    const TRecipientTable cp1252 = ReadCsvRecipients("Name,Note\nZo\xEB \xD8rsted,K\xF6ln \x96 \x80" "5\n");
    EXPECT_EQ(Values(cp1252, 0), expected);

    const QString text = QStringLiteral("Name\tNote\r\nZoë Ørsted\tKöln – €5\r\n");
    QByteArray utf16("\xFF\xFE", 2);
    for (const QChar c : text) {
        utf16 += char(c.unicode() & 0xFF);
        utf16 += char(c.unicode() >> 8);
    }
    const TRecipientTable unicodeText = ReadCsvRecipients(std::string_view(utf16.constData(), utf16.size()));
    EXPECT_EQ(Values(unicodeText, 0), expected);
}

TEST(CsvReader, RaggedRowsAreReadWithAWarningNamingTheirLines)
{
    const TRecipientTable table = ReadCsvRecipients("Name,City,Country\n"
                                                    "Anna,Lund,Sweden\n"
                                                    "Bob,Leeds\n"                // line 3: short
                                                    "\"Cruz\nJr\",Porto\n"       // lines 4-5: short
                                                    "Dee,Oslo,Norway,extra\n"    // line 6: long
                                                    "Eve,Rome,Italy,\n"          // an empty extra is no loss
                                                    "\n"
                                                    ",,\n");                     // line 9: empty
    ASSERT_EQ(table.Rows.size(), 5u);
    EXPECT_EQ(Values(table, 1), QStringList({"Bob", "Leeds", ""}));
    EXPECT_EQ(Values(table, 2), QStringList({"Cruz\nJr", "Porto", ""}));
    EXPECT_EQ(Values(table, 3), QStringList({"Dee", "Oslo", "Norway"}));
    ASSERT_EQ(table.Warnings.size(), 3) << Joined(table.Warnings);
    EXPECT_THAT(table.Warnings[0].toStdString(), HasSubstr("fewer values than the header row has columns (lines 3 and 4)"));
    EXPECT_THAT(table.Warnings[1].toStdString(), HasSubstr("more values than the header row has columns (line 6)"));
    EXPECT_THAT(table.Warnings[2].toStdString(), HasSubstr("Empty rows are left out (line 9)"));
}

TEST(CsvReader, WarningsNameTheFirstTenLinesAndCountTheRest)
{
    std::string list = "Name,City\n";
    for (int i = 0; i < 1200; ++i)
        list += "x\n";
    EXPECT_THAT(Joined(ReadCsvRecipients(list).Warnings),
                HasSubstr("(lines 2, 3, 4, 5, 6, 7, 8, 9, 10, 11 and 1,190 more)"));
}

TEST(CsvReader, HeaderNamesAreMadeUsable)
{
    const TRecipientTable table = ReadCsvRecipients("Name,,Name,\"First\nname\"\nA,B,C,D\n");
    EXPECT_EQ(table.Columns, QStringList({"Name", "Column 2", "Name (2)", "First name"}));
    EXPECT_EQ(table.Warnings.size(), 2) << Joined(table.Warnings);
    EXPECT_THAT(Joined(ReadCsvRecipients("Name\n").Warnings), HasSubstr("no recipients"));

    // The empty columns a spreadsheet leaves after the last one are no columns.
    const TRecipientTable trailing = ReadCsvRecipients("Name,City,,\r\nAnn,Lund,,\r\nBob,Leeds, ,\r\n");
    EXPECT_EQ(trailing.Columns, QStringList({"Name", "City"}));
    EXPECT_EQ(trailing.Rows.at(1).Values, QStringList({"Bob", "Leeds"}));
    EXPECT_TRUE(trailing.Warnings.isEmpty()) << Joined(trailing.Warnings);
}

TEST(CsvReader, ControlCharactersAndLineEndsInValuesAreCleaned)
{
    const TRecipientTable table = ReadCsvRecipients("Name\n\"a\rb\r\nc\x01\x7F\td\"\n");
    EXPECT_EQ(Values(table, 0), QStringList({"a\nb\nc\td"}));
}

TEST(CsvReader, BadQuotesAreRefusedNamingTheLine)
{
    EXPECT_THAT(RefusalOf([] { ReadCsvRecipients("Name,Note\nAnn,x\nBob,\"unclosed\nCid,y\nDan,z\n"); }),
                HasSubstr("The quote opened in line 3 of the list is never closed"));
    EXPECT_THAT(RefusalOf([] { ReadCsvRecipients("\"Name,Note\nAnn,x\n"); }),
                HasSubstr("opened in line 1"));
    EXPECT_THAT(RefusalOf([] { ReadCsvRecipients("Name,Note\nAnn,x\nBob,\"said\"no\n"); }),
                HasSubstr("Line 3 of the list has a quote in the wrong place"));
    // The error is counted in lines of the file, not rows of the list.
    EXPECT_THAT(RefusalOf([] { ReadCsvRecipients("Name,Note\n\"A\nB\nC\",x\nBob,ab\"c\n"); }),
                HasSubstr("Line 5 of the list"));
}

TEST(CsvReader, BytesThatCannotBeDecodedAreRefusedNamingTheLine)
{
    // UTF-8 before, then a lone Latin-1 byte: a file of two encodings.
    EXPECT_THAT(RefusalOf([] { ReadCsvRecipients("Name\nZo\xC3\xAB\nAnn\nBj\xF6rn\n"); }),
                HasSubstr("Line 4 of the list holds bytes that are not valid UTF-8"));
    // A byte order mark promises UTF-8.
    EXPECT_THAT(RefusalOf([] { ReadCsvRecipients("\xEF\xBB\xBFName\nAnn\nBj\xF6rn\n"); }),
                HasSubstr("Line 3 of the list holds bytes that are not valid UTF-8"));
    // 0x81 means nothing in Windows-1252.
    EXPECT_THAT(RefusalOf([] { ReadCsvRecipients("Name\n\xF6\n\n\x81\n"); }),
                HasSubstr("Line 4 of the list holds a byte that is neither UTF-8 nor Windows-1252 text (0x81)"));
    EXPECT_THAT(RefusalOf([] { ReadCsvRecipients(std::string_view("Name\nA\0B\n", 9)); }),
                HasSubstr("Line 2 of the list holds a NUL character"));
    static constexpr char CutSurrogate[] = "\xFF\xFEN\x00" "a\x00\n\x00\x00\xD8";
    EXPECT_THAT(RefusalOf([] { ReadCsvRecipients(std::string_view(CutSurrogate, sizeof CutSurrogate - 1)); }),
                HasSubstr("not valid UTF-16"));
}

TEST(CsvReader, EmptyListsAreRefused)
{
    EXPECT_THAT(RefusalOf([] { ReadCsvRecipients(""); }), HasSubstr("The list is empty"));
    EXPECT_THAT(RefusalOf([] { ReadCsvRecipients("\xEF\xBB\xBF\r\n\r\n"); }), HasSubstr("The list is empty"));
}

TEST(CsvReader, AValueOverTheLimitIsRefusedNamingTheLine)
{
    std::string list = "Name,Note\nAnn,x\nBob,\"";
    list.append(MaxFieldBytes - 1, 'a');
    list += "\nb\"\n";
    const std::string refusal = RefusalOf([&] { ReadCsvRecipients(list); });
    EXPECT_THAT(refusal, HasSubstr("The value in line 3 of the list is longer than 10 MB"));

    list = "Name\n";
    list.append(MaxFieldBytes, 'a');
    EXPECT_EQ(ReadCsvRecipients(list).Rows.at(0).Values.at(0).size(), qsizetype(MaxFieldBytes)) << "at the limit";
}

TEST(CsvReader, MoreThanTheMostRecipientsAreRefused)
{
    std::string list = "Name\n";
    for (std::size_t i = 0; i < MaxRecipients; ++i)
        list += "x\n";
    EXPECT_EQ(ReadCsvRecipients(list).Rows.size(), MaxRecipients);
    list += "one too many\n";
    EXPECT_THAT(RefusalOf([&] { ReadCsvRecipients(list); }),
                HasSubstr("more than 100,000 recipients (line 100002 begins recipient 100,001)"));
}

TEST(CsvReader, WideListsAreRefusedBeforeTheyArePadded)
{
    std::string header(MaxColumns, ',');
    EXPECT_THAT(RefusalOf([&] { ReadCsvRecipients(header + "\n"); }), HasSubstr("more than 1000 columns"));

    // A short line under a wide header would be padded to the width: the
    // number of values is limited, not only the rows.
    std::string list(MaxColumns - 1, ',');
    list = "a" + list + "\n";
    for (std::size_t i = 0; i < MaxValues / MaxColumns + 1; ++i)
        list += "x\n";
    EXPECT_THAT(RefusalOf([&] { ReadCsvRecipients(list); }), HasSubstr("more than 10,000,000 values"));
}

} // namespace
