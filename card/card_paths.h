#pragma once
// Where a card's files may be read from and written to. A card folder may
// come from anywhere (an archive, another person): its Card.crd names files
// and its files may be symbolic links, and neither may lead the program to
// read outside the folder or to change the shipped templates, from which
// every new card starts.

#include <QString>

#include <string>

// The shipped templates beside the program: programFolder + "Template".
QString TemplatesFolder(const QString &programFolder);

// True when `path` (a file or folder, which need not exist yet) lies in
// `folder` or is it, symbolic links resolved on both sides.
bool IsInsideFolder(const QString &path, const QString &folder);

// True when the card folder (or a file to be written) lies in the shipped
// templates, a card folder that is a link into them included.
bool IsInTemplates(const QString &path, const QString &programFolder);

// Raises ECardError with `message` when IsInTemplates.
void RefuseTemplateChange(const QString &path, const QString &programFolder, const QString &message);

// While it lives, no file the program writes through its atomic writer may
// land in the templates, whatever link leads there; such a write raises
// EFCreateError naming the file. One for each command that writes.
class TTemplatesShield {
public:
    explicit TTemplatesShield(const QString &programFolder);
    ~TTemplatesShield();
    TTemplatesShield(const TTemplatesShield &) = delete;
    TTemplatesShield &operator=(const TTemplatesShield &) = delete;

private:
    std::string FFolder;
};

// The file of the card folder that Card.crd names `name` (the background,
// a picture): `cardFolder` followed by the name. Raises ECardError naming
// the name when it could lead out of the folder: an absolute name or one
// with a ".." part.
QString CardFilePath(const QString &cardFolder, const QString &name);
