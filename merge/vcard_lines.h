#pragma once
// The content lines of vCard files (2.1, 3.0 as RFC 2426 and 4.0 as
// RFC 6350): cards between BEGIN:VCARD and END:VCARD, folded lines joined,
// quoted-printable values (2.1's soft line breaks included) decoded to their
// bytes, parameters split. What the values mean is vcard_reader's concern;
// their text encoding too, as a 2.1 value may name its own CHARSET.

#include <QByteArray>

#include <QStringList>

#include <cstddef>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

struct TVCardProperty {
    QByteArray Name; // upper case, without its group ("item1.EMAIL" is EMAIL)
    // Upper-case names with their values as written, quotes and RFC 6868
    // caret escapes removed. A 2.1 parameter without a name ("TEL;HOME:")
    // is a TYPE, or an ENCODING when it names one.
    std::vector<std::pair<QByteArray, QByteArray>> Params;
    QByteArray Value; // unfolded; quoted-printable already decoded
    int Line = 0;     // where the property begins

    // The parameter's value, empty when it is not there.
    QByteArray Param(const QByteArray &name) const;
    // True when a TYPE parameter lists `type` (case ignored), in any of the
    // ways the versions write it: TYPE=home,pref; TYPE=home;TYPE=pref; HOME.
    bool HasType(const QByteArray &type) const;
};

struct TVCard {
    int Line = 0; // of its BEGIN:VCARD
    QByteArray Version;
    std::vector<TVCardProperty> Properties;
};

// A card may have this many properties (lines after unfolding); the
// largest address book entries have some dozens.
inline constexpr std::size_t MaxCardProperties = 10000;

// Hands each card of a vCard file to `onCard` as soon as it ends, so only
// one card is held at a time. The file may start with a UTF-8 or UTF-16
// byte order mark. Refuses with ERecipientListError naming the line: a card
// without END:VCARD, a line longer than MaxFieldBytes, a card of more than
// MaxCardProperties lines, more than MaxRecipients cards, a file without
// any card. Lines outside cards are passed over with a warning.
void SplitVCards(std::string_view bytes, QStringList *warnings, const std::function<void(const TVCard &)> &onCard);
