#pragma once
// Where a card's files may be read from and written to. A card folder may
// come from anywhere (an archive, another person): its Card.crd names files
// and its files may be symbolic links, and neither may lead the program to
// read outside the folder or to change the shipped templates, from which
// every new card starts.

#include "places/places.h" // IsInsideFolder

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

// True when the card folder (or a file to be written) lies in one of the
// template folders (TPlaces::TemplateFolders), a card folder that is a link
// into them included.
bool IsInTemplates(const QString &path, const QStringList &templateFolders);

// Raises ECardError with `message` when IsInTemplates.
void RefuseTemplateChange(const QString &path, const QStringList &templateFolders, const QString &message);

// While it lives, no file the program writes through its atomic writer may
// land in the templates, whatever link leads there; such a write raises
// EFCreateError naming the file. One for each command that writes.
class TTemplatesShield {
public:
    explicit TTemplatesShield(const QStringList &templateFolders);
    ~TTemplatesShield();
    TTemplatesShield(const TTemplatesShield &) = delete;
    TTemplatesShield &operator=(const TTemplatesShield &) = delete;

private:
    std::vector<std::string> FFolders;
};

// The file of the card folder that Card.crd names `name` (the background,
// a picture): `cardFolder` followed by the name. Raises ECardError naming
// the name when it could lead out of the folder: an absolute name or one
// with a ".." part.
QString CardFilePath(const QString &cardFolder, const QString &name);
