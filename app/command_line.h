#pragma once
// What the program is started with: nothing, or the one card to open, as a
// desktop hands it over (its folder, or the Card.crd inside it, which is what
// a file manager opens).

#include <QString>
#include <QStringList>

struct TCommandLine {
    enum class TKind {
        Nothing,  // start with the empty surface
        Card,     // open CardFolder
        Help,     // print Usage() and stop
        Version,  // print the name and version and stop
        Wrong,    // print Problem and Usage() to the error output and stop
    };
    TKind Kind = TKind::Nothing;
    QString CardFolder;  // ends in '/'
    QString Problem;     // why the arguments were refused
};

// Reads the arguments after the program's name.
TCommandLine ReadCommandLine(const QStringList &arguments);

// The usage message.
QString Usage();
