#pragma once
// What the new-card dialog decides without a window: which folders of
// Template/ are templates, the proposed name of a new card, and whether a
// typed name can become a card folder under MyCard/.

#include <QString>
#include <QStringList>

// The templates: the visible sub-folders of `templateDir`, in name order as
// a person reads it (case-insensitive, numbers by value). Plain files and
// hidden folders are not templates. Empty when the folder cannot be read.
QStringList ListTemplates(const QString &templateDir);

// <0, 0 or >0 as `a` comes before, with or after `b` in a list a person
// reads: case and accents aside, runs of digits by their value.
int CompareInNameOrder(const QString &a, const QString &b);

// "Default" and the smallest N from 1 up whose folder does not exist under
// `cardRoot` (which ends in '/').
QString ProposeCardName(const QString &cardRoot);

// Longest card name, in bytes of the file system's encoding: well inside
// every file system's 255, leaving room for the card's own file names.
constexpr int MaxCardNameBytes = 200;

// Why `name` cannot become the folder `cardRoot` + name, or an empty text
// when it can. A name that leaves MyCard/ or that no file system can hold is
// refused with the rule it breaks; an existing folder (the empty name names
// the card root itself) with the message the program always gave.
QString CardNameProblem(const QString &name, const QString &cardRoot);

extern const QString CardNameExistsMessage;
