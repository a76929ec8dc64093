#pragma once
// Where the program finds what it ships (the templates, the guide) and where
// it keeps what the user makes (cards, imported templates, Temp.bmp).
//
// Run from a folder it may write, with Template/ beside it (the build's
// bin/, ./run.sh's dist/), everything lies beside the program as it always
// did. Installed for everyone (/usr/bin/tessaly), the program reads its data
// from share/tessaly/ and writes only into the user's own folders: nothing
// is ever written into an installation. No widgets here.

#include <QString>
#include <QStringList>

// The user's own folders, as the desktop names them (XDG); tests make up
// their own.
struct TUserFolders {
    QString Documents;  // ~/Documents or its XDG equivalent
    QString Cache;      // ~/.cache
    QString DataHome;   // ~/.local/share
    QString Config;     // ~/.config
};

// The desktop's answers for the user running the program.
TUserFolders DesktopUserFolders();

struct TPlaces {
    QString ProgramFolder;  // the executable's folder
    QString DataFolder;     // holds Template/ and the guide
    QString Templates;      // the shipped templates: DataFolder + "Template/"
    QString UserTemplates;  // where imported templates go; Templates beside the program
    QString Cards;          // MyCard/ beside the program, else "Tessaly Cards/" in the documents
    QString CacheFolder;    // where Temp.bmp lies
    QString Guide;          // the user guide, DataFolder + "tessaly.html"
    QString Settings;       // the user's settings file (the recent cards); empty: remember nothing
    bool BesideProgram = true;  // the program's own folder holds the user's cards
    // Every folder above ends in '/'.

    // Temp.bmp: the card rendered for Print and the JPEG export.
    QString TempBmp() const { return CacheFolder + QStringLiteral("Temp.bmp"); }

    // The folders the template gallery lists, shipped first, each once.
    QStringList TemplateFolders() const;

    // Makes the folder of the user's cards on first use (beside the program
    // MyCard/ is made by the build and ./run.sh, and left alone). False when
    // it does not exist afterwards.
    bool MakeCardsFolder() const;

    // How the user reads the cards' folder in a sentence: home as "~".
    QString CardsForPeople() const;
};

// Everything beside the program, as a build or ./run.sh lays it out; only
// the settings are the user's (none without `user.Config`).
TPlaces PlacesBeside(const QString &programFolder, const TUserFolders &user = {});

// The answer for the executable in `programFolder`: beside it when it holds
// Template/ and may be written; otherwise the data of the installation
// (Template/ beside the program, or share/tessaly/ at `dataFromProgram`
// relative to it) and the user's own folders for the rest.
TPlaces PlacesFor(const QString &programFolder, const TUserFolders &user,
                  const QString &dataFromProgram = QStringLiteral("../share/tessaly"));

// The places of the running program.
TPlaces ProgramPlaces();

// A folder as a person reads it in a sentence: home as "~", no closing slash.
QString FolderForPeople(const QString &folder);

// True when `path` (a file or folder, which need not exist yet) lies in
// `folder` or is it, symbolic links resolved on both sides.
bool IsInsideFolder(const QString &path, const QString &folder);
