// Address books as phones and mail programs export them.
#include "merge/vcard_lines.h"
#include "merge/vcard_reader.h"
#include "merge_test_support.h"

#include <gmock/gmock.h>

using ::testing::HasSubstr;
using ::testing::IsEmpty;

namespace {

QString Value(const TRecipientTable &table, std::size_t row, const char *column)
{
    EXPECT_GE(table.ColumnIndex(QString::fromLatin1(column)), 0) << column;
    return table.Value(row, QString::fromLatin1(column));
}

TEST(VCardReader, Version3WithFoldedLinesAndEscapes)
{
    // RFC 2426: a line break followed by one blank continues the line, and
    // the blank is removed.
    const TRecipientTable table = ReadVCardRecipients(
        "BEGIN:VCARD\r\n"
        "VERSION:3.0\r\n"
        "N:Berg;Anna;Maria;Dr.;PhD\r\n"
        "FN:Dr. Anna Maria Ber\r\n"
        " g\r\n"
        "ORG:Berg\\, Lund & Co;Sales\r\n"
        "item1.EMAIL;type=INTERNET;type=pref:anna@example.org\r\n"
        "EMAIL;TYPE=INTERNET:other@example.org\r\n"
        "ADR;TYPE=WORK:;;1 Office Park;Malmö;;211 20;Sweden\r\n"
        "ADR;TYPE=HOME:;Flat 3;12 Long Road\\nBack door;Lund;Skåne;222 21;\r\n"
        "\tSweden\r\n"
        "TEL;TYPE=CELL:+46 70 123 45 67\r\n"
        "NOTE:a\\; b\\\\c\\,d\r\n"
        "END:VCARD\r\n");
    ASSERT_EQ(table.Rows.size(), 1u);
    EXPECT_EQ(table.Columns, VCardColumns);
    EXPECT_EQ(Value(table, 0, "Full name"), "Dr. Anna Maria Berg");
    EXPECT_EQ(Value(table, 0, "Prefix"), "Dr.");
    EXPECT_EQ(Value(table, 0, "First name"), "Anna");
    EXPECT_EQ(Value(table, 0, "Middle name"), "Maria");
    EXPECT_EQ(Value(table, 0, "Last name"), "Berg");
    EXPECT_EQ(Value(table, 0, "Suffix"), "PhD");
    EXPECT_EQ(Value(table, 0, "Organization"), "Berg, Lund & Co");
    EXPECT_EQ(Value(table, 0, "Email"), "anna@example.org") << "the preferred one";
    // The home address, though the work address comes first.
    EXPECT_EQ(Value(table, 0, "Street"), "12 Long Road\nBack door\nFlat 3");
    EXPECT_EQ(Value(table, 0, "City"), QStringLiteral("Lund"));
    EXPECT_EQ(Value(table, 0, "Region"), QStringLiteral("Skåne"));
    EXPECT_EQ(Value(table, 0, "Postal code"), "222 21");
    EXPECT_EQ(Value(table, 0, "Country"), "Sweden");
    EXPECT_EQ(Value(table, 0, "Address"), QStringLiteral("12 Long Road\nBack door\nFlat 3\nLund, Skåne 222 21\nSweden"));
    EXPECT_EQ(Value(table, 0, "Phone"), "+46 70 123 45 67");
    EXPECT_THAT(table.Warnings, IsEmpty()) << Joined(table.Warnings);
}

TEST(VCardReader, Version4WithParametersAndLabels)
{
    const TRecipientTable table = ReadVCardRecipients(
        "BEGIN:VCARD\n"
        "VERSION:4.0\n"
        "FN:Chloé \"Coco\" Durand\n"
        "N:Durand;Chloé;;;\n"
        "NICKNAME:Coco\n"
        "ADR;TYPE=\"home,pref\";LABEL=\"3 rue des Fleurs^n75001 Paris^nFrance\":;;3 rue des Fleurs;Paris;;75001;France\n"
        "TEL;VALUE=uri;PREF=1;TYPE=\"voice,home\":tel:+33-1-23-45-67-89\n"
        "EMAIL;PREF=1:coco@example.fr\n"
        "END:VCARD\n"
        "BEGIN:VCARD\n"
        "VERSION:4.0\n"
        "N:Okafor;Emeka;;;\n"
        "ADR:;;7 Hill St;;;10115;Germany\n"
        "END:VCARD\n");
    ASSERT_EQ(table.Rows.size(), 2u);
    EXPECT_EQ(Value(table, 0, "Full name"), QStringLiteral("Chloé \"Coco\" Durand"));
    EXPECT_EQ(Value(table, 0, "Nickname"), "Coco");
    EXPECT_EQ(Value(table, 0, "Address"), "3 rue des Fleurs\n75001 Paris\nFrance");
    EXPECT_EQ(Value(table, 0, "Phone"), "+33-1-23-45-67-89");
    EXPECT_EQ(Value(table, 0, "Email"), "coco@example.fr");
    EXPECT_EQ(Value(table, 1, "Full name"), "Emeka Okafor") << "made from N when FN is missing";
    EXPECT_EQ(Value(table, 1, "Address"), "7 Hill St\n10115\nGermany");
}

TEST(VCardReader, Version21QuotedPrintableAndCharsets)
{
    // A phone's export: quoted-printable with soft line breaks (a line
    // ending in "=" goes on in the next, indented or not), a CHARSET of its
    // own, bare parameters, and 2.1 folding, which keeps the blank.
    const TRecipientTable table = ReadVCardRecipients(
        "BEGIN:VCARD\r\n"
        "VERSION:2.1\r\n"
        "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=98rsted;Zo=C3=AB;;;\r\n"
        "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:Zo=C3=AB =C3=98rs=\r\n"
        "ted\r\n"
        "ADR;HOME;QUOTED-PRINTABLE:;;Gamle vej 1=0D=0A2. sal;K=F8benhavn;;1000;=\r\n"
        "Danmark\r\n"
        "TEL;CELL;PREF:+45 12 34 56 78\r\n"
        "NOTE:a long\r\n"
        " note\r\n"
        "END:VCARD\r\n"
        "BEGIN:VCARD\r\n"
        "VERSION:2.1\r\n"
        "N;CHARSET=ISO-8859-1:M\xFCller;J\xFCrgen\r\n"
        "END:VCARD\r\n");
    ASSERT_EQ(table.Rows.size(), 2u);
    EXPECT_EQ(Value(table, 0, "Full name"), QStringLiteral("Zoë Ørsted"));
    EXPECT_EQ(Value(table, 0, "First name"), QStringLiteral("Zoë"));
    // No CHARSET: not UTF-8, so Windows-1252.
    EXPECT_EQ(Value(table, 0, "City"), QStringLiteral("København"));
    EXPECT_EQ(Value(table, 0, "Street"), "Gamle vej 1\n2. sal");
    EXPECT_EQ(Value(table, 0, "Country"), "Danmark");
    EXPECT_EQ(Value(table, 0, "Phone"), "+45 12 34 56 78");
    EXPECT_EQ(Value(table, 1, "Full name"), QStringLiteral("Jürgen Müller"));
}

TEST(VCardReader, FilesWithByteOrderMarksAndOddCards)
{
    const TRecipientTable table = ReadVCardRecipients(
        "\xEF\xBB\xBF"
        "some text before\n"
        "begin:vcard\nversion:3.0\nfn:Ann\nend:vcard\n"
        "BEGIN:VCARD\nVERSION:3.0\nEND:VCARD\n"                  // empty: left out
        "BEGIN:VCARD\nVERSION:3.0\nEMAIL:x@example.org\nEND:VCARD\n" // no name
        "BEGIN:VCARD\nVERSION:5.0\nFN:Future\nno property\nEND:VCARD\n");
    ASSERT_EQ(table.Rows.size(), 3u);
    EXPECT_EQ(Value(table, 0, "Full name"), "Ann");
    const std::string warnings = Joined(table.Warnings);
    EXPECT_THAT(warnings, HasSubstr("Text outside the cards is passed over (line 1)"));
    EXPECT_THAT(warnings, HasSubstr("are left out (line 6)"));
    EXPECT_THAT(warnings, HasSubstr("Some cards have no name (line 9)"));
    EXPECT_THAT(warnings, HasSubstr("other than 2.1, 3.0 and 4.0 and are read as 4.0 (line 13)"));
    EXPECT_THAT(warnings, HasSubstr("Lines in cards that are no vCard property are passed over (line 16)"));

    // A Windows address book's UTF-16.
    QByteArray utf16("\xFF\xFE", 2);
    for (const QChar c : QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zoë\r\n \\, 👋\r\nEND:VCARD\r\n")) {
        utf16 += char(c.unicode() & 0xFF);
        utf16 += char(c.unicode() >> 8);
    }
    const std::string_view utf16View(utf16.constData(), std::size_t(utf16.size()));
    EXPECT_TRUE(LooksLikeVCard(utf16View));
    EXPECT_EQ(Value(ReadVCardRecipients(utf16View), 0, "Full name"), QStringLiteral("Zoë, 👋"));

    EXPECT_TRUE(LooksLikeVCard("\xEF\xBB\xBF\r\n  begin:VCARD\r\n"));
    EXPECT_TRUE(LooksLikeVCard(std::string_view("\xFF\xFE" "B\0E\0G\0I\0N\0:\0V\0C\0A\0R\0D\0", 24)));
    EXPECT_FALSE(LooksLikeVCard("Name,BEGIN:VCARD\n"));
    EXPECT_FALSE(LooksLikeVCard("BEGIN"));
}

TEST(VCardReader, BrokenFilesAreRefusedNamingTheLine)
{
    EXPECT_THAT(RefusalOf([] { ReadVCardRecipients("BEGIN:VCARD\nFN:A\nEND:VCARD\nBEGIN:VCARD\nFN:B\n"); }),
                HasSubstr("The card that begins in line 4 of the list has no END:VCARD"));
    EXPECT_THAT(RefusalOf([] { ReadVCardRecipients("BEGIN:VCARD\nFN:A\nBEGIN:VCARD\nFN:B\nEND:VCARD\n"); }),
                HasSubstr("begins in line 1 of the list has no END:VCARD before the next card begins in line 3"));
    EXPECT_THAT(RefusalOf([] { ReadVCardRecipients("FN:A\n"); }), HasSubstr("holds no vCard"));
    // Bytes that no encoding reads, and no CHARSET that would.
    EXPECT_THAT(RefusalOf([] { ReadVCardRecipients("BEGIN:VCARD\nVERSION:3.0\nFN:A\x81\nEND:VCARD\n"); }),
                HasSubstr("Line 3 of the list holds bytes that are neither UTF-8 nor Windows-1252"));
    std::string huge = "BEGIN:VCARD\nVERSION:3.0\nFN:A\nNOTE:";
    for (int i = 0; i < 20; ++i)
        huge += std::string(MaxFieldBytes / 20, 'x') + "\n ";
    huge += "\nEND:VCARD\n";
    EXPECT_THAT(RefusalOf([&] { ReadVCardRecipients(huge); }),
                HasSubstr("The property in line 4 of the list is longer than 10 MB"));
}

TEST(VCardReader, CardsOfEndlessLinesAreRefused)
{
    // Millions of empty lines cost nothing; a card of too many lines is refused.
    std::string blank(20 * 1000 * 1000, '\n');
    EXPECT_THAT(RefusalOf([&] { ReadVCardRecipients(blank); }), HasSubstr("holds no vCard"));
    std::string card = "BEGIN:VCARD\nVERSION:3.0\n";
    for (std::size_t i = 0; i < MaxCardProperties; ++i)
        card += "X:x\n";
    EXPECT_THAT(RefusalOf([&] { ReadVCardRecipients(card + "END:VCARD\n"); }),
                HasSubstr("The card that begins in line 1 of the list has more than 10,000 lines"));
}

TEST(VCardReader, MoreThanTheMostCardsAreRefused)
{
    std::string cards;
    for (std::size_t i = 0; i <= MaxRecipients; ++i)
        cards += "BEGIN:VCARD\nFN:x\nEND:VCARD\n";
    EXPECT_THAT(RefusalOf([&] { ReadVCardRecipients(cards); }),
                HasSubstr("more than 100,000 cards (line 300001 begins card 100,001)"));
}

} // namespace
