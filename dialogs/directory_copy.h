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
