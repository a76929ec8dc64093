#pragma once
// File-system errors the codecs raise when a file cannot be opened or
// created; their text names the file and the system's reason.

#include "imaging/bitmapimage.h"

#include <string>

class EFOpenError : public Exception {
public:
    // Reads errno for the reason, so construct it right after the failure.
    explicit EFOpenError(const std::string &fileName);
    EFOpenError(const std::string &fileName, int errorNumber);
    // With a reason of the program's own, such as "not a regular file".
    EFOpenError(const std::string &fileName, const std::string &reason);
};

class EFCreateError : public Exception {
public:
    explicit EFCreateError(const std::string &fileName);
    EFCreateError(const std::string &fileName, int errorNumber);
    // With a reason of the program's own.
    EFCreateError(const std::string &fileName, const std::string &reason);
};

// Reading an opened file failed: "Cannot read file ...".
class EReadError : public Exception {
public:
    EReadError(const std::string &fileName, int errorNumber);
};

// The system wrote fewer bytes than asked, or could not finish the file.
class EWriteError : public Exception {
public:
    using Exception::Exception;
};
