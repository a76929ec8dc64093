// {{Fields}} in a card's text: found, filled in with their run's format,
// and missing values reported before anything is printed.
#include "merge/merge_fields.h"

#include "richtext/rtf.h"

#include <gmock/gmock.h>

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>

using ::testing::HasSubstr;

namespace {

struct TRun {
    QString Text;
    bool Bold = false;
    bool Italic = false;
    QColor Colour = Qt::black;
};

// A one-paragraph document of runs.
std::unique_ptr<QTextDocument> DocumentOf(const std::vector<TRun> &runs)
{
    auto document = std::make_unique<QTextDocument>();
    QTextCursor cursor(document.get());
    for (const TRun &run : runs) {
        QTextCharFormat format;
        format.setFontWeight(run.Bold ? QFont::Bold : QFont::Normal);
        format.setFontItalic(run.Italic);
        format.setForeground(run.Colour);
        format.setFontPointSize(12);
        cursor.insertText(run.Text, format);
    }
    return document;
}

// The document's runs as they are formatted.
std::vector<TRun> RunsOf(const QTextDocument &document)
{
    std::vector<TRun> runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (!runs.empty())
            runs.push_back({"¶"});
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat format = it.fragment().charFormat();
            runs.push_back({it.fragment().text(), format.fontWeight() == QFont::Bold, format.fontItalic(),
                            format.foreground().color()});
        }
    }
    return runs;
}

MATCHER_P4(IsRun, text, bold, italic, colour, "")
{
    return arg.Text == QString(text) && arg.Bold == bold && arg.Italic == italic && arg.Colour == QColor(colour);
}

TRecipientTable Guests()
{
    TRecipientTable table;
    table.Columns = {"Name", "Title", "Address"};
    table.Rows.push_back({{"Anna Berg", "Dr.", "12 Long Road\nLund"}, true});
    table.Rows.push_back({{"Bob", "", "1 Main St"}, true});
    table.Rows.push_back({{"Cid", "", ""}, false});
    table.Rows.push_back({{"", "Ms", " "}, true});
    return table;
}

TEST(MergeFields, FieldsAreListedOnceInTheOrderOfFirstUse)
{
    auto document = DocumentOf({{"Dear {{ Title }} {{Name}},\n{{Name}} {{}} {{a{b}} {{Address}}"}});
    EXPECT_EQ(FieldsIn(*document), QStringList({"Title", "Name", "Address"}));
    // A field never spans paragraphs.
    auto split = DocumentOf({{"{{Na\nme}} {{Name"}, {"}}", true}});
    EXPECT_EQ(FieldsIn(*split), QStringList({"Name"}));
}

TEST(MergeFields, ValuesKeepTheFormatOfTheirRun)
{
    auto document = DocumentOf({{"Dear "}, {"{{Title}} {{Name}}", true, false, Qt::red}, {", welcome!", false, true}});
    const auto merged = WithRecipient(*document, Guests(), 0);
    EXPECT_EQ(merged->toPlainText(), "Dear Dr. Anna Berg, welcome!");
    EXPECT_THAT(RunsOf(*merged), ::testing::ElementsAre(IsRun("Dear ", false, false, Qt::black),
                                                        IsRun("Dr. Anna Berg", true, false, Qt::red),
                                                        IsRun(", welcome!", false, true, Qt::black)));
    EXPECT_EQ(document->toPlainText(), "Dear {{Title}} {{Name}}, welcome!") << "the card's own text is untouched";
}

TEST(MergeFields, AFieldAcrossRunsTakesTheFormatOfItsNamesFirstCharacter)
{
    // Only the name made bold: the braces do not decide.
    auto nameBold = DocumentOf({{"Hi {{"}, {"Name", true}, {"}}!"}});
    EXPECT_THAT(RunsOf(*WithRecipient(*nameBold, Guests(), 1)),
                ::testing::ElementsAre(IsRun("Hi ", false, false, Qt::black), IsRun("Bob", true, false, Qt::black),
                                       IsRun("!", false, false, Qt::black)));
    // A name that changes format part-way: its first character decides.
    auto mixed = DocumentOf({{"{{N", false, true}, {"ame}}", true}});
    EXPECT_THAT(RunsOf(*WithRecipient(*mixed, Guests(), 1)),
                ::testing::ElementsAre(IsRun("Bob", false, true, Qt::black)));
}

TEST(MergeFields, LineBreaksStayInTheParagraphAndEmptyValuesLeaveNothing)
{
    auto document = DocumentOf({{"To: {{Address}}\n{{Title}}{{Name}}"}});
    document->begin().next();
    QTextBlockFormat centred;
    centred.setAlignment(Qt::AlignHCenter);
    QTextCursor(document->begin()).setBlockFormat(centred);
    const auto anna = WithRecipient(*document, Guests(), 0);
    EXPECT_EQ(anna->blockCount(), 2);
    EXPECT_EQ(anna->begin().text(), QStringLiteral("To: 12 Long Road\u2028Lund"));
    EXPECT_EQ(anna->begin().blockFormat().alignment(), Qt::AlignHCenter);
    EXPECT_EQ(WithRecipient(*document, Guests(), 1)->toPlainText(), "To: 1 Main St\nBob");
    EXPECT_EQ(WithValues(*document, [](const QString &) { return QString(); })->toPlainText(), "To: \n");
    // A value is text, never a field again: a list cannot make it expand.
    EXPECT_EQ(WithValues(*document, [](const QString &name) { return "{{" + name + "}}{{Name}}"; })->toPlainText(),
              "To: {{Address}}{{Name}}\n{{Title}}{{Name}}{{Name}}{{Name}}");
}

TEST(MergeFields, MissingValuesAreReportedForTickedRecipients)
{
    const TRecipientTable table = Guests();
    const std::vector<TMissingValue> missing = MissingValues({"Name", "Title", "Address", "Phone"}, table);
    const std::vector<TMissingValue> expected = {
        {0, "Phone", true},
        {1, "Title", false},
        {1, "Phone", true},
        // Cid is not ticked: nothing printed, nothing to warn about.
        {3, "Name", false},
        {3, "Address", false}, // blank counts as missing
        {3, "Phone", true},
    };
    EXPECT_EQ(missing, expected);
    const QString warning = DescribeMissingValues(missing, table);
    EXPECT_THAT(warning.toStdString(), HasSubstr("The list has no column \"Phone\""));
    EXPECT_THAT(warning.toStdString(), HasSubstr("Recipient 2 (Bob) has no value for \"Title\"."));
    EXPECT_THAT(warning.toStdString(), HasSubstr("Recipient 4 has no value for \"Name\", \"Address\"."));
    EXPECT_TRUE(DescribeMissingValues({}, table).isEmpty());
    EXPECT_TRUE(MissingValues({"name"}, table).size() == 1u) << "case ignored; only recipient 4 lacks it";

    TRecipientTable parts;
    parts.Columns = {"Title", "First name", "Last name", "Gift"};
    parts.Rows.push_back({{"Dr.", "Anna", "Berg", ""}, true});
    EXPECT_THAT(DescribeMissingValues(MissingValues({"Gift"}, parts), parts).toStdString(),
                HasSubstr("Recipient 1 (Anna Berg) has no value for \"Gift\"."));
}

TEST(MergeFields, FieldsSurviveTheBoxesRtf)
{
    // Stored as plain text in the box's RTF, braces escaped, format kept.
    auto document = DocumentOf({{"Dear "}, {"{{Name}}", true, true, Qt::blue}});
    QTextDocument read;
    ASSERT_TRUE(ReadRtf(WriteRtf(document.get()), &read));
    EXPECT_EQ(FieldsIn(read), QStringList({"Name"}));
    const auto merged = WithRecipient(read, Guests(), 0);
    EXPECT_THAT(RunsOf(*merged), ::testing::Contains(IsRun("Anna Berg", true, true, Qt::blue)));
}

} // namespace
