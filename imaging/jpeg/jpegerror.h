#pragma once
// The JPEG encoder's own errors and the file errors of its output stream.

#include "imaging/bitmapimage.h"

class EJpegError : public EGraphicsException {
public:
    using EGraphicsException::EGraphicsException;
};

// The output file cannot be created: "Cannot create file "<path>". <reason>".
class EFCreateError : public Exception {
public:
    using Exception::Exception;
};

// The system wrote fewer bytes than asked, or could not finish the file.
class EWriteError : public Exception {
public:
    using Exception::Exception;
};
