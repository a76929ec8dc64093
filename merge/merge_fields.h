#pragma once
// Fields in a card's text: "{{Column name}}" written in a text box stands
// for that column's value of each recipient. It is plain text in the box
// (and so in its RTF), so other programs show it as written. Spaces inside
// the braces are ignored; a column is found as TRecipientTable::ColumnIndex
// finds it (exact name first, then ignoring case).
//
// A field may run across differently formatted runs ("{{" plain, "Name"
// bold); its value takes the format of the first character of the column
// name, as a word typed over the name would, so formatting the name alone
// or the whole field both show in the value.

#include "merge/recipient_table.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class QTextDocument;

// The column names the document's fields use, each once, in the order of
// first use.
QStringList FieldsIn(const QTextDocument &document);

// A copy of the document with every field replaced by `valueOf(name)`, in
// the format described above; everything else (paragraphs, other runs,
// pictures) is as it was. A line break in a value becomes a line break
// within the paragraph; an empty value leaves nothing where the field was.
std::unique_ptr<QTextDocument> WithValues(const QTextDocument &document,
                                          const std::function<QString(const QString &name)> &valueOf);
// The same with one recipient's values.
std::unique_ptr<QTextDocument> WithRecipient(const QTextDocument &document, const TRecipientTable &table,
                                             std::size_t row);

// A field that stays empty on a ticked recipient's card.
struct TMissingValue {
    std::size_t Recipient = 0; // index into the table's rows
    QString Field;
    bool NoSuchColumn = false; // the list has no column of that name at all

    bool operator==(const TMissingValue &) const = default;
};

// Every missing value of the ticked recipients for these fields: a column
// the list does not have, or a value that is empty or blank.
std::vector<TMissingValue> MissingValues(const QStringList &fields, const TRecipientTable &table);

// The warning the window shows before printing, or an empty string when
// nothing is missing. Recipients are named by their number in the list and
// their name where the list has one.
QString DescribeMissingValues(const std::vector<TMissingValue> &missing, const TRecipientTable &table);
