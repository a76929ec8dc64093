#pragma once
// Copying a folder with all its files and sub-folders: a template folder into
// a new card folder. Works on full paths and never changes the process's
// current directory.

#include <QString>

#include <stdexcept>

// A folder that cannot be entered; the text names it and is shown to the user.
class EDirectoryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Copies every entry of `source` into `dest`, creating `dest` and missing
// parents, overwriting files of the same name. Both paths may or may not end
// in '/'. False for an empty source, when `dest` lies inside `source`, or when
// any file could not be copied (what was copied stays). A link to a folder is
// never followed, so the copy holds only what lies inside the source. The
// atomic writer's temporary files, left only by a killed program, are not copied.
// Raises EDirectoryError when the source or one of its sub-folders cannot be entered.
bool CopyDirectory(const QString &source, const QString &dest);
// The same; on failure `failure` says which file could not be copied and why.
bool CopyDirectory(const QString &source, const QString &dest, QString *failure);

// A new card is built in a hidden folder of `parent` and then renamed into
// place in one step, so a program killed during the copy leaves no partial
// card under the user's name, only a hidden folder the next New removes.
// The hidden folder's name holds the building process's id.
// Returns the new hidden folder (ending in '/'), or an empty string with
// the reason in `failure`.
QString StartHiddenFolder(const QString &parent, QString *failure);
// Renames the hidden folder to `dest` (no trailing '/'), never over
// anything of that name. False with the reason in `failure`.
bool MoveFolderIntoPlace(const QString &hidden, const QString &dest, QString *failure);
// Removes the hidden folders of `parent` whose building process has ended;
// returns how many.
int RemoveAbandonedHiddenFolders(const QString &parent);
